#include "printing/ui/MenuStampa.h"

#include "dialog/ui/Aspetto.h"
#include "dialog/ui/Disegni.h"
#include "dialog/ui/Errori.h"
#include "dialog/ui/Messaggi.h"
#include "dialog/ui/Notifiche.h"
#include "preview/ui/Anteprima.h"
#include "preview/ui/Esportazione.h"
#include "printing/StampaReport.h"
#include "printing/ui/StampanteQt.h"
#include "report/Elenchi.h"
#include "shared/Ambiente.h"
#include "shared/Cp1252.h"
#include "shared/Errore.h"
#include "shared/FileTesto.h"
#include "shared/NomiFile.h"
#include "shared/Piattaforma.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QPrinterInfo>
#include <QScreen>
#include <QShowEvent>
#include <QTimer>
#include <QToolButton>
#include <cstdio>

namespace vdx::ui {

namespace fs = std::filesystem;

namespace {

const QColor SfondoFinestra(128, 128, 255);
const QColor SfondoElenco(255, 224, 192);
constexpr int Larghezza = 6165;
// The form as drawn ends under the buttons; below them the window keeps a
// line for its notices (where a print or a file went), so that no notice
// ever covers a button.
constexpr int AltezzaModulo = 2760;
constexpr int AltezzaNotifiche = 660;
constexpr int Altezza = AltezzaModulo + AltezzaNotifiche;

const std::string NessunaStampante = "<nessuna stampante>";

struct Condiviso {
    MenuStampa::AttesaFn attesa;
    MenuStampa::StampantiFn stampanti;
};

Condiviso& DatiCondivisi() {
    static Condiviso c;
    return c;
}

QStringList StampantiDiSistema() {
    if (DatiCondivisi().stampanti) {
        return DatiCondivisi().stampanti();
    }
    return QPrinterInfo::availablePrinterNames();
}

} // namespace

MenuStampa::MenuStampa(fs::path cartella, std::string postazione, short hotel, Orologio orologio,
                       QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint |
                          Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint | Qt::WindowStaysOnTopHint),
      cartella_(std::move(cartella)), postazione_(std::move(postazione)), hotel_(hotel),
      orologio_(std::move(orologio)) {
    setModal(true);
    Costruisci();
    Form_Load();
}

MenuStampa::~MenuStampa() = default;

void MenuStampa::Costruisci() {
    setWindowTitle(QStringLiteral("Stampe non modificabili"));
    setFixedSize(Pixel(Larghezza), Pixel(Altezza));
    Sfondo(this, SfondoFinestra);

    const QFont corbel = Carattere(QStringLiteral("Corbel"), 9.75);
    const QFont arial = Carattere(QStringLiteral("Arial"), 8.25, true);

    struct Etichetta {
        const char* testo;
        int left, top, width;
        bool centrata;
    };
    const std::array<Etichetta, 3> etichette{{
        {"Stampante ", 150, 1320, 1215, false},
        {"Virtuale ", 150, 480, 1215, false},
        {"SELEZIONE", 120, 120, 5895, true},
    }};
    for (std::size_t i = 0; i < etichette.size(); ++i) {
        auto* etichettaCampo = new QLabel(QString::fromLatin1(etichette[i].testo), this);
        etichettaCampo->setFont(corbel);
        ColoreTesto(etichettaCampo, Qt::white);
        if (etichette[i].centrata) {
            etichettaCampo->setAlignment(Qt::AlignCenter);
        }
        Posiziona(etichettaCampo, etichette[i].left, etichette[i].top, etichette[i].width, 255);
        label1_[i] = etichettaCampo;
    }

    const auto elenco = [&](int top) {
        auto* combo = new QComboBox(this);
        combo->setEditable(false);
        combo->setFont(arial);
        Sfondo(combo, SfondoElenco);
        Posiziona(combo, 1350, top, 4695, 330);
        return combo;
    };
    combo1_ = elenco(480);
    combo2_ = elenco(1320);

    const auto casella = [&](const char* testo, int left, int width, int height) {
        auto* chk = new QCheckBox(QString::fromLatin1(testo), this);
        chk->setFont(corbel);
        ColoreTesto(chk, Qt::white);
        Posiziona(chk, left, 960, width, height);
        return chk;
    };
    chk_ = casella("Stampa Compressa", 120, 1935, 255);
    chk2_ = casella("Stampa orizzontale", 2070, 1980, 264);
    chk3_ = casella("Stampa fronte / retro", 4110, 2220, 264);
    chk_->setChecked(true);

    struct Pulsante {
        Disegno disegno;
        int left;
        const char* suggerimento;
    };
    const std::array<Pulsante, 6> pulsanti{{
        {Disegno::DocumentoW, 2190, "Apri la copia del tableau"},
        {Disegno::DocumentoX, 3150, "Esporta per il foglio di calcolo"},
        {Disegno::DocumentoPdf, 4110, "Stampa in PDF"},
        {Disegno::Stampante, 150, "Stampa"},
        {Disegno::Anteprima, 1110, "Anteprima"},
        {Disegno::Uscita, 5190, "Esci"},
    }};
    for (std::size_t i = 0; i < pulsanti.size(); ++i) {
        auto* tasto = new QToolButton(this);
        tasto->setIcon(IconaDisegno(pulsanti[i].disegno));
        tasto->setIconSize(QSize(48, 48));
        tasto->setToolTip(QString::fromLatin1(pulsanti[i].suggerimento));
        tasto->setFocusPolicy(Qt::StrongFocus);
        Posiziona(tasto, pulsanti[i].left, 1800, 855, 855);
        tasto->installEventFilter(this);
        const int indice = static_cast<int>(i);
        connect(tasto, &QToolButton::clicked, this,
                [this, indice] { Protetto(this, [&] { Tst_Click(indice); }); });
        tst_[i] = tasto;
    }

    // The export button's arrow offers the workbook beside the separated
    // values; a click on the button itself stays the separated-values export.
    auto* formati = new QMenu(tst_[Esporta]);
    auto* xlsx = formati->addAction(QStringLiteral("Foglio di calcolo (.xlsx)"));
    auto* csv = formati->addAction(QStringLiteral("Testo separato (.csv)"));
    connect(xlsx, &QAction::triggered, this,
            [this] { Protetto(this, [&] { AzioneEsportaXlsx(); }); });
    connect(csv, &QAction::triggered, this,
            [this] { Protetto(this, [&] { Tst_Click(Esporta); }); });
    tst_[Esporta]->setMenu(formati);
    tst_[Esporta]->setPopupMode(QToolButton::MenuButtonPopup);
    RigaNotifiche(this,
                  RettangoloTwips(120, AltezzaModulo - 60, Larghezza - 240, AltezzaNotifiche - 45));

    const std::array<QWidget*, 11> ordine{combo1_, chk_,    chk2_,   chk3_,   combo2_, tst_[0],
                                          tst_[1], tst_[2], tst_[3], tst_[4], tst_[5]};
    for (std::size_t i = 1; i < ordine.size(); ++i) {
        setTabOrder(ordine[i - 1], ordine[i]);
    }
}

QToolButton* MenuStampa::Tst(int index) const {
    return tst_.at(static_cast<std::size_t>(index));
}

QLabel* MenuStampa::Label1(int index) const {
    return label1_.at(static_cast<std::size_t>(index));
}

std::string MenuStampa::TestoCombo1() const {
    return ACp1252(combo1_->currentText());
}

std::string MenuStampa::TestoCombo2() const {
    return ACp1252(combo2_->currentText());
}

short MenuStampa::ValoreChk() const {
    return chk_->isChecked() ? 1 : 0;
}

short MenuStampa::ValoreChk2() const {
    return chk2_->isChecked() ? 1 : 0;
}

short MenuStampa::ValoreChk3() const {
    return chk3_->isChecked() ? 1 : 0;
}

fs::path MenuStampa::PercorsoCopiaDoc() const {
    return RisolviNome(cartella_, NomeCopiaDoc());
}

void MenuStampa::ImpostaAttesaModale(AttesaFn attesa) {
    DatiCondivisi().attesa = std::move(attesa);
}

void MenuStampa::ImpostaStampantiDiSistema(StampantiFn stampanti) {
    DatiCondivisi().stampanti = std::move(stampanti);
}

// ---- life cycle ----------------------------------------------------------

void MenuStampa::MostraModale() {
    if (DatiCondivisi().attesa) {
        show();
        DatiCondivisi().attesa(*this);
        if (isVisible()) {
            close();
        }
        return;
    }
    exec();
}

void MenuStampa::Form_Load() {
    // Each step on its own: one that fails is skipped and the next runs.
    try {
        if (const QScreen* schermo = QGuiApplication::primaryScreen()) {
            const QRect area = schermo->geometry();
            const int top = (Twips(area.height()) - Altezza) / 2;
            const int left = (Twips(area.width()) - Larghezza) / 2;
            move(area.left() + Pixel(std::max(left, 0)), area.top() + Pixel(std::max(top, 0)));
        }
    } catch (...) {
    }

    if (hotel_ == 0) {
        hotel_ = 1;
    }

    try {
        std::error_code ec;
        fs::create_directories(RisolviNome(cartella_, "doc"), ec);
    } catch (...) {
    }

    try {
        nomeCopiaDoc_ = vdx::NomeCopiaDoc(postazione_, orologio_());
        if (const auto report = TrovaFile(cartella_, NomeReport(postazione_))) {
            // written whole or not at all
            ScriviFileAtomico(PercorsoCopiaDoc(), LeggiFile(*report));
        }
    } catch (...) {
    }

    try {
        combo2_->clear();
        const QStringList stampanti = StampantiDiSistema();
        if (stampanti.isEmpty()) {
            combo2_->addItem(DaCp1252(NessunaStampante));
        } else {
            combo2_->addItems(stampanti);
        }
        combo2_->setCurrentIndex(-1);
    } catch (...) {
    }
}

void MenuStampa::Form_Activate() {
    // Stays above every other window: the flag was set when it was made.
    combo1_->clear();
    senzaDestinazioni_ = false;

    codiceAssistenza_ = CodiceAssistenza(cartella_, 1);
    for (const std::string& destinazione : DestinazioniDiStampa(cartella_)) {
        combo1_->addItem(DaCp1252(destinazione));
    }

    if (combo1_->count() > 0) {
        combo1_->setCurrentIndex(0);
    } else {
        // Nowhere to print: the menu closes at once, without a message. The
        // close waits for the event loop, as we may be inside show().
        senzaDestinazioni_ = true;
        QTimer::singleShot(0, this, &QWidget::close);
    }
}

void MenuStampa::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous() && !attivata_) {
        attivata_ = true;
        Protetto(this, [this] { Form_Activate(); });
    }
}

void MenuStampa::keyPressEvent(QKeyEvent* event) {
    // Escape closes the menu as the exit button does.
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        tst_[Esci]->click();
        return;
    }
    QDialog::keyPressEvent(event);
}

bool MenuStampa::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        const auto* tasto = static_cast<QKeyEvent*>(event);
        if (tasto->key() == Qt::Key_Return || tasto->key() == Qt::Key_Enter) {
            for (QToolButton* t : tst_) {
                if (watched == t) {
                    t->click();
                    return true;
                }
            }
        }
    }
    return QDialog::eventFilter(watched, event);
}

// ---- buttons -------------------------------------------------------------

void MenuStampa::Tst_Click(int index) {
    TogliNotifica(this); // the last action's notice has had its time
    switch (index) {
    case ApriCopia:
        AzioneApriCopia();
        break;
    case Esporta:
        AzioneEsporta();
        break;
    case StampaPdf:
        AzioneStampaPdf();
        break;
    case Stampa:
        AzioneStampa();
        break;
    case Anteprima:
        if (AzioneAnteprima() && !InChiusura()) {
            // back from a window of ours: the menu is active again
            Form_Activate();
        }
        break;
    case Esci:
        close();
        break;
    default:
        break;
    }
}

void MenuStampa::AzioneApriCopia() {
    const fs::path copia = PercorsoCopiaDoc();
    std::error_code ec;
    if (NomeCopiaDoc().empty() || !fs::is_regular_file(copia, ec)) {
        Avviso(this,
               "Il tableau non \xE8 stato copiato in " +
                   Cp1252DaUtf8(fs::absolute(copia).string()) + ".",
               "Stampa", Icona::Esclamazione);
        return;
    }
    NotificaFileScritto(this, copia, piattaforma::ApriConProgramma(copia));
}

void MenuStampa::AzioneEsporta() {
    EsportaEApriCsv(this, cartella_, postazione_);
}

void MenuStampa::AzioneEsportaXlsx() {
    TogliNotifica(this);
    EsportaEApriXlsx(this, cartella_, postazione_);
}

void MenuStampa::AzioneStampaPdf() {
    std::vector<std::string> voci;
    for (int i = 0; i < combo1_->count(); ++i) {
        voci.push_back(ACp1252(combo1_->itemText(i)));
    }
    const auto pdf = DestinazionePdf(voci);
    if (!pdf) {
        Avviso(this, "Nessuna stampante PDF impostata!", "Stampa", Icona::Esclamazione);
        return;
    }
    // The last entry holding "PDF" becomes the chosen destination.
    for (int i = combo1_->count() - 1; i >= 0; --i) {
        if (voci[static_cast<std::size_t>(i)] == *pdf) {
            combo1_->setCurrentIndex(i);
            break;
        }
    }
    AzioneStampa();
}

void MenuStampa::AzioneStampa() {
    SceltaStampa scelta;
    scelta.destinazione = TestoCombo1();
    scelta.stampanteSistema = TestoCombo2();
    scelta.compressa = ValoreChk() == 1;
    scelta.orizzontale = ValoreChk2() == 1;
    scelta.fronteRetro = ValoreChk3() == 1;
    scelta.codiceAssistenza = CodiceAssistenzaMenu();
    scelta.hotel = hotel_;
    // An error a user can meet (no printer, the print system refusing the
    // job, a full disk, an output that cannot be opened) is shown with its
    // number and text, and the menu stays open so another destination can be
    // tried.
    try {
        const RisultatoStampa risultato =
            StampaReport(cartella_, postazione_, scelta, FabbricaStampanteQt());
        Notifica(this, DoveStampato(scelta.destinazione, risultato));
    } catch (const Errore& e) {
        Avviso(this, "Errore " + std::to_string(e.Numero()) + "\n" + e.what(), "Stampa",
               Icona::Errore);
    } catch (const std::filesystem::filesystem_error& e) {
        Avviso(this,
               "Errore " + std::to_string(errore::AccessoPercorso) + "\n" +
                   DescrizioneErroreFile(e),
               "Stampa", Icona::Errore);
    }
}

bool MenuStampa::AzioneAnteprima() {
    MostraAnteprima(this, cartella_, postazione_);
    return true;
}

} // namespace vdx::ui
