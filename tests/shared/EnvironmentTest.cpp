#include "shared/Environment.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace {

// Sets variables for one test and removes them after it.
class Ambiente : public ::testing::Test {
protected:
    void TearDown() override {
        for (const char* name : {"pclocal", "PCLOCAL", "PcLocal", "BANCO", "banco"}) {
            ::unsetenv(name);
        }
    }
};

TEST_F(Ambiente, NamesCompareWithoutRegardToCase) {
    ::setenv("PCLOCAL", "3", 1);
    EXPECT_EQ(vdx::VariabileAmbiente("pclocal"), std::optional<std::string>("3"));
    EXPECT_EQ(vdx::PcLocale(), "3");
    ::setenv("banco", "/dev/usb/lp0", 1);
    EXPECT_EQ(vdx::VariabileAmbiente("BANCO"), std::optional<std::string>("/dev/usb/lp0"));
    EXPECT_FALSE(vdx::VariabileAmbiente("BANC").has_value());
}

TEST_F(Ambiente, ExactSpellingWinsOverOtherCases) {
    ::setenv("PcLocal", "7", 1);
    ::setenv("pclocal", "3", 1);
    EXPECT_EQ(vdx::PcLocale(), "3");
}

struct Nome {
    const char* valore; // nullptr: unset
    const char* testo;
    const char* numerico;
};

class NomiReport : public Ambiente, public ::testing::WithParamInterface<Nome> {};

TEST_P(NomiReport, TextAndNumericForms) {
    if (GetParam().valore != nullptr) {
        ::setenv("pclocal", GetParam().valore, 1);
    }
    EXPECT_EQ(vdx::NomeReport(), std::string("FD") + GetParam().testo);
    EXPECT_EQ(vdx::NomeReportNumerico(), std::string("FD") + GetParam().numerico);
}

INSTANTIATE_TEST_SUITE_P(Values, NomiReport,
                         ::testing::Values(Nome{"3", "3", "3"}, Nome{nullptr, "", "0"},
                                           Nome{"", "", "0"}, Nome{" 03", " 03", "3"},
                                           Nome{"x1", "x1", "0"}, Nome{"12a", "12a", "12"}));

} // namespace
