#include "preview/InviaEMail.h"

#include "Ambiente.h"
#include "shared/Errore.h"
#include "shared/FileTesto.h"
#include "shared/Piattaforma.h"

#include <gtest/gtest.h>

namespace vdx {
namespace {

namespace fs = std::filesystem;
using test::CartellaLavoro;

struct CasoContenuto {
    const char* nome;
    std::string testo;
    std::vector<std::string> righe; // the file's lines, as a reader sees them
};

class Contenuto : public ::testing::TestWithParam<CasoContenuto> {};

TEST_P(Contenuto, LinesOfTheFile) {
    const std::string contenuto = ContenutoEMail(GetParam().testo);
    EXPECT_EQ(contenuto.substr(0, 9), "OGGETTO\r\n");
    EXPECT_EQ(contenuto.substr(contenuto.size() - 2), "\r\n");
    EXPECT_EQ(DividiRighe(contenuto), GetParam().righe);
}

INSTANTIATE_TEST_SUITE_P(EMail, Contenuto,
                         ::testing::Values(
                             // An empty text gives "OGGETTO" and an empty line.
                             CasoContenuto{"TestoVuoto", "", {"OGGETTO", ""}},
                             // A page of n shown lines gives n + 2 lines, the last empty.
                             CasoContenuto{"PaginaDiDueRighe",
                                           "|101 |\r\n|102 |\r\n",
                                           {"OGGETTO", "|101 |", "|102 |", ""}},
                             CasoContenuto{"SenzaFineRiga", "una riga", {"OGGETTO", "una riga"}},
                             CasoContenuto{"ByteDellaCodePage",
                                           "\x80 \x84\x94 \xC8\r\n",
                                           {"OGGETTO", "\x80 \x84\x94 \xC8", ""}}),
                         [](const auto& riga) { return std::string(riga.param.nome); });

class Invio : public ::testing::Test {
protected:
    void TearDown() override { piattaforma::ImpostaAvvia({}); }

    // Records the starts instead of starting anything.
    void RegistraAvvii() {
        piattaforma::ImpostaAvvia([this](std::string_view programma, const fs::path& dove) {
            avvii.emplace_back(std::string(programma), dove);
        });
    }

    CartellaLavoro cartella;
    std::vector<std::pair<std::string, fs::path>> avvii;
};

TEST_F(Invio, FileNameFromTheWorkstation) {
    RegistraAvvii();
    for (const auto& [postazione, nome] : std::vector<std::pair<std::string, std::string>>{
             {"", "e-mail.txt"}, {"3", "e-mail3.txt"}, {"12", "e-mail12.txt"}}) {
        InviaEMail("pagina\r\n", cartella.Percorso(), postazione);
        EXPECT_EQ(LeggiFile(cartella / nome), "OGGETTO\r\npagina\r\n\r\n") << nome;
    }
    ASSERT_EQ(avvii.size(), 3U);
    for (const auto& [programma, dove] : avvii) {
        EXPECT_EQ(programma, "Recapito.exe");
        EXPECT_EQ(dove, cartella.Percorso());
    }
}

TEST_F(Invio, ASecondCallReplacesTheFile) {
    RegistraAvvii();
    InviaEMail(std::string(5000, 'x'), cartella.Percorso(), "1");
    InviaEMail("corta", cartella.Percorso(), "1");
    EXPECT_EQ(LeggiFile(cartella / "e-mail1.txt"), "OGGETTO\r\ncorta\r\n");
}

TEST_F(Invio, AMissingSenderLeavesTheFileWritten) {
    CartellaLavoro vuota;
    const std::string percorsoPrima = std::getenv("PATH") ? std::getenv("PATH") : "";
    ::setenv("PATH", vuota.Percorso().c_str(), 1);
    try {
        InviaEMail("pagina\r\n", cartella.Percorso(), "2");
        ::setenv("PATH", percorsoPrima.c_str(), 1);
        FAIL() << "no error for a missing sender";
    } catch (const Errore& e) {
        ::setenv("PATH", percorsoPrima.c_str(), 1);
        EXPECT_EQ(e.Numero(), errore::FileNonTrovato);
        EXPECT_NE(std::string(e.what()).find("Recapito.exe"), std::string::npos);
    }
    EXPECT_EQ(LeggiFile(cartella / "e-mail2.txt"), "OGGETTO\r\npagina\r\n\r\n");
}

TEST_F(Invio, AnUnwritableFileStartsNothing) {
    RegistraAvvii();
    EXPECT_THROW(InviaEMail("pagina", cartella / "manca", "2"), Errore);
    EXPECT_TRUE(avvii.empty());
}

} // namespace
} // namespace vdx
