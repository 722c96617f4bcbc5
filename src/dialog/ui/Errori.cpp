#include "dialog/ui/Errori.h"

#include "dialog/ui/Messaggi.h"

#include <QCoreApplication>

namespace vdx::ui {

namespace {

struct StatoChiusura {
    int codice = 0;
    FineFn fine;
};

StatoChiusura& stato() {
    static StatoChiusura s;
    return s;
}

} // namespace

void ErroreFatale(QWidget* parent, int numero, const std::string& testo) {
    auto& s = stato();
    if (s.codice != 0) {
        return; // already ending: one message is enough
    }
    s.codice = UscitaErrore;
    Avviso(parent, "Errore " + std::to_string(numero) + "\r\n" + testo, "Vardelux", Icona::Errore);
    if (s.fine) {
        s.fine(UscitaErrore);
    } else {
        // Leaves every running event loop, modal windows' included; main()
        // returns the status.
        QCoreApplication::exit(UscitaErrore);
    }
}

void ErroreFatale(QWidget* parent, const Error& errore) {
    ErroreFatale(parent, errore.number(), errore.what());
}

bool InChiusura() {
    return stato().codice != 0;
}

int CodiceUscita() {
    return stato().codice;
}

void ImpostaFine(FineFn fn) {
    stato().fine = std::move(fn);
}

void AzzeraChiusura() {
    stato().codice = 0;
}

} // namespace vdx::ui
