// bench-stampa REPORT [--runs N]
//
// Times, on a report file (the FD<pclocal> that `vdx generate` writes; the
// large hotel of `vdx-demo --large` gives some 3,000 lines):
//  - the layout alone: the file read, its shape found and its pages laid
//    out (aim: a few milliseconds);
//  - the whole print into a PDF, as "Archivio PDF" of the demo prints it
//    (7 points compressed, 10 normal, pages of 80 and 60 lines, 2 blank top
//    lines), portrait and landscape, compressed and normal (aim: under a
//    second each);
// each the best of --runs (3), on the wall clock and in processor time
// (steadier on a machine shared with other work), with the pages it gives.

#include "printing/ImpaginaStampa.h"
#include "printing/StampaDriver.h"
#include "printing/ui/StampanteQt.h"
#include "shared/FileTesto.h"

#include <QApplication>
#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <time.h>
#include <unistd.h>

namespace fs = std::filesystem;
using Orologio = std::chrono::steady_clock;

namespace {

double SecondiCpu() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) / 1e9;
}

struct Tempi {
    double parete = 1e9;
    double cpu = 1e9;
};

template <typename Lavoro> Tempi Migliore(int volte, Lavoro lavoro) {
    Tempi migliori;
    for (int i = 0; i < volte; ++i) {
        const auto inizio = Orologio::now();
        const double cpu = SecondiCpu();
        lavoro();
        migliori.cpu = std::min(migliori.cpu, SecondiCpu() - cpu);
        migliori.parete = std::min(migliori.parete,
                                   std::chrono::duration<double>(Orologio::now() - inizio).count());
    }
    return migliori;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2 || argv[1][0] == '-') {
        std::fprintf(stderr, "Uso: bench-stampa REPORT [--runs N]\n");
        return 2;
    }
    const fs::path report = argv[1];
    const int volte = argc > 3 && std::string(argv[2]) == "--runs" ? std::atoi(argv[3]) : 3;
    if (!fs::exists(report) || volte <= 0) {
        std::fprintf(stderr, "bench-stampa: %s non c'è\n", report.c_str());
        return 2;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);

    vdx::FormaReport forma;
    const Tempi impagina = Migliore(volte, [&] {
        auto lette = vdx::LeggiRighe(report);
        forma = vdx::FormaDi(lette);
        vdx::Impagina(forma, 80, 2);
    });
    std::printf("layout (read, shape, pages) %5d lines                %7.3f ms (cpu %.3f ms)\n",
                forma.righe, impagina.parete * 1000, impagina.cpu * 1000);

    const fs::path cartella =
        fs::temp_directory_path() / ("bench-stampa-" + std::to_string(::getpid()));
    fs::create_directories(cartella);
    for (const bool orizzontale : {false, true}) {
        for (const bool compressa : {true, false}) {
            vdx::ImpostazioniStampa s;
            s.valoriCompresso = vdx::DividiGruppi("007000000000000001010000000000000000");
            s.lunghezzaPagina = compressa ? 80 : 60;
            s.righeIniziali = 2;
            s.uscitaStampa = (cartella / "tableau.pdf").string();
            vdx::SceltaStampa scelta;
            scelta.compressa = compressa;
            scelta.orizzontale = orizzontale;
            const Tempi secondi = Migliore(volte, [&] {
                vdx::ui::StampanteQt stampante("bench");
                vdx::StampaModoDriver(stampante, s, scelta, cartella, report);
            });
            std::printf("PDF %-9s %-10s %3zu pages %7ju bytes  %7.3f s  (cpu %.3f s)\n",
                        orizzontale ? "landscape" : "portrait", compressa ? "compressed" : "normal",
                        vdx::Impagina(forma, s.lunghezzaPagina, s.righeIniziali).size(),
                        static_cast<std::uintmax_t>(fs::file_size(cartella / "tableau.pdf")),
                        secondi.parete, secondi.cpu);
        }
    }
    fs::remove_all(cartella);
    return 0;
}
