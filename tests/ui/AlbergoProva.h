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
    auto& hotels = a.TabellaDiNome("AnagraficaHotels");
    hotels.Record(
        {{"Numero", N(1)}, {"RagioneSociale", T("Hotel Mare")}, {"CodiceAssistenza", T("K")}});
    hotels.Record({{"Numero", N(12)}, {"RagioneSociale", T("Hotel Lago")}});
    hotels.Record({{"Numero", N(0)}, {"RagioneSociale", T("Sede")}, {"CodiceAssistenza", T("U")}});

    auto& tableaux = a.TabellaDiNome("Tableau");
    tableaux.Record({{"NumeroHotel", N(1)}, {"Codice", N(1)}, {"Descrizione", T("Primo piano")}});
    tableaux.Record({{"NumeroHotel", N(1)}, {"Codice", N(0)}, {"Descrizione", T("Nascosto")}});
    tableaux.Record({{"NumeroHotel", N(1)}, {"Codice", N(2)}, {"Descrizione", T("Secondo piano")}});

    auto& tipi = a.TabellaDiNome("TipiCamere");
    tipi.Record({{"Sigla", T("DB")}, {"Tipologia", T("C")}, {"Descrizione", T("Doppia")}});
    tipi.Record({{"Sigla", T("SV")}, {"Tipologia", T("S")}, {"Descrizione", T("Servizio")}});

    auto& camere = a.TabellaDiNome("NumeriCamere");
    const auto camera = [&](int hotel, int tableau, const std::string& numero,
                            const std::string& tipo) {
        camere.Record({{"NumeroHotel", N(hotel)},
                       {"NumeroTableau", N(tableau)},
                       {"NumeroCamera", T(numero)},
                       {"TipoCamera", T(tipo)}});
    };
    camera(1, 1, "101", "DB");
    camera(1, 1, "102", "DB");
    camera(1, 1, "95", "DB");
    camera(1, 1, "001", "SV");
    camera(1, 2, "201", "DB");
    camera(1, 2, "205", "DB");
    camera(12, 0, "9", "DB");
    camera(12, 0, "10", "DB");

    auto& stampanti = a.TabellaDiNome("Stampanti");
    const auto destinazione = [&](int hotel, const std::string& nome) {
        stampanti.Record({{"NumeroHotel", N(hotel)},
                          {"Destinazione", T(nome)},
                          {"TipoStampa", N(1)},
                          {"Linea", T("/dev/null")}});
    };
    destinazione(1, "Archivio PDF");
    destinazione(12, "Altro");
    destinazione(1, "Banco");
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
