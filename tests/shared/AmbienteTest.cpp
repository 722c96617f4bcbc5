#include "shared/Ambiente.h"

#include "shared/Errore.h"

#include <cstdlib>
#include <gtest/gtest.h>
#include <string>

namespace {

// Sets variables for one test and removes them after it.
class Ambiente : public ::testing::Test {
protected:
    void TearDown() override {
        for (const char* nome : {"pclocal", "PCLOCAL", "PcLocal", "BANCO", "banco"}) {
            ::unsetenv(nome);
        }
    }
};

TEST_F(Ambiente, NamesCompareWithoutRegardToCase) {
    ::setenv("PCLOCAL", "3", 1);
    EXPECT_EQ(vdx::VariabileAmbiente("pclocal"), std::optional<std::string>("3"));
    EXPECT_EQ(vdx::PostazioneDaAmbiente(), "3");
    ::setenv("banco", "/dev/usb/lp0", 1);
    EXPECT_EQ(vdx::VariabileAmbiente("BANCO"), std::optional<std::string>("/dev/usb/lp0"));
    EXPECT_FALSE(vdx::VariabileAmbiente("BANC").has_value());
}

TEST_F(Ambiente, ExactSpellingWinsOverOtherCases) {
    ::setenv("PcLocal", "7", 1);
    ::setenv("pclocal", "3", 1);
    EXPECT_EQ(vdx::PostazioneDaAmbiente(), "3");
}

// pclocal is the workstation number: unset or empty, the workstation "";
// else one to three digits, taken as written. Anything else is refused, so
// that the generator, the printers, the preview and the export never name
// the report differently, nor a file with a blank, a sign or a line end.
struct Postazione {
    const char* valore; // nullptr: unset
    bool accettata;
    const char* report;
};

class Postazioni : public Ambiente, public ::testing::WithParamInterface<Postazione> {};

TEST_P(Postazioni, NameEveryFileOneWay) {
    if (GetParam().valore != nullptr) {
        ::setenv("pclocal", GetParam().valore, 1);
    }
    if (!GetParam().accettata) {
        try {
            vdx::PostazioneDaAmbiente();
            FAIL() << "accepted \"" << GetParam().valore << "\"";
        } catch (const vdx::Errore& e) {
            EXPECT_EQ(e.Numero(), vdx::errore::ChiamataNonValida);
            EXPECT_NE(std::string(e.what()).find("pclocal"), std::string::npos) << e.what();
        }
        return;
    }
    const std::string p = vdx::PostazioneDaAmbiente();
    EXPECT_EQ(vdx::NomeReport(p), std::string("FD") + GetParam().report);
    EXPECT_EQ(vdx::NomeFileCsv(p), std::string("fd") + GetParam().report + ".csv");
    EXPECT_EQ(vdx::NomeFileEMail(p), std::string("e-mail") + GetParam().report + ".txt");
    EXPECT_EQ(vdx::NomeCopiaDoc(p, vdx::DataOra{2026, 12, 7, 9, 5, 0}),
              std::string("doc\\fd") + GetParam().report + "202612070905.doc");
}

INSTANTIATE_TEST_SUITE_P(
    Values, Postazioni,
    ::testing::Values(Postazione{"3", true, "3"}, Postazione{nullptr, true, ""},
                      Postazione{"", true, ""}, Postazione{"03", true, "03"},
                      Postazione{"123", true, "123"}, Postazione{"1234", false, ""},
                      Postazione{"3 ", false, ""}, Postazione{" 3", false, ""},
                      Postazione{"+3", false, ""}, Postazione{"x1", false, ""},
                      Postazione{"1\n", false, ""}, Postazione{"../7", false, ""}));

} // namespace
