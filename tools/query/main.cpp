// vdx-query FILE.mdb TABLE_OR_SELECT ["criteria"]
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
#include "shared/Error.h"

#include <filesystem>
#include <iostream>

int main(int argc, char** argv) {
    if (argc < 3 || argc > 4) {
        std::cerr << "usage: vdx-query FILE.mdb TABLE_OR_SELECT [\"criteria\"]\n"
                     "Prints the matching records as CSV (UTF-8) with a header line.\n";
        return 2;
    }
    try {
        const std::filesystem::path file(argv[1]);
        std::filesystem::path cartella = file.parent_path();
        if (cartella.empty()) {
            cartella = ".";
        }
        auto db = vdx::jet::Database::OpenDatabase(cartella, file.filename().string());
        // Arguments arrive in UTF-8; the data layer speaks code page 1252.
        auto rs = db->OpenRecordset(vdx::Cp1252DaUtf8(argv[2]));
        const std::string criteri = argc == 4 ? vdx::Cp1252DaUtf8(argv[3]) : std::string();
        vdx::jet::ScriviCsv(rs, criteri, std::cout);
        std::cout.flush();
        return std::cout ? 0 : 1;
    } catch (const vdx::Error& e) {
        std::cerr << "vdx-query: error " << e.number() << ": " << vdx::Utf8DaCp1252(e.what())
                  << '\n';
        return 1;
    } catch (const std::exception& e) {
        std::cerr << "vdx-query: " << e.what() << '\n';
        return 1;
    }
}
