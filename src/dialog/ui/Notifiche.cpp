#include "dialog/ui/Notifiche.h"

#include "dialog/ui/Aspetto.h"
#include "dialog/ui/Messaggi.h"

#include <QAbstractScrollArea>
#include <QEvent>
#include <QFontMetrics>
#include <QLabel>
#include <QTimer>
#include <QVariant>

namespace vdx::ui {

namespace {

namespace fs = std::filesystem;

const QString NomeNotifica = QStringLiteral("notifica");
// Set on a notice that sits in a corner of its area rather than in a line.
const char* const Angolo = "vdxAngolo";
constexpr int DurataBreveMs = 8000;
constexpr int Distanza = 4; // from the corner's edges, in pixels

// The notice label of `finestra`: its own, not that of a window opened over
// it (the preview is a child of the print menu).
QLabel* Etichetta(const QWidget* finestra) {
    for (QLabel* etichetta : finestra->findChildren<QLabel*>(NomeNotifica)) {
        if (etichetta->window() == finestra) {
            return etichetta;
        }
    }
    return nullptr;
}

QLabel* NuovaEtichetta(QWidget* genitore) {
    auto* etichetta = new QLabel(genitore);
    etichetta->setObjectName(NomeNotifica);
    etichetta->setWordWrap(true);
    etichetta->setMargin(3);
    etichetta->setFont(Carattere(QStringLiteral("Corbel"), 9));
    etichetta->setAutoFillBackground(true);
    QPalette colori = etichetta->palette();
    colori.setColor(QPalette::Window, QColor(255, 255, 225));
    colori.setColor(QPalette::WindowText, Qt::black);
    etichetta->setPalette(colori);
    etichetta->setFrameShape(QFrame::Box);
    etichetta->hide();
    auto* orologio = new QTimer(etichetta);
    orologio->setSingleShot(true);
    QObject::connect(orologio, &QTimer::timeout, etichetta, &QWidget::hide);
    return etichetta;
}

// The corner notice fitted to its text, at most three fifths of the area
// wide, in the bottom right corner of the area's visible part.
void Sistema(QLabel* etichetta) {
    QWidget* area = etichetta->parentWidget();
    QRect spazio = area->rect();
    if (const auto* scorrevole = qobject_cast<const QAbstractScrollArea*>(area)) {
        spazio = scorrevole->viewport()->geometry();
    }
    spazio.adjust(Distanza, Distanza, -Distanza, -Distanza);
    const int bordi = 2 * (etichetta->margin() + etichetta->frameWidth()) + 2;
    const int massima = std::max(spazio.width() * 3 / 5, 4 * bordi);
    const QRect testo =
        QFontMetrics(etichetta->font())
            .boundingRect(QRect(0, 0, massima - bordi, 10000), Qt::TextWordWrap, etichetta->text());
    const int larghezza = std::min(massima, testo.width() + bordi);
    const int altezza = std::min(spazio.height(), etichetta->heightForWidth(larghezza));
    etichetta->setGeometry(spazio.right() - larghezza + 1, spazio.bottom() - altezza + 1, larghezza,
                           altezza);
}

// Keeps a corner notice in its corner while its area changes size (the
// preview's page follows the window).
class SeguiArea final : public QObject {
public:
    explicit SeguiArea(QLabel* etichetta) : QObject(etichetta), etichetta_(etichetta) {}

    bool eventFilter(QObject* /*area*/, QEvent* evento) override {
        if (evento->type() == QEvent::Resize && etichetta_->isVisible()) {
            Sistema(etichetta_);
        }
        return false;
    }

private:
    QLabel* etichetta_;
};

void Mostra(QWidget* finestra, const QString& testo, DurataNotifica durata) {
    QLabel* etichetta = Etichetta(finestra);
    if (etichetta == nullptr) {
        AngoloNotifiche(finestra, finestra);
        etichetta = Etichetta(finestra);
    }
    etichetta->setText(testo);
    etichetta->setToolTip(testo);
    if (etichetta->property(Angolo).toBool()) {
        Sistema(etichetta);
    }
    etichetta->show();
    etichetta->raise();
    auto* orologio = etichetta->findChild<QTimer*>();
    if (durata == DurataNotifica::Breve) {
        orologio->start(DurataBreveMs);
    } else {
        orologio->stop();
    }
}

} // namespace

void RigaNotifiche(QWidget* finestra, const QRect& geometria) {
    QLabel* etichetta = NuovaEtichetta(finestra);
    etichetta->setGeometry(geometria);
    etichetta->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    // the path it names can be copied, to open the file by hand
    etichetta->setTextInteractionFlags(Qt::TextSelectableByMouse);
}

void AngoloNotifiche(QWidget* finestra, QWidget* area) {
    if (QLabel* vecchia = Etichetta(finestra)) {
        delete vecchia;
    }
    QLabel* etichetta = NuovaEtichetta(area);
    etichetta->setProperty(Angolo, true);
    etichetta->setAttribute(Qt::WA_TransparentForMouseEvents);
    // a scroll area's visible part is its viewport, resized once the area is
    QWidget* seguita = area;
    if (auto* scorrevole = qobject_cast<QAbstractScrollArea*>(area)) {
        seguita = scorrevole->viewport();
    }
    seguita->installEventFilter(new SeguiArea(etichetta));
}

void Notifica(QWidget* finestra, const std::string& testo, DurataNotifica durata) {
    Mostra(finestra, DaCp1252(testo), durata);
}

void TogliNotifica(QWidget* finestra) {
    if (QLabel* etichetta = Etichetta(finestra)) {
        etichetta->findChild<QTimer*>()->stop();
        etichetta->hide();
    }
}

std::string NotificaMostrata(const QWidget* finestra) {
    const QLabel* etichetta = Etichetta(finestra);
    return etichetta != nullptr && !etichetta->isHidden() ? ACp1252(etichetta->text())
                                                          : std::string();
}

void NotificaFileScritto(QWidget* finestra, const fs::path& file, bool aperto) {
    std::error_code ec;
    fs::path percorso = fs::absolute(file, ec);
    if (ec) {
        percorso = file;
    }
    // The path as the system names it: any character, not only the code page's.
    const QString nome = QString::fromStdString(percorso.lexically_normal().string());
    if (aperto) {
        Mostra(finestra,
               QStringLiteral("Scritto il file %1; si apre con il programma associato.").arg(nome),
               DurataNotifica::Breve);
    } else {
        Mostra(finestra,
               QStringLiteral("Scritto il file %1, ma nessun programma lo apre: aprirlo a mano.")
                   .arg(nome),
               DurataNotifica::FinoAllaProssimaAzione);
    }
}

} // namespace vdx::ui
