#include "request/CampiRichiesta.h"

#include "shared/Cp1252.h"

#include <gtest/gtest.h>
#include <string>

namespace {

struct Data {
    const char* testo;
    bool accettabile;
};

class ControllaDataTest : public ::testing::TestWithParam<Data> {};

TEST_P(ControllaDataTest, AcceptsOnlyRealDates) {
    vdx::Calendario calendario;
    EXPECT_EQ(vdx::ControllaData(GetParam().testo, calendario), GetParam().accettabile)
        << "\"" << GetParam().testo << "\"";
}

INSTANTIATE_TEST_SUITE_P(
    Calendar, ControllaDataTest,
    ::testing::Values(Data{"29/02/2024", true}, Data{"29/02/2023", false},
                      Data{"29/02/1900", false}, Data{"29/02/2100", false},
                      Data{"29/02/2000", true}, Data{"31/04/2026", false}, Data{"30/04/2026", true},
                      Data{"31/12/2026", true}, Data{"32/01/2026", false},
                      Data{"01/01/1899", false}, Data{"01/01/1900", true}, Data{"31/12/9999", true},
                      Data{"00/05/2026", false}, Data{"05/00/2026", false},
                      Data{"05/13/2026", false}, Data{"05-03-2026", true}, Data{"05x03x2026", true},
                      Data{" 05/03/2026 ", true}, Data{"5/03/2026", false}, Data{"05/03/26", false},
                      Data{"", false}, Data{"          ", false}, Data{"ab/cd/efgh", false},
                      Data{"05/ 3/2026", false}, Data{" 5/03/2026", false},
                      Data{"5 /03/2024", false}, Data{"05/03/20 6", false},
                      Data{"05/03/+999", false}, Data{"1./03/2026", false},
                      Data{"5//3//1926", false}, Data{"31/02/2026", false}));

TEST(ControllaData, RewritesFebruaryForTheYearUnderTest) {
    vdx::Calendario calendario;
    EXPECT_TRUE(vdx::ControllaData("01/01/2024", calendario));
    EXPECT_EQ(calendario.giorniMese[2], 29);
    EXPECT_TRUE(vdx::ControllaData("01/01/2023", calendario));
    EXPECT_EQ(calendario.giorniMese[2], 28);
    // A refused month leaves February as it was.
    EXPECT_FALSE(vdx::ControllaData("01/13/2024", calendario));
    EXPECT_EQ(calendario.giorniMese[2], 28);
}

struct Completa {
    const char* testo;
    int annoOggi;
    const char* atteso;
};

class CompletaDataTest : public ::testing::TestWithParam<Completa> {};

TEST_P(CompletaDataTest, CompletesTowardsTheNearestCentury) {
    EXPECT_EQ(vdx::CompletaData(GetParam().testo, GetParam().annoOggi), GetParam().atteso)
        << "\"" << GetParam().testo << "\" in " << GetParam().annoOggi;
}

INSTANTIATE_TEST_SUITE_P(
    Forms, CompletaDataTest,
    ::testing::Values(
        // Two-digit years: the nearest century, a tie going forward.
        Completa{"050326", 2026, "05/03/2026"}, Completa{"050376", 2026, "05/03/2076"},
        Completa{"050377", 2026, "05/03/1977"}, Completa{"050399", 2026, "05/03/1999"},
        Completa{"050300", 2026, "05/03/2000"}, Completa{"311299", 2099, "31/12/2099"},
        Completa{"010149", 2099, "01/01/2149"}, Completa{"010150", 1950, "01/01/1950"},
        // Eight digits and ten characters as they are.
        Completa{"05032026", 2026, "05/03/2026"}, Completa{"05/03/2026", 2026, "05/03/2026"},
        Completa{"05-03-1926", 2026, "05-03-1926"},
        // Day, month and year parted by a separator.
        Completa{"5/3/26", 2026, "05/03/2026"}, Completa{"5/3/2026", 2026, "05/03/2026"},
        Completa{"05/03/26", 2026, "05/03/2026"}, Completa{"5-3-80", 2026, "05/03/1980"},
        Completa{"5.12.26", 2026, "05/12/2026"}, Completa{"5/3-26", 2026, "5//3-/2026"},
        Completa{"5/3/226", 2026, "5/3/226"},
        // Other texts are cut by positions, and the date check decides.
        Completa{"ab cd ", 2026, "ab/ c/20d "}, Completa{"abcdef", 2026, "ab/cd/20ef"},
        Completa{"", 2026, ""}, Completa{"0503202", 2026, "0503202"}));

// Whatever the date field completes and accepts gives a real key.
TEST(CompletaEControlla, AcceptedDatesAreRealDates) {
    const struct {
        const char* testo;
        bool accettata;
    } casi[] = {{"050326", true},   {"5/3/26", true},  {"5 0324", false}, {"05 324", false},
                {"5/3/1926", true}, {"310226", false}, {"050326 ", false}};
    for (const auto& c : casi) {
        vdx::Calendario calendario;
        EXPECT_EQ(vdx::ControllaData(vdx::CompletaData(c.testo, 2026), calendario), c.accettata)
            << "\"" << c.testo << "\"";
    }
}

TEST(PulisciTesto, RaisesCaseAndDropsApostrophes) {
    EXPECT_EQ(vdx::PulisciTesto("12a"), "12A");
    EXPECT_EQ(vdx::PulisciTesto("'"), " ");
    EXPECT_EQ(vdx::PulisciTesto(""), " ");
    EXPECT_EQ(vdx::PulisciTesto("d'a"), "DA");
    EXPECT_EQ(vdx::PulisciTesto(" 1 "), " 1 ");
    EXPECT_EQ(vdx::PulisciTesto(vdx::Cp1252DaUtf8("più")), vdx::Cp1252DaUtf8("PIÙ"));
}

} // namespace
