// vdx: the request window on the hotel of the working folder, or one of the
// headless commands for scripts (`vdx generate`, `vdx print`,
// `vdx export-csv`).

#include "app/Comandi.h"
#include "dialog/ui/Errori.h"
#include "printing/ui/StampanteQt.h"
#include "request/ui/VDXDesk.h"
#include "shared/Dates.h"
#include "shared/Platform.h"

#include <QApplication>
#include <QGuiApplication>
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

int finestra(int argc, char** argv) {
    if (!vdx::piattaforma::SchermoDisponibile()) {
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

// `vdx print`: text is laid out with Qt's fonts, which need an application
// object; with no display, the offscreen platform draws just the same.
int stampa(int argc, char** argv, const std::vector<std::string>& argomenti,
           const std::filesystem::path& cartella) {
    if (!vdx::piattaforma::SchermoDisponibile()) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QGuiApplication app(argc, argv);
    return vdx::EseguiStampa(argomenti, std::cout, std::cerr, cartella,
                             vdx::ui::FabbricaStampanteQt());
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
        return stampa(argc, argv, argomenti, cartella);
    }
    if (comando == "--help" || comando == "-h" || comando == "help") {
        uso(std::cout);
        return 0;
    }
    std::cerr << "vdx: unknown command '" << comando << "'\n";
    uso(std::cerr);
    return EsitoUsoErrato;
}
