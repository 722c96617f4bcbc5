// The fixed lines and the cells of the report, checked column by column
// against the ruled layout: rules in columns 1, 8, 15, 20, 31, 42, 64, 86,
// 108 and 133, every ruled line 133 bytes.

#include "report/Righe.h"

#include <clocale>
#include <gtest/gtest.h>
#include <set>
#include <string>

namespace vdx {
namespace {

const std::set<std::size_t> ColonneRegola{1, 8, 15, 20, 31, 42, 64, 86, 108, 133};

// Byte at a 1-based column.
unsigned char Col(const std::string& riga, std::size_t c) {
    return static_cast<unsigned char>(riga.at(c - 1));
}

std::string Colonne(const std::string& riga, std::size_t da, std::size_t a) {
    return riga.substr(da - 1, a - da + 1);
}

const DataOra Momento{2024, 3, 5, 7, 9, 0};

Righe RigheDi(bool arrangiamento) {
    return CostruisciRighe(
        RigaTitolo(std::string("Hotel Lago"), std::string("Primo piano"), "05/03/2024", Momento),
        arrangiamento);
}

TEST(Righe, EveryFixedLineIs133Wide) {
    for (bool arr : {false, true}) {
        const Righe r = RigheDi(arr);
        for (int i = 1; i <= 9; ++i) {
            EXPECT_EQ(r[static_cast<std::size_t>(i)].size(), 133u) << "line " << i;
        }
    }
}

// Borders: left end, fill, joint in every inner rule column, right end.
TEST(Righe, Borders) {
    struct Caso {
        int riga;
        unsigned char sinistra, giunto, destra;
    };
    const Caso casi[] = {
        {2, 218, 194, 191},
        {6, 195, 197, 180},
        {8, 192, 193, 217},
    };
    const Righe r = RigheDi(false);
    for (const auto& c : casi) {
        const std::string& riga = r[static_cast<std::size_t>(c.riga)];
        for (std::size_t k = 1; k <= 133; ++k) {
            unsigned char atteso = 196;
            if (k == 1) {
                atteso = c.sinistra;
            } else if (k == 133) {
                atteso = c.destra;
            } else if (ColonneRegola.count(k)) {
                atteso = c.giunto; // column 31 too, although the heading joins cells 4 and 5
            }
            ASSERT_EQ(Col(riga, k), atteso) << "line " << c.riga << " column " << k;
        }
    }
}

TEST(Righe, BlankRuledLineAndWorkLine) {
    const Righe r = RigheDi(false);
    for (int i : {7, 9}) {
        const std::string& riga = r[static_cast<std::size_t>(i)];
        for (std::size_t k = 1; k <= 133; ++k) {
            ASSERT_EQ(Col(riga, k), ColonneRegola.count(k) ? 179 : ' ')
                << "line " << i << " col " << k;
        }
    }
}

TEST(Righe, Headings) {
    for (bool arr : {false, true}) {
        const Righe r = RigheDi(arr);
        const std::string& data = r[3];
        for (std::size_t k : {1, 8, 15, 20, 42, 64, 86, 108, 133}) {
            EXPECT_EQ(Col(data, k), 179) << k;
        }
        EXPECT_EQ(Colonne(data, 21, 37), "     D A T A     ");
        EXPECT_EQ(Colonne(data, 38, 41), "    ");
        EXPECT_EQ(Col(data, 31), ' ');

        const std::string& prima = r[4];
        EXPECT_EQ(Colonne(prima, 2, 7), "  N.  ");
        EXPECT_EQ(Colonne(prima, 9, 14), " TIPO ");
        EXPECT_EQ(Colonne(prima, 16, 19), " N. ");
        EXPECT_EQ(Colonne(prima, 21, 41), std::string(21, '\xC4'));
        EXPECT_EQ(Colonne(prima, 43, 63), " A L L O G G I A T O ");
        EXPECT_EQ(Colonne(prima, 65, 85), " A L L O G G I A T O ");
        EXPECT_EQ(Colonne(prima, 87, 107), " D I T T A           ");
        EXPECT_EQ(Colonne(prima, 109, 132),
                  arr ? " ARRANGIAMENTO          " : " C O M M E N T O        ");
        for (std::size_t k : {1, 8, 15, 20, 42, 64, 86, 108, 133}) {
            EXPECT_EQ(Col(prima, k), 179) << k;
        }

        const std::string& seconda = r[5];
        for (std::size_t k : ColonneRegola) {
            EXPECT_EQ(Col(seconda, k), 179) << k;
        }
        EXPECT_EQ(Colonne(seconda, 2, 7), "CAMERA");
        EXPECT_EQ(Colonne(seconda, 9, 14), "      ");
        EXPECT_EQ(Colonne(seconda, 16, 19), "PERS");
        EXPECT_EQ(Colonne(seconda, 21, 30), "  ARRIVO  ");
        EXPECT_EQ(Colonne(seconda, 32, 41), " PARTENZA ");
        EXPECT_EQ(Colonne(seconda, 43, 85), std::string(21, ' ') + '\xB3' + std::string(21, ' '));
        EXPECT_EQ(Colonne(seconda, 87, 107), " A G E N Z I A       ");
        EXPECT_EQ(Colonne(seconda, 109, 132), " T I P O   C L I E N T E");
    }
}

TEST(Righe, TitleVariants) {
    const std::string stamp = "05/03/2024 07:09";
    const std::string nome45 = "Hotel Lago" + std::string(35, ' ');
    struct Caso {
        const char* nome;
        std::optional<std::string> hotel;
        std::optional<std::string> tableau;
        std::string inizio; // the title before its padding
    };
    const Caso casi[] = {
        {"no hotel record", std::nullopt, std::string("ignored"), " Hotel : "},
        {"no tableau record", std::string("Hotel Lago"), std::nullopt,
         " Hotel : " + nome45 + " Tableau : "},
        {"both", std::string("Hotel Lago"), std::string("  Primo piano  "),
         " Hotel : " + nome45 + " Tableau : Primo piano del 05/03/2024"},
        {"name cut to 45", std::string(50, 'N'), std::string("T"),
         " Hotel : " + std::string(45, 'N') + " Tableau : T del 05/03/2024"},
        {"name kept untrimmed", std::string("  Lago"), std::string("T"),
         " Hotel : " + std::string("  Lago") + std::string(39, ' ') +
             " Tableau : T del 05/03/2024"},
    };
    for (const auto& c : casi) {
        const std::string t = RigaTitolo(c.hotel, c.tableau, "05/03/2024", Momento);
        ASSERT_EQ(t.size(), 133u) << c.nome;
        EXPECT_EQ(t.substr(0, c.inizio.size()), c.inizio) << c.nome;
        EXPECT_EQ(t.substr(c.inizio.size(), 117 - c.inizio.size()),
                  std::string(117 - c.inizio.size(), ' '))
            << c.nome;
        EXPECT_EQ(t.substr(117), stamp) << c.nome;
    }
}

TEST(Righe, LongTableauNameIsCutBeforeTheTimeStamp) {
    const std::string t = RigaTitolo(std::string("H"), std::string(60, 'D'), "05/03/2024",
                                     DataOra{2026, 12, 31, 23, 59, 0});
    ASSERT_EQ(t.size(), 133u);
    // 9 + 45 + 11 = 65 characters before the name: 52 of its 60 fit.
    EXPECT_EQ(t.substr(65, 52), std::string(52, 'D'));
    EXPECT_EQ(t.substr(117), "31/12/2026 23:59");
}

// Cells: text cells are cut, then trimmed, then padded; codes are trimmed,
// then cut; laid-out values are cut or padded as they are.
TEST(Celle, FillingAndCutting) {
    struct Caso {
        const char* nome;
        void (*scrivi)(std::string&, int, std::string_view);
        int cella;
        std::string valore;
        std::string atteso;
    };
    const Caso casi[] = {
        {"name of 28 cut to 21", ScriviTesto, 6, "ABCDEFGHIJKLMNOPQRSTUVWXYZ12",
         "ABCDEFGHIJKLMNOPQRSTU"},
        {"cut leaves a trailing blank that goes", ScriviTesto, 6, "Rossi Mario          Luigi",
         "Rossi Mario          "},
        {"leading blanks trimmed", ScriviTesto, 8, "   ACME  ", "ACME" + std::string(17, ' ')},
        {"cut first, then trimmed", ScriviTesto, 7, std::string(20, ' ') + "XYZ",
         "X" + std::string(20, ' ')},
        {"comment to 24", ScriviTesto, 9, std::string(30, 'c'), std::string(24, 'c')},
        {"room trimmed", ScriviCodice, 1, "  101 ", "101   "},
        {"room over 6 cut", ScriviCodice, 1, "1234567", "123456"},
        {"type trimmed before the cut", ScriviCodice, 2, "   SUITE1X", "SUITE1"},
        {"fixed kept as it is", ScriviFisso, 3, "  0 ", "  0 "},
        {"fixed cut", ScriviFisso, 4, "05/03/2024XX", "05/03/2024"},
        {"accented bytes count one each", ScriviTesto, 6, "Citt\xE0 \x80 \x84\x94",
         "Citt\xE0 \x80 \x84\x94" + std::string(11, ' ')},
    };
    const Righe r = RigheDi(false);
    for (const auto& c : casi) {
        std::string riga = r[9];
        c.scrivi(riga, c.cella, c.valore);
        ASSERT_EQ(riga.size(), 133u) << c.nome;
        const Cella& cella = Celle[static_cast<std::size_t>(c.cella - 1)];
        EXPECT_EQ(riga.substr(cella.colonna - 1, cella.larghezza), c.atteso) << c.nome;
        // The rules never move.
        for (std::size_t k : ColonneRegola) {
            EXPECT_EQ(Col(riga, k), 179) << c.nome << " col " << k;
        }
    }
}

TEST(Celle, Persons) {
    const std::pair<long long, std::string> casi[] = {
        {0, "  0 "},   {7, "  7 "},    {42, " 42 "},    {99, " 99 "},
        {100, " 100"}, {1234, "1234"}, {40000, "4000"},
    };
    for (const auto& [n, atteso] : casi) {
        EXPECT_EQ(TestoPersone(n), atteso) << n;
    }
}

TEST(Celle, Dates) {
    const std::pair<std::string, std::string> casi[] = {
        {"20240305", "05/03/2024"},
        {"19991231", "31/12/1999"},
        {std::string(10, ' '), "  /  /    "},
        {"", "  /  /    "},
    };
    for (const auto& [chiave, atteso] : casi) {
        EXPECT_EQ(TestoDataCella(chiave), atteso) << "[" << chiave << "]";
    }
}

TEST(Importi, PatternWithGroupingAndTwoDecimals) {
    const SegniNumerici it; // "," and "."
    const SegniNumerici en{".", ","};
    const struct {
        std::int64_t decimillesimi;
        const char* italiano;
        const char* inglese;
    } casi[] = {
        {0, "0,00", "0.00"},
        {12345000, "1.234,50", "1,234.50"},
        {9999900, "999,99", "999.99"},
        {10000000, "1.000,00", "1,000.00"},
        {1234567890000, "123.456.789,00", "123,456,789.00"},
        {49, "0,00", "0.00"},
        {50, "0,01", "0.01"}, // half a cent goes up
        {9999950, "1.000,00", "1,000.00"},
        {-12345000, "-1.234,50", "-1,234.50"},
        {-50, "-0,01", "-0.01"},
        {123, "0,01", "0.01"},
        {5000, "0,50", "0.50"},
    };
    for (const auto& c : casi) {
        EXPECT_EQ(FormattaImporto(c.decimillesimi, it), c.italiano) << c.decimillesimi;
        EXPECT_EQ(FormattaImporto(c.decimillesimi, en), c.inglese) << c.decimillesimi;
    }
}

TEST(Importi, ArrangementCell) {
    const SegniNumerici it;
    const struct {
        const char* nome;
        std::string codice;
        std::int64_t importo;
        std::string atteso;
    } casi[] = {
        {"code and amount", "MP", 12345000, " MP            1.234,50 "},
        {"empty code, amount 0", "", 0, std::string(9, ' ') + std::string(10, ' ') + "0,00 "},
        {"code untrimmed", " BB", 0, "  BB      " + std::string(9, ' ') + "0,00 "},
        {"code over 8 cut", "PENSIONE1", 0, " PENSIONE" + std::string(10, ' ') + "0,00 "},
        {"amount of 13 fits", "X", 999999999900, " X        99.999.999,99 "},
        {"amount over 13 loses its grouping", "X", 1000000000000, " X         100000000,00 "},
        {"negative over 13 too", "X", -123456789000, " X         -12345678,90 "},
        {"still over 13 is cut", "X", 9223372036854775807LL, " X        9223372036854 "},
    };
    for (const auto& c : casi) {
        const std::string t = TestoArrangiamento(c.codice, c.importo, it);
        EXPECT_EQ(t.size(), 24u) << c.nome;
        EXPECT_EQ(t, c.atteso) << c.nome;
    }
}

// The signs come from LC_NUMERIC; under C/POSIX they are the Italian ones.
class SegniLocale : public ::testing::Test {
protected:
    void SetUp() override { prima_ = std::setlocale(LC_NUMERIC, nullptr); }
    void TearDown() override { std::setlocale(LC_NUMERIC, prima_.c_str()); }
    std::string prima_;
};

TEST_F(SegniLocale, CAndPosixGiveItalianSigns) {
    for (const char* nome : {"C", "POSIX"}) {
        ASSERT_NE(std::setlocale(LC_NUMERIC, nome), nullptr);
        const SegniNumerici s = SegniDelLocale();
        EXPECT_EQ(s.decimale, ",") << nome;
        EXPECT_EQ(s.migliaia, ".") << nome;
        EXPECT_EQ(FormattaImporto(12345000, s), "1.234,50") << nome;
    }
}

TEST_F(SegniLocale, ItalianLocale) {
    if (std::setlocale(LC_NUMERIC, "it_IT.UTF-8") == nullptr) {
        GTEST_SKIP() << "locale it_IT.UTF-8 not installed (scripts/setup.sh generates it)";
    }
    EXPECT_EQ(FormattaImporto(12345000, SegniDelLocale()), "1.234,50");
}

TEST_F(SegniLocale, EnglishLocaleUsesItsOwnSigns) {
    if (std::setlocale(LC_NUMERIC, "en_US.UTF-8") == nullptr) {
        GTEST_SKIP() << "locale en_US.UTF-8 not installed (scripts/setup.sh generates it)";
    }
    EXPECT_EQ(FormattaImporto(12345000, SegniDelLocale()), "1,234.50");
}

} // namespace
} // namespace vdx
