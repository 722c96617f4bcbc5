#include "printing/Converti2.h"

#include "StampanteRegistrata.h"
#include "printing/StampaDriver.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

using vdx::test::StampanteRegistrata;

std::string B(std::initializer_list<int> codes) {
    std::string s;
    for (int c : codes) {
        s.push_back(static_cast<char>(c));
    }
    return s;
}

struct CasoConverti {
    const char* nome;
    std::string riga;
    std::string atteso;
};

class Converti2Casi : public ::testing::TestWithParam<CasoConverti> {};

TEST_P(Converti2Casi, ConvertsInPlaceKeepingLength) {
    std::string riga = GetParam().riga;
    std::string& risultato = vdx::Converti2(riga);
    EXPECT_EQ(&risultato, &riga);
    EXPECT_EQ(riga, GetParam().atteso);
    EXPECT_EQ(riga.size(), GetParam().riga.size());
}

INSTANTIATE_TEST_SUITE_P(
    Righe, Converti2Casi,
    ::testing::Values(CasoConverti{"empty", "", ""},
                      CasoConverti{"top_border", B({218, 196, 196, 194, 196, 191}), "------"},
                      CasoConverti{"rules_in_spaces", B({179, ' ', ' ', 179, ' ', 179}), "|  | |"},
                      // The report's own corners and right tee stay rules.
                      CasoConverti{"bottom_border", B({192, 196, 193, 196, 217}), "-----"},
                      CasoConverti{"inner_separator", B({195, 196, 197, 196, 180}), "|---|"},
                      // Inside a line the six shared bytes are letters.
                      CasoConverti{"name_grave_o", B({179, 'N', 'I', 'C', 'O', 'L', 210, ' ', 179}),
                                   B({'|', 'N', 'I', 'C', 'O', 'L', 242, ' ', '|'})},
                      CasoConverti{"citta_agrave", B({179, 'C', 'I', 'T', 'T', 192, 179}),
                                   B({'|', 'C', 'I', 'T', 'T', 224, '|'})},
                      CasoConverti{"capitals_inside", B({' ', 200, 201, 204, 217, 180, ' '}),
                                   B({' ', 232, 233, 236, 249, '\'', ' '})},
                      CasoConverti{"grave_o_at_end_is_a_letter", B({'N', 'I', 'C', 'O', 'L', 210}),
                                   B({'N', 'I', 'C', 'O', 'L', 242})},
                      CasoConverti{"double_lines", B({201, 205, 187, 186, 200, 188}),
                                   B({'-', 205, '-', '|', 232, '-'})},
                      CasoConverti{"other_bytes_stay", B({'a', 0x80, 0x84, 0x94, 231, 'z'}),
                                   B({'a', 0x80, 0x84, 0x94, 231, 'z'})}),
    [](const auto& riga) { return std::string(riga.param.nome); });

struct CasoLaser {
    const char* nome;
    std::string testo;
    double passo; // the printer's own size step, 0 for exact sizes
    std::vector<std::string> atteso;
};

class StampaLaserCasi : public ::testing::TestWithParam<CasoLaser> {};

TEST_P(StampaLaserCasi, PrintsOneLineWithBoldStretches) {
    StampanteRegistrata p({}, GetParam().passo);
    p.setFontSize(10);
    p.chiamate.clear();
    vdx::StampaLaser(p, GetParam().testo);
    EXPECT_EQ(p.chiamate, GetParam().atteso);
}

const std::string c = B({231});

INSTANTIATE_TEST_SUITE_P(
    Righe, StampaLaserCasi,
    ::testing::Values(
        CasoLaser{"no_marker", "ABC DEF", 0, {"line 'ABC DEF'"}},
        CasoLaser{"empty", "", 0, {"line ''"}},
        CasoLaser{"bold_stretch",
                  "ABC" + c + "DEF" + c + "GHI",
                  0,
                  {"text 'ABC'", "size 9.6", "bold on", "text 'DEF'", "size 10", "bold off",
                   "line 'GHI'"}},
        // The size is read back: a printer with whole sizes keeps 10 for 9.6,
        // so the way back asks for 10.4.
        CasoLaser{"size_read_back",
                  "ABC" + c + "DEF" + c + "GHI",
                  1.0,
                  {"text 'ABC'", "size 9.6", "bold on", "text 'DEF'", "size 10.4", "bold off",
                   "line 'GHI'"}},
        CasoLaser{"marker_at_end", "ABC" + c, 0, {"text 'ABC'", "size 9.6", "bold on", "line ''"}},
        CasoLaser{"one_marker_leaves_bold",
                  "NOME" + c + "RESTO",
                  0,
                  {"text 'NOME'", "size 9.6", "bold on", "line 'RESTO'"}}),
    [](const auto& riga) { return std::string(riga.param.nome); });

TEST(StampaLaser, EachLineStartsWithTheMarkerOff) {
    // A line with one marker leaves bold on; the next marker, in the next
    // line, makes the size smaller again and switches bold on.
    StampanteRegistrata p;
    p.setFontSize(10);
    p.chiamate.clear();
    vdx::StampaLaser(p, "A" + c + "B");
    vdx::StampaLaser(p, "C" + c + "D");
    const std::vector<std::string> atteso{"text 'A'", "size 9.6", "bold on", "line 'B'",
                                          "text 'C'", "size 9.2", "bold on", "line 'D'"};
    EXPECT_EQ(p.chiamate, atteso);
}

} // namespace
