// vdx-screenshots HOTEL_DIR OUT_DIR: draws the request window on the hotel of
// HOTEL_DIR (a copy of it, so nothing is written there), the print menu over
// it and the message dialog, and saves them as PNG pictures in OUT_DIR. Runs
// without a display (Qt's offscreen platform unless QT_QPA_PLATFORM says
// otherwise).

#include "dialog/ui/Messaggi.h"
#include "dialog/ui/MsgBox_Form.h"
#include "printing/ui/MenuStampa.h"
#include "request/ui/VDXDesk.h"
#include "shared/Errore.h"
#include "shared/Opzioni.h"

#include <QApplication>
#include <QPushButton>
#include <QTemporaryDir>
#include <filesystem>
#include <iostream>

namespace fs = std::filesystem;

namespace {

bool Salva(QWidget& finestra, const fs::path& file) {
    QApplication::processEvents();
    if (!finestra.grab().save(QString::fromStdString(file.string()), "PNG")) {
        std::cerr << "vdx-screenshots: impossibile scrivere " << file << "\n";
        return false;
    }
    std::cout << file.string() << "\n";
    return true;
}

} // namespace

const vdx::DescrizioneComando Immagini{
    "vdx-screenshots",
    "CARTELLA_HOTEL CARTELLA_IMMAGINI",
    2,
    "Disegna senza schermo la finestra di richiesta sull'hotel di CARTELLA_HOTEL (su una sua\n"
    "copia: lì nulla viene scritto), il menu di stampa sopra di essa e la finestra dei\n"
    "messaggi, e li salva come immagini PNG in CARTELLA_IMMAGINI.",
    {},
    2};

int main(int argc, char** argv) {
    int esito = 0;
    const auto scelte = vdx::LeggiOUso(Immagini, std::vector<std::string>(argv + 1, argv + argc),
                                       std::cout, std::cerr, esito);
    if (!scelte) {
        return esito;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    vdx::ui::ModoAutomatico(true); // no box may wait for an answer

    const fs::path uscita = fs::absolute(scelte->argomenti[1]);
    QTemporaryDir temporanea;
    const fs::path cartella = fs::path(temporanea.path().toStdString()) / "hotel";
    try {
        fs::create_directories(uscita);
        fs::copy(scelte->argomenti[0], cartella, fs::copy_options::recursive);
    } catch (const fs::filesystem_error& e) {
        std::cerr << "vdx-screenshots: " << e.what() << "\n";
        return 1;
    }

    bool riuscito = true;
    try {
        const std::string postazione; // no picture shows a file of the workstation
        vdx::ui::VDXDesk desk(cartella, postazione);
        desk.Form_Load();
        desk.show();
        riuscito &= Salva(desk, uscita / "request-window.png");

        vdx::ui::MenuStampa::ImpostaAttesaModale(
            [&](vdx::ui::MenuStampa& menu) { riuscito &= Salva(menu, uscita / "print-menu.png"); });
        vdx::ui::MenuStampa menu(cartella, postazione, desk.HotelCorrente(),
                                 vdx::OrologioDiSistema(), &desk);
        menu.MostraModale();
    } catch (const vdx::Errore& e) {
        std::cerr << "vdx-screenshots: Errore " << e.Numero() << ": " << e.what() << "\n";
        return 1;
    }

    vdx::ui::StileMsgBox() = 36;
    vdx::ui::MsgBox_Form box;
    box.ImpostaTitolo("Stampa tableau");
    box.ImpostaMessaggio("Stampo solo le camere utilizzate?\r\n"
                         "Le camere libere non saranno elencate.");
    box.T(0)->setText(QStringLiteral("S\u00ec"));
    box.T(1)->setText(QStringLiteral("No"));
    box.T(2)->hide();
    box.show();
    riuscito &= Salva(box, uscita / "message-dialog.png");
    return riuscito ? 0 : 1;
}
