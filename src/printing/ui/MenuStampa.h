#pragma once

// The print menu: opened modally by the request window once the report is
// written. It makes a dated ".doc" copy of the report, lists the suite's
// destinations (those of hotel 1) and the system's printers, and offers six
// picture buttons: open the copy, export, print to PDF, print, preview, close.
// The export button's arrow offers a menu: the workbook (.xlsx) or the
// separated values (.csv), which a click on the button itself exports.

#include "shared/Date.h"

#include <QDialog>
#include <QStringList>
#include <array>
#include <filesystem>
#include <functional>
#include <string>

class QCheckBox;
class QComboBox;
class QLabel;
class QToolButton;

namespace vdx::ui {

class MenuStampa final : public QDialog {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(MenuStampa)

public:
    // The picture buttons, by index.
    enum Tasto { ApriCopia = 0, Esporta = 1, StampaPdf = 2, Stampa = 3, Anteprima = 4, Esci = 5 };

    // `cartella` is the working folder, `postazione` the workstation whose
    // report the buttons work on, `hotel` the hotel of the request (its page
    // lengths apply; 0 is taken as 1). Creating the window runs Form_Load.
    MenuStampa(std::filesystem::path cartella, std::string postazione, short hotel,
               Orologio orologio = OrologioDiSistema(), QWidget* parent = nullptr);
    ~MenuStampa() override;

    // Shows the menu modally and returns when it has closed.
    void MostraModale();

    // Runs once when the window is created: centres it, makes hotel 0 hotel
    // 1, creates "doc", copies the report to NomeCopiaDoc() and lists the
    // system printers. A step that fails is skipped without a message.
    void Form_Load();

    // Runs when the menu is shown and again whenever a window of the program
    // opened over it closes: destinations of hotel 1 into Combo1 (the first
    // chosen), CodiceAssistenzaMenu() read again. Without a destination the
    // menu closes at once. Errors of the data files are thrown.
    void Form_Activate();

    // The six picture buttons; any other index does nothing.
    void Tst_Click(int index);

    // What the buttons work with. Texts are code page 1252.
    const std::filesystem::path& Cartella() const { return cartella_; }
    std::string TestoCombo1() const; // chosen destination
    std::string TestoCombo2() const; // chosen system printer, "" when none
    short ValoreChk() const;         // "Stampa Compressa": 1 ticked, 0 clear
    short ValoreChk2() const;        // "Stampa orizzontale"
    short ValoreChk3() const;        // "Stampa fronte / retro"
    // Hotel 1's CodiceAssistenza ("K" and "U" steer printing), one blank
    // when hotel 1 is missing.
    const std::string& CodiceAssistenzaMenu() const { return codiceAssistenza_; }
    // The dated copy, relative to the working folder ("doc\fd3202612070905.doc").
    const std::string& NomeCopiaDoc() const { return nomeCopiaDoc_; }
    // The hotel whose page lengths apply.
    short HotelCorrente() const { return hotel_; }
    std::filesystem::path PercorsoCopiaDoc() const;
    // Whether activation found no destination and closed the menu.
    bool SenzaDestinazioni() const { return senzaDestinazioni_; }

    // The controls, for tests.
    QComboBox* Combo1() const { return combo1_; } // the suite's destinations
    QComboBox* Combo2() const { return combo2_; } // the system's printers
    QCheckBox* Chk() const { return chk_; }       // "Stampa Compressa"
    QCheckBox* Chk2() const { return chk2_; }     // "Stampa orizzontale"
    QCheckBox* Chk3() const { return chk3_; }     // "Stampa fronte / retro"
    QToolButton* Tst(int index) const;            // the six buttons, by Tasto
    QLabel* Label1(int index) const;              // captions of the lists

    // Test seams. While set, MostraModale() shows the menu without a nested
    // event loop, calls `attesa` with it and closes it when `attesa` returns;
    // the system printers come from `stampanti`.
    using AttesaFn = std::function<void(MenuStampa&)>;
    using StampantiFn = std::function<QStringList()>;
    static void ImpostaAttesaModale(AttesaFn attesa);
    static void ImpostaStampantiDiSistema(StampantiFn stampanti);

protected:
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Costruisci();

    // The buttons' actions, one member each.
    void AzioneApriCopia();   // 0: the dated copy, opened with the desktop's program
    void AzioneEsporta();     // 1: separated-values export, opened in the spreadsheet
    void AzioneEsportaXlsx(); // the export button's menu: the workbook, opened likewise
    void AzioneStampaPdf();   // 2: print on the destination named for PDF
    void AzioneStampa();      // 3: print on the chosen destination
    bool AzioneAnteprima();   // 4: the preview; true when a window was shown over the menu

    std::filesystem::path cartella_;
    std::string postazione_;
    short hotel_;
    Orologio orologio_;
    std::string codiceAssistenza_;
    std::string nomeCopiaDoc_;
    QComboBox* combo1_ = nullptr;
    QComboBox* combo2_ = nullptr;
    QCheckBox* chk_ = nullptr;
    QCheckBox* chk2_ = nullptr;
    QCheckBox* chk3_ = nullptr;
    std::array<QToolButton*, 6> tst_{};
    std::array<QLabel*, 3> label1_{};
    bool attivata_ = false;
    bool senzaDestinazioni_ = false;
};

} // namespace vdx::ui
