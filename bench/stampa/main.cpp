// bench-stampa REPORT [--runs N]
//
// Times, on a report file (the FD<pclocal> that `vdx generate` writes; the
// large hotel of `vdx-demo --large` gives some 4,000 lines):
//  - the layout alone: the file read, its shape found and its pages laid
//    out (aim: a few milliseconds);
//  - the whole print into a PDF, as "Archivio PDF" of the demo prints it
//    (7 points compressed, 10 normal, pages of 80 and 60 lines, 2 blank top
//    lines), portrait and landscape, compressed and normal (aim: under a
//    second each);
// each the best of --runs (3) on the wall clock, with the pages it gives.

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
#include <unistd.h>

namespace fs = std::filesystem;
using Orologio = std::chrono::steady_clock;

namespace {

double SecondiDa(Orologio::time_point inizio) {
    return std::chrono::duration<double>(Orologio::now() - inizio).count();
}

template <typename Lavoro> double Migliore(int volte, Lavoro lavoro) {
    double migliore = 1e9;
    for (int i = 0; i < volte; ++i) {
        const auto inizio = Orologio::now();
        lavoro();
        migliore = std::min(migliore, SecondiDa(inizio));
    }
    return migliore;
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
    const double impagina = Migliore(volte, [&] {
        auto lette = vdx::LeggiRighe(report);
        forma = vdx::FormaDi(lette);
        vdx::Impagina(forma, 80, 2);
    });
    std::printf("layout (read, shape, pages)  %6d lines  %8.3f ms\n", forma.righe, impagina * 1000);

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
            const double secondi = Migliore(volte, [&] {
                vdx::ui::StampanteQt stampante("bench");
                vdx::StampaModoDriver(stampante, s, scelta, cartella, report);
            });
            std::printf("PDF %-9s %-10s  %4zu pages  %9ju bytes  %7.3f s\n",
                        orizzontale ? "landscape" : "portrait", compressa ? "compressed" : "normal",
                        vdx::Impagina(forma, s.lunghezzaPagina, s.righeIniziali).size(),
                        static_cast<std::uintmax_t>(fs::file_size(cartella / "tableau.pdf")),
                        secondi);
        }
    }
    fs::remove_all(cartella);
    return 0;
}
