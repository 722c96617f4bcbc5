#include "dialog/ui/MsgBox_Form.h"

#include "dialog/ui/Aspetto.h"
#include "dialog/ui/Messaggi.h"

#include <QGuiApplication>
#include <QLabel>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QShowEvent>
#include <algorithm>

namespace vdx::ui {

namespace {

// As drawn, in twips.
constexpr int LarghezzaDisegno = 4695;
constexpr int AltezzaDisegno = 3135;
constexpr int TastoTop = 2400;
constexpr int TastoLarghezza = 975;
constexpr int TastoAltezza = 615;
constexpr std::array<int, 3> TastoLeft{120, 1200, 2280};
constexpr int TestoLeft = 120;
constexpr int TestoTop = 480;
constexpr int TestoAltezzaDisegno = 1695;
constexpr int TitoloAltezza = 375;
constexpr int Spazio = 70;

// Sizes are held in 16 bits: 364 columns of 90 twips and 104 rows of 300
// twips (plus title and buttons) are the most that fit. Longer messages
// scroll inside the message area.
constexpr int ColonneMassime = 364;
constexpr int RigheMassime = 104;

} // namespace

short CalcolaRighe(std::string_view testo) {
    const auto ritorni = std::count(testo.begin(), testo.end(), '\r');
    return static_cast<short>(std::min<std::ptrdiff_t>(ritorni + 2, 32767));
}

short CalcolaColonne(std::string_view testo) {
    std::size_t riga = 0;
    std::size_t massima = 50;
    for (const char c : testo) {
        if (c == '\r') {
            massima = std::max(massima, riga);
            riga = 0;
        } else {
            ++riga;
        }
    }
    massima = std::max(massima, riga);
    return static_cast<short>(std::min<std::size_t>(massima + 1, 32767));
}

short& StileMsgBox() {
    static short stile = 0;
    return stile;
}

short& RispostaMsgBox() {
    static short risposta = 0;
    return risposta;
}

MsgBox_Form::MsgBox_Form(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint) {
    setModal(true);
    Sfondo(this, QColor(0, 128, 0));

    for (int i = 0; i < 3; ++i) {
        t_[static_cast<std::size_t>(i)] =
            new QPushButton(i == 2 ? QStringLiteral("Annulla") : QStringLiteral("Ok"), this);
        QPushButton* tasto = t_[static_cast<std::size_t>(i)];
        tasto->setFont(Carattere(QStringLiteral("Corbel"), 12));
        tasto->setAutoDefault(false);
        connect(tasto, &QPushButton::clicked, this, [this, i] { T_Click(i); });
    }
    text1_ = new QPlainTextEdit(this);
    text1_->setReadOnly(true);
    text1_->setFont(Carattere(QStringLiteral("Corbel"), 9.75));
    Sfondo(text1_, Qt::white);
    ColoreTesto(text1_, Qt::blue);
    label1_ = new QLabel(this);
    label1_->setAlignment(Qt::AlignCenter);
    label1_->setFont(Carattere(QStringLiteral("Corbel"), 12, true));

    setTabOrder(t_[0], t_[1]);
    setTabOrder(t_[1], t_[2]);
    setTabOrder(t_[2], text1_);

    geometria_.larghezza = LarghezzaDisegno;
    geometria_.altezza = AltezzaDisegno;
    geometria_.testoLarghezza = 4455;
    geometria_.testoAltezza = TestoAltezzaDisegno;
    geometria_.tastiTop = TastoTop;
    geometria_.tastiLeft = TastoLeft;
    Applica();
    Form_Load();
}

MsgBox_Form::~MsgBox_Form() = default;

QPushButton* MsgBox_Form::T(int index) const {
    return t_.at(static_cast<std::size_t>(index));
}

void MsgBox_Form::ImpostaMessaggio(const std::string& testo) {
    messaggio_ = testo;
    QString mostrato = DaCp1252(testo);
    mostrato.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    mostrato.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    text1_->setPlainText(mostrato);
    // centre every paragraph
    QTextCursor cursore(text1_->document());
    cursore.select(QTextCursor::Document);
    QTextBlockFormat formato;
    formato.setAlignment(Qt::AlignHCenter);
    cursore.mergeBlockFormat(formato);
}

void MsgBox_Form::ImpostaTitolo(const std::string& titolo) {
    label1_->setText(DaCp1252(titolo));
}

void MsgBox_Form::Form_Load() {
    // Centred on the screen with the size it was drawn at.
    const QScreen* schermo = QGuiApplication::primaryScreen();
    if (schermo == nullptr) {
        return;
    }
    const QSize s = schermo->geometry().size();
    const int top = (Twips(s.height()) - AltezzaDisegno) / 2;
    const int left = (Twips(s.width()) - LarghezzaDisegno) / 2;
    move(schermo->geometry().left() + Pixel(std::max(left, 0)),
         schermo->geometry().top() + Pixel(std::max(top, 0)));
}

void MsgBox_Form::Form_Activate() {
    const int w = TastoLarghezza;
    const int larghezza = geometria_.larghezza; // before the resize below
    auto& left = geometria_.tastiLeft;
    const short stile = StileMsgBox();
    bool focus = false;
    if (stile == 0 || stile == 48) {
        left[0] = (larghezza - w) / 2;
    } else if (stile == 4 || stile == 36 || (stile >= 200 && stile <= 400)) {
        left[0] = (larghezza - (2 * w + Spazio)) / 2;
        left[1] = left[0] + w + Spazio;
        focus = stile == 4 || stile == 36;
    } else if (stile == 35 || stile == 51) {
        left[0] = (larghezza - (3 * w + 2 * Spazio)) / 2;
        left[1] = left[0] + w + Spazio;
        left[2] = left[1] + w + Spazio;
        focus = true;
    }

    const int righe = std::min<int>(CalcolaRighe(messaggio_), RigheMassime);
    const int colonne = std::min<int>(CalcolaColonne(messaggio_), ColonneMassime);
    geometria_.larghezza = colonne * 90;
    geometria_.testoLarghezza = geometria_.larghezza - 180;
    geometria_.testoAltezza = righe * 300;
    geometria_.altezza = geometria_.testoAltezza + TitoloAltezza + TastoAltezza + 300;
    geometria_.tastiTop = TestoTop + geometria_.testoAltezza + 100;
    Applica();
    if (focus) {
        t_[0]->setFocus();
    }
}

void MsgBox_Form::Applica() {
    setFixedSize(Pixel(geometria_.larghezza), Pixel(geometria_.altezza));
    Posiziona(label1_, 0, 0, geometria_.larghezza, TitoloAltezza);
    Posiziona(text1_, TestoLeft, TestoTop, geometria_.testoLarghezza, geometria_.testoAltezza);
    for (std::size_t i = 0; i < 3; ++i) {
        Posiziona(t_[i], geometria_.tastiLeft[i], geometria_.tastiTop, TastoLarghezza,
                  TastoAltezza);
    }
    update();
}

void MsgBox_Form::T_Click(int index) {
    switch (index) {
    case 0:
        if (t_[0]->text() == QStringLiteral("Ok")) {
            RispostaMsgBox() = RispostaOk;
        } else if (t_[0]->text() == QStringLiteral("Si")) {
            RispostaMsgBox() = RispostaSi;
        }
        break;
    case 1:
        RispostaMsgBox() = RispostaNo;
        break;
    case 2:
        RispostaMsgBox() = RispostaAnnulla;
        break;
    default:
        return;
    }
    accept();
}

void MsgBox_Form::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous() && !attivata_) {
        attivata_ = true;
        Form_Activate();
    }
}

void MsgBox_Form::paintEvent(QPaintEvent* event) {
    QDialog::paintEvent(event);
    // the frame around the whole window
    QPainter p(this);
    p.setPen(QPen(Qt::black, 1));
    p.setBrush(Qt::NoBrush);
    p.drawRect(rect().adjusted(0, 0, -1, -1));
}

} // namespace vdx::ui
