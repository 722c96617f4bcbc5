#include "shared/NomiFile.h"

#include "shared/FileTesto.h"
#include "support/CartellaLavoro.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace {

namespace fs = std::filesystem;

TEST(RisolviNome, FindsAFileWhateverTheCase) {
    vdx::test::CartellaLavoro dir;
    vdx::ScriviFileAtomico(dir / "TABLEAU.MDB", "x");
    vdx::ScriviFileAtomico(dir / "fd3", "y");
    EXPECT_EQ(vdx::RisolviNome(dir.Percorso(), "Tableau.mdb"), dir / "TABLEAU.MDB");
    EXPECT_EQ(vdx::RisolviNome(dir.Percorso(), "FD3"), dir / "fd3");
    ASSERT_TRUE(vdx::TrovaFile(dir.Percorso(), "fD3").has_value());
    EXPECT_FALSE(vdx::TrovaFile(dir.Percorso(), "FD4").has_value());
}

TEST(RisolviNome, NoMatchKeepsTheSpellingGiven) {
    vdx::test::CartellaLavoro dir;
    EXPECT_EQ(vdx::RisolviNome(dir.Percorso(), "fd3.csv"), dir / "fd3.csv");
}

TEST(RisolviNome, ExactSpellingWinsAndFoldersResolveToo) {
    vdx::test::CartellaLavoro dir;
    vdx::ScriviFileAtomico(dir / "FD3", "upper");
    vdx::ScriviFileAtomico(dir / "fd3", "lower");
    EXPECT_EQ(vdx::RisolviNome(dir.Percorso(), "fd3"), dir / "fd3");
    EXPECT_EQ(vdx::RisolviNome(dir.Percorso(), "Fd3"), dir / "FD3"); // first in name order

    fs::create_directory(dir / "Doc");
    EXPECT_EQ(vdx::RisolviNome(dir.Percorso(), "doc\\fd3202612070905.doc"),
              dir / "Doc" / "fd3202612070905.doc");
    EXPECT_EQ(vdx::RisolviNome(dir.Percorso(), "doc/x"), dir / "Doc" / "x");
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
