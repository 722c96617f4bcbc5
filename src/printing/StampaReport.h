#pragma once

#include "printing/ImpostazioniStampa.h"
#include "printing/Stampante.h"

#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vdx {

enum class EsitoStampa {
    Stampata,                // sent to the printer, port or file
    DestinazioneSconosciuta, // the destination is not in Stampanti: nothing done
    ReportMancante,          // no report file: nothing printed (a port got its codes)
    ReportVuoto,             // a report file with nothing in it: nothing printed or opened
};

// What a print did, and where the report went (code page 1252): the file or
// device written, the PDF file, or the system printer; "" when nothing went.
struct RisultatoStampa {
    EsitoStampa esito = EsitoStampa::Stampata;
    std::string dove;
};
inline bool operator==(const RisultatoStampa& r, EsitoStampa e) {
    return r.esito == e;
}

// Makes the system printer for a driver-mode print (only asked for then);
// `lavoro` names the job in the print queue: the report's name.
using FabbricaStampante = std::function<std::unique_ptr<Stampante>(const std::string& lavoro)>;

// The print button: reads the settings and prints the report file of
// `postazione` (NomeReport() in `cartella`) in driver mode through the
// printer `fabbrica` makes, or in direct mode to the output named by
// UscitaStampa. Errors (data files, an output that cannot be opened, a
// control code out of range, the printer) are thrown as vdx::Errore.
RisultatoStampa StampaReport(const std::filesystem::path& cartella, std::string_view postazione,
                             const SceltaStampa& scelta, const FabbricaStampante& fabbrica);
// The same, from the files of a run (jet::Archivi), for a command that has
// read the suite's files already.
RisultatoStampa StampaReport(jet::Archivi& archivi, std::string_view postazione,
                             const SceltaStampa& scelta, const FabbricaStampante& fabbrica);

// What a print did, told to the user: "Stampato su Banco: /dev/usb/lp0",
// "Il tableau è vuoto: non c'è niente da stampare", ...
std::string DoveStampato(const std::string& destinazione, const RisultatoStampa& risultato);

// The PDF button's choice among the destinations: the last whose name holds
// "PDF" in capitals; nullopt when none does.
std::optional<std::string> DestinazionePdf(const std::vector<std::string>& destinazioni);

} // namespace vdx
