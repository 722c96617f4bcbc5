#include "printing/StampaDriver.h"

#include "StampanteRegistrata.h"
#include "shared/FileTesto.h"
#include "support/CartellaLavoro.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

using vdx::ImpostazioniStampa;
using vdx::SceltaStampa;
using vdx::test::CartellaLavoro;
using vdx::test::StampanteRegistrata;
using Chiamate = std::vector<std::string>;

ImpostazioniStampa Driver(short lunghezza, short iniziali) {
    ImpostazioniStampa s;
    s.valoriCompresso = vdx::DividiGruppi("007000000000000001010000000000000000");
    s.lunghezzaPagina = lunghezza;
    s.righeIniziali = iniziali;
    return s;
}

// The page head and the size of the report lines, as a compressed portrait
// print at 7 points gives them.
Chiamate Testa(int iniziali = 0, const char* dimensione = "size 7") {
    Chiamate c{"font Times New Roman", "size 7", "line ' '", "font Courier New"};
    for (int i = 0; i < iniziali; ++i) {
        c.emplace_back("line ' '");
    }
    c.emplace_back(dimensione);
    return c;
}

// The foot of page n of m.
std::string Piede(int n, int m) {
    return "foot 'Pagina " + std::to_string(n) + " di " + std::to_string(m) + "'";
}

Chiamate operator+(Chiamate a, const Chiamate& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

struct CasoDriver {
    const char* nome;
    std::vector<std::string> righe;
    ImpostazioniStampa impostazioni;
    SceltaStampa scelta;
    Chiamate atteso;
};

SceltaStampa Scelta(bool compressa = true, bool orizzontale = false, bool fronteRetro = false,
                    std::string codice = "") {
    SceltaStampa s;
    s.compressa = compressa;
    s.orizzontale = orizzontale;
    s.fronteRetro = fronteRetro;
    s.codiceAssistenza = std::move(codice);
    return s;
}

// After the first page the blank top lines follow the size of the report.
Chiamate NuovaPagina(int iniziali, int orientamento = 1, const char* dimensione = "size 7") {
    Chiamate c{"page",
               "orient " + std::to_string(orientamento),
               "font Times New Roman",
               "size 7",
               "line ' '",
               "font Courier New",
               dimensione};
    for (int i = 0; i < iniziali; ++i) {
        c.emplace_back("line ' '");
    }
    return c;
}

std::string B(std::initializer_list<int> codes) {
    std::string s;
    for (int code : codes) {
        s.push_back(static_cast<char>(code));
    }
    return s;
}

class StampaDriverCasi : public ::testing::TestWithParam<CasoDriver> {};

TEST_P(StampaDriverCasi, GivesTheExactSequence) {
    const CasoDriver& caso = GetParam();
    CartellaLavoro cartella;
    vdx::ScriviRigheAtomico(cartella / "FD0", caso.righe);
    StampanteRegistrata p;
    ASSERT_TRUE(vdx::StampaModoDriver(p, caso.impostazioni, caso.scelta, cartella.Percorso(),
                                      cartella / "FD0"));
    EXPECT_EQ(p.chiamate, caso.atteso);
}

INSTANTIATE_TEST_SUITE_P(
    Stampe, StampaDriverCasi,
    ::testing::Values(
        CasoDriver{"compressed", {"A", "B"}, Driver(60, 0), Scelta(),
                   Chiamate{"orient 1"} + Testa() + Chiamate{"line 'A'", "line 'B'", Piede(1, 1), "end"}},
        // The page head stays at valoriCompresso(1) in normal print.
        CasoDriver{"normal_size_10", {"A"}, Driver(60, 0), Scelta(false),
                   Chiamate{"orient 1"} + Testa(0, "size 10") + Chiamate{"line 'A'", Piede(1, 1), "end"}},
        CasoDriver{"landscape_duplex", {"A"}, Driver(60, 0), Scelta(true, true, true),
                   Chiamate{"duplex 2", "orient 2"} + Testa() +
                       Chiamate{"line 'A'", Piede(1, 1), "end", "orient 1"}},
        CasoDriver{"top_lines_at_head_size", {"A"}, Driver(60, 2), Scelta(false),
                   Chiamate{"orient 1"} + Testa(2, "size 10") + Chiamate{"line 'A'", Piede(1, 1), "end"}},
        // Pages of 3 lines with one blank top line: 2 report lines a page.
        CasoDriver{"paging", {"A", "B", "C", "D", "E"}, Driver(3, 1), Scelta(true, true),
                   Chiamate{"orient 2"} + Testa(1) + Chiamate{"line 'A'", "line 'B'", Piede(1, 3)} +
                       NuovaPagina(1, 2) + Chiamate{"line 'C'", "line 'D'", Piede(2, 3)} +
                       NuovaPagina(1, 2) + Chiamate{"line 'E'", Piede(3, 3), "end", "orient 1"}},
        // A full last page leaves no empty sheet behind.
        CasoDriver{"full_last_page", {"A", "B"}, Driver(2, 0), Scelta(),
                   Chiamate{"orient 1"} + Testa() + Chiamate{"line 'A'", "line 'B'", Piede(1, 1), "end"}},
        // One new page per form feed; the final form feed starts none.
        CasoDriver{"form_feed", {"A", "\f", "B", "\f"}, Driver(60, 1), Scelta(),
                   Chiamate{"orient 1"} + Testa(1) + Chiamate{"line 'A'", Piede(1, 2)} + NuovaPagina(1) +
                       Chiamate{"line 'B'", Piede(2, 2), "end"}},
        CasoDriver{"spaces_and_ff_with_text_are_lines", {"   ", "\f "}, Driver(60, 0), Scelta(),
                   Chiamate{"orient 1"} + Testa() + Chiamate{"line '   '", "line '\f '", Piede(1, 1), "end"}},
        // A page length not above the top lines: a page holds what the sheet does.
        CasoDriver{"length_not_above_top_lines", {"A", "B", "C"}, Driver(2, 2), Scelta(),
                   Chiamate{"orient 1"} + Testa(2) +
                       Chiamate{"line 'A'", "line 'B'", "line 'C'", Piede(1, 1), "end"}},
        // The rules become | and -; a capital in the text becomes small.
        CasoDriver{"converted_without_K", {B({218, 196, 196}), B({179, 'X', 192})}, Driver(60, 0),
                   Scelta(),
                   Chiamate{"orient 1"} + Testa() +
                       Chiamate{"line '---'", "line '|X" + B({224}) + "'", Piede(1, 1), "end"}},
        CasoDriver{"unchanged_with_K", {B({218, 196, 191})}, Driver(60, 0), Scelta(true, false, false, "AK"),
                   Chiamate{"orient 1"} + Testa() + Chiamate{"line '" + B({218, 196, 191}) + "'", Piede(1, 1), "end"}},
        // "ç" is a letter: printed, and nothing turns bold.
        CasoDriver{"cedilla_is_a_letter", {"AB" + B({231}) + "CD" + B({231})}, Driver(60, 0),
                   Scelta(),
                   Chiamate{"orient 1"} + Testa() +
                       Chiamate{"line 'AB" + B({231}) + "CD" + B({231}) + "'", Piede(1, 1), "end"}},
        CasoDriver{"font_from_settings", {"A"},
                   [] {
                       auto s = Driver(60, 0);
                       s.fontStampa = "Lucida Console";
                       return s;
                   }(),
                   Scelta(),
                   Chiamate{"orient 1", "font Times New Roman", "size 7", "line ' '",
                            "font Lucida Console", "size 7", "line 'A'", Piede(1, 1), "end"}}),
    [](const auto& riga) { return std::string(riga.param.nome); });

struct CasoUscita {
    const char* nome;
    std::string uscita;
    std::vector<std::string> dispositivi;
    std::string atteso; // the first call, "" when no printer is chosen
};

class SceltaDispositivo : public ::testing::TestWithParam<CasoUscita> {};

TEST_P(SceltaDispositivo, ChoosesThePrinterByExactName) {
    CartellaLavoro cartella;
    vdx::ScriviRigheAtomico(cartella / "FD0", {"A"});
    auto s = Driver(60, 0);
    s.uscitaStampa = GetParam().uscita;
    StampanteRegistrata p(GetParam().dispositivi);
    vdx::StampaModoDriver(p, s, Scelta(), cartella.Percorso(), cartella / "FD0");
    std::string atteso = GetParam().atteso;
    if (atteso.rfind("pdf ", 0) == 0) {
        atteso = "pdf " + (cartella / atteso.substr(4)).string();
    }
    EXPECT_EQ(p.chiamate.front(), atteso.empty() ? "orient 1" : atteso);
}

INSTANTIATE_TEST_SUITE_P(
    Uscite, SceltaDispositivo,
    ::testing::Values(CasoUscita{"exact", "Ufficio", {"ufficio", "Ufficio"}, "device Ufficio"},
                      CasoUscita{"no_match_keeps_current", "UFFICIO2", {"ufficio", "Ufficio"}, ""},
                      CasoUscita{"no_printer_entry", "<nessuna stampante>", {}, ""},
                      CasoUscita{"pdf_file", "tableau.PDF", {"tableau.PDF"}, "pdf tableau.PDF"},
                      CasoUscita{"absolute_pdf", "/tmp/x/t.pdf", {}, "pdf /tmp/x/t.pdf"}),
    [](const auto& riga) { return std::string(riga.param.nome); });

// A line wider than the page at the chosen size lowers the size, the page
// head's too, just enough that it fits; a landscape page it fits leaves the
// sizes as they are.
TEST(StampaModoDriver, WidestLineFitsThePage) {
    CartellaLavoro cartella;
    vdx::ScriviRigheAtomico(cartella / "FD0", {std::string(133, 'x'), "A", "\f"});
    const struct {
        const char* nome;
        SceltaStampa scelta;
        Chiamate atteso;
    } casi[] = {
        // 133 x 0.6 x 10 = 798 points on 540: 6.76 points.
        {"normal, portrait", Scelta(false),
         Chiamate{"orient 1", "font Times New Roman", "size 6.76", "line ' '", "font Courier New",
                  "size 6.76", "line '" + std::string(133, 'x') + "'", "line 'A'", Piede(1, 1),
                  "end"}},
        // 133 x 0.6 x 7 = 558.6 on 540: 6.76 as well.
        {"compressed, portrait", Scelta(),
         Chiamate{"orient 1", "font Times New Roman", "size 6.76", "line ' '", "font Courier New",
                  "size 6.76", "line '" + std::string(133, 'x') + "'", "line 'A'", Piede(1, 1),
                  "end"}},
        {"compressed, landscape", Scelta(true, true),
         Chiamate{"orient 2"} + Testa() +
             Chiamate{"line '" + std::string(133, 'x') + "'", "line 'A'", Piede(1, 1), "end",
                      "orient 1"}},
    };
    for (const auto& c : casi) {
        StampanteRegistrata p;
        p.larghezzaVerticale = 540;
        p.larghezzaOrizzontale = 786;
        ASSERT_TRUE(vdx::StampaModoDriver(p, Driver(60, 0), c.scelta, cartella.Percorso(),
                                          cartella / "FD0"));
        EXPECT_EQ(p.chiamate, c.atteso) << c.nome;
    }
}

// A page of the page length (the page head, the blank top lines, the
// report's lines and the foot) higher than the sheet lowers the size, the
// page head's too if larger, just enough that it fits; with the width's
// limit, the smaller size wins. Here lines are as high as their size, and a
// page of 60 lines has 2 blank top lines.
TEST(StampaModoDriver, PageFitsTheHeight) {
    CartellaLavoro cartella;
    vdx::ScriviRigheAtomico(cartella / "FD0", {std::string(133, 'x'), "A"});
    const struct {
        const char* nome;
        bool compressa;
        double larghezza;
        double altezza;
        Chiamate atteso; // the page head's size, the lines'
    } casi[] = {
        // 7 + 2 x 7 + 59 x 7 = 434 on 600.
        {"compressed, fits", true, 1e9, 600, {"size 7", "size 7"}},
        // At 10: 7 + 2 x 10 + 59 x 10 = 617; at 9.72: 599.92.
        {"normal, lowered", false, 1e9, 600, {"size 7", "size 9.72"}},
        // 62 x 4.83 = 299.46 on 300.
        {"compressed, lowered", true, 1e9, 300, {"size 4.83", "size 4.83"}},
        {"the width's smaller", false, 540, 600, {"size 6.76", "size 6.76"}},
        {"the height's smaller", false, 540, 300, {"size 4.83", "size 4.83"}},
    };
    for (const auto& c : casi) {
        StampanteRegistrata p;
        p.larghezzaVerticale = c.larghezza;
        p.altezzaVerticale = c.altezza;
        ASSERT_TRUE(vdx::StampaModoDriver(p, Driver(60, 2), Scelta(c.compressa),
                                          cartella.Percorso(), cartella / "FD0"));
        Chiamate dimensioni;
        for (const std::string& chiamata : p.chiamate) {
            if (chiamata.rfind("size ", 0) == 0) {
                dimensioni.push_back(chiamata);
            }
        }
        EXPECT_EQ(dimensioni, c.atteso) << c.nome;
    }
}

TEST(StampaModoDriver, MissingReportPrintsNothing) {
    CartellaLavoro cartella;
    auto s = Driver(60, 0);
    s.uscitaStampa = "Banco";
    StampanteRegistrata p({"Banco"});
    EXPECT_FALSE(vdx::StampaModoDriver(p, s, Scelta(), cartella.Percorso(), cartella / "FD0"));
    EXPECT_EQ(p.chiamate, Chiamate{"device Banco"});
}

} // namespace
