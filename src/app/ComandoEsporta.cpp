#include "app/Comandi.h"
#include "preview/ConvertiXLS.h"
#include "shared/Ambiente.h"
#include "shared/Cp1252.h"
#include "shared/Errore.h"
#include "shared/Opzioni.h"

namespace vdx {

namespace {

const DescrizioneComando Esporta{
    "vdx export-csv",
    "[FILE]",
    1,
    "Esporta FILE (predefinito: il tableau della postazione, FD<pclocal>) per il foglio di\n"
    "calcolo, in fd<pclocal>.csv nella cartella, con il separatore, il segno decimale e il\n"
    "segno di valuta di SeparatoreXLS.txt (',' '.' e l'euro se manca).",
    {},
    0,
    true};

} // namespace

int EseguiEsportaCsv(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                     const std::filesystem::path& cartella) {
    int esito = 0;
    const auto scelte = LeggiOUso(Esporta, args, out, err, esito);
    if (!scelte) {
        return esito;
    }
    std::string postazione;
    try {
        postazione = Postazione();
    } catch (const Errore& e) {
        err << RigaErrore(Esporta, TestoPerTerminale(e.what()));
        return EsitoUsoErrato;
    }
    try {
        const std::string nome =
            scelte->argomenti.empty() ? NomeReport(postazione) : scelte->argomenti.front();
        const auto uscita = ConvertiXLS(nome, scelte->Cartella(cartella));
        out << uscita.filename().string() << '\n';
        return 0;
    } catch (const Errore& e) {
        err << RigaErrore(Esporta, "errore " + std::to_string(e.Numero()) + ": " +
                                       TestoPerTerminale(e.what()));
        return 1;
    } catch (const std::filesystem::filesystem_error& e) {
        err << RigaErrore(Esporta, "errore " + std::to_string(errore::AccessoPercorso) + ": " +
                                       DescrizioneErroreFile(e));
        return 1;
    }
}

} // namespace vdx
