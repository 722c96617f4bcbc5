// Files written by the real database engine (Jet 3, Jet 4, ACE), read through
// the record sets. Skipped where the sample folder is not present.

#include "jet/Database.h"
#include "shared/Errore.h"
#include "support/Requisiti.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <string>
#include <vector>

using namespace vdx::jet;

namespace {

const std::filesystem::path CartellaCampioni = VDX_SAMPLES_DIR;

#define SALTA_SENZA_CAMPIONI()                                                                     \
    VDX_RICHIEDE(std::filesystem::exists(CartellaCampioni / "V2000-test.mdb"),                     \
                 "no Access sample files in " << CartellaCampioni.string())

class Campioni : public ::testing::TestWithParam<const char*> {};

// Table1 of each sample: two records of every plain field kind.
TEST_P(Campioni, Table1ReadsNatively) {
    SALTA_SENZA_CAMPIONI();
    testing::internal::CaptureStderr();
    auto db = Database::OpenDatabase(CartellaCampioni, GetParam());
    EXPECT_EQ(db->NomiTabelle(),
              (std::vector<std::string>{"Table1", "Table2", "Table3", "Table4"}));
    auto rs = db->OpenRecordset("Table1");
    EXPECT_EQ(rs.RecordCount(), 2u);
    EXPECT_EQ(rs.NomiCampi(),
              (std::vector<std::string>{"A", "B", "C", "D", "E", "F", "G", "H", "I"}));
    EXPECT_EQ(rs.TipiCampi(), (std::vector<TipoCampo>{
                                  TipoCampo::Text, TipoCampo::Text, TipoCampo::Byte,
                                  TipoCampo::Integer, TipoCampo::Long, TipoCampo::Double,
                                  TipoCampo::DateTime, TipoCampo::Currency, TipoCampo::Boolean}));

    ASSERT_TRUE(rs.FindFirst("A = 'abcdefg'"));
    EXPECT_EQ(rs.Testo("B"), "hijklmnop");
    EXPECT_EQ(rs.Numero("C"), 2);
    EXPECT_EQ(rs.Numero("D"), 222);
    EXPECT_EQ(rs.Numero("E"), 333333333);
    EXPECT_DOUBLE_EQ(rs.Numero("F"), 444.555);
    EXPECT_EQ(rs.Testo("F"), "444.555");
    EXPECT_EQ(rs.Testo("G"), "21/09/1974");
    EXPECT_EQ(rs.Numero("G"), 27293);
    EXPECT_EQ(rs.Denaro("H"), 35000);
    EXPECT_EQ(rs.Testo("H"), "3.5");
    EXPECT_EQ(rs.Testo("I"), "True");
    EXPECT_EQ(rs.Numero("I"), -1);

    ASSERT_TRUE(rs.FindFirst("I = 0"));
    EXPECT_EQ(rs.Testo("a"), "a");
    EXPECT_EQ(rs.Testo("G"), "12/12/1981");
    EXPECT_EQ(rs.Denaro("H"), 0);
    EXPECT_FALSE(rs.Campo("H").Nullo());

    // comparisons of each kind against the stored values
    EXPECT_TRUE(
        rs.FindFirst("C = 2 and D >= 222 and E > 333333332 and F < 444.6 and H = 3.5 and I = -1"));
    EXPECT_EQ(rs.Testo("A"), "abcdefg");
    EXPECT_TRUE(rs.FindFirst("G > 29000"));
    EXPECT_EQ(rs.Testo("A"), "a");

    auto larga = db->OpenRecordset("Table2");
    EXPECT_EQ(larga.NomiCampi().size(), 89u);
    EXPECT_EQ(larga.NomiCampi().back(), "column89");
    EXPECT_EQ(larga.RecordCount(), 0u);
    EXPECT_EQ(db->OpenRecordset("Table3").NomiCampi(), (std::vector<std::string>{"a", "b"}));
    EXPECT_EQ(db->OpenRecordset("Table4").TipiCampi()[1], TipoCampo::Other);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "") << "nothing printed for a correct file";
}

INSTANTIATE_TEST_SUITE_P(Files, Campioni,
                         ::testing::Values("V1997-test.mdb", "V2000-test.mdb", "V2003-test.mdb",
                                           "V2007-test.accdb"));

TEST(CampioniAce, CurrencyIsExact) {
    SALTA_SENZA_CAMPIONI();
    auto rs =
        Database::OpenDatabase(CartellaCampioni, "v2016-CURRENCY.accdb")->OpenRecordset("table");
    ASSERT_EQ(rs.RecordCount(), 1u);
    EXPECT_EQ(rs.Denaro("Money"), 420000);
    EXPECT_EQ(rs.Testo("Money"), "42");
    EXPECT_TRUE(rs.FindFirst("Money = 42 and ID = 1"));
    EXPECT_FALSE(rs.FindFirst("Money = 42.0001"));
}

TEST(CampioniAce, LongTextReadsWhole) {
    SALTA_SENZA_CAMPIONI();
    testing::internal::CaptureStderr();
    auto rs =
        Database::OpenDatabase(CartellaCampioni, "V2016-longtext.accdb")->OpenRecordset("Table1");
    ASSERT_EQ(rs.RecordCount(), 1u);
    const std::string testo = rs.Testo("LongText");
    EXPECT_EQ(rs.TipiCampi()[1], TipoCampo::Memo);
    EXPECT_EQ(testo.size(), 5000u);
    EXPECT_EQ(testo.rfind("Lorem ipsum dolor sit amet, consetetur", 0), 0u);
    EXPECT_EQ(testo.substr(testo.size() - 14), "odio dignissim");
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
}

TEST(CampioniJet4, NumericFieldsReadAsNumbers) {
    SALTA_SENZA_CAMPIONI();
    auto rs = Database::OpenDatabase(CartellaCampioni, "V2000-numeric.mdb")->OpenRecordset("test");
    ASSERT_EQ(rs.RecordCount(), 1u);
    EXPECT_EQ(rs.Testo("col1"), "some data");
    const std::vector<double> attesi = {1, 0, 0, 4, -1, 1};
    for (std::size_t i = 0; i < attesi.size(); ++i) {
        const std::string nome = "col" + std::to_string(i + 2);
        EXPECT_EQ(rs.Numero(nome), attesi[i]) << nome;
        EXPECT_EQ(rs.Campo(nome).Tipo(), TipoCampo::Double) << nome;
    }
    EXPECT_TRUE(rs.FindFirst("col5 = 4 and col6 < 0"));
}

} // namespace
