// vdx-mkmdb OUT.mdb TABLE.csv [TABLE.csv ...]
// Each CSV becomes a table named after its base name (see CsvMdb.h for the
// format). Bad input is reported with file, line and column, and no output
// file is written.

#include "CsvMdb.h"
#include "shared/Error.h"

#include <cstdio>
#include <exception>
#include <filesystem>
#include <vector>

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(
            stderr,
            "usage: vdx-mkmdb OUT.mdb TABLE.csv [TABLE.csv ...]\n"
            "  each CSV (UTF-8, header of Name:Type cells) becomes the table of its base name\n");
        return 2;
    }
    std::vector<std::filesystem::path> csv(argv + 2, argv + argc);
    try {
        const auto esito = vdx::fixture::CsvInMdb(argv[1], csv);
        std::printf("%s: %zu table%s, %zu row%s\n", argv[1], esito.tabelle,
                    esito.tabelle == 1 ? "" : "s", esito.righe, esito.righe == 1 ? "" : "s");
        return 0;
    } catch (const vdx::Error& e) {
        std::fprintf(stderr, "vdx-mkmdb: %s\n", e.what());
    } catch (const std::exception& e) {
        std::fprintf(stderr, "vdx-mkmdb: %s\n", e.what());
    }
    return 1;
}
