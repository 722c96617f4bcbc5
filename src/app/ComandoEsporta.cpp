#include "app/Comandi.h"

#include "preview/ConvertiXLS.h"
#include "shared/Cp1252.h"
#include "shared/Environment.h"
#include "shared/Error.h"

namespace vdx {

int EseguiEsportaCsv(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                     const std::filesystem::path& folder) {
    if (args.size() > 1 || (!args.empty() && (args[0] == "-h" || args[0] == "--help"))) {
        err << "uso: vdx export-csv [FILE]\n"
               "  esporta FILE (predefinito: fd + pclocal) in fd + pclocal + .csv\n";
        return 2;
    }
    std::string postazione;
    try {
        postazione = Postazione();
    } catch (const Error& e) {
        err << "Errore " << e.number() << ": " << TestoPerTerminale(e.what()) << '\n';
        return 2;
    }
    try {
        const std::string nome = args.empty() ? NomeReport(postazione) : args[0];
        const auto uscita = ConvertiXLS(nome, folder);
        out << uscita.filename().string() << '\n';
        return 0;
    } catch (const Error& e) {
        err << "Errore " << e.number() << ": " << TestoPerTerminale(e.what()) << '\n';
        return 1;
    }
}

} // namespace vdx
