#include "shared/FileTesto.h"

#include "shared/Errore.h"
#include "support/CartellaLavoro.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using Lines = std::vector<std::string>;

struct Split {
    const char* nome;
    std::string bytes;
    Lines righe;
};

class DividiRigheTest : public ::testing::TestWithParam<Split> {};

TEST_P(DividiRigheTest, SplitsAtLineEnds) {
    EXPECT_EQ(vdx::DividiRighe(GetParam().bytes), GetParam().righe);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DividiRigheTest,
    ::testing::Values(Split{"empty", "", {}}, Split{"one", "a\r\n", {"a"}},
                      Split{"noFinalEnd", "a\r\nb", {"a", "b"}},
                      Split{"emptyLast", "a\r\n\r\n", {"a", ""}},
                      Split{"bareCr", "a\rb\r", {"a", "b"}}, Split{"bareLf", "a\nb\n", {"a", "b"}},
                      Split{"lfCr", "a\n\rb", {"a", "", "b"}},
                      Split{"formFeed", std::string("x\r\n\x0C\r\n"), {"x", "\x0C"}},
                      Split{"blanksKept", "  \r\n", {"  "}}),
    [](const auto& caso) { return std::string(caso.param.nome); });

TEST(LettoreRighe, ReadsWhatDividiRigheSplitsAcrossBufferEdges) {
    vdx::test::CartellaLavoro cartellaProva;
    // Lines of 133 bytes plus CR LF straddle the 64 KiB read blocks, including
    // a CR that ends one block with its LF at the start of the next; a line
    // spans several blocks.
    std::string bytes;
    for (int i = 0; i < 2000; ++i) {
        bytes += std::string(133, static_cast<char>('A' + i % 26)) + "\r\n";
    }
    bytes.insert(65535, "\r\n");
    // A line of more than two blocks whose CR ends a block, then a lone LF.
    bytes += std::string(2 * 65536 + 65535 - bytes.size() % 65536, 'L') + "\r\nx\n";
    bytes += "\xB3last";
    vdx::ScriviFileAtomico(cartellaProva / "FD3", bytes);

    vdx::LettoreRighe lettore(cartellaProva / "FD3");
    Lines read;
    while (auto riga = lettore.Leggi()) {
        read.push_back(*riga);
    }
    EXPECT_TRUE(lettore.Fine());
    EXPECT_EQ(read, vdx::DividiRighe(bytes));
    EXPECT_EQ(read.back(), "\xB3last");
}

TEST(LettoreRighe, MissingFileIsError53) {
    vdx::test::CartellaLavoro cartellaProva;
    try {
        vdx::LettoreRighe lettore(cartellaProva / "nothing");
        FAIL() << "no error";
    } catch (const vdx::Errore& e) {
        EXPECT_EQ(e.Numero(), vdx::errore::FileNonTrovato);
        EXPECT_NE(std::string(e.what()).find("nothing"), std::string::npos);
    }
}

TEST(ScrittoreAtomico, ReplacesOnlyOnCommit) {
    vdx::test::CartellaLavoro cartellaProva;
    const fs::path destinazione = cartellaProva / "FD1";
    vdx::ScriviRigheAtomico(destinazione, {"old", "report"});
    {
        vdx::ScrittoreAtomico out(destinazione);
        out.ScriviRiga("half");
        EXPECT_EQ(vdx::LeggiFile(destinazione), "old\r\nreport\r\n"); // untouched while writing
        // destroyed without commit: a failed run
    }
    EXPECT_EQ(vdx::LeggiFile(destinazione), "old\r\nreport\r\n");
    EXPECT_EQ(
        std::distance(fs::directory_iterator(cartellaProva.Percorso()), fs::directory_iterator()),
        1)
        << "the temporary file was left behind";

    vdx::ScrittoreAtomico out(destinazione);
    out.ScriviRiga("\xC8 new");
    out.Scrivi("\x0C");
    out.Conferma();
    EXPECT_EQ(vdx::LeggiFile(destinazione), "\xC8 new\r\n\x0C");
}

TEST(ScrittoreAtomico, UnwritableFolderIsAnError) {
    EXPECT_THROW(vdx::ScrittoreAtomico("/nonexistent-folder/FD1"), vdx::Errore);
}

TEST(ScrittoreAtomico, CommitIntoAVanishedFolderFails) {
    vdx::test::CartellaLavoro cartellaProva;
    const fs::path sub = cartellaProva / "gone";
    fs::create_directory(sub);
    vdx::ScrittoreAtomico out(sub / "FD1");
    out.ScriviRiga("x");
    fs::remove_all(sub);
    EXPECT_THROW(out.Conferma(), vdx::Errore);
}

} // namespace
