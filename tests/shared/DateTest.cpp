#include "shared/Date.h"

#include <gtest/gtest.h>

namespace {

TEST(Dates, TextsAreZeroFilled) {
    const vdx::DataOra momento{2026, 3, 5, 9, 7, 0};
    EXPECT_EQ(vdx::TestoData(momento), "05/03/2026");
    EXPECT_EQ(vdx::TestoOra(momento), "09:07");
    EXPECT_EQ(vdx::DataOdierna([] { return vdx::DataOra{2024, 12, 31, 23, 59, 0}; }), "31/12/2024");
}

TEST(Dates, KeyAndDisplayFormsSwapPositions) {
    EXPECT_EQ(vdx::ChiaveDaData("05/03/2024"), "20240305");
    EXPECT_EQ(vdx::ChiaveDaData("05-03-2024"), "20240305"); // separators are not looked at
    EXPECT_EQ(vdx::DataDaChiave("20240305"), "05/03/2024");
    EXPECT_EQ(vdx::DataDaChiave("          "), "  /  /    ");
    EXPECT_EQ(vdx::DataDaChiave(""), "//");
    EXPECT_EQ(vdx::DataDaChiave("2024"), "//2024");
}

TEST(Dates, DaysMoveAcrossMonthsYearsAndLeapDays) {
    const vdx::DataOra base{2024, 2, 28, 10, 30, 0};
    EXPECT_EQ(vdx::TestoData(vdx::SpostaGiorni(base, 1)), "29/02/2024");
    EXPECT_EQ(vdx::TestoData(vdx::SpostaGiorni(base, 2)), "01/03/2024");
    EXPECT_EQ(vdx::TestoData(vdx::SpostaGiorni(base, -59)), "31/12/2023");
    EXPECT_EQ(vdx::SpostaGiorni(base, 1).ora, 10);
}

} // namespace
