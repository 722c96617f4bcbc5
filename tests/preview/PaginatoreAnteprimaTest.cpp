#include "preview/PaginatoreAnteprima.h"

#include "Ambiente.h"
#include "shared/Error.h"
#include "shared/TextFile.h"

#include <gtest/gtest.h>

namespace vdx {
namespace {

namespace fs = std::filesystem;
using test::CartellaLavoro;
using test::PcLocaleTemporaneo;
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
    void scriviReport(const std::vector<std::string>& righe, const char* nome = "FD3") {
        ScriviRigheAtomico(cartella / nome, righe);
    }

    PcLocaleTemporaneo pc{"3"};
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
    scriviReport(Righe(caso.righe, caso.lunghezza));
    PaginatoreAnteprima p(cartella.percorso());
    p.paginaApertura();
    std::vector<std::size_t> viste = {ContaRighe(p.testo())};
    std::size_t lette = viste.back();
    while (p.altraPagina()) {
        ASSERT_TRUE(p.avanti());
        viste.push_back(ContaRighe(p.testo()));
        lette += viste.back();
        EXPECT_EQ(p.caratteriPagina(), static_cast<std::int32_t>(viste.back() * caso.lunghezza));
    }
    EXPECT_EQ(viste, caso.pagine);
    EXPECT_EQ(lette, static_cast<std::size_t>(caso.righe));
    // On the last page Avanti changes nothing.
    const std::string ultima = p.testo();
    EXPECT_FALSE(p.avanti());
    EXPECT_EQ(p.testo(), ultima);
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
    scriviReport(Righe(400));
    PaginatoreAnteprima p(cartella.percorso());
    p.paginaApertura();
    EXPECT_EQ(p.caratteriPagina(), 151 * 133);
    EXPECT_TRUE(p.altraPagina());
    const auto righe = DividiRighe(p.testo());
    std::string attesa = RigaDiCamera("1");
    for (char& c : attesa) {
        if (static_cast<unsigned char>(c) == 179) {
            c = '|';
        }
    }
    EXPECT_EQ(righe.front(), attesa);
    EXPECT_EQ(p.testo().substr(p.testo().size() - 2), "\r\n");
    EXPECT_EQ(p.testo().find('\xB3'), std::string::npos);
}

TEST_F(Anteprima, InizioFillsUpTo26000) {
    scriviReport(Righe(600));
    PaginatoreAnteprima p(cartella.percorso());
    p.paginaApertura();
    ASSERT_TRUE(p.avanti());
    ASSERT_TRUE(p.avanti());
    p.inizio();
    EXPECT_EQ(ContaRighe(p.testo()), 196U);
    EXPECT_EQ(PrimaRiga(p.testo()).substr(1, 6), "1     ");
    EXPECT_TRUE(p.altraPagina());
    ASSERT_TRUE(p.avanti());
    EXPECT_EQ(PrimaRiga(p.testo()).substr(1, 6), "197   ");
}

TEST_F(Anteprima, EmptyReport) {
    scriviReport({});
    PaginatoreAnteprima p(cartella.percorso());
    EXPECT_TRUE(p.esisteReport());
    p.paginaApertura();
    EXPECT_EQ(p.testo(), "");
    EXPECT_EQ(p.caratteriPagina(), 0);
    EXPECT_FALSE(p.altraPagina());
    EXPECT_FALSE(p.avanti());
    EXPECT_EQ(p.testo(), "");
}

TEST_F(Anteprima, SalvaThenAvantiShowsTheSavedText) {
    scriviReport(Righe(400));
    PaginatoreAnteprima p(cartella.percorso());
    p.paginaApertura();
    const std::string pagina = p.testo();
    p.salva(pagina);
    // The page, its count and the flag stay; the file holds the page and
    // one more line end.
    EXPECT_EQ(p.testo(), pagina);
    EXPECT_EQ(p.caratteriPagina(), 151 * 133);
    EXPECT_TRUE(p.altraPagina());
    EXPECT_EQ(LeggiFile(cartella / "FD3"), pagina + "\r\n");
    ASSERT_TRUE(p.avanti());
    // The saved file starts over: its 151 lines and the final empty one.
    EXPECT_EQ(p.testo(), pagina + "\r\n");
    EXPECT_FALSE(p.altraPagina());
}

TEST_F(Anteprima, SalvaWritesTheEditedText) {
    scriviReport(Righe(400));
    PaginatoreAnteprima p(cartella.percorso());
    p.paginaApertura();
    p.salva("modificato\r\n\x80 \xE8\r\n");
    EXPECT_EQ(LeggiFile(cartella / "FD3"), "modificato\r\n\x80 \xE8\r\n\r\n");
    p.inizio();
    EXPECT_EQ(p.testo(), "modificato\r\n\x80 \xE8\r\n\r\n");
}

TEST_F(Anteprima, SalvaOnTheLastPageThenAvantiChangesNothing) {
    scriviReport(Righe(10));
    PaginatoreAnteprima p(cartella.percorso());
    p.paginaApertura();
    ASSERT_FALSE(p.altraPagina());
    p.salva("x\r\n");
    EXPECT_FALSE(p.avanti());
    EXPECT_EQ(ContaRighe(p.testo()), 10U);
}

TEST_F(Anteprima, AFailedSalvaLeavesReportAndReading) {
    scriviReport(Righe(400));
    PaginatoreAnteprima p(cartella.percorso());
    p.paginaApertura();
    const std::string prima = LeggiFile(cartella / "FD3");
    // The folder moved away: the new report cannot be written there.
    const fs::path altrove = cartella.percorso().string() + "-via";
    fs::rename(cartella.percorso(), altrove);
    EXPECT_THROW(p.salva("x\r\n"), Error);
    fs::rename(altrove, cartella.percorso());
    EXPECT_EQ(LeggiFile(cartella / "FD3"), prima);
    ASSERT_TRUE(p.avanti());
    EXPECT_EQ(PrimaRiga(p.testo()).substr(1, 6), "152   ");
}

TEST_F(Anteprima, TheReportsName) {
    struct Caso {
        std::optional<std::string> pclocal;
        const char* file;
        bool trovato;
    };
    // The generator's own name: pclocal as written, nothing for no pclocal.
    for (const auto& caso : std::vector<Caso>{{"3", "FD3", true},
                                              {"3", "fd3", true},
                                              {"03", "FD03", true},
                                              {"03", "FD3", false},
                                              {std::nullopt, "FD", true},
                                              {std::nullopt, "FD0", false}}) {
        CartellaLavoro altra;
        PcLocaleTemporaneo valore(caso.pclocal);
        ScriviRigheAtomico(altra / caso.file, {"riga"});
        PaginatoreAnteprima p(altra.percorso());
        EXPECT_EQ(p.esisteReport(), caso.trovato) << caso.file;
        EXPECT_EQ(p.aperto(), caso.trovato) << caso.file;
        p.paginaApertura();
        EXPECT_EQ(p.testo(), caso.trovato ? "riga\r\n" : "") << caso.file;
    }
}

TEST_F(Anteprima, AReportWrittenAfterTheWindowWasMade) {
    PaginatoreAnteprima p(cartella.percorso());
    EXPECT_FALSE(p.aperto());
    p.paginaApertura();
    EXPECT_EQ(p.testo(), "");
    EXPECT_FALSE(p.altraPagina());
    scriviReport(Righe(2));
    p.paginaApertura();
    EXPECT_EQ(ContaRighe(p.testo()), 2U);
}

TEST_F(Anteprima, InizioWithoutAReport) {
    scriviReport(Righe(2));
    PaginatoreAnteprima p(cartella.percorso());
    p.paginaApertura();
    fs::remove(cartella / "FD3");
    try {
        p.inizio();
        FAIL() << "no error for a report that has gone";
    } catch (const Error& e) {
        EXPECT_EQ(e.number(), err::FileNotFound);
    }
    // Closing after that, and twice, is harmless.
    p.chiudi();
    p.chiudi();
    EXPECT_FALSE(p.aperto());
}

} // namespace
} // namespace vdx
