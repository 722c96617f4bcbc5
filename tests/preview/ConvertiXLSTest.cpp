#include "preview/ConvertiXLS.h"

#include "Ambiente.h"
#include "shared/Errore.h"
#include "shared/FileTesto.h"

#include <algorithm>
#include <clocale>
#include <gtest/gtest.h>

namespace vdx {
namespace {

using test::Bordo;
using test::CartellaLavoro;
using test::RigaDiCamera;

const std::string Euro = "\x80";

std::string B(unsigned char c) {
    return std::string(1, static_cast<char>(c));
}

struct CasoRiga {
    const char* nome;
    std::string riga;
    std::string atteso;
    ImpostazioniXLS impostazioni = {};
};

class RigheCsv : public ::testing::TestWithParam<CasoRiga> {};

TEST_P(RigheCsv, Converts) {
    EXPECT_EQ(RigaCsv(GetParam().riga, GetParam().impostazioni), GetParam().atteso);
}

INSTANTIATE_TEST_SUITE_P(
    Regole, RigheCsv,
    ::testing::Values(
        CasoRiga{"ItalianAmount", " 1.234,56", Euro + "1234.56"},
        CasoRiga{"AmountInMillions", "  1.234.567,00", " " + Euro + "1234567.00"},
        CasoRiga{"OneDecimal", "12,5", "12 5"}, CasoRiga{"CommaAtTheEnd", "12,", "12 "},
        CasoRiga{"StopBeforeOneDigit", "3.5", "3.5"},
        CasoRiga{"StopBeforeTwoDigitsIsGrouping", "3.14", "314"},
        CasoRiga{"StopAtTheEnd", "fine.", "fine."}, CasoRiga{"CommaFirst", ",12", " 12"},
        CasoRiga{"StopFirst", ".12", ".12"}, CasoRiga{"DecimalWithoutASpace", "1,23", "1.23"},
        CasoRiga{"MinusBeforeADigit", "-5", "-5"},
        CasoRiga{"MinusBeforeAnAmount", " -1.234,56", Euro + "-1234.56"},
        CasoRiga{"MinusBetweenLetters", "a-b", "a b"}, CasoRiga{"LineOfMinuses", "-----", "     "},
        CasoRiga{"MinusAtTheEnd", "7-", "7 "}, CasoRiga{"BarAndPlus", "x|y+z", "x,y,z"},
        // Line-drawing bytes outside a ruled line are text.
        CasoRiga{"OtherBytesPass", "\x80\x84\x94\xC8\xE0" + B(205) + B(186) + B(196) + B(179),
                 "\x80\x84\x94\xC8\xE0" + B(205) + B(186) + B(196) + B(179)},
        CasoRiga{"FormFeed", "\x0C", "\x0C"}, CasoRiga{"EmptyLine", "", ""},
        CasoRiga{"LongSeparator", "a|b", "a<>b", ImpostazioniXLS{"<>", ".", Euro}},
        CasoRiga{"Semicolon", "| 1.234,56|", ";" + Euro + "1234,56;",
                 ImpostazioniXLS{";", ",", Euro}},
        CasoRiga{"EmptyCurrencyMark", " 9,99", " 9.99", ImpostazioniXLS{",", ".", ""}},
        CasoRiga{"ThreeLetterCurrency", " 9,99", "E9.99", ImpostazioniXLS{",", ".", "EUR"}},
        CasoRiga{"LongDecimalMark", " 9,99", Euro + "9DEC99", ImpostazioniXLS{",", "DEC", Euro}},
        CasoRiga{"EmptySeparator", "a|b", "ab", ImpostazioniXLS{"", ".", Euro}}),
    [](const auto& riga) { return std::string(riga.param.nome); });

TEST(RigheReport, BordersGiveTenSeparators) {
    for (const auto& riga : {Bordo(218, 194, 191), Bordo(192, 193, 217), Bordo(195, 197, 180)}) {
        const std::string csv = RigaCsv(riga, {});
        EXPECT_EQ(std::count(csv.begin(), csv.end(), ','), 10);
        EXPECT_EQ(csv.front(), ',');
        EXPECT_EQ(csv.back(), ',');
        EXPECT_EQ(csv.find_first_not_of(", "), std::string::npos) << csv;
        EXPECT_EQ(csv.size(), 133U);
    }
}

TEST(RigheReport, ARoomLineGivesNineCells) {
    std::string riga = RigaDiCamera("101");
    // Cell 9 with the arrangement: a space, code padded to 8, a space, the
    // amount right-aligned in 13, a space.
    const std::string cella9 = " MP       " + std::string(13 - 8, ' ') + "1.234,50" + " ";
    riga.replace(108, 24, cella9);
    const std::string csv = RigaCsv(riga, {});
    EXPECT_EQ(std::count(csv.begin(), csv.end(), ','), 10);
    EXPECT_EQ(csv.substr(0, 8), ",101   ,");
    EXPECT_NE(csv.find(" MP       " + std::string(4, ' ') + Euro + "1234.50 ,"), std::string::npos)
        << csv;
    // The nearest space takes the mark, even in an earlier cell.
    riga.replace(108, 24, "1234,56" + std::string(17, 'x'));
    EXPECT_NE(RigaCsv(riga, {}).find("  " + Euro + ",1234.56x"), std::string::npos);
}

// Letters that share their bytes with line-drawing characters (CANTÙ, FORLÌ,
// ÉLODIE, ÄÄ) stay letters; the rules around them still give the separators.
TEST(RigheReport, AccentedLettersAreNoRules) {
    const std::string cella6 = "CANT\xD9 FORL\xCC \xC9LODIE   ";
    const std::string cella7 = "\xC0\xC0 \xC4 \xB4 \xBF\xDA\xC3           ";
    std::string riga = RigaDiCamera("101");
    riga.replace(42, 21, cella6).replace(64, 21, cella7);
    const std::string csv = RigaCsv(riga, {});
    EXPECT_EQ(std::count(csv.begin(), csv.end(), ','), 10) << csv;
    EXPECT_NE(csv.find("," + cella6 + "," + cella7 + ","), std::string::npos) << csv;
}

// The report's amounts are written with the locale's signs (1,234.50 under
// en_US); the export reads them with the same signs, so the spreadsheet gets
// the same values under any locale.
TEST(RigheReport, AmountsWithTheLocalesSigns) {
    ImpostazioniXLS inglese;
    inglese.segni = SegniNumerici{".", ","};
    EXPECT_EQ(RigaCsv(" 1,234.50 480.00 3,5", inglese), Euro + "1234.50" + Euro + "480.00 3 5");
    ImpostazioniXLS italiane;
    EXPECT_EQ(RigaCsv(" 1.234,50 480,00", italiane), Euro + "1234.50" + Euro + "480.00");
}

TEST(RigheReport, HeadingWithoutARuleInColumn31) {
    std::string riga = RigaDiCamera();
    riga[30] = ' ';
    riga.replace(20, 17, "     D A T A     ");
    const std::string csv = RigaCsv(riga, {});
    EXPECT_EQ(std::count(csv.begin(), csv.end(), ','), 9); // eight cells
}

TEST(RigheReport, AWholeText) {
    const std::string testo = " 1,50\r\n\r\n-\r\nfine";
    EXPECT_EQ(TestoCsv(testo, {}), Euro + "1.50\r\n\r\n \r\nfine\r\n");
}

struct CasoImpostazioni {
    const char* nome;
    std::optional<std::string> file; // nullopt: no SeparatoreXLS.txt
    ImpostazioniXLS attese;
    const char* nomeFile = "SeparatoreXLS.txt";
};

class Impostazioni : public ::testing::TestWithParam<CasoImpostazioni> {};

TEST_P(Impostazioni, Read) {
    CartellaLavoro cartella;
    if (GetParam().file) {
        ScriviFileAtomico(cartella / GetParam().nomeFile, *GetParam().file);
    }
    const ImpostazioniXLS lette = LeggiImpostazioniXLS(cartella.Percorso());
    EXPECT_EQ(lette.separatoreCampi, GetParam().attese.separatoreCampi);
    EXPECT_EQ(lette.segnoDecimale, GetParam().attese.segnoDecimale);
    EXPECT_EQ(lette.segnoValuta, GetParam().attese.segnoValuta);
}

INSTANTIATE_TEST_SUITE_P(
    SeparatoreXLS, Impostazioni,
    ::testing::Values(
        CasoImpostazioni{"NoFile", std::nullopt, {",", ".", Euro}},
        CasoImpostazioni{"ThreeLines", ";\r\n,\r\nEUR\r\n", {";", ",", "EUR"}},
        CasoImpostazioni{"EmptyThirdLine", ";\r\n,\r\n\r\n", {";", ",", ""}},
        CasoImpostazioni{"NotTrimmed", " ; \r\n , \r\n$ \r\n", {" ; ", " , ", "$ "}},
        CasoImpostazioni{"FurtherLinesIgnored", ";\r\n,\r\n$\r\naltro\r\n", {";", ",", "$"}},
        CasoImpostazioni{"LineFeedsOnly", "\t\n.\n\x80\n", {"\t", ".", Euro}},
        // Short files keep the defaults of the lines they lack.
        CasoImpostazioni{"OneLine", ";\r\n", {";", ".", Euro}},
        CasoImpostazioni{"TwoLines", ";\r\n,", {";", ",", Euro}},
        CasoImpostazioni{"EmptyFile", "", {",", ".", Euro}},
        CasoImpostazioni{"LowerCaseName", ";\r\n,\r\n$\r\n", {";", ",", "$"}, "separatorexls.txt"}),
    [](const auto& riga) { return std::string(riga.param.nome); });

class Esportazione : public ::testing::Test {
protected:
    CartellaLavoro cartella;
};

// Settings that cannot make a spreadsheet are refused naming their line, and
// the last export stays: a line of megabytes (a huge export of a small
// report), an empty separator (fields glued together), a control byte, a
// separator equal to the decimal mark (amounts cut in two). A tab is a
// separator, and a line of 255 bytes is taken.
TEST_F(Esportazione, RefusedSettingsKeepTheLastExport) {
    ScriviRigheAtomico(cartella / "FD3", {"Camere presenti : 1"});
    const std::string massima(255, ';');
    for (const std::string& buono : {massima + "\r\n,\r\n$\r\n", std::string("\t\r\n,\r\n")}) {
        ScriviFileAtomico(cartella / "SeparatoreXLS.txt", buono);
        EXPECT_EQ(LeggiImpostazioniXLS(cartella.Percorso()).separatoreCampi,
                  buono.substr(0, buono.find('\r')));
    }
    const struct {
        std::string file;
        int riga;
        const char* perche;
    } casi[] = {
        {massima + ";\r\n,\r\n$\r\n", 1, "l'impostazione ha 256 caratteri"},
        {";\r\n,\r\n" + std::string(4 << 20, '$'), 3, "l'impostazione ha 4194304 caratteri"},
        {"\r\n,\r\n$\r\n", 1, "il separatore dei campi \xE8 vuoto"},
        {";\r\n,\r\n\x1B\r\n", 3, "carattere di controllo (codice 27)"},
        {std::string(";\0;\r\n", 4), 1, "carattere di controllo (codice 0)"},
        {";\r\n;\r\n$\r\n", 2, "uguale al segno decimale"},
        {".\r\n", 1, "uguale al segno decimale (\".\")"},
    };
    for (const auto& c : casi) {
        ScriviFileAtomico(cartella / "fd3.csv", "prima\r\n");
        ScriviFileAtomico(cartella / "SeparatoreXLS.txt", c.file);
        try {
            ConvertiXLS("fd3", cartella.Percorso(), "3");
            ADD_FAILURE() << "accettata: " << c.perche;
        } catch (const ImpostazioneRifiutata& e) {
            EXPECT_EQ(e.Numero(), errore::ChiamataNonValida);
            const std::string testo = e.what();
            EXPECT_EQ(testo.rfind("SeparatoreXLS.txt, riga " + std::to_string(c.riga) + ": ", 0),
                      0u)
                << testo;
            EXPECT_NE(testo.find(c.perche), std::string::npos) << testo;
        }
        EXPECT_EQ(LeggiFile(cartella / "fd3.csv"), "prima\r\n") << c.perche;
    }
}

// A folder named as the report is no report: refused, the last export kept.
TEST_F(Esportazione, AFolderIsRefusedKeepingTheLastExport) {
    std::filesystem::create_directory(cartella / "cartella");
    ScriviFileAtomico(cartella / "fd3.csv", "prima\r\n");
    try {
        ConvertiXLS("cartella", cartella.Percorso(), "3");
        ADD_FAILURE() << "a folder exported";
    } catch (const Errore& e) {
        EXPECT_EQ(e.Numero(), errore::AccessoPercorso);
        EXPECT_NE(std::string(e.what()).find("cartella"), std::string::npos) << e.what();
    }
    EXPECT_EQ(LeggiFile(cartella / "fd3.csv"), "prima\r\n");
}

TEST_F(Esportazione, OneLinePerLineInTheSameOrder) {
    const std::vector<std::string> report = {Bordo(218, 194, 191),
                                             RigaDiCamera("101"),
                                             Bordo(195, 197, 180),
                                             Bordo(192, 193, 217),
                                             "Presenze attuali: 2      Totale Partenze : 0",
                                             "",
                                             "Camere presenti : 1",
                                             "\x0C"};
    ScriviRigheAtomico(cartella / "FD3", report);
    const auto uscita = ConvertiXLS("fd3", cartella.Percorso(), "3");
    EXPECT_EQ(uscita, cartella / "fd3.csv");
    const std::string scritto = LeggiFile(uscita);
    const auto righe = DividiRighe(scritto);
    ASSERT_EQ(righe.size(), report.size());
    for (std::size_t i = 0; i < report.size(); ++i) {
        EXPECT_EQ(righe[i], RigaCsv(report[i], {})) << i;
    }
    EXPECT_EQ(scritto.substr(scritto.size() - 3), "\x0C\r\n");
}

TEST_F(Esportazione, TheFoldersSettings) {
    ScriviFileAtomico(cartella / "SeparatoreXLS.txt", ";\r\n,\r\n\r\n");
    ScriviFileAtomico(cartella / "fd1", "|  1.234,56|\r\n");
    ConvertiXLS("fd1", cartella.Percorso(), "1");
    EXPECT_EQ(LeggiFile(cartella / "fd1.csv"), ";  1234,56;\r\n");
}

// An amount written by the generator under a locale and exported under the
// same locale gives the spreadsheet the same value as under Italian settings.
TEST_F(Esportazione, SameAmountsUnderEveryLocale) {
    const std::string prima = std::setlocale(LC_NUMERIC, nullptr);
    for (const char* locale : {"C", "it_IT.UTF-8", "en_US.UTF-8"}) {
        if (std::setlocale(LC_NUMERIC, locale) == nullptr) {
            ADD_FAILURE() << locale << " not installed (scripts/setup.sh generates it)";
            continue;
        }
        const std::string riga = " " + FormattaImporto(12345000, SegniDelLocale()) + " " +
                                 FormattaImporto(4800000, SegniDelLocale());
        EXPECT_EQ(RigaCsv(riga, LeggiImpostazioniXLS(cartella.Percorso())),
                  Euro + "1234.50" + Euro + "480.00")
            << locale << ": " << riga;
    }
    std::setlocale(LC_NUMERIC, prima.c_str());
}

TEST_F(Esportazione, PclocalUnset) {
    ScriviFileAtomico(cartella / "fd", "a\r\n");
    ConvertiXLS("fd", cartella.Percorso(), "");
    EXPECT_EQ(LeggiFile(cartella / "fd.csv"), "a\r\n");
}

TEST_F(Esportazione, EmptyReport) {
    ScriviFileAtomico(cartella / "fd2", "");
    ConvertiXLS("fd2", cartella.Percorso(), "2");
    EXPECT_EQ(LeggiFile(cartella / "fd2.csv"), "");
}

TEST_F(Esportazione, AnExistingCsvIsReplacedWhole) {
    ScriviFileAtomico(cartella / "FD2.CSV", "vecchio\r\nvecchio\r\nvecchio\r\n");
    ScriviFileAtomico(cartella / "fd2", "nuovo\r\n");
    EXPECT_EQ(ConvertiXLS("fd2", cartella.Percorso(), "2"), cartella / "FD2.CSV");
    EXPECT_EQ(LeggiFile(cartella / "FD2.CSV"), "nuovo\r\n");
}

TEST_F(Esportazione, AMissingInputLeavesTheEarlierCsv) {
    ScriviFileAtomico(cartella / "fd4.csv", "prima\r\n");
    try {
        ConvertiXLS("fd4", cartella.Percorso(), "4");
        FAIL() << "no error for a missing report";
    } catch (const Errore& e) {
        EXPECT_EQ(e.Numero(), errore::FileNonTrovato);
    }
    EXPECT_EQ(LeggiFile(cartella / "fd4.csv"), "prima\r\n");
}

TEST_F(Esportazione, AMissingFolder) {
    const auto assente = cartella / "non-c-e";
    EXPECT_THROW(ConvertiXLS("fd4", assente, "4"), Errore);
}

TEST_F(Esportazione, AnAbsolutePath) {
    CartellaLavoro altrove;
    ScriviFileAtomico(altrove / "salvato.txt", "1.000,00\r\n");
    ConvertiXLS((altrove / "salvato.txt").string(), cartella.Percorso(), "5");
    EXPECT_EQ(LeggiFile(cartella / "fd5.csv"), "1000.00\r\n");
}

} // namespace
} // namespace vdx
