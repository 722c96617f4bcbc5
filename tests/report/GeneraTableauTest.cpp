// Whole report files from real .mdb data sets, compared byte for byte with
// the files under tests/golden/report (VDX_UPDATE_GOLDEN=1 rewrites them).
// The reference date is 05/03/2024 throughout, the clock 05/03/2024 07:30.

#include "report/GeneraTableau.h"

#include "Albergo.h"
#include "ReportDiProva.h"
#include "report/Righe.h"
#include "shared/Errore.h"
#include "shared/FileTesto.h"
#include "support/CartellaLavoro.h"

#include <clocale>
#include <fstream>
#include <functional>
#include <gtest/gtest.h>

namespace vdx::test {
namespace {

using fixture::Albergo;

constexpr const char* Oggi = "20240305";

Albergo BaseAlbergo() {
    Albergo d;
    d.Hotel(1, "Hotel Lago", "K").Hotel(2, "Albergo Monte", "U").Hotel(0, "Sede", "");
    d.Tableau(1, 1, "Primo piano").Tableau(1, 2, "Secondo piano").Tableau(2, 1, "Dependance");
    d.Tipo("DBL", "C").Tipo("SGL", "C").Tipo("UFF", "X");
    return d;
}

// Who is in the rooms: which cards count, what they contribute, the counters.
Albergo DatiConteggi() {
    Albergo d = BaseAlbergo();
    for (const char* c : {"101", "102", "103", "104", "105", "108"}) {
        d.Camera(1, 1, c, c[2] == '3' ? "SGL" : "DBL");
    }
    d.Camera(1, 1, "106", "UFF").Camera(1, 1, "107", "ZZZ").Camera(1, 2, "109", "DBL");

    // Still in, leaving today: a departure, not a presence.
    d.ConOspite({.camera = "101",
                 .progressivo = 1001,
                 .nome = "Rossi Mario",
                 .arrivo = "20240301",
                 .partenza = Oggi,
                 .tipoCliente = "Privato",
                 .commento = "Vista lago",
                 .agenzia = 5});
    d.Arrangiamento(1, 1001, "20240301", "20240310", "MP", 850000)
        .Arrangiamento(1, 1001, Oggi, Oggi, "EXTRA", 105000)
        .Arrangiamento(1, 1001, "20240306", "20240310", "FB", 2000000) // not valid today
        .Arrangiamento(2, 1001, "20240301", "20240310", "H2", 990000); // another hotel
    d.Ditta(1, 1001, 1, "ACME S.p.A.").Ditta(1, 1001, 2, "Conto due").Agenzia(1, 5, "Viaggi Sole");
    d.Agenzia(2, 5, "Agenzia hotel 2");

    // Left today: not counted, not shown, not a departure.
    d.ConOspite({.camera = "102",
                 .progressivo = 1002,
                 .nome = "Gialli Ada",
                 .arrivo = "20240301",
                 .partenza = Oggi,
                 .partenzaReale = Oggi,
                 .partito = "S"});

    // Left later than the reference date (a report for a past date): counted.
    d.ConOspite({.camera = "103",
                 .progressivo = 1003,
                 .nome = "Bianchi Anna",
                 .arrivo = "20240301",
                 .partenza = "20240307",
                 .partenzaReale = "20240310",
                 .partito = "S",
                 .tipoCliente = "Gruppo"});

    // Two heads of party: the second head's arrangements give the amount,
    // the first code met stays, the last company wins.
    d.ConOspite({.camera = "104",
                 .progressivo = 1004,
                 .nome = "Verdi Luca",
                 .arrivo = "",
                 .partenza = "20240308",
                 .commento = ""});
    d.ConOspite({.camera = "104",
                 .progressivo = 1005,
                 .nome = "Neri Sara",
                 .arrivo = "20240302",
                 .partenza = "20240309",
                 .commento = "Secondo gruppo"});
    d.Arrangiamento(1, 1004, "20240301", "20240310", "BB", 500000)
        .Arrangiamento(1, 1005, "20240301", "20240310", "HB", 700000)
        .Arrangiamento(1, 1005, "20240305", "20240305", "HB", 52500);
    d.Ditta(1, 1004, 1, "Alfa Srl").Ditta(1, 1005, 1, "Beta Srl");

    // Eleven guests, none a head: every one counts, two names show.
    for (int i = 1; i <= 11; ++i) {
        char nome[32];
        std::snprintf(nome, sizeof nome, "Ospite %02d", i);
        d.ConOspite({.camera = "105",
                     .progressivo = 1100 + i,
                     .componente = 2,
                     .nome = nome,
                     .arrivo = "20240304",
                     .partenza = "20240306"});
    }
    // Rooms of another type, of a missing type, of another tableau, and a
    // card of another hotel: none of them shows or counts.
    d.ConOspite({.camera = "106",
                 .progressivo = 1201,
                 .nome = "Ufficio",
                 .arrivo = "20240301",
                 .partenza = "20240310"});
    d.ConOspite({.camera = "107",
                 .progressivo = 1202,
                 .nome = "Tipo ignoto",
                 .arrivo = "20240301",
                 .partenza = "20240310"});
    d.ConOspite({.camera = "109",
                 .progressivo = 1203,
                 .nome = "Altro tableau",
                 .arrivo = "20240301",
                 .partenza = "20240310"});
    d.ConOspite({.hotel = 2,
                 .camera = "101",
                 .progressivo = 2001,
                 .nome = "Altro hotel",
                 .arrivo = "20240301",
                 .partenza = "20240310"});

    // A counted card without a name: no occupancy block; its persons and
    // dates stay for the free-room line.
    d.ConOspite({.camera = "108",
                 .progressivo = 1301,
                 .componente = 2,
                 .nome = "",
                 .arrivo = "20240303",
                 .partenza = "20240306",
                 .tipoCliente = "Anonimo"});
    return d;
}

// Bookings: tags, accepted kinds, the counters they feed.
Albergo DatiPrenotazioni() {
    Albergo d = BaseAlbergo();
    for (const char* c : {"201", "202", "203", "204", "205", "206", "207", "209", "210"}) {
        d.Camera(1, 1, c, "DBL");
    }
    d.Camera(2, 1, "301", "DBL");

    // Arriving today, two booking guests (listed out of order).
    d.Prenotata({.prenotazione = 1,
                 .camera = "201",
                 .arrivo = Oggi,
                 .partenza = "20240308",
                 .persone = 2,
                 .trattamento = "HB",
                 .prezzo = 1200000,
                 .note = "Culla"});
    d.ConPrenotazione({.numero = 1,
                       .tipo = "C",
                       .nome = "Galli Piero",
                       .ditta = "Gamma Spa",
                       .agenzia = "Booking",
                       .tipoCliente = "Business"});
    d.OspitePrenotazione(1, 1, "201", 2, "Galli Rita")
        .OspitePrenotazione(1, 1, "201", 1, "Galli Piero jr");

    // Started before, ends after; no booking guests: the booker's name.
    d.Prenotata({.prenotazione = 2,
                 .camera = "202",
                 .arrivo = "20240301",
                 .partenza = "20240310",
                 .persone = 2,
                 .trattamento = "BB",
                 .prezzo = 800000});
    d.ConPrenotazione({.numero = 2, .tipo = "O", .nome = "Conti Elena", .tipoCliente = "Privato"});

    // Ends today: only the departures filter finds it.
    d.Prenotata(
        {.prenotazione = 3, .camera = "203", .arrivo = "20240301", .partenza = Oggi, .persone = 1});
    d.ConPrenotazione({.numero = 3, .tipo = "D", .nome = "Fontana Gino"});

    // A header of another kind: the room is free.
    d.Prenotata({.prenotazione = 4, .camera = "204", .arrivo = "20240301", .partenza = "20240310"});
    d.ConPrenotazione({.numero = 4, .tipo = "X", .nome = "Non mostrato"});

    // Booked-room records of kind A, or with no persons: never looked at.
    d.Prenotata({.prenotazione = 5,
                 .camera = "205",
                 .arrivo = "20240301",
                 .partenza = "20240310",
                 .tipo = "A"});
    d.Prenotata({.prenotazione = 5,
                 .camera = "205",
                 .arrivo = "20240301",
                 .partenza = "20240310",
                 .persone = 0});
    d.ConPrenotazione({.numero = 5, .tipo = "C", .nome = "Annullata"});

    // Occupied and booked: the booking block stays out, its counters count.
    d.ConOspite({.camera = "206",
                 .progressivo = 3001,
                 .nome = "Fabbri Ugo",
                 .arrivo = "20240303",
                 .partenza = "20240307"});
    d.Prenotata({.prenotazione = 6,
                 .camera = "206",
                 .arrivo = "20240304",
                 .partenza = "20240309",
                 .persone = 3});
    d.ConPrenotazione({.numero = 6, .tipo = "C", .nome = "Fabbri Ugo"});

    // Arrives and leaves today.
    d.Prenotata({.prenotazione = 7,
                 .camera = "207",
                 .arrivo = Oggi,
                 .partenza = Oggi,
                 .persone = 1,
                 .trattamento = "DAY",
                 .prezzo = 300000});
    d.ConPrenotazione({.numero = 7, .tipo = "C", .nome = "Moretti Ivo"});

    // Two rooms in one record.
    d.Prenotata({.prenotazione = 9,
                 .camera = "209",
                 .arrivo = "20240304",
                 .partenza = "20240306",
                 .persone = 4,
                 .quantita = 2});
    d.ConPrenotazione({.numero = 9, .tipo = "C", .nome = "Gruppo Alpi", .agenzia = "Alpitour"});

    // Two bookings cover the room: only the first record counts.
    d.Prenotata({.prenotazione = 10,
                 .camera = "210",
                 .arrivo = "20240304",
                 .partenza = "20240306",
                 .persone = 1});
    d.Prenotata({.prenotazione = 11,
                 .camera = "210",
                 .arrivo = "20240303",
                 .partenza = "20240307",
                 .persone = 2});
    d.ConPrenotazione({.numero = 10, .tipo = "C", .nome = "Primo"});
    d.ConPrenotazione({.numero = 11, .tipo = "C", .nome = "Secondo"});

    // Hotel 2 has its own booking arriving today.
    d.Prenotata({.hotel = 2,
                 .prenotazione = 1,
                 .camera = "301",
                 .arrivo = Oggi,
                 .partenza = "20240307",
                 .persone = 2});
    d.ConPrenotazione({.hotel = 2, .numero = 1, .tipo = "C", .nome = "Ospite Monte"});
    return d;
}

// Rooms stored as 1, 10 and 2, nothing in them.
Albergo DatiLiberi() {
    Albergo d = BaseAlbergo();
    d.Camera(1, 1, "2", "DBL").Camera(1, 1, "10", "SGL").Camera(1, 1, "1", "DBL");
    return d;
}

// Values wider than their cells.
Albergo DatiLarghezze() {
    Albergo d;
    d.Hotel(1, "Grand Hotel delle Terme e della Villa Imperiale Su", "K");
    d.Tableau(1, 1, "Piano nobile con vista sul lago e sulle montagne");
    d.Tipo("SUITE12", "C").Tipo("DBL", "C");
    d.Camera(1, 1, "ABCDEFGH", "SUITE12").Camera(1, 1, "1'A", "DBL").Camera(1, 1, "X150", "DBL");
    d.ConOspite({.camera = "ABCDEFGH",
                 .progressivo = 1,
                 .nome = "Dell'Acqua Bartolomeo Fede",
                 .arrivo = "20240301",
                 .partenza = "20240309",
                 .tipoCliente = "Cliente abituale di lunga data",
                 .commento = "Commento molto lungo che non entra",
                 .agenzia = 9});
    d.ConOspite({.camera = "ABCDEFGH",
                 .progressivo = 2,
                 .componente = 2,
                 .nome = "    Spazi davanti al nome che conta",
                 .arrivo = "20240301",
                 .partenza = "20240309"});
    d.Arrangiamento(1, 1, "20240301", "20240310", "PENSIONEFULL", 1234567890000);
    d.Ditta(1, 1, 1, "Società Anonima Costruzioni Città €");
    d.Agenzia(1, 9, "Agenzia “Viaggi” del Nord-Est");
    d.ConOspite({.camera = "1'A",
                 .progressivo = 3,
                 .nome = "O'Brien",
                 .arrivo = "20240304",
                 .partenza = "20240306"});
    d.Prenotata({.prenotazione = 1,
                 .camera = "X150",
                 .arrivo = "20240301",
                 .partenza = "20240310",
                 .persone = 150,
                 .trattamento = "ALLINCLUSIVE",
                 .prezzo = -12345000});
    d.ConPrenotazione({.numero = 1, .tipo = "C", .nome = "Congresso"});
    return d;
}

class Genera : public ::testing::Test {
protected:
    std::string Esegui(const Albergo& dati,
                       const std::function<void(OpzioniTableau&)>& cambia = {}) {
        dati.Scrivi(cartella_.Percorso());
        OpzioniTableau o = OpzioniDiProva(cartella_.Percorso());
        if (cambia) {
            cambia(o);
        }
        const auto report = GeneraTableau(o);
        EXPECT_EQ(report, cartella_ / "FD7");
        return LeggiFile(report);
    }
    CartellaLavoro cartella_;
};

struct Variante {
    const char* golden;
    std::function<void(OpzioniTableau&)> cambia;
};

class GeneraGolden : public Genera {
protected:
    void Varianti(const Albergo& dati, const std::vector<Variante>& vv) {
        for (const auto& v : vv) {
            const std::string byte = Esegui(dati, v.cambia);
            EXPECT_TRUE(UgualeAlGolden(v.golden, byte));
            for (const auto& r : DividiRighe(byte)) {
                if (r.rfind("Presenze attuali: ", 0) == 0) {
                    break;
                }
                EXPECT_EQ(r.size(), 133u) << v.golden << ": " << r;
            }
        }
    }
};

TEST_F(GeneraGolden, CountingRules) {
    Varianti(
        DatiConteggi(),
        {
            {"conteggi_arrangiamento.fd", [](OpzioniTableau& o) { o.arrangiamento = true; }},
            {"conteggi_commento.fd", {}},
            // Used rooms only: occupied rooms as usual, no free line.
            {"conteggi_solo_utilizzate.fd", [](OpzioniTableau& o) { o.soloUtilizzate = true; }},
            // Free rooms only: no occupancy block, the counters still count,
            // the booking block follows with persons 0.
            {"conteggi_camere_libere.fd", [](OpzioniTableau& o) { o.soloLibere = true; }},
        });
}

TEST_F(GeneraGolden, BookingsAndTags) {
    Varianti(
        DatiPrenotazioni(),
        {
            {"prenotazioni.fd", [](OpzioniTableau& o) { o.arrangiamento = true; }},
            {"prenotazioni_arrivi.fd", [](OpzioniTableau& o) { o.soloArrivi = true; }},
            {"prenotazioni_partenze.fd", [](OpzioniTableau& o) { o.soloPartenze = true; }},
            {"prenotazioni_arrivi_e_partenze.fd",
             [](OpzioniTableau& o) { o.soloArrivi = o.soloPartenze = true; }},
            {"prenotazioni_solo_utilizzate.fd", [](OpzioniTableau& o) { o.soloUtilizzate = true; }},
            // The day's arrivals of hotel 2 are its own, not hotel 1's.
            {"prenotazioni_hotel2_arrivi.fd",
             [](OpzioniTableau& o) {
                 o.hotel = 2;
                 o.soloArrivi = true;
                 o.codiceAssistenzaHotel = "U";
             }},
        });
}

TEST_F(GeneraGolden, FreeRoomsAndRoomOrder) {
    Varianti(DatiLiberi(), {
                               // 1, 10 and 2 all lie between 1 and 2 as text.
                               {"liberi_arrangiamento.fd",
                                [](OpzioniTableau& o) {
                                    o.arrangiamento = true;
                                    o.primaCamera = "1";
                                    o.ultimaCamera = "2";
                                }},
                               {"liberi_dieci.fd",
                                [](OpzioniTableau& o) { o.primaCamera = o.ultimaCamera = "10"; }},
                           });
}

TEST_F(GeneraGolden, NoRoomListed) {
    // Used rooms only with every room free, a range upside down, or a range
    // holding no room: the head lines, the bottom border and zero totals.
    const std::vector<std::function<void(OpzioniTableau&)>> casi{
        [](OpzioniTableau& o) { o.soloUtilizzate = true; },
        [](OpzioniTableau& o) {
            o.primaCamera = "2";
            o.ultimaCamera = "10";
        },
        [](OpzioniTableau& o) {
            o.primaCamera = "3";
            o.ultimaCamera = "9";
        },
    };
    for (const auto& c : casi) {
        EXPECT_TRUE(UgualeAlGolden("nessuna_camera.fd", Esegui(DatiLiberi(), c)));
    }
}

TEST_F(GeneraGolden, BlankLinesFromTheMarkerFile) {
    std::ofstream(cartella_ / "VDX_2.txt") << "content never read";
    Varianti(DatiLiberi(), {{"liberi_righe_vuote_2.fd", {}}});
}

TEST_F(GeneraGolden, WidthsAndCuts) {
    Varianti(DatiLarghezze(),
             {
                 {"larghezze_arrangiamento.fd", [](OpzioniTableau& o) { o.arrangiamento = true; }},
                 {"larghezze_commento.fd", {}},
                 // An apostrophe in the range and in the room never breaks a criterion.
                 {"larghezze_apostrofo.fd",
                  [](OpzioniTableau& o) { o.primaCamera = o.ultimaCamera = "1'A"; }},
             });
}

TEST_F(GeneraGolden, SameBytesUnderCAndItalianLocale) {
    const std::string prima = std::setlocale(LC_NUMERIC, nullptr);
    const auto arr = [](OpzioniTableau& o) { o.arrangiamento = true; };
    ASSERT_NE(std::setlocale(LC_NUMERIC, "C"), nullptr);
    const std::string sottoC = Esegui(DatiConteggi(), arr);
    if (std::setlocale(LC_NUMERIC, "it_IT.UTF-8") == nullptr) {
        std::setlocale(LC_NUMERIC, prima.c_str());
        GTEST_SKIP() << "locale it_IT.UTF-8 not installed (scripts/setup.sh generates it)";
    }
    const std::string sottoIt = Esegui(DatiConteggi(), arr);
    std::setlocale(LC_NUMERIC, prima.c_str());
    EXPECT_EQ(sottoC, sottoIt);
    EXPECT_TRUE(UgualeAlGolden("conteggi_arrangiamento.fd", sottoIt));
}

// Lines counted from 1 of a report.
std::vector<std::string> RigheDi(const std::string& byte) {
    return DividiRighe(byte);
}

TEST_F(Genera, TitleVariants) {
    Albergo d = DatiLiberi();
    d.Camera(1, 0, "900", "DBL");
    d.Hotel(3, "Hotel Tre", "").Tableau(3, 0, "Tutte le camere").Camera(3, 0, "1", "DBL");
    const std::string nome45 = [] {
        std::string s = "Hotel Lago";
        s.resize(45, ' ');
        return s;
    }();
    const std::string nome3 = [] {
        std::string s = "Hotel Tre";
        s.resize(45, ' ');
        return s;
    }();
    const struct {
        const char* nome;
        short hotel;
        short tableau;
        std::string titolo;
    } casi[] = {
        {"hotel and tableau", 1, 1, " Hotel : " + nome45 + " Tableau : Primo piano del 05/03/2024"},
        {"no hotel record", 9, 1, " Hotel : "},
        {"no tableau record", 1, 7, " Hotel : " + nome45 + " Tableau : "},
        {"tableau 0 without a record 0", 1, 0, " Hotel : " + nome45 + " Tableau : "},
        {"tableau 0 with a record 0", 3, 0,
         " Hotel : " + nome3 + " Tableau : Tutte le camere del 05/03/2024"},
    };
    for (const auto& c : casi) {
        const std::string byte = Esegui(d, [&](OpzioniTableau& o) {
            o.hotel = c.hotel;
            o.tableau = c.tableau;
        });
        std::string atteso = c.titolo;
        atteso.resize(117, ' ');
        atteso += "05/03/2024 07:30";
        EXPECT_EQ(RigheDi(byte).at(0), atteso) << c.nome;
    }
}

TEST_F(GeneraGolden, TableauZeroListsEveryRoomOfTheHotel) {
    // Rooms of tableaux 1 and 2 and one stored with tableau 0, all within the
    // range; a room of another hotel stays out.
    Albergo d = DatiLiberi();
    d.Camera(1, 2, "15", "DBL").Camera(1, 0, "100", "SGL").Camera(2, 1, "11", "DBL");
    Varianti(d, {{"tutti.fd", [](OpzioniTableau& o) {
                      o.tableau = 0;
                      o.primaCamera = "1";
                      o.ultimaCamera = "2";
                  }}});
}

// The occupancy block in detail: the departure tag and the day filter, the
// blank lines of the marker file after it, a party whose first counted card
// has no name, and a card without dates.
TEST_F(Genera, OccupancyBlockDetails) {
    Albergo d = BaseAlbergo();
    for (const char* c : {"401", "402", "403"}) {
        d.Camera(1, 1, c, "DBL");
    }
    d.ConOspite({.camera = "401",
                 .progressivo = 1,
                 .nome = "Uno",
                 .arrivo = "20240301",
                 .partenza = Oggi,
                 .tipoCliente = "T1"});
    d.ConOspite({.camera = "402",
                 .progressivo = 2,
                 .componente = 2,
                 .nome = "",
                 .arrivo = "",
                 .partenza = "20240308"});
    d.ConOspite({.camera = "402",
                 .progressivo = 3,
                 .componente = 2,
                 .nome = "Secondo",
                 .arrivo = "20240302",
                 .partenza = "20240309"});
    d.ConOspite({.camera = "403", .progressivo = 4, .nome = "Senza date"});
    std::ofstream(cartella_ / "VDX_1.txt") << "";

    const auto cella = [](const std::string& riga, int n) {
        static constexpr std::pair<std::size_t, std::size_t> celle[] = {
            {2, 6}, {9, 6}, {16, 4}, {21, 10}, {32, 10}, {43, 21}, {65, 21}, {87, 21}, {109, 24}};
        const auto [colonna, larghezza] = celle[n - 1];
        return riga.substr(colonna - 1, larghezza);
    };
    const std::string vuota(21, ' ');
    const struct {
        const char* nome;
        bool soloPartenze;
        std::string etichetta401; // cell 7 of room 401's second line
        std::vector<std::string> totali;
    } casi[] = {
        {"every card",
         false,
         "(in partenza)        ",
         {"Presenze attuali: 2      Totale Partenze : 1", "", "Camere presenti : 2",
          "Totale presenze : 2"}},
        // Only the day's departures: the tag is never written.
        {"departures of the day",
         true,
         vuota,
         {"Presenze attuali: 0      Totale Partenze : 1", "", "Camere presenti : 1",
          "Totale presenze : 0"}},
    };
    for (const auto& c : casi) {
        const auto righe =
            RigheDi(Esegui(d, [&](OpzioniTableau& o) { o.soloPartenze = c.soloPartenze; }));
        const auto riga = [&](const std::string& camera) {
            for (std::size_t i = 6; i < righe.size(); ++i) {
                if (righe[i].substr(1, camera.size()) == camera) {
                    return i;
                }
            }
            ADD_FAILURE() << c.nome << ": no line for room " << camera;
            return righe.size() - 1;
        };
        const std::size_t r401 = riga("401");
        ASSERT_LT(r401 + 4, righe.size()) << c.nome;
        EXPECT_EQ(cella(righe[r401], 6), "Uno" + std::string(18, ' ')) << c.nome;
        EXPECT_EQ(cella(righe[r401 + 1], 7), c.etichetta401) << c.nome;
        EXPECT_EQ(cella(righe[r401 + 1], 9), "T1" + std::string(22, ' ')) << c.nome;
        // One blank ruled line (VDX_1.txt), then the separator.
        EXPECT_EQ(righe[r401 + 2], CostruisciRighe("", false)[9]) << c.nome;
        EXPECT_EQ(righe[r401 + 3], CostruisciRighe("", false)[6]) << c.nome;
        ASSERT_GE(righe.size(), 5u) << c.nome;
        const std::vector<std::string> coda(righe.end() - 5, righe.end() - 1);
        EXPECT_EQ(coda, c.totali) << c.nome;
        if (c.soloPartenze) {
            continue; // 402 and 403 hold no departure of the day: free lines
        }
        // 402: no name in slot 1, so no occupancy block; the booking block
        // shows what the cards gave, without the booking tag.
        const std::size_t r402 = riga("402");
        EXPECT_EQ(cella(righe[r402], 3), "  2 ");
        EXPECT_EQ(cella(righe[r402], 4), "02/03/2024");
        EXPECT_EQ(cella(righe[r402], 5), "08/03/2024");
        EXPECT_EQ(cella(righe[r402], 6), vuota);
        EXPECT_EQ(cella(righe[r402], 7), "Secondo" + std::string(14, ' '));
        EXPECT_EQ(cella(righe[r402 + 1], 7), vuota);
        // 403: a card without dates shows the slashes only.
        const std::size_t r403 = riga("403");
        EXPECT_EQ(cella(righe[r403], 4), "  /  /    ");
        EXPECT_EQ(cella(righe[r403], 5), "  /  /    ");
        EXPECT_EQ(cella(righe[r403], 6), "Senza date" + std::string(11, ' '));
    }
}

TEST_F(Genera, FormFeedUnlessTheAssistanceCodeHoldsU) {
    const struct {
        std::string codice;
        bool formFeed;
    } casi[] = {{"K", true}, {" ", true}, {"", true}, {"KU", false}, {"U", false}, {"u", true}};
    for (const auto& c : casi) {
        const std::string byte =
            Esegui(DatiLiberi(), [&](OpzioniTableau& o) { o.codiceAssistenzaHotel = c.codice; });
        const std::string fine = "Totale presenze : 0\r\n";
        if (c.formFeed) {
            EXPECT_TRUE(byte.ends_with(fine + "\f\r\n")) << "[" << c.codice << "]";
        } else {
            EXPECT_TRUE(byte.ends_with(fine)) << "[" << c.codice << "]";
        }
    }
}

TEST_F(Genera, CountersGoPast32767) {
    Albergo d = BaseAlbergo();
    for (const char* c : {"C1", "C2"}) {
        d.Camera(1, 1, c, "DBL");
        d.Prenotata({.prenotazione = c[1] - '0',
                     .camera = c,
                     .arrivo = "20240301",
                     .partenza = "20240310",
                     .persone = 30000,
                     .quantita = 20000});
        d.ConPrenotazione({.numero = c[1] - '0', .tipo = "C", .nome = "Fiera"});
    }
    const auto righe = RigheDi(Esegui(d));
    ASSERT_GE(righe.size(), 5u);
    const std::vector<std::string> coda(righe.end() - 5, righe.end());
    EXPECT_EQ(coda, (std::vector<std::string>{"Presenze attuali: 0      Totale Partenze : 0", "",
                                              "Camere presenti : 40000", "Totale presenze : 60000",
                                              "\f"}));
}

TEST_F(Genera, AFailedRunLeavesThePreviousReportWhole) {
    const std::string vecchio = "report of yesterday\r\n";
    // A guest-card table without the name field fails in the middle of the room loop.
    Albergo senzaNome = DatiConteggi();
    senzaNome.Sostituisci(fixture::TabellaProva(
        "Scheda_Cliente", {"NumeroHotel:Integer", "NumeroCamera:Text(10)", "NumeroProgressivo:Long",
                           "NumeroComponente:Integer", "DataArrivo:Text(8)", "DataPartenza:Text(8)",
                           "DataPartenzaReale:Text(8)", "Partito:Text(1)", "TipoCliente:Text(30)",
                           "Commento:Text(100)", "CodiceAgenzia:Long"}));
    senzaNome.TabellaDiNome("Scheda_Cliente")
        .Record({{"NumeroHotel", 1},
                 {"NumeroCamera", "101"},
                 {"NumeroProgressivo", 1},
                 {"NumeroComponente", 1},
                 {"DataPartenza", "20240310"}});
    Albergo senzaArrangiamenti = DatiConteggi();
    senzaArrangiamenti.Ometti("Arrangiamento.mdb");

    for (const Albergo* dati : {&senzaNome, &senzaArrangiamenti}) {
        CartellaLavoro cartella;
        dati->Scrivi(cartella.Percorso());
        std::ofstream(cartella / "FD7", std::ios::binary) << vecchio;
        EXPECT_THROW(GeneraTableau(OpzioniDiProva(cartella.Percorso())), Errore);
        EXPECT_EQ(LeggiFile(cartella / "FD7"), vecchio);
        for (const auto& voce : std::filesystem::directory_iterator(cartella.Percorso())) {
            const std::string nome = voce.path().filename().string();
            EXPECT_TRUE(nome == "FD7" || nome.ends_with(".mdb")) << "left behind: " << nome;
        }
    }
}

TEST_F(Genera, ReportNameFollowsPclocal) {
    const struct {
        std::string postazione;
        const char* file;
    } casi[] = {{"7", "FD7"}, {"12", "FD12"}, {"", "FD"}};
    for (const auto& c : casi) {
        DatiLiberi().Scrivi(cartella_.Percorso());
        OpzioniTableau o = OpzioniDiProva(cartella_.Percorso());
        o.postazione = c.postazione;
        EXPECT_EQ(GeneraTableau(o), cartella_ / c.file);
    }
    OpzioniTableau o = OpzioniDiProva(cartella_.Percorso());
    o.postazione = "../7";
    EXPECT_THROW(GeneraTableau(o), Errore);
}

TEST(MarkerFile, BlankLinesAfterEachBlock) {
    const struct {
        std::vector<std::string> file;
        int righe;
    } casi[] = {
        {{}, 0},
        {{"VDX_2.txt"}, 2},
        {{"VDX_x.txt"}, 0},
        {{"VDX_.txt"}, 0},
        {{"vdx_4.TXT"}, 4},
        {{"VDX_3.txt", "VDX_1.txt"}, 1},
        {{"VDX_9.txt.bak", "XVDX_5.txt"}, 0},
    };
    for (const auto& c : casi) {
        CartellaLavoro cartella;
        for (const auto& f : c.file) {
            std::ofstream(cartella / f) << "";
        }
        EXPECT_EQ(RigheVuoteDaMarcatore(cartella.Percorso()), c.righe)
            << (c.file.empty() ? "none" : c.file.front());
    }
}

} // namespace
} // namespace vdx::test
