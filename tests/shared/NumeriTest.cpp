#include "shared/Numeri.h"

#include <gtest/gtest.h>

namespace {

struct Lettura {
    const char* testo;
    double valore;
};

class LeggiNumeroTest : public ::testing::TestWithParam<Lettura> {};

TEST_P(LeggiNumeroTest, ReadsTheLeadingNumber) {
    EXPECT_DOUBLE_EQ(vdx::LeggiNumero(GetParam().testo), GetParam().valore) << GetParam().testo;
}

INSTANTIATE_TEST_SUITE_P(
    Texts, LeggiNumeroTest,
    ::testing::Values(Lettura{"07", 7}, Lettura{"  7", 7}, Lettura{"1/", 1}, Lettura{"/1", 0},
                      Lettura{"<tu", 0}, Lettura{"", 0}, Lettura{"   ", 0}, Lettura{"1 2 3", 123},
                      Lettura{"-12", -12}, Lettura{"+5", 5}, Lettura{" - 4", -4},
                      Lettura{"3.25", 3.25}, Lettura{"3.2.5", 3.2}, Lettura{".5", 0.5},
                      Lettura{"5.", 5}, Lettura{"-", 0}, Lettura{"--1", 0}, Lettura{"1-", 1},
                      Lettura{"12a34", 12}, Lettura{"\t9", 9}, Lettura{"007010000", 7010000},
                      Lettura{"0.1", 0.1}));

TEST(ArrotondaPari, HalvesGoToTheEvenNeighbour) {
    EXPECT_EQ(vdx::ArrotondaPari(0.5), 0);
    EXPECT_EQ(vdx::ArrotondaPari(1.5), 2);
    EXPECT_EQ(vdx::ArrotondaPari(2.5), 2);
    EXPECT_EQ(vdx::ArrotondaPari(-2.5), -2);
    EXPECT_EQ(vdx::ArrotondaPari(2.6), 3);
}

TEST(LeggiIntero, RoundsAndClampsTo16Bits) {
    EXPECT_EQ(vdx::LeggiIntero("2026"), 2026);
    EXPECT_EQ(vdx::LeggiIntero("12.5"), 12);
    EXPECT_EQ(vdx::LeggiIntero("13.5"), 14);
    EXPECT_EQ(vdx::LeggiIntero("99999"), 32767);
    EXPECT_EQ(vdx::LeggiIntero("-99999"), -32768);
}

} // namespace
