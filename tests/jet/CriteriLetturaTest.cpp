#include "jet/AnalisiCriteri.h"
#include "jet/Criteri.h"
#include "shared/Errore.h"
#include "support/ErroreDi.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

using namespace vdx::jet;
using vdx::test::ErroreDi;

namespace {

std::string Descrivi(const Criterio& c) {
    static const char* const op[] = {"=", "<>", "<", "<=", ">", ">="};
    std::string s;
    for (const Termine& t : c.termini) {
        if (!s.empty()) {
            s += " & ";
        }
        s += t.campo + op[static_cast<int>(t.op)] +
             (t.valore.quotato ? "'" + t.valore.testo + "'" : "#" + t.valore.testo);
    }
    return s;
}

struct CasoBuono {
    const char* testo;
    const char* atteso; // field op value, "'" for text, "#" for numbers
};

class CriteriBuoni : public ::testing::TestWithParam<CasoBuono> {};

TEST_P(CriteriBuoni, ReadAsWritten) {
    EXPECT_EQ(Descrivi(AnalizzaCriterio(GetParam().testo)), GetParam().atteso) << GetParam().testo;
}

INSTANTIATE_TEST_SUITE_P(
    Criteria, CriteriBuoni,
    ::testing::Values(
        CasoBuono{"Numero = 1", "Numero=#1"}, CasoBuono{"Numero > 0", "Numero>#0"},
        CasoBuono{"NumeroHotel = 3 and Codice > 0", "NumeroHotel=#3 & Codice>#0"},
        CasoBuono{"NumeroHotel = 1 and NumeroTableau = 2 and NumeroCamera >= '101'",
                  "NumeroHotel=#1 & NumeroTableau=#2 & NumeroCamera>='101'"},
        CasoBuono{"Sigla = 'DUS'", "Sigla='DUS'"},
        CasoBuono{"Destinazione = 'HP LaserJet 4'", "Destinazione='HP LaserJet 4'"},
        // every operator, with and without blanks around it
        CasoBuono{"a<>'x' and b<1 and c<=2 and d>3 and e>=4 and f=5",
                  "a<>'x' & b<#1 & c<=#2 & d>#3 & e>=#4 & f=#5"},
        CasoBuono{"  a   =   1  ", "a=#1"},
        // key words without regard to case, bracketed names
        CasoBuono{"a = 1 AND b = 2 And c = 3", "a=#1 & b=#2 & c=#3"},
        CasoBuono{"[Numero Hotel] = 1", "Numero Hotel=#1"}, CasoBuono{"[and] = 1", "and=#1"},
        // quoted text: doubled quotes, empty text, blanks and key words inside
        CasoBuono{"NomeCliente = 'D''Angelo'", "NomeCliente='D'Angelo'"},
        CasoBuono{"NomeCliente = ''''", "NomeCliente='''"}, CasoBuono{"Note = ''", "Note=''"},
        CasoBuono{"Note = ' a and b = 1 '", "Note=' a and b = 1 '"},
        // numbers with a decimal part, and a minus sign the engine accepts
        CasoBuono{"Prezzo = 12.50", "Prezzo=#12.50"}, CasoBuono{"Prezzo < .5", "Prezzo<#.5"},
        CasoBuono{"Codice = -3", "Codice=#-3"},
        // code page 1252 letters in a field name and in a value
        CasoBuono{"Quantit\xE0"
                  "Camere = 2 and Note = '\x80 \x84\x94'",
                  "Quantit\xE0"
                  "Camere=#2 & Note='\x80 \x84\x94'"}));

struct CasoCattivo {
    const char* testo;
    std::size_t posizione; // character (from 1) named by the error
};

class CriteriCattivi : public ::testing::TestWithParam<CasoCattivo> {};

TEST_P(CriteriCattivi, AreRefusedWithThePosition) {
    const vdx::Errore e = ErroreDi([&] { AnalizzaCriterio(GetParam().testo); });
    EXPECT_EQ(e.Numero(), vdx::errore::SintassiCriterio) << GetParam().testo;
    const std::string atteso = "al carattere " + std::to_string(GetParam().posizione) + ":";
    EXPECT_NE(std::string(e.what()).find(atteso), std::string::npos) << e.what();
    EXPECT_NE(std::string(e.what()).find(GetParam().testo), std::string::npos) << "names the text";
}

INSTANTIATE_TEST_SUITE_P(
    Criteria, CriteriCattivi,
    ::testing::Values(CasoCattivo{"", 1},                 // nothing at all
                      CasoCattivo{"   ", 4},              // only blanks
                      CasoCattivo{"Numero", 7},           // no operator
                      CasoCattivo{"Numero 1", 8},         // no operator
                      CasoCattivo{"Numero =", 9},         // no value
                      CasoCattivo{"Numero = Codice", 10}, // a field is not a value
                      CasoCattivo{"Numero == 1", 9},      // doubled operator
                      CasoCattivo{"Numero = 1 or Codice = 2", 12},
                      CasoCattivo{"Numero = 1 and", 15},        // "and" with nothing after it
                      CasoCattivo{"Numero = 1 Codice = 2", 12}, // "and" missing
                      CasoCattivo{"not Numero = 1", 1}, CasoCattivo{"(Numero = 1)", 1},
                      CasoCattivo{"1 = Numero", 1},         // value on the left
                      CasoCattivo{"Nome = 'abc", 8},        // quote not closed
                      CasoCattivo{"Nome = 'D'Angelo'", 11}, // apostrophe not doubled
                      CasoCattivo{"Nome like 'A*'", 6}, CasoCattivo{"Numero = 1abc", 11},
                      CasoCattivo{"Numero = 1;", 11}, CasoCattivo{"[Numero = 1", 1},
                      CasoCattivo{"Numero = - 'a'", 12}, CasoCattivo{"Numero != 1", 8}));

// Every selection text the system hands to the engine, exactly as written.
struct CasoSelezione {
    std::string testo;
    std::string tabella;
    std::string condizioni; // as Descrivi() writes them
    std::size_t sottoSelezioni;
    std::string ordine; // first sort field
};

class SelezioniDelSistema : public ::testing::TestWithParam<CasoSelezione> {};

TEST_P(SelezioniDelSistema, AreUnderstood) {
    const CasoSelezione& c = GetParam();
    ASSERT_TRUE(DiSelezione(c.testo));
    const Selezione s = AnalizzaSelezione(c.testo);
    EXPECT_EQ(s.tabella, c.tabella);
    EXPECT_EQ(Descrivi(s.dove), c.condizioni);
    EXPECT_EQ(s.dove.sottoSelezioni.size(), c.sottoSelezioni);
    EXPECT_EQ(s.ordine.empty() ? std::string() : s.ordine.front().campo, c.ordine);
}

const std::string DataProva = "20260305";

INSTANTIATE_TEST_SUITE_P(
    Selections, SelezioniDelSistema,
    ::testing::Values(
        CasoSelezione{
            "Select * From NumeriCamere Where TipoCamera In (Select Sigla From TipiCamere In "
            "'TipiCamere.mdb' Where Tipologia = 'C');",
            "NumeriCamere", "", 1, ""},
        CasoSelezione{"Select * From ListaClienti_Prenotazione Order by NumeroCliente;",
                      "ListaClienti_Prenotazione", "", 0, "NumeroCliente"},
        CasoSelezione{"Select * From Scheda_Cliente Where DataArrivo = '" + DataProva + "'",
                      "Scheda_Cliente", "DataArrivo='20260305'", 0, ""},
        CasoSelezione{"Select * From Scheda_Cliente Where DataPartenza = '" + DataProva + "'",
                      "Scheda_Cliente", "DataPartenza='20260305'", 0, ""},
        CasoSelezione{"Select * From Camere_Prenotazione Where NumeroHotel = 1 and DataArrivo = '" +
                          DataProva + "'",
                      "Camere_Prenotazione", "NumeroHotel=#1 & DataArrivo='20260305'", 0, ""},
        CasoSelezione{
            "Select * From Camere_Prenotazione Where NumeroHotel = 1 and DataPartenza = '" +
                DataProva + "'",
            "Camere_Prenotazione", "NumeroHotel=#1 & DataPartenza='20260305'", 0, ""},
        CasoSelezione{"Select * From Arrangiamento Where DataInizio <= '" + DataProva +
                          "' and DataFine >= '" + DataProva + "'",
                      "Arrangiamento", "DataInizio<='20260305' & DataFine>='20260305'", 0, ""},
        CasoSelezione{"select * from T where A = 1 order by B desc, C", "T", "A=#1", 0, "B"}));

TEST(SottoSelezione, KeepsItsPartsApart) {
    const Selezione s = AnalizzaSelezione("Select * From NumeriCamere Where TipoCamera In (Select "
                                          "Sigla From TipiCamere In 'TipiCamere.mdb' Where "
                                          "Tipologia = 'C');");
    ASSERT_EQ(s.dove.sottoSelezioni.size(), 1u);
    const SottoSelezione& in = s.dove.sottoSelezioni[0];
    EXPECT_EQ(in.campo, "TipoCamera");
    EXPECT_EQ(in.colonna, "Sigla");
    EXPECT_EQ(in.tabella, "TipiCamere");
    EXPECT_EQ(in.file, "TipiCamere.mdb");
    ASSERT_EQ(in.criteri.size(), 1u);
    EXPECT_EQ(in.criteri[0].campo, "Tipologia");
    EXPECT_EQ(in.criteri[0].valore.testo, "C");
}

TEST(SottoSelezione, WithoutFileReadsTheSameDatabase) {
    const Selezione s = AnalizzaSelezione("Select * From A Where X In (Select Y From B)");
    ASSERT_EQ(s.dove.sottoSelezioni.size(), 1u);
    EXPECT_TRUE(s.dove.sottoSelezioni[0].file.empty());
    EXPECT_TRUE(s.dove.sottoSelezioni[0].criteri.empty());
}

class SelezioniRifiutate : public ::testing::TestWithParam<const char*> {};

TEST_P(SelezioniRifiutate, AreNeverGuessed) {
    const vdx::Errore e = ErroreDi([&] { AnalizzaSelezione(GetParam()); });
    EXPECT_EQ(e.Numero(), vdx::errore::SintassiSelezione) << GetParam();
}

INSTANTIATE_TEST_SUITE_P(Selections, SelezioniRifiutate,
                         ::testing::Values("Select Numero From T", "Select * T", "Select * From",
                                           "Select * From T Where",
                                           "Select * From T Where A = 1 or B = 2",
                                           "Select * From T Order NumeroCliente",
                                           "Select * From T Order by",
                                           "Select * From T; Select * From U",
                                           "Select * From T Where A In (Select B From U",
                                           "Select * From T Where A In Select B From U",
                                           "Select * From T Where A In (Select * From U)",
                                           "Select * From T Where A In (Select B From U In X)",
                                           "Select * From T Group by A", "Select * From T, U",
                                           "Select * From T Where A = 'x"));

TEST(Ordinamento, ReadsBracketsAndDirections) {
    auto v = AnalizzaOrdinamento("[NumeroCamera]");
    ASSERT_EQ(v.size(), 1u);
    EXPECT_EQ(v[0].campo, "NumeroCamera");
    EXPECT_FALSE(v[0].discendente);
    v = AnalizzaOrdinamento("NumeroCamera DESC, Codice asc, Nome");
    ASSERT_EQ(v.size(), 3u);
    EXPECT_TRUE(v[0].discendente);
    EXPECT_FALSE(v[1].discendente);
    EXPECT_EQ(v[2].campo, "Nome");
    for (const char* cattivo : {"", "A,", "A B", "A DESC DESC", "'A'"}) {
        EXPECT_EQ(ErroreDi([&] { AnalizzaOrdinamento(cattivo); }).Numero(),
                  vdx::errore::SintassiSelezione)
            << cattivo;
    }
}

// A value put between quotes with TestoTraApici comes back whole: an
// apostrophe in a room or a name can neither break nor change a criterion.
TEST(TestoTraApici, ValuesComeBackWhole) {
    for (std::string valore : {"D'Angelo", "'", "''", "a' or NumeroHotel = 2 or 'x",
                               "' and Partito = 'S", "", "L'\x80 \x84"}) {
        const Criterio c =
            AnalizzaCriterio("NomeCliente = '" + TestoTraApici(valore) + "' and NumeroHotel = 1");
        ASSERT_EQ(c.termini.size(), 2u) << valore;
        EXPECT_EQ(c.termini[0].valore.testo, valore);
        EXPECT_EQ(c.termini[1].campo, "NumeroHotel");
    }
}

TEST(Letterale, NumbersAreReadExactly) {
    EXPECT_EQ(Letterale::Numero("12.5").decimillesimi, 125000);
    EXPECT_TRUE(Letterale::Numero("12.5").esatto);
    EXPECT_TRUE(Letterale::Numero("0.0001").esatto);
    EXPECT_EQ(Letterale::Numero("0.0001").decimillesimi, 1);
    EXPECT_FALSE(Letterale::Numero("0.00001").esatto);
    EXPECT_EQ(Letterale::Numero("-3").decimillesimi, -30000);
    // a quoted text compared with a number is read as a number
    EXPECT_EQ(Letterale::Testo(" 07").decimillesimi, 70000);
    EXPECT_EQ(Letterale::Testo("abc").decimillesimi, 0);
}

} // namespace
