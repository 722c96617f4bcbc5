#include "printing/StampaReport.h"

#include "jet/Database.h"
#include "printing/StampaDiretta.h"
#include "printing/StampaDriver.h"
#include "shared/Ambiente.h"
#include "shared/Cp1252.h"
#include "shared/NomiFile.h"

namespace vdx {

RisultatoStampa StampaReport(const std::filesystem::path& cartella, std::string_view postazione,
                             const SceltaStampa& scelta, const FabbricaStampante& fabbrica) {
    jet::Archivi archivi(cartella);
    return StampaReport(archivi, postazione, scelta, fabbrica);
}

RisultatoStampa StampaReport(jet::Archivi& archivi, std::string_view postazione,
                             const SceltaStampa& scelta, const FabbricaStampante& fabbrica) {
    const std::filesystem::path& cartella = archivi.Cartella();
    const auto impostazioni = LeggiImpostazioni(archivi, scelta);
    if (!impostazioni) {
        return {EsitoStampa::DestinazioneSconosciuta, {}};
    }
    const std::string nome = NomeReport(postazione);
    const auto report = RisolviNome(cartella, nome);
    std::error_code ec;
    if (std::filesystem::is_regular_file(report, ec) &&
        std::filesystem::file_size(report, ec) == 0) {
        return {EsitoStampa::ReportVuoto, {}}; // a blank sheet is no print
    }

    if (impostazioni->ModoDriver()) {
        auto stampante = fabbrica(nome);
        if (!StampaModoDriver(*stampante, *impostazioni, scelta, cartella, report)) {
            return {EsitoStampa::ReportMancante, {}};
        }
        return {EsitoStampa::Stampata, stampante->DispositivoScelto()};
    }

    // Codes out of range are refused before the output is opened, so a file
    // named as output is not emptied for nothing.
    CodiciControllo(*impostazioni, scelta.compressa);
    const std::filesystem::path percorso = PercorsoUscita(cartella, impostazioni->uscitaStampa);
    UscitaDispositivo uscita(percorso);
    const bool stampata = StampaModoDiretto(uscita, *impostazioni, scelta, report);
    uscita.Chiudi();
    if (!stampata) {
        return {EsitoStampa::ReportMancante, {}};
    }
    return {EsitoStampa::Stampata, Cp1252DaUtf8(percorso.string())};
}

std::string DoveStampato(const std::string& destinazione, const RisultatoStampa& risultato) {
    switch (risultato.esito) {
    case EsitoStampa::Stampata:
        return "Stampato su " + destinazione + ": " + risultato.dove;
    case EsitoStampa::DestinazioneSconosciuta:
        return "La destinazione " + destinazione +
               " non c'\xE8 in Stampanti.mdb: nulla \xE8 stato stampato";
    case EsitoStampa::ReportMancante:
        return "Non c'\xE8 un tableau da stampare";
    case EsitoStampa::ReportVuoto:
        return "Il tableau \xE8 vuoto: non c'\xE8 niente da stampare";
    }
    return {};
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
