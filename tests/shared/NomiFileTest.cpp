#include "shared/NomiFile.h"

#include "shared/FileTesto.h"
#include "support/CartellaLavoro.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace {

namespace fs = std::filesystem;

TEST(RisolviNome, FindsAFileWhateverTheCase) {
    vdx::test::CartellaLavoro cartellaProva;
    vdx::ScriviFileAtomico(cartellaProva / "TABLEAU.MDB", "x");
    vdx::ScriviFileAtomico(cartellaProva / "fd3", "y");
    EXPECT_EQ(vdx::RisolviNome(cartellaProva.Percorso(), "Tableau.mdb"),
              cartellaProva / "TABLEAU.MDB");
    EXPECT_EQ(vdx::RisolviNome(cartellaProva.Percorso(), "FD3"), cartellaProva / "fd3");
    ASSERT_TRUE(vdx::TrovaFile(cartellaProva.Percorso(), "fD3").has_value());
    EXPECT_FALSE(vdx::TrovaFile(cartellaProva.Percorso(), "FD4").has_value());
}

TEST(RisolviNome, NoMatchKeepsTheSpellingGiven) {
    vdx::test::CartellaLavoro cartellaProva;
    EXPECT_EQ(vdx::RisolviNome(cartellaProva.Percorso(), "fd3.csv"), cartellaProva / "fd3.csv");
}

TEST(RisolviNome, ExactSpellingWinsAndFoldersResolveToo) {
    vdx::test::CartellaLavoro cartellaProva;
    vdx::ScriviFileAtomico(cartellaProva / "FD3", "upper");
    vdx::ScriviFileAtomico(cartellaProva / "fd3", "lower");
    EXPECT_EQ(vdx::RisolviNome(cartellaProva.Percorso(), "fd3"), cartellaProva / "fd3");
    EXPECT_EQ(vdx::RisolviNome(cartellaProva.Percorso(), "Fd3"),
              cartellaProva / "FD3"); // first in name order

    fs::create_directory(cartellaProva / "Doc");
    EXPECT_EQ(vdx::RisolviNome(cartellaProva.Percorso(), "doc\\fd3202612070905.doc"),
              cartellaProva / "Doc" / "fd3202612070905.doc");
    EXPECT_EQ(vdx::RisolviNome(cartellaProva.Percorso(), "doc/x"), cartellaProva / "Doc" / "x");
}

struct Modello {
    const char* nome;
    const char* modello;
    bool atteso;
};

class CorrispondeModelloTest : public ::testing::TestWithParam<Modello> {};

TEST_P(CorrispondeModelloTest, Wildcards) {
    EXPECT_EQ(vdx::CorrispondeModello(GetParam().nome, GetParam().modello), GetParam().atteso)
        << GetParam().nome << " ~ " << GetParam().modello;
}

INSTANTIATE_TEST_SUITE_P(Cases, CorrispondeModelloTest,
                         ::testing::Values(Modello{"VDX_2.txt", "VDX_*.txt", true},
                                           Modello{"vdx_2.TXT", "VDX_*.txt", true},
                                           Modello{"VDX_.txt", "VDX_*.txt", true},
                                           Modello{"VDX_12.txt", "VDX_*.txt", true},
                                           Modello{"VDX2.txt", "VDX_*.txt", false},
                                           Modello{"VDX_2.txt.bak", "VDX_*.txt", false},
                                           Modello{"aXbXc", "a*b*c", true},
                                           Modello{"abc", "a?c", true}, Modello{"ac", "a?c", false},
                                           Modello{"", "*", true}));

} // namespace
