#include "printing/Converti2.h"

#include "StampanteRegistrata.h"
#include "printing/StampaDriver.h"
#include "report/ConvertiBordi.h"
#include "report/Righe.h"

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

// Report lines: the nine fixed lines, with `testo` written into cell 6
// of the blank ruled one.
const vdx::Righe RigheProva =
    vdx::CostruisciRighe(std::string(117, ' ') + "05/03/2024 07:30", false);

std::string Piana(std::string riga) {
    return vdx::ConvertiBordi(riga);
}

std::string ConCella6(const std::string& riga, const std::string& testo) {
    return std::string(riga).replace(42, testo.size(), testo);
}

INSTANTIATE_TEST_SUITE_P(
    Righe, Converti2Casi,
    ::testing::Values(
        CasoConverti{"empty", "", ""},
        CasoConverti{"top_border", RigheProva[2], std::string(133, '-')},
        CasoConverti{"bottom_border", RigheProva[8], std::string(133, '-')},
        CasoConverti{"inner_separator", RigheProva[6], "|" + std::string(131, '-') + "|"},
        CasoConverti{"blank_ruled_line", RigheProva[9], Piana(RigheProva[9])},
        // In the cells the accented capitals become small letters, also those
        // whose bytes are line-drawing bytes; the rules around them stay rules.
        CasoConverti{"name_grave_o", ConCella6(RigheProva[9], "NICOL\xD2"),
                     ConCella6(Piana(RigheProva[9]), "NICOL\xF2")},
        CasoConverti{"capitals_in_a_cell",
                     ConCella6(RigheProva[9], "CITT\xC0 \xC8\xC9\xCC\xD9\xB4"),
                     ConCella6(Piana(RigheProva[9]), "CITT\xE0 \xE8\xE9\xEC\xF9'")},
        // A line that is not ruled is all text: the title, the totals.
        CasoConverti{"title_line", " Hotel : CANT\xD9 \xC0\xC4\xC4",
                     " Hotel : CANT\xF9 \xE0\xC4\xC4"},
        CasoConverti{"other_bytes_stay", B({'a', 0x80, 0x84, 0x94, 231, 'z', 205, 186}),
                     B({'a', 0x80, 0x84, 0x94, 231, 'z', 205, 186})}),
    [](const auto& riga) { return std::string(riga.param.nome); });

// "ç" is a letter of names ("Jean-François"): printed as it is, nothing turns bold.
TEST(StampaLaser, CedillaIsALetter) {
    StampanteRegistrata p;
    p.SetFontSize(10);
    p.chiamate.clear();
    const std::string nome = "Jean-Fran" + B({231}) + "ois";
    vdx::StampaLaser(p, nome);
    vdx::StampaLaser(p, B({231}) + "a");
    EXPECT_EQ(p.chiamate,
              (std::vector<std::string>{"line '" + nome + "'", "line '" + B({231}) + "a'"}));
    EXPECT_EQ(p.FontSize(), 10);
}

} // namespace
