#include "printing/ImpaginaStampa.h"

#include <gtest/gtest.h>
#include <ostream>
#include <string>
#include <vector>

namespace {

using vdx::FormaReport;
using vdx::PaginaStampata;
using Pagine = std::vector<PaginaStampata>;

struct CasoImpagina {
    const char* nome;
    FormaReport forma;
    int lunghezza;
    int iniziali;
    Pagine atteso;
};

// A tableau of 20 lines: a head of 3, four room blocks of 3 (ending at
// lines 5, 8, 11 and 14), then the bottom border and the totals, 5 lines.
FormaReport Tableau() {
    return {20, 3, {5, 8, 11, 14}, {}};
}

class ImpaginaCasi : public ::testing::TestWithParam<CasoImpagina> {};

TEST_P(ImpaginaCasi, LaysThePagesOut) {
    const CasoImpagina& c = GetParam();
    EXPECT_EQ(vdx::Impagina(c.forma, c.lunghezza, c.iniziali), c.atteso);
}

INSTANTIATE_TEST_SUITE_P(
    Casi, ImpaginaCasi,
    ::testing::Values(CasoImpagina{"one_page", Tableau(), 60, 2, Pagine{{false, 0, 20}}},
                      // 9 lines a page: the head and two blocks fill page 1 exactly, the
                      // head again and two blocks page 2; the totals go to page 3, under
                      // the head.
                      CasoImpagina{"block_at_the_page_end", Tableau(), 10, 1,
                                   Pagine{{false, 0, 9}, {true, 9, 15}, {true, 15, 20}}},
                      // 10 lines a page: the third block does not fit the 1 line left.
                      CasoImpagina{"block_moves_to_the_next_page", Tableau(), 10, 0,
                                   Pagine{{false, 0, 9}, {true, 9, 15}, {true, 15, 20}}},
                      // 11 lines a page: page 2 has 2 lines left, the totals go on together
                      // to page 3; 12 lines: they end page 2.
                      CasoImpagina{"totals_stay_together", Tableau(), 11, 0,
                                   Pagine{{false, 0, 9}, {true, 9, 15}, {true, 15, 20}}},
                      CasoImpagina{"totals_fit_the_end", Tableau(), 12, 0,
                                   Pagine{{false, 0, 12}, {true, 12, 20}}},
                      // A block of 8 lines where a page holds 4 under the head: split where
                      // each page ends.
                      CasoImpagina{"block_longer_than_a_page", FormaReport{14, 3, {10}, {}}, 7, 0,
                                   Pagine{{false, 0, 7}, {true, 7, 11}, {true, 11, 14}}},
                      // A head of 6 on pages of 5 lines is not repeated: it is split like
                      // any long block, and the blocks follow without it.
                      CasoImpagina{"heads_longer_than_the_page", FormaReport{12, 6, {8, 11}, {}}, 6,
                                   1, Pagine{{false, 0, 5}, {false, 5, 9}, {false, 9, 12}}},
                      CasoImpagina{"no_head_no_blocks", FormaReport{7, 0, {}, {}}, 3, 0,
                                   Pagine{{false, 0, 3}, {false, 3, 6}, {false, 6, 7}}},
                      // A form feed begins a page, under the head.
                      CasoImpagina{"form_feed", FormaReport{10, 3, {5}, {6}}, 60, 0,
                                   Pagine{{false, 0, 6}, {true, 6, 10}}},
                      CasoImpagina{"no_lines", FormaReport{}, 60, 0, Pagine{{false, 0, 0}}}),
    [](const auto& riga) { return std::string(riga.param.nome); });

} // namespace

namespace vdx {
void PrintTo(const PaginaStampata& p, std::ostream* os) {
    *os << (p.conTeste ? "{head, " : "{") << p.da << ", " << p.a << "}";
}
} // namespace vdx
