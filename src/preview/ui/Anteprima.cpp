#include "preview/ui/Anteprima.h"

#include "dialog/ui/Aspetto.h"
#include "dialog/ui/Disegni.h"
#include "dialog/ui/Errori.h"
#include "dialog/ui/Messaggi.h"
#include "dialog/ui/Notifiche.h"
#include "preview/InviaEMail.h"
#include "preview/ui/AvvioRecapito.h"
#include "shared/Ambiente.h"
#include "shared/NomiFile.h"

#include <QEvent>
#include <QFontDatabase>
#include <QIcon>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QTimer>
#include <cmath>

namespace vdx::ui {

namespace fs = std::filesystem;

namespace {

Anteprima::AttesaFn& AttesaModale() {
    static Anteprima::AttesaFn attesa;
    return attesa;
}

// The page's font: Courier New, or Liberation Mono where Courier New is not
// installed (same widths), else the system's fixed-pitch font.
QFont CarattereTesto() {
    const QStringList installati = QFontDatabase::families();
    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    for (const char* nome : {"Courier New", "Liberation Mono"}) {
        const QString famiglia = QString::fromLatin1(nome);
        if (installati.contains(famiglia, Qt::CaseInsensitive)) {
            font = QFont(famiglia);
            break;
        }
    }
    font.setStyleHint(QFont::TypeWriter);
    font.setFixedPitch(true);
    font.setPointSizeF(11.25);
    return font;
}

int PixelDaTwips(double twips) {
    return Pixel(static_cast<int>(std::lround(twips)));
}

struct ControlloTasto {
    Anteprima::Indice indice;
    const char* didascalia;
    int left, top, width, height;
};

// The buttons as the window was drawn, in twips; seen from the left they
// stand Riduci, Espandi, Avanti, Inizio, E-mail, Salva, Esci.
constexpr std::array<ControlloTasto, 7> Tasti{{
    {Anteprima::Esci, "&Esci", 6795, 6216, 2655, 1125},
    {Anteprima::Riduci, "&Riduci", 84, 6216, 975, 1125},
    {Anteprima::Espandi, "E&spandi", 1200, 6216, 1095, 1125},
    {Anteprima::Avanti, "&Avanti", 2400, 6216, 975, 1125},
    {Anteprima::Inizio, "&Inizio", 3480, 6216, 975, 1125},
    {Anteprima::EMail, "E-&mail", 4560, 6216, 975, 1125},
    {Anteprima::Salva, "Sa&lva", 5640, 6216, 975, 1125},
}};

constexpr int LarghezzaProgetto = 9525;
constexpr int AltezzaProgetto = 7380;

} // namespace

Anteprima::Anteprima(fs::path cartella, std::string postazione, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowStaysOnTopHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                          Qt::WindowMinMaxButtonsHint),
      cartella_(std::move(cartella)), paginatore_(cartella_, std::move(postazione)) {
    Costruisci();
}

Anteprima::~Anteprima() = default;

void Anteprima::Costruisci() {
    setWindowTitle(QStringLiteral("Anteprima di Stampa"));
    setModal(true);
    resize(Pixel(LarghezzaProgetto), Pixel(AltezzaProgetto));

    text1_ = new QPlainTextEdit(this);
    text1_->setObjectName(QStringLiteral("Text1"));
    text1_->setLineWrapMode(QPlainTextEdit::NoWrap);
    text1_->setWordWrapMode(QTextOption::NoWrap);
    text1_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    text1_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    text1_->setFont(CarattereTesto());
    Posiziona(text1_, 84, 84, 9372, 6048);

    for (const auto& c : Tasti) {
        auto* tasto = new QPushButton(QString::fromLatin1(c.didascalia), this);
        tasto->setObjectName(QStringLiteral("Tasto%1").arg(static_cast<int>(c.indice)));
        tasto->setFont(Carattere(QStringLiteral("Corbel"), 12, c.indice == Esci));
        tasto->setAutoDefault(false);
        Posiziona(tasto, c.left, c.top, c.width, c.height);
        const int indice = c.indice;
        connect(tasto, &QPushButton::clicked, this,
                [this, indice] { Protetto(this, [&] { Tasto_Click(indice); }); });
        tasto_[static_cast<std::size_t>(c.indice)] = tasto;
    }
    AngoloNotifiche(this, text1_);
    tasto_[Esci]->setIcon(QIcon(QPixmap::fromImage(Immagine(Disegno::Uscita))));
    tasto_[Esci]->setIconSize(QSize(48, 48));

    // Tab order: the page, Riduci, Espandi, Esci, Avanti, Inizio, E-mail, Salva.
    const std::array<QWidget*, 8> ordine{text1_,        tasto_[Riduci], tasto_[Espandi],
                                         tasto_[Esci],  tasto_[Avanti], tasto_[Inizio],
                                         tasto_[EMail], tasto_[Salva]};
    for (std::size_t i = 1; i < ordine.size(); ++i) {
        setTabOrder(ordine[i - 1], ordine[i]);
    }
}

QPushButton* Anteprima::Tasto(int index) const {
    if (index < 0 || index >= static_cast<int>(tasto_.size())) {
        return nullptr;
    }
    return tasto_[static_cast<std::size_t>(index)];
}

void Anteprima::Disponi() {
    const double w = Twips(frameGeometry().width());
    const double h = Twips(frameGeometry().height());
    if (w <= 0 || h <= 0) {
        return;
    }
    const double altezzaEsci = Twips(tasto_[Esci]->height());
    text1_->resize(std::max(0, PixelDaTwips(w - 200)),
                   std::max(0, PixelDaTwips(h - (1.5 * altezzaEsci + 150))));

    QPushButton* esci = tasto_[Esci];
    const double leftEsci = Twips(esci->x());
    esci->setGeometry(esci->x(), PixelDaTwips(h - (1.5 * altezzaEsci + 10)),
                      std::max(0, PixelDaTwips(w - leftEsci - 150)), esci->height());
    for (int i = Riduci; i <= Salva; ++i) {
        QPushButton* tasto = tasto_[static_cast<std::size_t>(i)];
        const double altezza = Twips(tasto->height());
        tasto->move(tasto->x(), PixelDaTwips(h - (1.5 * altezza + 10)));
    }
}

void Anteprima::Form_Activate() {
    // Kept above every window not itself kept on top: the window is made
    // with that hint, which lasts as long as it does.
    Disponi();
    if (!paginatore_.EsisteReport()) {
        // No report to show: the window closes, as Esci does. The close
        // waits for the event loop, as we may be inside show().
        QTimer::singleShot(0, this, &QWidget::close);
        return;
    }
    paginatore_.PaginaApertura();
    MostraPagina();
}

void Anteprima::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous() && !attivata_) {
        attivata_ = true;
        Protetto(this, [this] { Form_Activate(); });
    }
}

void Anteprima::changeEvent(QEvent* event) {
    QDialog::changeEvent(event);
    // Coming back from one of our message boxes only fits the controls
    // again: the page stays as it is.
    if (event->type() == QEvent::ActivationChange && attivata_ && isActiveWindow()) {
        Disponi();
    }
}

void Anteprima::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    if (attivata_) {
        Disponi();
    }
}

void Anteprima::done(int risultato) {
    paginatore_.Chiudi();
    QDialog::done(risultato);
}

void Anteprima::MostraPagina() {
    QString testo = DaCp1252(paginatore_.Testo());
    testo.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text1_->setPlainText(testo);
    // Where the page stands, in the title; Avanti only while a page follows.
    QString titolo = QStringLiteral("Anteprima di Stampa");
    if (paginatore_.TotalePagine() > 0) {
        titolo += QStringLiteral(" \u2013 Pagina %1 di %2")
                      .arg(paginatore_.NumeroPagina())
                      .arg(paginatore_.TotalePagine());
    }
    setWindowTitle(titolo);
    tasto_[Avanti]->setEnabled(paginatore_.AltraPagina());
}

std::string Anteprima::TestoMostrato() const {
    // The raw text keeps no-break spaces as they are; blocks are divided by
    // paragraph separators.
    QString testo = text1_->document()->toRawText();
    testo.replace(QChar::ParagraphSeparator, QChar(u'\n'));
    testo.replace(QChar::LineSeparator, QChar(u'\n'));
    testo.replace(QStringLiteral("\n"), QStringLiteral("\r\n"));
    return ACp1252(testo);
}

void Anteprima::CambiaCarattere(double punti) {
    QFont font = text1_->font();
    font.setPointSizeF(punti);
    text1_->setFont(font);
}

void Anteprima::InviaEMail() {
    // The hand-off file first: failing to write it is an error like any
    // other. The sender then runs on its own; its outcome is told when it
    // ends, and a sender that cannot be started leaves the file for when it
    // can.
    const std::string& postazione = paginatore_.Postazione();
    ScriviFileEMail(TestoMostrato(), cartella_, postazione);
    AvvioRecapito::Avvia(this, cartella_, RisolviNome(cartella_, NomeFileEMail(postazione)));
}

void Anteprima::Tasto_Click(int index) {
    TogliNotifica(this); // the last action's notice has had its time
    switch (index) {
    case Esci:
        close();
        break;
    case Riduci: {
        const double punti = text1_->font().pointSizeF();
        if (punti > 1) {
            CambiaCarattere(punti - 1);
        }
        break;
    }
    case Espandi:
        CambiaCarattere(text1_->font().pointSizeF() + 1);
        break;
    case Avanti:
        if (paginatore_.Avanti()) {
            MostraPagina();
        }
        text1_->setFocus();
        break;
    case Inizio:
        paginatore_.Inizio();
        MostraPagina();
        text1_->setFocus();
        break;
    case EMail:
        InviaEMail();
        break;
    case Salva:
        paginatore_.Salva(TestoMostrato());
        Notifica(this, "Pagina salvata in " + NomeReport(paginatore_.Postazione()));
        break;
    default:
        break;
    }
}

void Anteprima::ImpostaAttesaModale(AttesaFn attesa) {
    AttesaModale() = std::move(attesa);
}

void MostraAnteprima(QWidget* parent, const fs::path& cartella, const std::string& postazione) {
    Anteprima finestra(cartella, postazione, parent);
    if (const auto& attesa = AttesaModale()) {
        finestra.show();
        attesa(finestra);
        finestra.close();
        return;
    }
    finestra.exec();
}

} // namespace vdx::ui
