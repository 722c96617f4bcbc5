// vdx-demo DIR          the demo hotel, dated around today, into DIR
// vdx-demo --large DIR  the large hotel for measurements into DIR

#include "DemoHotel.h"
#include "shared/Dates.h"
#include "shared/Error.h"

#include <chrono>
#include <cstdio>
#include <cstring>
#include <exception>

int main(int argc, char** argv) {
    const bool grande = argc == 3 && std::strcmp(argv[1], "--large") == 0;
    if (!(argc == 2 && argv[1][0] != '-') && !grande) {
        std::fprintf(
            stderr,
            "usage: vdx-demo DIR           the demo hotel, dated around today\n"
            "       vdx-demo --large DIR   1,000 rooms, 1,000,000 guest cards, for measurements\n");
        return 2;
    }
    const std::filesystem::path cartella = argv[argc - 1];
    try {
        const vdx::DataOra oggi = vdx::OraLocale();
        const auto inizio = std::chrono::steady_clock::now();
        const auto riepilogo = grande ? vdx::fixture::ScriviDemoGrande(cartella, oggi)
                                      : vdx::fixture::ScriviDemo(cartella, oggi);
        const double secondi =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - inizio).count();
        std::printf("vdx-demo: %s (%.1f s)\n", riepilogo.testo(cartella, oggi).c_str(), secondi);
        return 0;
    } catch (const vdx::Error& e) {
        std::fprintf(stderr, "vdx-demo: %s\n", e.what());
    } catch (const std::exception& e) {
        std::fprintf(stderr, "vdx-demo: %s\n", e.what());
    }
    return 1;
}
