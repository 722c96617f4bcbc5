// Every column type written by the Jet 4 writer and read back through libmdb.

#include "Albergo.h"
#include "RiletturaLibmdb.h"
#include "ScrittoreMdb.h"
#include "shared/Cp1252.h"
#include "shared/Errore.h"
#include "support/CartellaLavoro.h"

#include <cmath>
#include <gtest/gtest.h>

namespace vdx::test {
namespace {

using jet::ColonnaDa;
using jet::ScrittoreMdb;

constexpr int Bool = 0x01, Byte = 0x02, Int = 0x03, Long = 0x04, Money = 0x05, Float = 0x06,
              Double = 0x07, Date = 0x08, Text = 0x0A, Memo = 0x0C;

TEST(WriterRoundTrip, ColumnsKeepTheirTypesSizesAndOrder) {
    CartellaLavoro cartellaProva;
    ScrittoreMdb mdb(cartellaProva / "t.mdb");
    mdb.IniziaTabella("Tipi",
                      {ColonnaDa("L:Long"), ColonnaDa("I:Integer"), ColonnaDa("B:Byte"),
                       ColonnaDa("Si:Boolean"), ColonnaDa("T:Text(7)"), ColonnaDa("T2:Text"),
                       ColonnaDa("M:Memo"), ColonnaDa("C:Currency"), ColonnaDa("S:Single"),
                       ColonnaDa("D:Double"), ColonnaDa("Q:DateTime")});
    mdb.ChiudiTabella();
    mdb.Chiudi();
    const TabellaLetta t = LeggiLibmdb(cartellaProva / "t.mdb", "Tipi");
    EXPECT_EQ(t.colonne,
              (std::vector<std::string>{"L", "I", "B", "Si", "T", "T2", "M", "C", "S", "D", "Q"}));
    EXPECT_EQ(t.tipi, (std::vector<int>{Long, Int, Byte, Bool, Text, Text, Memo, Money, Float,
                                        Double, Date}));
    EXPECT_EQ(t.dimensioni[4], 14);
    EXPECT_EQ(t.dimensioni[5], 510);
    EXPECT_TRUE(t.righe.empty());
    EXPECT_EQ(t.righeDichiarate, 0u);
    EXPECT_EQ(t.stderrTesto, "");
}

struct CasoIntero {
    const char* colonna;
    long long valore;
};

TEST(WriterRoundTrip, WholeNumbersAtTheirLimits) {
    const CasoIntero casi[] = {
        {"L:Long", 0},        {"L:Long", 2147483647}, {"L:Long", -2147483648LL}, {"L:Long", -1},
        {"I:Integer", 32767}, {"I:Integer", -32768},  {"I:Integer", 0},          {"B:Byte", 0},
        {"B:Byte", 255},      {"B:Byte", 7},
    };
    for (const CasoIntero& caso : casi) {
        SCOPED_TRACE(std::string(caso.colonna) + " " + std::to_string(caso.valore));
        CartellaLavoro cartellaProva;
        ScrittoreMdb mdb(cartellaProva / "n.mdb");
        mdb.IniziaTabella("N", {ColonnaDa(caso.colonna)});
        mdb.ScriviIntero(0, caso.valore).AggiungiRiga();
        mdb.ChiudiTabella();
        mdb.Chiudi();
        const TabellaLetta t = LeggiLibmdb(cartellaProva / "n.mdb", "N");
        ASSERT_EQ(t.righe.size(), 1u);
        EXPECT_FALSE(t.righe[0][0].nullo);
        EXPECT_EQ(IntLE(t.righe[0][0].grezzo), caso.valore);
        EXPECT_EQ(t.righe[0][0].testo, std::to_string(caso.valore));
        EXPECT_EQ(t.stderrTesto, "");
    }
}

TEST(WriterRoundTrip, OutOfRangeValuesAreRefusedNamingTheColumn) {
    const CasoIntero casi[] = {
        {"L:Long", 2147483648LL}, {"I:Integer", 32768}, {"I:Integer", -32769},
        {"B:Byte", 256},          {"B:Byte", -1},
    };
    for (const CasoIntero& caso : casi) {
        SCOPED_TRACE(caso.colonna);
        CartellaLavoro cartellaProva;
        ScrittoreMdb mdb(cartellaProva / "n.mdb");
        mdb.IniziaTabella("Numeri", {ColonnaDa(caso.colonna)});
        try {
            mdb.ScriviIntero(0, caso.valore);
            ADD_FAILURE() << "accepted";
        } catch (const Errore& e) {
            EXPECT_NE(std::string(e.what()).find("\"Numeri\""), std::string::npos) << e.what();
        }
    }
}

TEST(WriterRoundTrip, NullAndEmptyTextDiffer) {
    CartellaLavoro cartellaProva;
    ScrittoreMdb mdb(cartellaProva / "t.mdb");
    mdb.IniziaTabella("T", {ColonnaDa("A:Text(10)"), ColonnaDa("M:Memo"), ColonnaDa("N:Long"),
                            ColonnaDa("C:Currency"), ColonnaDa("D:DateTime")});
    mdb.ScriviTesto(0, "")
        .ScriviTesto(1, "")
        .ScriviIntero(2, 0)
        .ScriviDenaro(3, 0)
        .ScriviData(4, 0)
        .AggiungiRiga();
    mdb.AggiungiRiga(); // all NULL
    mdb.ScriviTesto(0, "x").AggiungiRiga();
    mdb.ChiudiTabella();
    mdb.Chiudi();
    const TabellaLetta t = LeggiLibmdb(cartellaProva / "t.mdb", "T");
    ASSERT_EQ(t.righe.size(), 3u);
    for (int c = 0; c < 5; ++c) {
        SCOPED_TRACE(c);
        EXPECT_FALSE(t.righe[0][c].nullo);
        EXPECT_TRUE(t.righe[1][c].nullo);
    }
    EXPECT_EQ(t.righe[0][0].testo, "");
    EXPECT_EQ(t.righe[2][0].testo, "x");
    EXPECT_TRUE(t.righe[2][1].nullo);
    EXPECT_EQ(t.stderrTesto, "");
}

TEST(WriterRoundTrip, MoneyIsExactInTenThousandths) {
    const long long casi[] = {
        0, 125000, -125000, 1, -1, 10000000000LL, -9999, 123456789012345LL, -922337203685477LL};
    CartellaLavoro cartellaProva;
    ScrittoreMdb mdb(cartellaProva / "m.mdb");
    mdb.IniziaTabella("M", {ColonnaDa("Importo:Currency"), ColonnaDa("Da:Currency")});
    for (long long c : casi) {
        mdb.ScriviDenaro(0, c).ScriviReale(1, static_cast<double>(c) / 10000.0).AggiungiRiga();
    }
    mdb.ChiudiTabella();
    mdb.Chiudi();
    const TabellaLetta t = LeggiLibmdb(cartellaProva / "m.mdb", "M");
    ASSERT_EQ(t.righe.size(), std::size(casi));
    for (std::size_t i = 0; i < std::size(casi); ++i) {
        EXPECT_EQ(IntLE(t.righe[i][0].grezzo), casi[i]);
        if (std::llabs(casi[i]) < (1LL << 50)) {
            EXPECT_EQ(IntLE(t.righe[i][1].grezzo), casi[i]);
        }
    }
    EXPECT_EQ(t.righe[2][0].testo, "-12.5000");
    EXPECT_EQ(t.righe[4][0].testo, "-0.0001");
    EXPECT_EQ(t.stderrTesto, "");
}

TEST(WriterRoundTrip, FloatingPointAndDates) {
    CartellaLavoro cartellaProva;
    ScrittoreMdb mdb(cartellaProva / "f.mdb");
    mdb.IniziaTabella("F", {ColonnaDa("S:Single"), ColonnaDa("D:Double"), ColonnaDa("Q:DateTime")});
    struct Caso {
        double s, d, q;
    } casi[] = {
        {1.5, 0.1, jet::GiorniDal1899(2026, 12, 8)},
        {-3.25, -1e300, jet::GiorniDal1899(1899, 12, 30, 12)},
        {0, 2.0 / 3.0, jet::GiorniDal1899(2000, 2, 29, 23, 59, 59)},
        {1e30, 123456789.125, jet::GiorniDal1899(1899, 12, 29, 6)},
    };
    for (const Caso& c : casi) {
        mdb.ScriviReale(0, c.s).ScriviReale(1, c.d).ScriviData(2, c.q).AggiungiRiga();
    }
    mdb.ChiudiTabella();
    mdb.Chiudi();
    const TabellaLetta t = LeggiLibmdb(cartellaProva / "f.mdb", "F");
    ASSERT_EQ(t.righe.size(), std::size(casi));
    for (std::size_t i = 0; i < std::size(casi); ++i) {
        EXPECT_EQ(SingleLE(t.righe[i][0].grezzo), static_cast<float>(casi[i].s));
        EXPECT_EQ(DoubleLE(t.righe[i][1].grezzo), casi[i].d);
        EXPECT_EQ(DoubleLE(t.righe[i][2].grezzo), casi[i].q);
    }
    EXPECT_EQ(DoubleLE(t.righe[0][2].grezzo), 46364.0); // 08/12/2026
    EXPECT_EQ(DoubleLE(t.righe[1][2].grezzo), 0.5);
    EXPECT_EQ(DoubleLE(t.righe[3][2].grezzo), -1.25);
    EXPECT_EQ(t.stderrTesto, "");
}

TEST(WriterRoundTrip, BooleansAreTheNullMaskBit) {
    CartellaLavoro cartellaProva;
    ScrittoreMdb mdb(cartellaProva / "b.mdb");
    mdb.IniziaTabella("B", {ColonnaDa("Si:Boolean"), ColonnaDa("N:Long")});
    mdb.ScriviBooleano(0, true).ScriviIntero(1, 1).AggiungiRiga();
    mdb.ScriviIntero(1, 2).ScriviBooleano(0, false).AggiungiRiga();
    mdb.ScriviIntero(1, 3).ScriviNullo(0).AggiungiRiga(); // NULL: false, the Long untouched
    mdb.ScriviIntero(0, 5).ScriviIntero(1, 4).AggiungiRiga();
    mdb.ChiudiTabella();
    mdb.Chiudi();
    const TabellaLetta t = LeggiLibmdb(cartellaProva / "b.mdb", "B");
    ASSERT_EQ(t.righe.size(), 4u);
    EXPECT_TRUE(t.righe[0][0].vero);
    EXPECT_FALSE(t.righe[1][0].vero);
    EXPECT_FALSE(t.righe[2][0].vero);
    EXPECT_TRUE(t.righe[3][0].vero);
    EXPECT_EQ(IntLE(t.righe[2][1].grezzo), 3);
}

// Every byte of code page 1252 but NUL, in texts that compress and texts that don't.
TEST(WriterRoundTrip, CodePage1252TextRoundTrips) {
    std::string tutti;
    for (int b = 1; b < 256; ++b) {
        tutti.push_back(static_cast<char>(b));
    }
    const std::vector<std::string> casi = {"Città",
                                           "\xC8 l'ora",
                                           "Fran\xE7ois",
                                           "\x84virgolette\x94 \x80 12,50",
                                           "a",
                                           "ab",
                                           "abc",
                                           std::string(255, 'z'),
                                           std::string(255, '\x80'),
                                           std::string(254, 'e') + "\x80",
                                           tutti.substr(0, 255),
                                           tutti.substr(127, 128)};
    CartellaLavoro cartellaProva;
    ScrittoreMdb mdb(cartellaProva / "t.mdb");
    mdb.IniziaTabella("Testi", {ColonnaDa("T:Text(255)"), ColonnaDa("M:Memo")});
    for (const std::string& c : casi) {
        mdb.ScriviTesto(0, c).ScriviTesto(1, c).AggiungiRiga();
    }
    mdb.ChiudiTabella();
    mdb.Chiudi();
    const TabellaLetta t = LeggiLibmdb(cartellaProva / "t.mdb", "Testi");
    ASSERT_EQ(t.righe.size(), casi.size());
    for (std::size_t i = 0; i < casi.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(Cp1252DaUtf8(t.righe[i][0].testo), casi[i]);
        EXPECT_EQ(Cp1252DaUtf8(t.righe[i][1].testo), casi[i]);
    }
    EXPECT_EQ(t.stderrTesto, "");
}

TEST(WriterRoundTrip, TextLongerThanItsColumnIsRefused) {
    CartellaLavoro cartellaProva;
    ScrittoreMdb mdb(cartellaProva / "t.mdb");
    mdb.IniziaTabella("T", {ColonnaDa("Sigla:Text(3)")});
    EXPECT_NO_THROW(mdb.ScriviTesto(0, "abc"));
    EXPECT_THROW(mdb.ScriviTesto(0, "abcd"), Errore);
}

TEST(WriterRoundTrip, MemosOfEverySizeIncludingLongerThanAPage) {
    const std::size_t misure[] = {0, 1, 32, 64, 65, 2000, 4076, 4077, 8144, 9000, 100000};
    CartellaLavoro cartellaProva;
    ScrittoreMdb mdb(cartellaProva / "m.mdb");
    mdb.IniziaTabella("Memo", {ColonnaDa("N:Long"), ColonnaDa("Nota:Memo")});
    std::vector<std::string> attesi;
    for (std::size_t m : misure) {
        for (int uni = 0; uni < 2; ++uni) {
            std::string s;
            for (std::size_t i = 0; i < m; ++i) {
                s.push_back(
                    static_cast<char>(uni && i % 7 == 3 ? '\x80' : 'a' + (i * 31 + m) % 26));
            }
            attesi.push_back(s);
            mdb.ScriviIntero(0, static_cast<long long>(attesi.size()))
                .ScriviTesto(1, s)
                .AggiungiRiga();
        }
    }
    mdb.ChiudiTabella();
    mdb.Chiudi();
    const TabellaLetta t = LeggiLibmdb(cartellaProva / "m.mdb", "Memo");
    ASSERT_EQ(t.righe.size(), attesi.size());
    for (std::size_t i = 0; i < attesi.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(Cp1252DaUtf8(t.righe[i][1].testo), attesi[i]);
    }
    EXPECT_EQ(t.stderrTesto, "");
}

TEST(WriterRoundTrip, FileReadsCleanlyThroughTheCommandLineTools) {
    CartellaLavoro cartellaProva;
    const auto file = cartellaProva / "Prova.mdb";
    ScrittoreMdb mdb(file);
    mdb.IniziaTabella(
        "Prima", {ColonnaDa("N:Long"), ColonnaDa("Nome:Text(20)"), ColonnaDa("Prezzo:Currency")});
    mdb.ScriviIntero(0, 1)
        .ScriviTesto(1, "Citt\xE0 \x84uno\x94")
        .ScriviDenaro(2, 125000)
        .AggiungiRiga();
    mdb.ScriviIntero(0, 2).AggiungiRiga();
    mdb.ChiudiTabella();
    mdb.IniziaTabella("Quantit\xE0"
                      "Camere",
                      {ColonnaDa("X:Integer")});
    mdb.ScriviIntero(0, -5).AggiungiRiga();
    mdb.ChiudiTabella();
    mdb.Chiudi();

    const EsitoComando tabelle = Esegui("mdb-tables -1 " + Quota(file));
    EXPECT_EQ(tabelle.out, "Prima\nQuantitàCamere\n");
    EXPECT_EQ(tabelle.err, "");
    const EsitoComando conta = Esegui("mdb-count " + Quota(file) + " Prima");
    EXPECT_EQ(conta.out, "2\n");
    EXPECT_EQ(conta.err, "");
    const EsitoComando esporta = Esegui("mdb-export " + Quota(file) + " Prima");
    EXPECT_EQ(esporta.out, "N,Nome,Prezzo\n1,\"Città „uno”\",12.5000\n2,,\n");
    EXPECT_EQ(esporta.err, "");
    // The tools read their arguments as UTF-8 text only under a UTF-8 locale;
    // the test suite itself runs under C.
    const EsitoComando seconda =
        Esegui("LC_ALL=C.UTF-8 mdb-export " + Quota(file) + " 'QuantitàCamere'");
    EXPECT_EQ(seconda.out, "X\n-5\n");
    EXPECT_EQ(seconda.err, "");
}

TEST(WriterRoundTrip, ARowTooLargeForAPageIsRefusedAndTheNextStartsClean) {
    CartellaLavoro cartellaProva;
    ScrittoreMdb mdb(cartellaProva / "t.mdb");
    std::vector<jet::Colonna> colonne;
    for (int i = 0; i < 10; ++i) {
        colonne.push_back(ColonnaDa("T" + std::to_string(i) + ":Text(255)"));
    }
    mdb.IniziaTabella("Larga", colonne);
    const std::string euro(255, '\x80'); // two bytes a character: 5,100 bytes in all
    for (std::size_t i = 0; i < 10; ++i) {
        mdb.ScriviTesto(i, euro);
    }
    EXPECT_THROW(mdb.AggiungiRiga(), Errore);
    mdb.ScriviTesto(0, "dopo").AggiungiRiga();
    mdb.ChiudiTabella();
    mdb.Chiudi();
    const TabellaLetta t = LeggiLibmdb(cartellaProva / "t.mdb", "Larga");
    ASSERT_EQ(t.righe.size(), 1u);
    EXPECT_EQ(t.righe[0][0].testo, "dopo");
    EXPECT_TRUE(t.righe[0][9].nullo);
}

TEST(WriterRoundTrip, AnUnfinishedFileLeavesNothingBehind) {
    CartellaLavoro cartellaProva;
    {
        ScrittoreMdb mdb(cartellaProva / "a.mdb");
        mdb.IniziaTabella("T", {ColonnaDa("N:Long")});
        mdb.ScriviIntero(0, 1).AggiungiRiga();
    }
    {
        ScrittoreMdb mdb(cartellaProva / "b.mdb");
        mdb.IniziaTabella("T", {ColonnaDa("N:Long")});
        EXPECT_THROW(mdb.Chiudi(), Errore); // table still open
    }
    EXPECT_TRUE(std::filesystem::is_empty(cartellaProva.Percorso()));
}

TEST(WriterRoundTrip, BadDeclarationsAreRefused) {
    const char* cattive[] = {"Nome",        ":Long",    "N:Float",   "N:Text(0)",
                             "N:Text(256)", "N:Text()", "N:Text(x)", "N:Text(12"};
    for (const char* d : cattive) {
        SCOPED_TRACE(d);
        EXPECT_THROW(ColonnaDa(d), Errore);
    }
    EXPECT_EQ(ColonnaDa("Prezzo:currency").tipo, jet::TipoCampo::Currency);
    EXPECT_EQ(ColonnaDa("A:B:Text").nome, "A:B");
    EXPECT_EQ(ColonnaDa("T:Text").caratteri, 255);
    EXPECT_EQ(jet::Dichiarazione(ColonnaDa("T:text(12)")), "T:Text(12)");
}

} // namespace
} // namespace vdx::test
