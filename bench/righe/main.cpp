// bench-righe [MB]
//
// Times the line reader (LettoreRighe, which the preview, the printers, the
// export and the settings files go through) on a file of MB megabytes (16 by
// default) written twice: as one line without a line end (a damaged or
// foreign file), and as report lines of 133 bytes with CR LF. Prints the
// processor time and the rate of each; the two should be of the same order,
// whatever MB is: the reader looks at each byte once.

#include "shared/FileTesto.h"

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <string>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

double SecondiCpu() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) / 1e9;
}

void Misura(const char* nome, const fs::path& file, std::size_t byte) {
    const double inizio = SecondiCpu();
    vdx::LettoreRighe lettore(file);
    std::size_t righe = 0;
    std::size_t letti = 0;
    while (auto riga = lettore.Leggi()) {
        ++righe;
        letti += riga->size();
    }
    const double s = SecondiCpu() - inizio;
    std::printf("%-22s %8zu lines %10zu bytes  %7.3f s  %8.1f MB/s\n", nome, righe, letti, s,
                static_cast<double>(byte) / 1e6 / (s > 0 ? s : 1e-9));
}

} // namespace

int main(int argc, char** argv) {
    const long mb = argc > 1 ? std::strtol(argv[1], nullptr, 10) : 16;
    if (mb <= 0) {
        std::fprintf(stderr, "Uso: bench-righe [MB]\n");
        return 2;
    }
    const auto byte = static_cast<std::size_t>(mb) << 20;
    const fs::path cartella =
        fs::temp_directory_path() / ("bench-righe-" + std::to_string(::getpid()));
    fs::create_directories(cartella);
    vdx::ScriviFileAtomico(cartella / "lunga", std::string(byte, 'x'));
    std::string righe;
    righe.reserve(byte + 135);
    while (righe.size() < byte) {
        righe += std::string(133, '-') + "\r\n";
    }
    vdx::ScriviFileAtomico(cartella / "righe", righe);
    Misura("one line", cartella / "lunga", byte);
    Misura("133-byte lines", cartella / "righe", righe.size());
    fs::remove_all(cartella);
    return 0;
}
