// vdx: the request window on the hotel's folder, or one of the commands that
// need no window, for scripts (`vdx generate`, `vdx print`,
// `vdx export-csv`, `vdx export-xlsx`).

#include "app/Comandi.h"
#include "dialog/ui/Aspetto.h"
#include "dialog/ui/Errori.h"
#include "dialog/ui/Messaggi.h"
#include "printing/ui/StampanteQt.h"
#include "request/ui/CartellaHotel.h"
#include "request/ui/VDXDesk.h"
#include "shared/Ambiente.h"
#include "shared/Date.h"
#include "shared/Errore.h"
#include "shared/Opzioni.h"
#include "shared/Piattaforma.h"

#include <QApplication>
#include <QGuiApplication>
#include <clocale>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

namespace fs = std::filesystem;

constexpr int EsitoSenzaSchermo = 3;

const vdx::DescrizioneComando Finestra{
    "vdx",
    "",
    0,
    "Apre la finestra di richiesta del tableau sulla cartella dei file dell'hotel: quella\n"
    "indicata, o quella corrente quando li contiene, o quella scelta una volta e ricordata.\n"
    "Comandi senza finestra, per gli script (ognuno con --help):\n"
    "  vdx generate [opzioni]           scrive il tableau del giorno\n"
    "  vdx print [opzioni]              stampa il tableau\n"
    "  vdx export-csv [opzioni] [FILE]  esporta il tableau per il foglio di calcolo\n"
    "  vdx export-xlsx [opzioni] [FILE] scrive il tableau in un foglio di calcolo .xlsx",
    {{"--folder", "CARTELLA",
      "la cartella dei file dell'hotel (predefinita: quella\n"
      "                         corrente, se li contiene, se no quella ricordata)"},
     {"--version", "", "mostra la versione"}},
    0,
    false};

// Qt looks for its runtime folder and says so on stderr when there is none
// (a script run by cron, a session without a login): one of our own, private.
void PreparaAmbienteQt() {
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (runtime != nullptr && *runtime != '\0') {
        return;
    }
    const fs::path cartella =
        fs::temp_directory_path() / ("vdx-runtime-" + std::to_string(::getuid()));
    std::error_code ec;
    fs::create_directories(cartella, ec);
    ::chmod(cartella.c_str(), 0700);
    ::setenv("XDG_RUNTIME_DIR", cartella.c_str(), 1);
}

int ApriFinestra(int argc, char** argv, const vdx::Scelte& scelte) {
    if (!vdx::piattaforma::SchermoDisponibile()) {
        std::cerr << "vdx: non c'è uno schermo su cui aprire la finestra (DISPLAY e\n"
                     "WAYLAND_DISPLAY non sono impostate). Avviarlo da una sessione grafica, o\n"
                     "su uno schermo virtuale: xvfb-run -a vdx\n";
        return EsitoSenzaSchermo;
    }
    PreparaAmbienteQt();
    QApplication app(argc, argv);
    // The desktop matches the window with its menu entry and its icon: by the
    // entry's name (Wayland, KDE) or by the window class, the entry's
    // StartupWMClass (X11).
    QCoreApplication::setApplicationName(QStringLiteral(VDX_CLASSE_FINESTRA));
    QGuiApplication::setDesktopFileName(QStringLiteral(VDX_ID_APPLICAZIONE));
    QApplication::setWindowIcon(vdx::ui::IconaProgramma());
    vdx::ui::CaricaTraduzioni();
    // Amounts take the decimal and grouping signs of the user's locale.
    std::setlocale(LC_NUMERIC, "");

    // A pclocal that is no workstation number is refused before anything is
    // asked or written, with the status every command gives it.
    std::string postazione;
    try {
        postazione = vdx::Postazione();
    } catch (const vdx::Errore& e) {
        vdx::ui::ErroreFatale(nullptr, e, vdx::EsitoRichiestaErrata);
        return vdx::ui::CodiceUscita();
    }

    const auto indicata = scelte.Valore("--folder");
    const auto cartella = vdx::ui::CartellaHotel(
        indicata ? std::optional<fs::path>(scelte.Cartella(fs::current_path())) : std::nullopt,
        fs::current_path());
    if (!cartella) {
        return 0; // no folder chosen: nothing to do
    }
    // Every file the program writes, and the e-mail sender, live there.
    fs::current_path(*cartella);

    vdx::ui::VDXDesk desk(*cartella, postazione);
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
int Stampa(int argc, char** argv, const std::vector<std::string>& argomenti) {
    if (!vdx::piattaforma::SchermoDisponibile()) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    PreparaAmbienteQt();
    QGuiApplication app(argc, argv);
    return vdx::EseguiStampa(argomenti, std::cout, std::cerr, fs::current_path(),
                             vdx::ui::FabbricaStampanteQt());
}

} // namespace

int main(int argc, char** argv) {
    std::setlocale(LC_NUMERIC, "");
    const std::vector<std::string> parole(argv + 1, argv + argc);
    if (!parole.empty() && !parole[0].empty() && parole[0][0] != '-') {
        const std::string& comando = parole[0];
        const std::vector<std::string> argomenti(parole.begin() + 1, parole.end());
        if (comando == "generate") {
            return vdx::EseguiGenera(argomenti, std::cout, std::cerr, fs::current_path(),
                                     vdx::OrologioDiSistema());
        }
        if (comando == "export-csv") {
            return vdx::EseguiEsportaCsv(argomenti, std::cout, std::cerr, fs::current_path());
        }
        if (comando == "export-xlsx") {
            return vdx::EseguiEsportaXlsx(argomenti, std::cout, std::cerr, fs::current_path());
        }
        if (comando == "print") {
            return Stampa(argc, argv, argomenti);
        }
        vdx::ScriviUsoErrato(Finestra, "comando sconosciuto: " + comando, std::cerr);
        return vdx::EsitoUsoErrato;
    }
    int esito = 0;
    const auto scelte = vdx::LeggiOUso(Finestra, parole, std::cout, std::cerr, esito);
    if (!scelte) {
        return esito;
    }
    if (scelte->Ha("--version")) {
        std::cout << "vdx " VDX_VERSIONE "\n";
        return 0;
    }
    return ApriFinestra(argc, argv, *scelte);
}
