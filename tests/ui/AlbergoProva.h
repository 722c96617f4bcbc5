#pragma once

// The hotel the window tests run on, written as real Access files, and the
// settings every window test starts from: messages answered automatically,
// a fixed clock, no real printers, nothing opened on the desktop.

#include "Albergo.h"
#include "dialog/ui/Errori.h"
#include "dialog/ui/Messaggi.h"
#include "dialog/ui/Notifiche.h"
#include "printing/ui/MenuStampa.h"
#include "shared/Date.h"
#include "shared/Piattaforma.h"

#include <QComboBox>
#include <QStringList>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace vdx::test {

namespace fx = vdx::fixture;

using fx::N;
using fx::T;

// 5 March 2026, 09:05.
inline DataOra MomentoProva() {
    DataOra t;
    t.anno = 2026;
    t.mese = 3;
    t.giorno = 5;
    t.ora = 9;
    t.minuti = 5;
    return t;
}

inline Orologio OrologioProva() {
    return [] { return MomentoProva(); };
}

// Hotels 1 "Hotel Mare" (assistance code "K"), 12 "Hotel Lago" (no code) and
// 0 "Sede" (never listed). Hotel 1 has tableaux 1 and 2 and a tableau 0 that
// is never listed; hotel 12 has none. Room types: DB counts (Tipologia "C"),
// SV does not. Destinations: "Archivio PDF" and "Banco" for hotel 1,
// "Altro" for hotel 12.
inline fx::Albergo AlbergoStandard() {
    fx::Albergo a;
    a.Hotel(1, "Hotel Mare", "K").Hotel(12, "Hotel Lago").Hotel(0, "Sede", "U");
    a.Tableau(1, 1, "Primo piano").Tableau(1, 0, "Nascosto").Tableau(1, 2, "Secondo piano");
    a.Tipo("DB", "C", "Doppia").Tipo("SV", "S", "Servizio");
    a.Camera(1, 1, "101", "DB").Camera(1, 1, "102", "DB").Camera(1, 1, "95", "DB");
    a.Camera(1, 1, "001", "SV").Camera(1, 2, "201", "DB").Camera(1, 2, "205", "DB");
    a.Camera(12, 0, "9", "DB").Camera(12, 0, "10", "DB");
    a.Destinazione(1, "Archivio PDF", 1, "/dev/null")
        .Destinazione(12, "Altro", 1, "/dev/null")
        .Destinazione(1, "Banco", 1, "/dev/null");
    return a;
}

// The settings every window test starts from.
inline void PreparaAmbienteProva() {
    ui::ModoAutomatico(true);
    ui::AzzeraMessaggi();
    ui::AzzeraChiusura();
    piattaforma::ImpostaApri([](const std::filesystem::path&) { return true; });
    piattaforma::ImpostaAvvia([](std::string_view, const std::filesystem::path&) {});
    ui::MenuStampa::ImpostaStampantiDiSistema([] { return QStringList(); });
    ui::MenuStampa::ImpostaAttesaModale([](ui::MenuStampa&) {});
}

// The entries of a list, in order.
inline QStringList Voci(const QComboBox* combo) {
    QStringList out;
    for (int i = 0; i < combo->count(); ++i) {
        out << combo->itemText(i);
    }
    return out;
}

} // namespace vdx::test
