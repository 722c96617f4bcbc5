// vdx: the request window on the hotel of the working folder, or one of the
// headless commands for scripts (`vdx generate`, `vdx print`,
// `vdx export-csv`).

#include "dialog/ui/Errori.h"
#include "preview/RigaComandoCsv.h"
#include "printing/ui/StampaMenu.h"
#include "report/RigaComando.h"
#include "request/ui/VDXDesk.h"
#include "shared/Dates.h"

#include <QApplication>
#include <clocale>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

namespace {

constexpr int EsitoSenzaSchermo = 3;
constexpr int EsitoUsoErrato = 2;

void uso(std::ostream& out) {
    out << "usage: vdx                      open the request window on the working folder\n"
           "       vdx generate [OPTIONS]   write the daily tableau (vdx generate --help)\n"
           "       vdx print [OPTIONS]      print the report\n"
           "       vdx export-csv [FILE]    export the report for a spreadsheet\n";
}

// A window needs a display: an X server, a Wayland compositor, or a Qt
// platform named explicitly (offscreen for tests and pictures).
bool schermoDisponibile() {
    const auto presente = [](const char* name) {
        const char* v = std::getenv(name);
        return v != nullptr && *v != '\0';
    };
    return presente("DISPLAY") || presente("WAYLAND_DISPLAY") || presente("QT_QPA_PLATFORM");
}

int finestra(int argc, char** argv) {
    if (!schermoDisponibile()) {
        std::cerr << "vdx: there is no display to open the request window on (neither DISPLAY\n"
                     "nor WAYLAND_DISPLAY is set). Run it from a desktop session, or under a\n"
                     "virtual display: xvfb-run -a vdx\n";
        return EsitoSenzaSchermo;
    }
    QApplication app(argc, argv);
    // Amounts take the decimal and grouping signs of the user's locale.
    std::setlocale(LC_NUMERIC, "");

    vdx::ui::VDXDesk desk(std::filesystem::current_path());
    if (!vdx::ui::Protetto(nullptr, [&] { desk.Form_Load(); })) {
        return vdx::ui::CodiceUscita();
    }
    desk.show();
    if (vdx::ui::InChiusura()) {
        return vdx::ui::CodiceUscita();
    }
    const int esito = QApplication::exec();
    return vdx::ui::InChiusura() ? vdx::ui::CodiceUscita() : esito;
}

} // namespace

int main(int argc, char** argv) {
    std::setlocale(LC_NUMERIC, "");
    if (argc < 2) {
        return finestra(argc, argv);
    }
    const std::string comando = argv[1];
    const std::vector<std::string> argomenti(argv + 2, argv + argc);
    const auto cartella = std::filesystem::current_path();
    if (comando == "generate") {
        return vdx::EseguiGenera(argomenti, std::cout, std::cerr, cartella,
                                 vdx::OrologioDiSistema());
    }
    if (comando == "export-csv") {
        return vdx::EseguiEsportaCsv(argomenti, std::cout, std::cerr, cartella);
    }
    if (comando == "print") {
        return vdx::ui::EseguiStampaDaRigaComando(argc, argv, argomenti, std::cout, std::cerr,
                                                  cartella);
    }
    if (comando == "--help" || comando == "-h" || comando == "help") {
        uso(std::cout);
        return 0;
    }
    std::cerr << "vdx: unknown command '" << comando << "'\n";
    uso(std::cerr);
    return EsitoUsoErrato;
}
