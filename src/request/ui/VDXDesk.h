#pragma once

// The request window: the hotel, the tableau, the room range, the reference
// date and four options of one daily tableau. It is the program's first
// window; closing it ends the program.

#include "request/CampiRichiesta.h"
#include "request/ControlloRichiesta.h"
#include "shared/Date.h"

#include <QWidget>
#include <array>
#include <filesystem>
#include <memory>
#include <string>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QToolButton;

namespace vdx::ui {

class VDXDesk final : public QWidget {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(VDXDesk)

public:
    // `cartella` is the working folder: the hotel's data files are there and
    // the report of `postazione`, the workstation, is written there.
    VDXDesk(std::filesystem::path cartella, std::string postazione,
            Orologio orologio = OrologioDiSistema(), QWidget* parent = nullptr);
    ~VDXDesk() override;

    // Runs once, before the window is first shown: the calendar of the date
    // check is set up.
    void Form_Load();

    // Runs when the window is first shown and again each time the print menu
    // closes: lists filled, today's date, first hotel and its first tableau
    // chosen (the check boxes keep their state). With no hotel the window
    // closes and the program ends.
    void Form_Activate();

    // Field handlers: focus selects the whole text; Enter (13) tidies the
    // field, checks it and moves on.
    void Text1_GotFocus(int index);
    void Text1_KeyPress(int index, int keyAscii);

    // A hotel (0) or tableau (1) chosen, by the user or by the program.
    void Combo1_Click(int index);

    // "&Stampa" (0), "&Esci" (1).
    void Tasto_Click(int index);

    // The controls, for the program's own use and for tests.
    QLineEdit* Text1(int index) const;                   // 0 first room, 1 last room, 2 date
    QComboBox* Combo1(int index) const;                  // 0 hotels, 1 tableaux
    QPushButton* Tasto0() const { return tastoStampa_; } // "&Stampa"
    QToolButton* Tasto1() const { return tastoEsci_; }   // "&Esci"
    QLabel* Label1(int index) const;                     // captions of the fields and lists
    QCheckBox* Chk() const { return chk_[0]; }           // "Aggiungere arrangiamento"
    QCheckBox* Chk1() const { return chk_[1]; }          // "Solo arrivi del giorno"
    QCheckBox* Chk2() const { return chk_[2]; }          // "Solo partenze del giorno"
    QCheckBox* Chk3() const { return chk_[3]; }          // "Solo camere libere"

    const std::filesystem::path& Cartella() const { return cartella_; }

    // The request as chosen in the lists and answered at "&Stampa".
    short HotelCorrente() const { return hotelCorrente_; }
    short TableauCorrente() const { return tableauCorrente_; } // 0 for "<tutti>"
    const std::string& CodiceAssistenzaHotel() const { return codiceAssistenzaHotel_; }
    bool SoloUtilizzate() const { return soloUtilizzate_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void Costruisci();
    std::string Testo(int index) const;
    void ImpostaTesto(int index, const std::string& testo);
    void Stampa();
    void Avvisa(const Rifiuto& rifiuto);

    std::filesystem::path cartella_;
    std::string postazione_;
    Orologio orologio_;

    short hotelCorrente_ = 0;
    short tableauCorrente_ = 0;
    std::string codiceAssistenzaHotel_ = " ";
    bool soloUtilizzate_ = false;
    Calendario calendario_; // GiorniMese, rewritten by every date check

    std::array<QLineEdit*, 3> text1_{};
    std::array<QComboBox*, 2> combo1_{};
    std::array<QLabel*, 5> label1_{};
    std::array<QCheckBox*, 4> chk_{};
    QPushButton* tastoStampa_ = nullptr;
    QToolButton* tastoEsci_ = nullptr;
    bool attivata_ = false;
};

} // namespace vdx::ui
