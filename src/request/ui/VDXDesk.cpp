#include "request/ui/VDXDesk.h"

#include "dialog/ui/Aspetto.h"
#include "dialog/ui/Disegni.h"
#include "dialog/ui/ElencoAbbreviato.h"
#include "dialog/ui/Errori.h"
#include "dialog/ui/Messaggi.h"
#include "printing/ui/MenuStampa.h"
#include "report/Elenchi.h"
#include "report/GeneraTableau.h"
#include "request/CampiRichiesta.h"
#include "shared/Numeri.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QShowEvent>
#include <QTimer>
#include <QToolButton>
#include <algorithm>

namespace vdx::ui {

namespace {

const QColor SfondoFinestra(192, 192, 255);
const QColor SfondoElenco(255, 224, 192);

constexpr std::array<int, 3> LunghezzaCampo{6, 6, 10};
constexpr std::array<int, 3> TopCampo{1200, 1800, 2400};
constexpr std::array<int, 3> TopCornice{1080, 1680, 2280};

// The list's number column holds three characters; a longer number could not
// be read back from its entry, so such a record is not offered.
constexpr int NumeroMassimo = 999;

// The number of a list entry: the numeric reading of its first three
// characters ("<tutti>" reads 0).
short NumeroVoce(const QComboBox* combo, int index) {
    return LeggiIntero(ACp1252(combo->itemText(index)).substr(0, 3));
}

} // namespace

VDXDesk::VDXDesk(std::filesystem::path cartella, std::string postazione, Orologio orologio,
                 QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint |
                          Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint),
      cartella_(std::move(cartella)), postazione_(std::move(postazione)),
      orologio_(std::move(orologio)) {
    Costruisci();
}

VDXDesk::~VDXDesk() = default;

void VDXDesk::Costruisci() {
    setWindowTitle(QStringLiteral("Vardelux"));
    setFixedSize(Pixel(4260), Pixel(5535));
    Sfondo(this, SfondoFinestra);

    const QFont arial = Carattere(QStringLiteral("Arial"), 9.75);
    const QFont corbel = Carattere(QStringLiteral("Corbel"), 11.25);

    for (std::size_t i = 0; i < text1_.size(); ++i) {
        auto* campo = new QLineEdit(this);
        campo->setMaxLength(LunghezzaCampo[i]);
        campo->setAlignment(i < 2 ? Qt::AlignCenter : Qt::AlignLeft);
        campo->setFont(arial);
        campo->setFrame(false);
        Sfondo(campo, Qt::white);
        Posiziona(campo, 1560, TopCampo[i], 1095, 288);
        campo->installEventFilter(this);
        text1_[i] = campo;
    }

    tastoStampa_ = new QPushButton(QStringLiteral("&Stampa"), this);
    tastoStampa_->setFont(Carattere(QStringLiteral("Corbel"), 12));
    tastoStampa_->setAutoDefault(true); // Enter presses it when it has the focus
    Posiziona(tastoStampa_, 120, 4320, 1590, 1140);
    connect(tastoStampa_, &QPushButton::clicked, this, [this] { Tasto_Click(0); });

    tastoEsci_ = new QToolButton(this);
    tastoEsci_->setText(QStringLiteral("&Esci"));
    tastoEsci_->setIcon(IconaDisegno(Disegno::UscitaFreccia));
    tastoEsci_->setIconSize(QSize(48, 48));
    tastoEsci_->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    tastoEsci_->setFont(Carattere(QStringLiteral("Corbel"), 12, true));
    tastoEsci_->setFocusPolicy(Qt::StrongFocus);
    Sfondo(tastoEsci_, Qt::white);
    Posiziona(tastoEsci_, 2520, 4320, 1605, 1140);
    tastoEsci_->installEventFilter(this);
    connect(tastoEsci_, &QToolButton::clicked, this, [this] { Tasto_Click(1); });

    for (std::size_t i = 0; i < combo1_.size(); ++i) {
        // a hotel's name longer than the list: cut, and whole in its tooltip
        auto* combo = new ElencoAbbreviato(this);
        combo->setEditable(false);
        combo->setFont(arial);
        Sfondo(combo, SfondoElenco);
        Posiziona(combo, 1440, i == 0 ? 120 : 600, 2655, 360);
        const int indice = static_cast<int>(i);
        connect(combo, &QComboBox::activated, this,
                [this, indice] { Protetto(this, [&] { Combo1_Click(indice); }); });
        combo1_[i] = combo;
    }

    struct Etichetta {
        const char* testo;
        int left, top, width;
    };
    const std::array<Etichetta, 5> etichette{{
        {"N. Tableau ", 120, 600, 1125},
        {"Dalla Camera", 120, 1200, 1290},
        {"Alla Camera", 120, 1800, 1170},
        {"Data riferim. ", 120, 2400, 1365},
        {"N. Hotel", 120, 120, 1170},
    }};
    for (std::size_t i = 0; i < etichette.size(); ++i) {
        auto* etichettaCampo = new QLabel(QString::fromLatin1(etichette[i].testo), this);
        etichettaCampo->setFont(corbel);
        Posiziona(etichettaCampo, etichette[i].left, etichette[i].top, etichette[i].width, 255);
        label1_[i] = etichettaCampo;
    }

    const std::array<const char*, 4> opzioni{"Aggiungere arrangiamento", "Solo arrivi del giorno",
                                             "Solo partenze del giorno", "Solo camere libere"};
    for (std::size_t i = 0; i < chk_.size(); ++i) {
        auto* chk = new QCheckBox(QString::fromLatin1(opzioni[i]), this);
        chk->setFont(corbel);
        Posiziona(chk, 120, 2880 + 360 * static_cast<int>(i), 3015, 255);
        chk_[i] = chk;
    }

    // Enter moves through the fields; Tab follows the form's order.
    const std::array<QWidget*, 11> ordine{text1_[0],  text1_[1],  text1_[2],  tastoStampa_,
                                          tastoEsci_, combo1_[1], combo1_[0], chk_[0],
                                          chk_[1],    chk_[2],    chk_[3]};
    for (std::size_t i = 1; i < ordine.size(); ++i) {
        setTabOrder(ordine[i - 1], ordine[i]);
    }
}

QLineEdit* VDXDesk::Text1(int index) const {
    return text1_.at(static_cast<std::size_t>(index));
}

QComboBox* VDXDesk::Combo1(int index) const {
    return combo1_.at(static_cast<std::size_t>(index));
}

QLabel* VDXDesk::Label1(int index) const {
    return label1_.at(static_cast<std::size_t>(index));
}

std::string VDXDesk::Testo(int index) const {
    return ACp1252(Text1(index)->text());
}

void VDXDesk::ImpostaTesto(int index, const std::string& testo) {
    QLineEdit* campo = Text1(index);
    // The length limit is for typing: a longer room number put here by the
    // program is kept whole, or the range would lose its last rooms.
    const auto lunghezza = static_cast<int>(testo.size());
    campo->setMaxLength(std::max(LunghezzaCampo.at(static_cast<std::size_t>(index)), lunghezza));
    campo->setText(DaCp1252(testo));
}

// ---- life cycle ----------------------------------------------------------

void VDXDesk::Form_Load() {
    calendario_ = Calendario{};
}

void VDXDesk::Form_Activate() {
    combo1_[0]->clear();
    combo1_[1]->clear();
    ImpostaTesto(2, DataOdierna(orologio_));

    for (const VoceElenco& hotel : ElencoHotel(cartella_)) {
        if (hotel.numero <= NumeroMassimo) {
            combo1_[0]->addItem(DaCp1252(hotel.Testo()));
        }
    }
    if (combo1_[0]->count() == 0) {
        // No hotel: the window closes and the program ends, without a word.
        QTimer::singleShot(0, this, &QWidget::close);
        return;
    }
    hotelCorrente_ = NumeroVoce(combo1_[0], 0);
    combo1_[0]->setCurrentIndex(0);
    Combo1_Click(0);
}

void VDXDesk::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!event->spontaneous() && !attivata_) {
        attivata_ = true;
        Protetto(this, [this] { Form_Activate(); });
    }
}

void VDXDesk::closeEvent(QCloseEvent* event) {
    QWidget::closeEvent(event);
}

void VDXDesk::paintEvent(QPaintEvent* event) {
    QWidget::paintEvent(event);
    // Rounded frames around the three fields.
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(Qt::black, 1));
    p.setBrush(Qt::NoBrush);
    for (const int top : TopCornice) {
        p.drawRoundedRect(
            QRectF(RettangoloTwips(1440, top, 1335, 495)).adjusted(0.5, 0.5, -0.5, -0.5), 6, 6);
    }
}

// ---- fields --------------------------------------------------------------

bool VDXDesk::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        const auto* tasto = static_cast<QKeyEvent*>(event);
        const bool invio = tasto->key() == Qt::Key_Return || tasto->key() == Qt::Key_Enter;
        if (invio && watched == tastoEsci_) {
            tastoEsci_->click();
            return true;
        }
        for (int i = 0; i < 3; ++i) {
            if (watched == Text1(i) && invio) {
                Protetto(this, [&] { Text1_KeyPress(i, 13); });
                return true;
            }
        }
    } else if (event->type() == QEvent::FocusIn) {
        for (int i = 0; i < 3; ++i) {
            if (watched == Text1(i)) {
                const bool mouse =
                    static_cast<QFocusEvent*>(event)->reason() == Qt::MouseFocusReason;
                const bool risultato = QWidget::eventFilter(watched, event);
                Text1_GotFocus(i);
                if (mouse) {
                    // the click that gave the focus would place the caret
                    // after us: select once it is done
                    QTimer::singleShot(0, Text1(i), &QLineEdit::selectAll);
                }
                return risultato;
            }
        }
    }
    return QWidget::eventFilter(watched, event);
}

void VDXDesk::Text1_GotFocus(int index) {
    Text1(index)->selectAll();
}

void VDXDesk::Text1_KeyPress(int index, int keyAscii) {
    if (keyAscii != 13) {
        return;
    }
    switch (index) {
    case 0:
        ImpostaTesto(0, PulisciTesto(Testo(0)));
        Text1(1)->setFocus(Qt::OtherFocusReason);
        break;
    case 1:
        ImpostaTesto(1, PulisciTesto(Testo(1)));
        // rooms compare as text: 10 sorts before 9; equal rooms are refused
        if (Testo(1) > Testo(0)) {
            Text1(2)->setFocus(Qt::OtherFocusReason);
        } else {
            Avvisa(RifiutoCamere());
        }
        break;
    case 2:
        ImpostaTesto(2, CompletaData(Testo(2), orologio_().anno));
        if (ControllaData(Testo(2), calendario_)) {
            tastoStampa_->setFocus(Qt::OtherFocusReason);
        } else {
            Avvisa(RifiutoData());
            ImpostaTesto(2, DataOdierna(orologio_));
        }
        break;
    default:
        break;
    }
}

void VDXDesk::Avvisa(const Rifiuto& rifiuto) {
    Avviso(this, rifiuto.testo, rifiuto.titolo, Icona::Avviso);
}

// ---- lists ---------------------------------------------------------------

void VDXDesk::Combo1_Click(int index) {
    if (index == 0) {
        const int scelta = combo1_[0]->currentIndex();
        if (scelta < 0) {
            return;
        }
        hotelCorrente_ = NumeroVoce(combo1_[0], scelta);
        codiceAssistenzaHotel_ = CodiceAssistenza(cartella_, hotelCorrente_);
        combo1_[1]->clear();
        for (const VoceElenco& tableau : ElencoTableau(cartella_, hotelCorrente_)) {
            if (tableau.numero <= NumeroMassimo) {
                combo1_[1]->addItem(DaCp1252(tableau.Testo()));
            }
        }
        combo1_[1]->addItem(DaCp1252(std::string(VoceTutti)));
        tableauCorrente_ = NumeroVoce(combo1_[1], 0);
        combo1_[1]->setCurrentIndex(0);
        Combo1_Click(1);
    } else if (index == 1) {
        const int scelta = combo1_[1]->currentIndex();
        if (scelta < 0) {
            return;
        }
        tableauCorrente_ = NumeroVoce(combo1_[1], scelta);
        const Intervallo intervallo = IntervalloCamere(cartella_, hotelCorrente_, tableauCorrente_);
        ImpostaTesto(0, intervallo.prima);
        ImpostaTesto(1, intervallo.ultima);
    }
}

// ---- buttons -------------------------------------------------------------

void VDXDesk::Tasto_Click(int index) {
    if (index == 0) {
        Protetto(this, [this] { Stampa(); });
    } else if (index == 1) {
        close();
    }
}

void VDXDesk::Stampa() {
    OpzioniTableau richiesta;
    richiesta.hotel = hotelCorrente_;
    richiesta.tableau = tableauCorrente_;
    richiesta.primaCamera = Testo(0);
    richiesta.ultimaCamera = Testo(1);
    richiesta.data = Testo(2);
    auto esito = ControllaRichiesta(std::move(richiesta), calendario_);
    if (const auto* rifiuto = std::get_if<Rifiuto>(&esito)) {
        Avvisa(*rifiuto);
        if (rifiuto->campo == CampoRifiutato::Data) {
            ImpostaTesto(2, DataOdierna(orologio_));
            Text1(2)->setFocus(Qt::OtherFocusReason);
        } else {
            Text1(0)->setFocus(Qt::OtherFocusReason);
        }
        return;
    }
    // "Solo camere libere" asks nothing: every free room is listed. Escape on
    // the question answers nothing, and nothing is printed.
    soloUtilizzate_ = false;
    if (!chk_[3]->isChecked()) {
        const Risposta risposta =
            Domanda(this, "Stampo solo le camere utilizzate?", "Stampa tableau");
        if (risposta == Risposta::Annulla) {
            return;
        }
        soloUtilizzate_ = risposta == Risposta::Si;
    }

    OpzioniTableau& opzioni = std::get<OpzioniTableau>(esito);
    opzioni.arrangiamento = chk_[0]->isChecked();
    opzioni.soloArrivi = chk_[1]->isChecked();
    opzioni.soloPartenze = chk_[2]->isChecked();
    opzioni.soloLibere = chk_[3]->isChecked();
    opzioni.soloUtilizzate = soloUtilizzate_;
    opzioni.codiceAssistenzaHotel = codiceAssistenzaHotel_;
    opzioni.cartella = cartella_;
    opzioni.orologio = orologio_;
    opzioni.postazione = postazione_;
    GeneraTableau(opzioni);

    {
        MenuStampa menu(cartella_, postazione_, hotelCorrente_, orologio_, this);
        menu.MostraModale();
    }
    if (InChiusura()) {
        return;
    }
    // Back from the print menu: the request starts afresh.
    Form_Activate();
}

} // namespace vdx::ui
