#include "app/Comandi.h"
#include "preview/ConvertiXLS.h"
#include "preview/EsportaXlsx.h"
#include "shared/Ambiente.h"
#include "shared/Cp1252.h"
#include "shared/Errore.h"
#include "shared/Opzioni.h"

namespace vdx {

namespace {

const DescrizioneComando EsportaCsv{
    "vdx export-csv",
    "[FILE]",
    1,
    "Esporta FILE (predefinito: il tableau della postazione, FD<pclocal>) per il foglio di\n"
    "calcolo, in fd<pclocal>.csv nella cartella, con il separatore, il segno decimale e il\n"
    "segno di valuta di SeparatoreXLS.txt (',' '.' e l'euro se manca).",
    {},
    0,
    true};

const DescrizioneComando EsportaXlsx{
    "vdx export-xlsx",
    "[FILE]",
    1,
    "Esporta FILE (predefinito: il tableau della postazione, FD<pclocal>) in un foglio di\n"
    "calcolo, fd<pclocal>.xlsx nella cartella: una riga per ogni riga di camera, con le\n"
    "persone e gli importi come numeri, l'arrivo e la partenza come date, e i totali.",
    {},
    0,
    true};

using Esportazione = std::filesystem::path (*)(std::string_view, const std::filesystem::path&,
                                               std::string_view);

int Esporta(const DescrizioneComando& comando, Esportazione esporta,
            const std::vector<std::string>& argomenti, std::ostream& out, std::ostream& err,
            const std::filesystem::path& cartella, const std::string& postazione) {
    int esito = 0;
    const auto scelte = LeggiOUso(comando, argomenti, out, err, esito);
    if (!scelte) {
        return esito;
    }
    try {
        const std::string nome =
            scelte->argomenti.empty() ? NomeReport(postazione) : scelte->argomenti.front();
        const auto uscita = esporta(nome, scelte->Cartella(cartella), postazione);
        out << uscita.filename().string() << '\n';
        return 0;
    } catch (const Errore& e) {
        err << RigaErroreNumerato(comando, e.Numero(), e.what());
        return 1;
    } catch (const std::filesystem::filesystem_error& e) {
        err << RigaErroreNumerato(comando, errore::AccessoPercorso, DescrizioneErroreFile(e));
        return 1;
    }
}

} // namespace

int EseguiEsportaCsv(const std::vector<std::string>& argomenti, std::ostream& out,
                     std::ostream& err, const std::filesystem::path& cartella,
                     const std::string& postazione) {
    return Esporta(EsportaCsv, ConvertiXLS, argomenti, out, err, cartella, postazione);
}

int EseguiEsportaXlsx(const std::vector<std::string>& argomenti, std::ostream& out,
                      std::ostream& err, const std::filesystem::path& cartella,
                      const std::string& postazione) {
    return Esporta(EsportaXlsx, ConvertiXlsx, argomenti, out, err, cartella, postazione);
}

} // namespace vdx
