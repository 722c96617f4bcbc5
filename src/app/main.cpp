// vdx: the request window on the hotel's folder, or one of the commands that
// need no window, for scripts (`vdx generate`, `vdx print`,
// `vdx export-csv`, `vdx export-xlsx`). The workstation, pclocal, is read
// from the environment here, once, and handed to the window or the command.

#include "app/Comandi.h"
#include "dialog/ui/Aspetto.h"
#include "dialog/ui/Errori.h"
#include "dialog/ui/Messaggi.h"
#include "printing/ui/StampanteQt.h"
#include "request/ui/CartellaHotel.h"
#include "request/ui/VDXDesk.h"
#include "shared/Ambiente.h"
#include "shared/Cp1252.h"
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

// The application's names, icon and texts, once its object is made. The
// desktop matches the window with its menu entry and its icon: by the entry's
// name (Wayland, KDE) or by the window class, the entry's StartupWMClass
// (X11).
void PresentaApplicazione() {
    QCoreApplication::setApplicationName(QStringLiteral(VDX_CLASSE_FINESTRA));
    QGuiApplication::setDesktopFileName(QStringLiteral(VDX_ID_APPLICAZIONE));
    QApplication::setWindowIcon(vdx::ui::IconaProgramma());
    vdx::ui::CaricaTraduzioni();
}

int ApriFinestra(int argc, char** argv, const vdx::Scelte& scelte, const std::string& postazione) {
    if (!vdx::piattaforma::SchermoDisponibile()) {
        std::cerr << "vdx: non c'è uno schermo su cui aprire la finestra (DISPLAY e\n"
                     "WAYLAND_DISPLAY non sono impostate). Avviarlo da una sessione grafica, o\n"
                     "su uno schermo virtuale: xvfb-run -a vdx\n";
        return EsitoSenzaSchermo;
    }
    PreparaAmbienteQt();
    QApplication app(argc, argv);
    PresentaApplicazione();
    // Amounts take the decimal and grouping signs of the user's locale.
    std::setlocale(LC_NUMERIC, "");

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
int Stampa(int argc, char** argv, const std::vector<std::string>& argomenti,
           const std::string& postazione) {
    if (!vdx::piattaforma::SchermoDisponibile()) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    PreparaAmbienteQt();
    QGuiApplication app(argc, argv);
    return vdx::EseguiStampa(argomenti, std::cout, std::cerr, fs::current_path(), postazione,
                             vdx::ui::FabbricaStampanteQt());
}

// The words name a command (`vdx generate ...`), not the window's options.
bool NomeComando(const std::vector<std::string>& parole) {
    return !parole.empty() && !parole[0].empty() && parole[0][0] != '-';
}

// `vdx --help`, `vdx --version`, `vdx COMMAND --help` (or -h): they ask
// nothing of the workstation, and are answered whatever pclocal holds.
bool SoloAiuto(const std::vector<std::string>& parole) {
    const auto aiuto = [](const std::string& parola) {
        return parola == "--help" || parola == "-h";
    };
    if (parole.size() == 1) {
        return aiuto(parole[0]) || parole[0] == "--version";
    }
    return parole.size() == 2 && NomeComando(parole) && aiuto(parole[1]);
}

// A pclocal that is no workstation number ends the program at its start,
// before anything is asked or written, with status 2 and the one line on
// stderr every error of a command gives. The window may have been started
// from the desktop's menu, where no one reads stderr: with a screen, it
// says so in its error box instead.
int RifiutaPostazione(int argc, char** argv, bool finestra, const vdx::Errore& e) {
    if (finestra && vdx::piattaforma::SchermoDisponibile()) {
        PreparaAmbienteQt();
        QApplication app(argc, argv);
        PresentaApplicazione();
        vdx::ui::ErroreFatale(nullptr, e, vdx::EsitoRichiestaErrata);
        return vdx::EsitoRichiestaErrata;
    }
    std::cerr << vdx::RigaErrore(Finestra, vdx::TestoPerTerminale(e.what()));
    return vdx::EsitoRichiestaErrata;
}

int EseguiComando(int argc, char** argv, const std::vector<std::string>& parole,
                  const std::string& postazione) {
    const std::string& comando = parole[0];
    const std::vector<std::string> argomenti(parole.begin() + 1, parole.end());
    if (comando == "generate") {
        return vdx::EseguiGenera(argomenti, std::cout, std::cerr, fs::current_path(), postazione,
                                 vdx::OrologioDiSistema());
    }
    if (comando == "export-csv") {
        return vdx::EseguiEsportaCsv(argomenti, std::cout, std::cerr, fs::current_path(),
                                     postazione);
    }
    if (comando == "export-xlsx") {
        return vdx::EseguiEsportaXlsx(argomenti, std::cout, std::cerr, fs::current_path(),
                                      postazione);
    }
    if (comando == "print") {
        return Stampa(argc, argv, argomenti, postazione);
    }
    vdx::ScriviUsoErrato(Finestra, "comando sconosciuto: " + comando, std::cerr);
    return vdx::EsitoUsoErrato;
}

} // namespace

int main(int argc, char** argv) {
    std::setlocale(LC_NUMERIC, "");
    const std::vector<std::string> parole(argv + 1, argv + argc);
    // The one reading of pclocal: the window and every command work for the
    // workstation read here. A help asks for none, and is not refused (it
    // then goes on with the workstation without a number, which it does not
    // use).
    std::string postazione;
    try {
        postazione = vdx::PostazioneDaAmbiente();
    } catch (const vdx::Errore& e) {
        if (!SoloAiuto(parole)) {
            return RifiutaPostazione(argc, argv, !NomeComando(parole), e);
        }
    }
    if (NomeComando(parole)) {
        return EseguiComando(argc, argv, parole, postazione);
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
    return ApriFinestra(argc, argv, *scelte, postazione);
}
