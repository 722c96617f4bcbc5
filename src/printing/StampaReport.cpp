#include "printing/StampaReport.h"

#include "printing/StampaDiretta.h"
#include "printing/StampaDriver.h"
#include "shared/Environment.h"
#include "shared/FileNames.h"

namespace vdx {

EsitoStampa StampaReport(const std::filesystem::path& cartella, const SceltaStampa& scelta,
                         const FabbricaStampante& fabbrica) {
    const auto impostazioni = LeggiImpostazioni(cartella, scelta);
    if (!impostazioni) {
        return EsitoStampa::DestinazioneSconosciuta;
    }
    const auto report = RisolviNome(cartella, NomeReport(Postazione()));
    std::error_code ec;
    if (std::filesystem::is_regular_file(report, ec) &&
        std::filesystem::file_size(report, ec) == 0) {
        return EsitoStampa::ReportVuoto; // a blank sheet is no print
    }

    if (impostazioni->modoDriver()) {
        auto stampante = fabbrica();
        return StampaModoDriver(*stampante, *impostazioni, scelta, cartella, report)
                   ? EsitoStampa::Stampata
                   : EsitoStampa::ReportMancante;
    }

    // Codes out of range are refused before the output is opened, so a file
    // named as output is not emptied for nothing.
    CodiciControllo(*impostazioni, scelta.compressa);
    UscitaDispositivo uscita(PercorsoUscita(cartella, impostazioni->UscitaStampa));
    const bool stampata = StampaModoDiretto(uscita, *impostazioni, scelta, report);
    uscita.chiudi();
    return stampata ? EsitoStampa::Stampata : EsitoStampa::ReportMancante;
}

std::optional<std::string> DestinazionePdf(const std::vector<std::string>& destinazioni) {
    std::optional<std::string> scelta;
    for (const std::string& voce : destinazioni) {
        if (voce.find("PDF") != std::string::npos) {
            scelta = voce;
        }
    }
    return scelta;
}

} // namespace vdx
