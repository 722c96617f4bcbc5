#include "dialog/ui/Messaggi.h"

#include "shared/Cp1252.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QPushButton>
#include <QTranslator>
#include <QWindow>
#include <cstdio>

namespace vdx::ui {

namespace {

struct Stato {
    bool automatico = false;
    bool senzaSchermo = false; // boxes shown on the offscreen platform too
    std::deque<Risposta> risposte;
    std::vector<MessaggioMostrato> mostrati;
};

Stato& StatoCorrente() {
    static Stato s;
    return s;
}

Risposta Prossima(Risposta predefinita) {
    auto& s = StatoCorrente();
    if (s.risposte.empty()) {
        return predefinita;
    }
    const Risposta r = s.risposte.front();
    s.risposte.pop_front();
    return r;
}

QMessageBox::Icon IconaQt(Icona icona) {
    switch (icona) {
    case Icona::Avviso:
    case Icona::Esclamazione:
        return QMessageBox::Warning;
    case Icona::Domanda:
        return QMessageBox::Question;
    case Icona::Errore:
        return QMessageBox::Critical;
    case Icona::Informazione:
        return QMessageBox::Information;
    }
    return QMessageBox::NoIcon;
}

// The box shows lines split by "\r\n" as the program writes them; Qt wants a
// bare line feed.
QString TestoMostrato(const std::string& testo) {
    QString t = DaCp1252(testo);
    t.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    t.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return t;
}

// Without a screen (Qt's offscreen platform: pictures, scripts) nobody could
// ever answer a box, so the message goes to the error stream instead and the
// default answer is taken.
bool SenzaSchermo() {
    return QGuiApplication::platformName() == QStringLiteral("offscreen") &&
           !StatoCorrente().senzaSchermo;
}

// The window a box opens over: `parent`, once it is on the screen. A window
// still being shown (an error met while it fills itself) has no place yet,
// and a box centred on it would open in the screen's top left corner: such a
// box, like one without a window, opens in the middle of the screen.
QWidget* Sopra(QWidget* parent) {
    if (parent == nullptr) {
        return nullptr;
    }
    const QWindow* finestra = parent->window()->windowHandle();
    return finestra != nullptr && finestra->isExposed() ? parent : nullptr;
}

void ScriviSenzaSchermo(const std::string& testo, const std::string& titolo) {
    std::string riga = Utf8DaCp1252(titolo) + ": " + Utf8DaCp1252(testo);
    for (auto& c : riga) {
        if (c == '\r' || c == '\n') {
            c = ' ';
        }
    }
    std::fprintf(stderr, "vdx: %s\n", riga.c_str());
}

} // namespace

QString DaCp1252(const std::string& bytes) {
    const std::u16string testo = Utf16DaCp1252(bytes);
    return QString::fromUtf16(testo.data(), static_cast<qsizetype>(testo.size()));
}

std::string ACp1252(const QString& testo) {
    return Cp1252DaUtf16(std::u16string_view(reinterpret_cast<const char16_t*>(testo.utf16()),
                                             static_cast<std::size_t>(testo.size())));
}

void Avviso(QWidget* parent, const std::string& testo, const std::string& titolo, Icona icona) {
    auto& s = StatoCorrente();
    if (s.automatico) {
        s.mostrati.push_back({testo, titolo, icona, false});
        Prossima(Risposta::Ok);
        return;
    }
    if (SenzaSchermo()) {
        ScriviSenzaSchermo(testo, titolo);
        return;
    }
    QMessageBox box(IconaQt(icona), DaCp1252(titolo), TestoMostrato(testo), QMessageBox::Ok,
                    Sopra(parent));
    box.exec();
}

Risposta Domanda(QWidget* parent, const std::string& testo, const std::string& titolo) {
    auto& s = StatoCorrente();
    if (s.automatico) {
        s.mostrati.push_back({testo, titolo, Icona::Domanda, true});
        return Prossima(Risposta::No);
    }
    if (SenzaSchermo()) {
        ScriviSenzaSchermo(testo, titolo);
        return Risposta::No;
    }
    QMessageBox box(QMessageBox::Question, DaCp1252(titolo), TestoMostrato(testo),
                    QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, Sopra(parent));
    box.setDefaultButton(QMessageBox::No);
    // Left alone, Qt makes No the answer to Escape and to the close box. A
    // hidden Annulla takes them instead: neither is an answer.
    box.button(QMessageBox::Cancel)->hide();
    box.setEscapeButton(QMessageBox::Cancel);
    switch (box.exec()) {
    case QMessageBox::Yes:
        return Risposta::Si;
    case QMessageBox::No:
        return Risposta::No;
    default:
        return Risposta::Annulla;
    }
}

void ModoAutomatico(bool on) {
    StatoCorrente().automatico = on;
}

void AccodaRisposta(Risposta risposta) {
    StatoCorrente().risposte.push_back(risposta);
}

const std::vector<MessaggioMostrato>& MessaggiMostrati() {
    return StatoCorrente().mostrati;
}

void AzzeraMessaggi() {
    StatoCorrente().mostrati.clear();
    StatoCorrente().risposte.clear();
}

void MostraSenzaSchermo(bool on) {
    StatoCorrente().senzaSchermo = on;
}

bool CaricaTraduzioni() {
    static QTranslator traduttore;
    if (!traduttore.load(QLocale(QLocale::Italian, QLocale::Italy), QStringLiteral("qtbase"),
                         QStringLiteral("_"), QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        return false;
    }
    return QCoreApplication::installTranslator(&traduttore);
}

} // namespace vdx::ui
