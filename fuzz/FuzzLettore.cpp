// libFuzzer target: any bytes, as the file of an Access database, through the
// reader the program uses: open it, list its tables, read every one of them
// and decode every value of every row.
// A damaged file must end as vdx::Errore (read whole or refused); anything
// else (a crash, a sanitizer's report, another exception, a wait without
// end, memory beyond libFuzzer's limit) is a finding.

#include "jet/FileLeggibile.h"
#include "jet/FileMdb.h"
#include "jet/Tabella.h"
#include "shared/Errore.h"

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <unistd.h>

namespace {

// The file the bytes are written to, once per process (in memory where the
// system has /dev/shm).
const std::filesystem::path& FileDiProva() {
    static const std::filesystem::path p = [] {
        const std::filesystem::path cartella = std::filesystem::is_directory("/dev/shm")
                                                   ? std::filesystem::path("/dev/shm")
                                                   : std::filesystem::temp_directory_path();
        return cartella / ("vdx-fuzz-" + std::to_string(::getpid()) + ".mdb");
    }();
    return p;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    vdx::jet::ImpostaAttesaRilettura([] {}); // no pause before the second reading
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* dati, std::size_t dimensione) {
    const std::filesystem::path& p = FileDiProva();
    if (std::FILE* f = std::fopen(p.c_str(), "wb")) {
        const bool scritto = std::fwrite(dati, 1, dimensione, f) == dimensione;
        if (std::fclose(f) != 0 || !scritto) {
            return 0;
        }
    }
    try {
        vdx::jet::FileMdb file(p);
        for (const std::string& tabella : file.Tabelle()) {
            const auto t = file.Leggi(tabella);
            for (std::size_t r = 0; r < t->NumeroRighe(); ++r) {
                for (std::size_t c = 0; c < t->Colonne().size(); ++c) {
                    t->ValoreCella(r, static_cast<int>(c));
                }
            }
        }
    } catch (const vdx::Errore&) {
        // read whole or refused: both are right
    }
    return 0;
}
