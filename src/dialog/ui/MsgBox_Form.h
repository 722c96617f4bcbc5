#pragma once

// The program's own message window: borderless, above every other window,
// sized to its message, with up to three buttons whose press it reports as
// an answer code. A caller creates it, sets the message, the title, the
// button captions and StileMsgBox(), shows it modally and reads
// RispostaMsgBox() when it has closed.

#include <QDialog>
#include <array>
#include <string>
#include <string_view>

class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace vdx::ui {

// Text rows the message area needs: the carriage returns in the text, plus 2.
short CalcolaRighe(std::string_view testo);

// Character columns the window needs: the widest line (at least 50; every
// character but the carriage return counts, line feeds included), plus 1.
short CalcolaColonne(std::string_view testo);

// Layout code set by the caller before showing the window: 0 or 48 one
// button; 4 or 36 two buttons; 35 or 51 three buttons; 200 to 400 two
// buttons without moving the focus; any other value leaves the buttons where
// they were drawn.
short& StileMsgBox();

// Answer set when a button is pressed. Closing the window another way (Esc)
// leaves it as it was, so a caller sets it to the value it wants to assume
// before showing the window.
inline constexpr short RispostaOk = 0;
inline constexpr short RispostaSi = 6;
inline constexpr short RispostaNo = 7;
inline constexpr short RispostaAnnulla = 2;
short& RispostaMsgBox();

class MsgBox_Form final : public QDialog {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(MsgBox_Form)

public:
    explicit MsgBox_Form(QWidget* parent = nullptr);
    ~MsgBox_Form() override;

    // The message (code page 1252, lines separated by carriage return and
    // line feed) and the title.
    void ImpostaMessaggio(const std::string& testo);
    void ImpostaTitolo(const std::string& titolo);
    const std::string& Messaggio() const { return messaggio_; }

    // The controls a caller prepares: T(0) to T(2), Text1, Label1.
    QPushButton* T(int index) const;
    QPlainTextEdit* Text1() const { return text1_; }
    QLabel* Label1() const { return label1_; }

    // Button handler: T(0) answers 0 when its caption is "Ok" and 6 when it
    // is "Si", T(1) answers 7, T(2) answers 2; then the window closes.
    void T_Click(int index);

    // The layout, in twips, as the last activation left it.
    struct Geometria {
        int larghezza = 0;
        int altezza = 0;
        int testoLarghezza = 0;
        int testoAltezza = 0;
        int tastiTop = 0;
        std::array<int, 3> tastiLeft{};
    };
    const Geometria& GeometriaFinestra() const { return geometria_; }

    // Runs when the window is shown: arranges the buttons by StileMsgBox()
    // and sizes the window to the message.
    void Form_Activate();

protected:
    void showEvent(QShowEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void Form_Load();
    void Applica();

    std::array<QPushButton*, 3> t_{};
    QPlainTextEdit* text1_ = nullptr;
    QLabel* label1_ = nullptr;
    std::string messaggio_;
    Geometria geometria_;
    bool attivata_ = false;
};

} // namespace vdx::ui
