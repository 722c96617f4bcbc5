// vdx-query FILE.mdb TABELLA|SELEZIONE ["criteri"]
//
// Prints the records of a table or of a selection text as CSV (UTF-8, header
// line), read through the same layer the program uses, so that support staff
// can see why a room or a guest shows as it does:
//
//   vdx-query NumeriCamere.mdb NumeriCamere "NumeroHotel = 1 and NumeroCamera >= '10'"
//   vdx-query Scheda_Cliente.mdb "Select * From Scheda_Cliente Where DataArrivo = '20260305'"

#include "jet/Database.h"
#include "jet/EsportaCsv.h"
#include "shared/Cp1252.h"
#include "shared/Errore.h"
#include "shared/Opzioni.h"

#include <filesystem>
#include <iostream>

namespace {

const vdx::DescrizioneComando Query{
    "vdx-query",
    "FILE.mdb TABELLA|SELEZIONE [CRITERI]",
    3,
    "Mostra i record di una tabella di un file Access, o di una selezione (\"Select * From\n"
    "T Where ...\"), come CSV (UTF-8, con una riga d'intestazione), letti come li legge il\n"
    "programma; con CRITERI solo i record che li soddisfano (\"NumeroHotel = 1 and\n"
    "NumeroCamera >= '10'\"). Esce con 1 e il numero dell'errore quando il file, la tabella,\n"
    "un campo o i criteri non vanno.",
    {},
    2};

} // namespace

int main(int argc, char** argv) {
    int esito = 0;
    const auto scelte = vdx::LeggiOUso(Query, std::vector<std::string>(argv + 1, argv + argc),
                                       std::cout, std::cerr, esito);
    if (!scelte) {
        return esito;
    }
    const auto& a = scelte->argomenti;
    try {
        const std::filesystem::path file(a[0]);
        std::filesystem::path cartella = file.parent_path();
        if (cartella.empty()) {
            cartella = ".";
        }
        auto db = vdx::jet::Database::OpenDatabase(cartella, file.filename().string());
        // Arguments arrive in UTF-8; the data layer speaks code page 1252.
        auto rs = db->OpenRecordset(vdx::Cp1252DaUtf8(a[1]));
        const std::string criteri = a.size() == 3 ? vdx::Cp1252DaUtf8(a[2]) : std::string();
        vdx::jet::ScriviCsv(rs, criteri, std::cout);
        std::cout.flush();
        return std::cout ? 0 : 1;
    } catch (const vdx::Errore& e) {
        std::cerr << "vdx-query: errore " << e.Numero() << ": " << vdx::TestoPerTerminale(e.what())
                  << '\n';
        return 1;
    } catch (const std::exception& e) {
        std::cerr << "vdx-query: " << e.what() << '\n';
        return 1;
    }
}
