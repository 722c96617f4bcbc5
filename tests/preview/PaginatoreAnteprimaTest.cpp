#include "preview/PaginatoreAnteprima.h"

#include "Ambiente.h"
#include "shared/Errore.h"
#include "shared/FileTesto.h"

#include <gtest/gtest.h>

namespace vdx {
namespace {

namespace fs = std::filesystem;
using test::CartellaLavoro;
using test::RigaDiCamera;

// Report lines of `lunghezza` characters, each telling its number, so a page
// shows where it starts.
std::vector<std::string> Righe(int quante, std::size_t lunghezza = 133) {
    std::vector<std::string> righe;
    for (int i = 1; i <= quante; ++i) {
        std::string riga = RigaDiCamera(std::to_string(i));
        riga.resize(lunghezza, ' ');
        righe.push_back(riga);
    }
    return righe;
}

std::size_t ContaRighe(const std::string& testo) {
    return DividiRighe(testo).size();
}

std::string PrimaRiga(const std::string& testo) {
    return DividiRighe(testo).at(0);
}

class Anteprima : public ::testing::Test {
protected:
    void ScriviReport(const std::vector<std::string>& righe, const char* nome = "FD3") {
        ScriviRigheAtomico(cartella / nome, righe);
    }

    CartellaLavoro cartella;
};

struct CasoPagine {
    const char* nome;
    int righe;
    std::size_t lunghezza;
    std::vector<std::size_t> pagine; // lines of the opening page, then of each Avanti
};

class Pagine : public Anteprima, public ::testing::WithParamInterface<CasoPagine> {};

TEST_P(Pagine, LinesOfEachPage) {
    const auto& caso = GetParam();
    ScriviReport(Righe(caso.righe, caso.lunghezza));
    PaginatoreAnteprima p(cartella.Percorso(), "3");
    p.PaginaApertura();
    std::vector<std::size_t> viste = {ContaRighe(p.Testo())};
    std::size_t lette = viste.back();
    while (p.AltraPagina()) {
        ASSERT_TRUE(p.Avanti());
        viste.push_back(ContaRighe(p.Testo()));
        lette += viste.back();
        EXPECT_EQ(p.CaratteriPagina(), static_cast<std::int32_t>(viste.back() * caso.lunghezza));
    }
    EXPECT_EQ(viste, caso.pagine);
    EXPECT_EQ(lette, static_cast<std::size_t>(caso.righe));
    // On the last page Avanti changes nothing.
    const std::string ultima = p.Testo();
    EXPECT_FALSE(p.Avanti());
    EXPECT_EQ(p.Testo(), ultima);
}

INSTANTIATE_TEST_SUITE_P(Limits, Pagine,
                         ::testing::Values(
                             // 150 lines of 133 make 19950, below 20000: the 151st still goes in;
                             // 195 make 25935, below 26000: pages after the first hold 196.
                             CasoPagine{"Righe133", 600, 133, {151, 196, 196, 57}},
                             CasoPagine{"UnaPaginaSola", 151, 133, {151}},
                             CasoPagine{"UnaRigaInPiu", 152, 133, {151, 1}},
                             // Exactly at the limit the page ends.
                             CasoPagine{"LimiteEsatto", 500, 100, {200, 260, 40}},
                             // A line longer than the limit still makes a page of one line.
                             CasoPagine{"RigaLunghissima", 3, 30000, {1, 1, 1}},
                             CasoPagine{"RigheVuote", 5, 0, {5}}),
                         [](const auto& riga) { return std::string(riga.param.nome); });

TEST_F(Anteprima, PageConvertedCountingCharactersBeforeTheConversion) {
    ScriviReport(Righe(400));
    PaginatoreAnteprima p(cartella.Percorso(), "3");
    p.PaginaApertura();
    EXPECT_EQ(p.CaratteriPagina(), 151 * 133);
    EXPECT_TRUE(p.AltraPagina());
    const auto righe = DividiRighe(p.Testo());
    std::string attesa = RigaDiCamera("1");
    for (char& c : attesa) {
        if (static_cast<unsigned char>(c) == 179) {
            c = '|';
        }
    }
    EXPECT_EQ(righe.front(), attesa);
    EXPECT_EQ(p.Testo().substr(p.Testo().size() - 2), "\r\n");
    EXPECT_EQ(p.Testo().find('\xB3'), std::string::npos);
}

TEST_F(Anteprima, InizioFillsUpTo26000) {
    ScriviReport(Righe(600));
    PaginatoreAnteprima p(cartella.Percorso(), "3");
    p.PaginaApertura();
    ASSERT_TRUE(p.Avanti());
    ASSERT_TRUE(p.Avanti());
    p.Inizio();
    EXPECT_EQ(ContaRighe(p.Testo()), 196U);
    EXPECT_EQ(PrimaRiga(p.Testo()).substr(1, 6), "1     ");
    EXPECT_TRUE(p.AltraPagina());
    ASSERT_TRUE(p.Avanti());
    EXPECT_EQ(PrimaRiga(p.Testo()).substr(1, 6), "197   ");
}

TEST_F(Anteprima, EmptyReport) {
    ScriviReport({});
    PaginatoreAnteprima p(cartella.Percorso(), "3");
    EXPECT_TRUE(p.EsisteReport());
    p.PaginaApertura();
    EXPECT_EQ(p.Testo(), "");
    EXPECT_EQ(p.CaratteriPagina(), 0);
    EXPECT_FALSE(p.AltraPagina());
    EXPECT_FALSE(p.Avanti());
    EXPECT_EQ(p.Testo(), "");
}

TEST_F(Anteprima, SalvaThenAvantiShowsTheSavedText) {
    ScriviReport(Righe(400));
    PaginatoreAnteprima p(cartella.Percorso(), "3");
    p.PaginaApertura();
    const std::string pagina = p.Testo();
    p.Salva(pagina);
    // The page, its count and the flag stay; the file holds the page and
    // one more line end.
    EXPECT_EQ(p.Testo(), pagina);
    EXPECT_EQ(p.CaratteriPagina(), 151 * 133);
    EXPECT_TRUE(p.AltraPagina());
    EXPECT_EQ(LeggiFile(cartella / "FD3"), pagina + "\r\n");
    ASSERT_TRUE(p.Avanti());
    // The saved file starts over: its 151 lines and the final empty one.
    EXPECT_EQ(p.Testo(), pagina + "\r\n");
    EXPECT_FALSE(p.AltraPagina());
}

TEST_F(Anteprima, SalvaWritesTheEditedText) {
    ScriviReport(Righe(400));
    PaginatoreAnteprima p(cartella.Percorso(), "3");
    p.PaginaApertura();
    p.Salva("modificato\r\n\x80 \xE8\r\n");
    EXPECT_EQ(LeggiFile(cartella / "FD3"), "modificato\r\n\x80 \xE8\r\n\r\n");
    p.Inizio();
    EXPECT_EQ(p.Testo(), "modificato\r\n\x80 \xE8\r\n\r\n");
}

TEST_F(Anteprima, SalvaOnTheLastPageThenAvantiChangesNothing) {
    ScriviReport(Righe(10));
    PaginatoreAnteprima p(cartella.Percorso(), "3");
    p.PaginaApertura();
    ASSERT_FALSE(p.AltraPagina());
    p.Salva("x\r\n");
    EXPECT_FALSE(p.Avanti());
    EXPECT_EQ(ContaRighe(p.Testo()), 10U);
}

TEST_F(Anteprima, AFailedSalvaLeavesReportAndReading) {
    ScriviReport(Righe(400));
    PaginatoreAnteprima p(cartella.Percorso(), "3");
    p.PaginaApertura();
    const std::string prima = LeggiFile(cartella / "FD3");
    // The folder moved away: the new report cannot be written there.
    const fs::path altrove = cartella.Percorso().string() + "-via";
    fs::rename(cartella.Percorso(), altrove);
    EXPECT_THROW(p.Salva("x\r\n"), Errore);
    fs::rename(altrove, cartella.Percorso());
    EXPECT_EQ(LeggiFile(cartella / "FD3"), prima);
    ASSERT_TRUE(p.Avanti());
    EXPECT_EQ(PrimaRiga(p.Testo()).substr(1, 6), "152   ");
}

TEST_F(Anteprima, TheReportsName) {
    struct Caso {
        std::string postazione;
        const char* file;
        bool trovato;
    };
    // The generator's own name: the workstation as written, nothing for none.
    for (const auto& caso : std::vector<Caso>{{"3", "FD3", true},
                                              {"3", "fd3", true},
                                              {"03", "FD03", true},
                                              {"03", "FD3", false},
                                              {"", "FD", true},
                                              {"", "FD0", false}}) {
        CartellaLavoro altra;
        ScriviRigheAtomico(altra / caso.file, {"riga"});
        PaginatoreAnteprima p(altra.Percorso(), caso.postazione);
        EXPECT_EQ(p.EsisteReport(), caso.trovato) << caso.file;
        EXPECT_EQ(p.Aperto(), caso.trovato) << caso.file;
        p.PaginaApertura();
        EXPECT_EQ(p.Testo(), caso.trovato ? "riga\r\n" : "") << caso.file;
    }
}

TEST_F(Anteprima, AReportWrittenAfterTheWindowWasMade) {
    PaginatoreAnteprima p(cartella.Percorso(), "3");
    EXPECT_FALSE(p.Aperto());
    p.PaginaApertura();
    EXPECT_EQ(p.Testo(), "");
    EXPECT_FALSE(p.AltraPagina());
    ScriviReport(Righe(2));
    p.PaginaApertura();
    EXPECT_EQ(ContaRighe(p.Testo()), 2U);
}

TEST_F(Anteprima, InizioWithoutAReport) {
    ScriviReport(Righe(2));
    PaginatoreAnteprima p(cartella.Percorso(), "3");
    p.PaginaApertura();
    fs::remove(cartella / "FD3");
    try {
        p.Inizio();
        FAIL() << "no error for a report that has gone";
    } catch (const Errore& e) {
        EXPECT_EQ(e.Numero(), errore::FileNonTrovato);
    }
    // Closing after that, and twice, is harmless.
    p.Chiudi();
    p.Chiudi();
    EXPECT_FALSE(p.Aperto());
}

} // namespace
} // namespace vdx
