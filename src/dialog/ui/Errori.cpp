#include "dialog/ui/Errori.h"

#include "dialog/ui/Messaggi.h"

#include <QCoreApplication>

namespace vdx::ui {

namespace {

struct StatoChiusura {
    int codice = 0;
    FineFn fine;
};

StatoChiusura& StatoCorrente() {
    static StatoChiusura s;
    return s;
}

} // namespace

void ErroreFatale(QWidget* parent, int numero, const std::string& testo, int codice) {
    auto& s = StatoCorrente();
    if (s.codice != 0) {
        return; // already ending: one message is enough
    }
    s.codice = codice;
    Avviso(parent, "Errore " + std::to_string(numero) + "\r\n" + testo, "Vardelux", Icona::Errore);
    if (s.fine) {
        s.fine(codice);
    } else {
        // Leaves every running event loop, modal windows' included; main()
        // returns the status.
        QCoreApplication::exit(codice);
    }
}

void ErroreFatale(QWidget* parent, const Errore& errore, int codice) {
    ErroreFatale(parent, errore.Numero(), errore.what(), codice);
}

bool InChiusura() {
    return StatoCorrente().codice != 0;
}

int CodiceUscita() {
    return StatoCorrente().codice;
}

void ImpostaFine(FineFn fn) {
    StatoCorrente().fine = std::move(fn);
}

void AzzeraChiusura() {
    StatoCorrente().codice = 0;
}

} // namespace vdx::ui
