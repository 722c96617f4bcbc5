#include "Albergo.h"
#include "jet/AnalisiCriteri.h"
#include "jet/FileMdb.h"
#include "jet/Tabella.h"
#include "jet/Vista.h"
#include "shared/Errore.h"
#include "support/CartellaLavoro.h"

#include <gtest/gtest.h>
#include <limits>
#include <optional>
#include <random>
#include <set>
#include <string>
#include <vector>

using namespace vdx::jet;

namespace {

using vdx::fixture::Cella;
using vdx::fixture::Denaro;
using vdx::fixture::Nullo;

// A table written as an Access file and read back, as the record sets read
// every table.
std::shared_ptr<const Tabella> Scritta(const std::string& nome,
                                       const std::vector<std::string>& colonne,
                                       const std::vector<std::vector<Cella>>& righe) {
    static const vdx::test::CartellaLavoro cartellaProva;
    static int file = 0;
    const auto percorso = cartellaProva / ("T" + std::to_string(++file) + ".mdb");
    vdx::fixture::TabellaProva t(nome, colonne);
    for (const auto& r : righe) {
        t.ConRiga(r);
    }
    vdx::fixture::ScriviMdb(percorso, {t});
    return FileMdb(percorso).Leggi(nome);
}

template <typename T> Cella CellaDi(const std::optional<T>& v) {
    return v ? Cella(*v) : Cella(Nullo{});
}

// Seven rooms, repeated `volte` times (row r of copy k is row 7k + r), so a
// large enough table is searched through its index.
std::shared_ptr<const Tabella> Camere(int volte) {
    const std::vector<std::optional<std::string>> numero = {"9",          "10", "101", "1",
                                                            std::nullopt, "A",  "a"};
    const std::vector<std::optional<std::int64_t>> hotel = {1, 1, 2, 1, std::nullopt, 3, 1};
    const std::vector<std::optional<std::int64_t>> prezzo = {185000,       0,     185001, -5000,
                                                             std::nullopt, 10000, 10000};
    const std::vector<std::optional<double>> peso = {
        static_cast<double>(1.1f), 2.0, std::nullopt, 0.5, -1.0, 3.0, 3.0};
    // "\xE2\x82\xAC", the euro sign, is 0x80 in code page 1252
    const std::vector<std::optional<std::string>> nota = {"x", std::nullopt,   "", "D'Angelo",
                                                          "x", "\xE2\x82\xAC", "y"};
    std::vector<std::vector<Cella>> righe;
    for (int k = 0; k < volte; ++k) {
        for (std::size_t r = 0; r < 7; ++r) {
            righe.push_back({CellaDi(numero[r]), CellaDi(hotel[r]),
                             prezzo[r] ? Cella(Denaro{*prezzo[r]}) : Cella(Nullo{}),
                             CellaDi(peso[r]), CellaDi(nota[r])});
        }
    }
    return Scritta("Camere",
                   {"NumeroCamera:Text(10)", "NumeroHotel:Integer", "Prezzo:Currency",
                    "Peso:Single", "Nota:Text(20)"},
                   righe);
}

std::vector<std::size_t> TrovaTutte(const Vista& v, const std::string& testo, bool indice) {
    const CriterioRisolto c(AnalizzaCriterio(testo).termini, v.Base());
    std::vector<std::size_t> trovate;
    for (std::size_t pos = v.Trova(c, 0, true, indice); pos != Vista::nessuna;
         pos = v.Trova(c, pos + 1, true, indice)) {
        trovate.push_back(pos);
    }
    return trovate;
}

struct CasoConfronto {
    const char* criterio;
    std::vector<std::size_t> righe; // of the seven
};

class Confronti : public ::testing::TestWithParam<CasoConfronto> {};

TEST_P(Confronti, SelectTheRightRows) {
    const CasoConfronto& c = GetParam();
    // Once scanning a small table, once through the index of a large one.
    EXPECT_EQ(TrovaTutte(Vista(Camere(1)), c.criterio, true), c.righe) << c.criterio;
    std::vector<std::size_t> attese;
    for (std::size_t k = 0; k < 20; ++k) {
        for (std::size_t r : c.righe) {
            attese.push_back(7 * k + r);
        }
    }
    const Vista grande(Camere(20));
    EXPECT_EQ(TrovaTutte(grande, c.criterio, true), attese) << c.criterio << " (index)";
    EXPECT_EQ(TrovaTutte(grande, c.criterio, false), attese) << c.criterio << " (scan)";
}

INSTANTIATE_TEST_SUITE_P(
    Criteria, Confronti,
    ::testing::Values(
        // rooms are text: a prefix is the smaller, "9" is after "10"
        CasoConfronto{"NumeroCamera >= '10'", {0, 1, 2, 5, 6}},
        CasoConfronto{"NumeroCamera < '10'", {3}},
        CasoConfronto{"NumeroCamera > '10' and NumeroCamera <= '9'", {0, 2}},
        CasoConfronto{"NumeroCamera = 'a'", {6}}, // letter case counts
        CasoConfronto{"NumeroCamera = 'A'", {5}},
        CasoConfronto{"NumeroCamera <> '9'", {1, 2, 3, 5, 6}}, // NULL matches nothing, not even <>
        CasoConfronto{"NumeroCamera = 101", {2}}, // a number against text: the text written
        CasoConfronto{"NumeroCamera = 1", {3}},
        // numbers by value
        CasoConfronto{"NumeroHotel = 1", {0, 1, 3, 6}},
        CasoConfronto{"NumeroHotel = '1'",
                      {0, 1, 3, 6}}, // quoted text against a number: read as a number
        CasoConfronto{"NumeroHotel = '01'", {0, 1, 3, 6}},
        CasoConfronto{"NumeroHotel <> 1", {2, 5}}, CasoConfronto{"NumeroHotel = 1.5", {}},
        CasoConfronto{"NumeroHotel < 1.5", {0, 1, 3, 6}},
        CasoConfronto{"NumeroHotel > 1 and NumeroHotel < 3", {2}},
        CasoConfronto{"NumeroHotel >= 10", {}},
        // money exactly
        CasoConfronto{"Prezzo = 18.5", {0}}, CasoConfronto{"Prezzo = 18.50", {0}},
        CasoConfronto{"Prezzo = 18.5001", {2}}, CasoConfronto{"Prezzo > 18.5", {2}},
        CasoConfronto{"Prezzo = -0.5", {3}}, CasoConfronto{"Prezzo < 0", {3}},
        CasoConfronto{"Prezzo = 18.50005", {}}, CasoConfronto{"Prezzo < 18.50005", {0, 1, 3, 5, 6}},
        CasoConfronto{"Prezzo = 1 and NumeroHotel = 1", {6}},
        // single precision against the number written
        CasoConfronto{"Peso = 1.1", {0}}, CasoConfronto{"Peso = -1", {4}},
        CasoConfronto{"Peso >= 3", {5, 6}},
        // text: empty is not NULL, quotes, code page bytes above 0x7F
        CasoConfronto{"Nota = ''", {2}}, CasoConfronto{"Nota = 'D''Angelo'", {3}},
        CasoConfronto{"Nota = '\x80'", {5}}, CasoConfronto{"Nota > 'x'", {5, 6}},
        CasoConfronto{"Nota >= 'x' and NumeroHotel = 1", {0, 6}},
        CasoConfronto{"NumeroCamera >= '10' and NumeroHotel = 1 and Nota <> 'x'", {6}},
        // the same field twice
        CasoConfronto{"NumeroHotel = 1 and NumeroHotel = 2", {}},
        CasoConfronto{"NumeroHotel = 1 and NumeroHotel = 1", {0, 1, 3, 6}}));

TEST(Criterio, UnknownFieldIsNamed) {
    const auto t = Camere(1);
    try {
        CriterioRisolto c(AnalizzaCriterio("NumeroHotel = 1 and Piano = 2").termini, *t);
        FAIL() << "no error";
    } catch (const vdx::Errore& e) {
        EXPECT_EQ(e.Numero(), vdx::errore::CampoNonTrovato);
        EXPECT_NE(std::string(e.what()).find("'Piano'"), std::string::npos) << e.what();
    }
}

TEST(Criterio, FieldNamesIgnoreLetterCase) {
    EXPECT_EQ(TrovaTutte(Vista(Camere(1)), "NUMEROHOTEL = 2 and numerocamera = '101'", true),
              std::vector<std::size_t>{2});
}

TEST(Vista, FindsBackwardsAndFromAPosition) {
    for (int volte : {1, 20}) {
        const Vista v(Camere(volte));
        const CriterioRisolto c(AnalizzaCriterio("NumeroHotel = 1").termini, v.Base());
        const std::size_t ultima = 7 * static_cast<std::size_t>(volte) - 1;
        EXPECT_EQ(v.Trova(c, ultima, false, true), ultima);         // row 6 of the last copy
        EXPECT_EQ(v.Trova(c, ultima - 1, false, true), ultima - 3); // row 3
        EXPECT_EQ(v.Trova(c, 2, true, true), 3u);
        EXPECT_EQ(v.Trova(c, 7 * volte, true, true), Vista::nessuna);
        EXPECT_EQ(v.Trova(c, 0, false, true), 0u);
    }
}

// The index must give what a scan gives, in the set's own order, forwards
// and backwards, for sorted and filtered sets too.
TEST(Vista, IndexAgreesWithScanning) {
    std::mt19937 caso(12345);
    const std::vector<std::string> testi = {"1", "10", "9", "101", "A", "", "D'A"};
    std::vector<std::optional<std::string>> a;
    std::vector<std::optional<std::int64_t>> b, m;
    const int n = 3000;
    for (int i = 0; i < n; ++i) {
        a.push_back(caso() % 11 == 0 ? std::nullopt
                                     : std::optional<std::string>(testi[caso() % testi.size()]));
        b.push_back(caso() % 13 == 0 ? std::nullopt : std::optional<std::int64_t>(caso() % 5));
        m.push_back(static_cast<std::int64_t>(caso() % 7) * 5000);
    }
    std::vector<std::vector<Cella>> righe;
    for (int i = 0; i < n; ++i) {
        const auto k = static_cast<std::size_t>(i);
        righe.push_back({CellaDi(a[k]), CellaDi(b[k]), Cella(Denaro{*m[k]})});
    }
    auto t = Scritta("T", {"A:Text(10)", "B:Long", "M:Currency"}, righe);

    std::vector<std::unique_ptr<Vista>> viste;
    viste.push_back(std::make_unique<Vista>(t));
    viste.push_back(std::make_unique<Vista>(t, Vista(t).Ordina({{"A", false}, {"M", true}})));
    std::vector<std::uint32_t> meta;
    for (std::uint32_t r = 0; r < static_cast<std::uint32_t>(n); r += 2) {
        meta.push_back(static_cast<std::uint32_t>(n) - 1 - r);
    }
    viste.push_back(std::make_unique<Vista>(t, meta));

    const std::vector<std::string> criteri = {"A = '10'",
                                              "B = 3",
                                              "A = '9' and B = 2",
                                              "B = 1 and A >= '10'",
                                              "A = 'D''A' and M = 1.5",
                                              "M = 0.5 and B <> 4",
                                              "A = '' and B = 0",
                                              "B = 7",
                                              "M = 0.25",
                                              "A = 10 and B = '2'",
                                              "A >= '9'"};
    for (const auto& v : viste) {
        for (const std::string& testo : criteri) {
            const CriterioRisolto c(AnalizzaCriterio(testo).termini, v->Base());
            ASSERT_EQ(TrovaTutte(*v, testo, true), TrovaTutte(*v, testo, false)) << testo;
            // from positions that need not match: forwards and backwards
            for (std::size_t da : {std::size_t{1}, v->NumeroRighe() / 3, v->NumeroRighe() / 2,
                                   v->NumeroRighe() - 1}) {
                EXPECT_EQ(v->Trova(c, da, true, true), v->Trova(c, da, true, false)) << testo;
                EXPECT_EQ(v->Trova(c, da, false, true), v->Trova(c, da, false, false)) << testo;
            }
        }
    }
}

TEST(Vista, SortIsStableByTextCodesWithNullFirst) {
    const std::vector<std::optional<std::string>> numeri = {"9",          "10", "101",
                                                            std::nullopt, "10", "1"};
    std::vector<std::vector<Cella>> righe;
    for (std::int64_t i = 0; i < 6; ++i) {
        righe.push_back({CellaDi(numeri[static_cast<std::size_t>(i)]), Cella(i)});
    }
    auto t = Scritta("NumeriCamere", {"NumeroCamera:Text(10)", "Ordine:Long"}, righe);
    const Vista v(t);
    EXPECT_EQ(v.Ordina(AnalizzaOrdinamento("[NumeroCamera]")),
              (std::vector<std::uint32_t>{3, 5, 1, 4, 2, 0}));
    EXPECT_EQ(v.Ordina(AnalizzaOrdinamento("NumeroCamera DESC")),
              (std::vector<std::uint32_t>{0, 2, 1, 4, 5, 3}));
    EXPECT_EQ(v.Ordina(AnalizzaOrdinamento("numerocamera, Ordine desc")),
              (std::vector<std::uint32_t>{3, 5, 4, 1, 2, 0}));
    EXPECT_THROW(v.Ordina(AnalizzaOrdinamento("Piano")), vdx::Errore);
}

struct CasoValore {
    Valore valore;
    std::string testo;
    double numero;
    std::int64_t denaro;
};

class Valori : public ::testing::TestWithParam<CasoValore> {};

TEST_P(Valori, ReadAsTextNumberAndMoney) {
    const CasoValore& c = GetParam();
    EXPECT_EQ(c.valore.ComeTesto(), c.testo);
    EXPECT_DOUBLE_EQ(c.valore.ComeNumero(), c.numero);
    EXPECT_EQ(c.valore.ComeDenaro(), c.denaro);
}

INSTANTIATE_TEST_SUITE_P(
    Values, Valori,
    ::testing::Values(CasoValore{Valore(), "", 0, 0},
                      CasoValore{Valore::Testo("12.5 kg"), "12.5 kg", 12.5, 125000},
                      CasoValore{Valore::Testo(""), "", 0, 0},
                      CasoValore{Valore::Intero(3, TipoCampo::Integer), "3", 3, 30000},
                      CasoValore{Valore::Intero(-32768, TipoCampo::Integer), "-32768", -32768,
                                 -327680000},
                      CasoValore{Valore::Denaro(185000), "18.5", 18.5, 185000},
                      CasoValore{Valore::Denaro(-1), "-0.0001", -0.0001, -1},
                      CasoValore{Valore::Denaro(420000), "42", 42, 420000},
                      CasoValore{Valore::Denaro(922337203685477580), "92233720368547.758",
                                 92233720368547.758, 922337203685477580},
                      CasoValore{Valore::Reale(444.555), "444.555", 444.555, 4445550},
                      CasoValore{Valore::Reale(static_cast<double>(1.1f), TipoCampo::Single), "1.1",
                                 static_cast<double>(1.1f), 11000},
                      CasoValore{Valore::Reale(1e20), "100000000000000000000", 1e20,
                                 std::numeric_limits<std::int64_t>::max()},
                      CasoValore{Valore::Data(27293), "21/09/1974", 27293, 272930000},
                      CasoValore{Valore::Data(27293.5), "21/09/1974 12:00:00", 27293.5, 272935000},
                      CasoValore{Valore::Data(0), "30/12/1899", 0, 0},
                      CasoValore{Valore::Data(-1.25), "29/12/1899 06:00:00", -1.25, -12500},
                      CasoValore{Valore::Data(60), "28/02/1900", 60, 600000},
                      CasoValore{Valore::Data(46086), "05/03/2026", 46086, 460860000},
                      CasoValore{Valore::Booleano(true), "True", -1, -10000},
                      CasoValore{Valore::Booleano(false), "False", 0, 0}));

TEST(Valore, NullKeepsItsKind) {
    const auto t = Camere(1);
    const Valore v = t->ValoreCella(4, t->IndiceCampo("NumeroHotel"));
    EXPECT_TRUE(v.Nullo());
    EXPECT_EQ(v.Tipo(), TipoCampo::Integer);
    EXPECT_EQ(v.ComeTesto(), "");
    EXPECT_EQ(v.ComeNumero(), 0);
    EXPECT_FALSE(t->ValoreCella(2, t->IndiceCampo("Nota")).Nullo()); // empty text is a value
}

} // namespace
