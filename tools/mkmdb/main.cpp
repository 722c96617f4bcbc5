// vdx-mkmdb USCITA.mdb TABELLA.csv [TABELLA.csv ...]
// Each CSV becomes a table named after its base name (see CsvMdb.h for the
// format). Bad input is reported with file, line and column, and no output
// file is written.

#include "CsvMdb.h"
#include "shared/Cp1252.h"
#include "shared/Errore.h"
#include "shared/Opzioni.h"

#include <cstdio>
#include <exception>
#include <filesystem>
#include <iostream>
#include <vector>

namespace {

const vdx::DescrizioneComando MkMdb{
    "vdx-mkmdb",
    "USCITA.mdb TABELLA.csv [TABELLA.csv ...]",
    static_cast<std::size_t>(-1),
    "Scrive il file Access USCITA.mdb: ogni CSV (UTF-8, con un'intestazione di celle\n"
    "Nome:Tipo) diventa la tabella del suo nome. Un errore nei dati è segnalato con file,\n"
    "riga e colonna, e nessun file viene scritto.",
    {},
    2};

} // namespace

int main(int argc, char** argv) {
    int esito = 0;
    const auto scelte = vdx::LeggiOUso(MkMdb, std::vector<std::string>(argv + 1, argv + argc),
                                       std::cout, std::cerr, esito);
    if (!scelte) {
        return esito;
    }
    const std::vector<std::filesystem::path> csv(scelte->argomenti.begin() + 1,
                                                 scelte->argomenti.end());
    try {
        const auto fatto = vdx::fixture::CsvInMdb(scelte->argomenti.front(), csv);
        std::printf("%s: %zu %s, %zu %s\n", scelte->argomenti.front().c_str(), fatto.tabelle,
                    fatto.tabelle == 1 ? "tabella" : "tabelle", fatto.righe,
                    fatto.righe == 1 ? "riga" : "righe");
        return 0;
    } catch (const vdx::Errore& e) {
        std::cerr << "vdx-mkmdb: " << vdx::TestoPerTerminale(e.what()) << "\n";
    } catch (const std::exception& e) {
        std::cerr << "vdx-mkmdb: " << e.what() << "\n";
    }
    return 1;
}
