#include "preview/ConvertiXLS.h"

#include "Ambiente.h"
#include "shared/Error.h"
#include "shared/TextFile.h"

#include <algorithm>
#include <gtest/gtest.h>

namespace vdx {
namespace {

using test::Bordo;
using test::CartellaLavoro;
using test::PcLocaleTemporaneo;
using test::RigaRigata;

const std::string kEuro = "\x80";

std::string b(unsigned char c) {
    return std::string(1, static_cast<char>(c));
}

struct CasoRiga {
    const char* nome;
    std::string riga;
    std::string atteso;
    ImpostazioniXLS impostazioni = {};
};

class RigheCsv : public ::testing::TestWithParam<CasoRiga> {};

TEST_P(RigheCsv, Converte) {
    EXPECT_EQ(RigaCsv(GetParam().riga, GetParam().impostazioni), GetParam().atteso);
}

INSTANTIATE_TEST_SUITE_P(
    Regole, RigheCsv,
    ::testing::Values(
        CasoRiga{"ImportoItaliano", " 1.234,56", kEuro + "1234.56"},
        CasoRiga{"ImportoMilioni", "  1.234.567,00", " " + kEuro + "1234567.00"},
        CasoRiga{"UnDecimale", "12,5", "12 5"}, CasoRiga{"VirgolaInFondo", "12,", "12 "},
        CasoRiga{"PuntoUnaCifra", "3.5", "3.5"}, CasoRiga{"PuntoDueCifreMigliaia", "3.14", "314"},
        CasoRiga{"PuntoInFondo", "fine.", "fine."}, CasoRiga{"VirgolaInTesta", ",12", " 12"},
        CasoRiga{"PuntoInTesta", ".12", ".12"}, CasoRiga{"DecimaleSenzaSpazio", "1,23", "1.23"},
        CasoRiga{"MenoDavantiCifra", "-5", "-5"},
        CasoRiga{"MenoDavantiImporto", " -1.234,56", kEuro + "-1234.56"},
        CasoRiga{"MenoTraLettere", "a-b", "a b"}, CasoRiga{"RigaDiMeno", "-----", "     "},
        CasoRiga{"MenoInFondo", "7-", "7 "}, CasoRiga{"BarraEPiu", "x|y+z", "x,y,z"},
        CasoRiga{"GiuntiDelDisegno",
                 b(217) + b(197) + b(194) + b(195) + b(192) + b(193) + b(179) + b(191) + b(218),
                 ",,,,,,,,,"},
        CasoRiga{"OrizzontaleSpazio", b(196) + b(196), "  "},
        CasoRiga{"TeeDestraInFondo", "a" + b(180), "a,"},
        CasoRiga{"TeeDestraInMezzo", b(180) + "a", " a"},
        CasoRiga{"AltriBytePassano", "\x80\x84\x94\xC8\xE0" + b(205) + b(186),
                 "\x80\x84\x94\xC8\xE0" + b(205) + b(186)},
        CasoRiga{"SaltoPagina", "\x0C", "\x0C"}, CasoRiga{"RigaVuota", "", ""},
        // The nearest space gets the mark, even in an earlier cell.
        CasoRiga{"SegnoNellaCellaPrima", b(179) + " x" + b(179) + "1234,56" + b(179),
                 "," + kEuro + "x,1234.56,"},
        CasoRiga{"SeparatoreLungo", "a|b", "a<>b", ImpostazioniXLS{"<>", ".", kEuro}},
        CasoRiga{"PuntoEVirgola", b(179) + " 1.234,56" + b(179), ";" + kEuro + "1234,56;",
                 ImpostazioniXLS{";", ",", kEuro}},
        CasoRiga{"ValutaVuota", " 9,99", " 9.99", ImpostazioniXLS{",", ".", ""}},
        CasoRiga{"ValutaTreLettere", " 9,99", "E9.99", ImpostazioniXLS{",", ".", "EUR"}},
        CasoRiga{"DecimaleLungo", " 9,99", kEuro + "9DEC99", ImpostazioniXLS{",", "DEC", kEuro}},
        CasoRiga{"SeparatoreVuoto", "a|b", "ab", ImpostazioniXLS{"", ".", kEuro}}),
    [](const auto& riga) { return std::string(riga.param.nome); });

TEST(RigheReport, BordiDannoDieciSeparatori) {
    for (const auto& riga : {Bordo(218, 194, 191), Bordo(192, 193, 217), Bordo(195, 197, 180)}) {
        const std::string csv = RigaCsv(riga, {});
        EXPECT_EQ(std::count(csv.begin(), csv.end(), ','), 10);
        EXPECT_EQ(csv.front(), ',');
        EXPECT_EQ(csv.back(), ',');
        EXPECT_EQ(csv.find_first_not_of(", "), std::string::npos) << csv;
        EXPECT_EQ(csv.size(), 133U);
    }
}

TEST(RigheReport, RigaDiCameraDaNoveCelle) {
    std::string riga = RigaRigata("101");
    // Cell 9 with the arrangement: a space, code padded to 8, a space, the
    // amount right-aligned in 13, a space.
    const std::string cella9 = " MP       " + std::string(13 - 8, ' ') + "1.234,50" + " ";
    riga.replace(108, 24, cella9);
    const std::string csv = RigaCsv(riga, {});
    EXPECT_EQ(std::count(csv.begin(), csv.end(), ','), 10);
    EXPECT_EQ(csv.substr(0, 8), ",101   ,");
    EXPECT_NE(csv.find(" MP       " + std::string(4, ' ') + kEuro + "1234.50 ,"), std::string::npos)
        << csv;
}

TEST(RigheReport, IntestazioneSenzaRegolaInColonna31) {
    std::string riga = RigaRigata();
    riga[30] = ' ';
    riga.replace(20, 17, "     D A T A     ");
    const std::string csv = RigaCsv(riga, {});
    EXPECT_EQ(std::count(csv.begin(), csv.end(), ','), 9); // eight cells
}

TEST(RigheReport, TestoIntero) {
    const std::string testo = " 1,50\r\n\r\n-\r\nfine";
    EXPECT_EQ(TestoCsv(testo, {}), kEuro + "1.50\r\n\r\n \r\nfine\r\n");
}

struct CasoImpostazioni {
    const char* nome;
    std::optional<std::string> file; // nullopt: no SeparatoreXLS.txt
    ImpostazioniXLS attese;
    const char* nomeFile = "SeparatoreXLS.txt";
};

class Impostazioni : public ::testing::TestWithParam<CasoImpostazioni> {};

TEST_P(Impostazioni, Lette) {
    CartellaLavoro cartella;
    if (GetParam().file) {
        ScriviFileAtomico(cartella / GetParam().nomeFile, *GetParam().file);
    }
    const ImpostazioniXLS lette = LeggiImpostazioniXLS(cartella.percorso());
    EXPECT_EQ(lette.separatoreCampi, GetParam().attese.separatoreCampi);
    EXPECT_EQ(lette.segnoDecimale, GetParam().attese.segnoDecimale);
    EXPECT_EQ(lette.segnoValuta, GetParam().attese.segnoValuta);
}

INSTANTIATE_TEST_SUITE_P(
    SeparatoreXLS, Impostazioni,
    ::testing::Values(
        CasoImpostazioni{"SenzaFile", std::nullopt, {",", ".", kEuro}},
        CasoImpostazioni{"TreRighe", ";\r\n,\r\nEUR\r\n", {";", ",", "EUR"}},
        CasoImpostazioni{"TerzaVuota", ";\r\n,\r\n\r\n", {";", ",", ""}},
        CasoImpostazioni{"NonRifilate", " ; \r\n , \r\n$ \r\n", {" ; ", " , ", "$ "}},
        CasoImpostazioni{"RigheInPiuIgnorate", ";\r\n,\r\n$\r\naltro\r\n", {";", ",", "$"}},
        CasoImpostazioni{"SoloLineFeed", "\t\n.\n\x80\n", {"\t", ".", kEuro}},
        // Short files keep the defaults of the lines they lack.
        CasoImpostazioni{"UnaRiga", ";\r\n", {";", ".", kEuro}},
        CasoImpostazioni{"DueRighe", ";\r\n,", {";", ",", kEuro}},
        CasoImpostazioni{"FileVuoto", "", {",", ".", kEuro}},
        CasoImpostazioni{"NomeMinuscolo", ";\r\n,\r\n$\r\n", {";", ",", "$"}, "separatorexls.txt"}),
    [](const auto& riga) { return std::string(riga.param.nome); });

class Esportazione : public ::testing::Test {
protected:
    CartellaLavoro cartella;
};

// A setting line of megabytes would turn a small report into a huge export:
// lines of up to 255 bytes are taken, longer ones refused naming the line,
// and no export is written.
TEST_F(Esportazione, ImpostazioniPiuLungheDi255ByteRifiutate) {
    PcLocaleTemporaneo pc("3");
    ScriviRigheAtomico(cartella / "FD3", {"Camere presenti : 1"});
    const std::string massima(255, ';');
    ScriviFileAtomico(cartella / "SeparatoreXLS.txt", massima + "\r\n,\r\n$\r\n");
    EXPECT_EQ(LeggiImpostazioniXLS(cartella.percorso()).separatoreCampi, massima);
    for (const auto& [testo, riga] : std::vector<std::pair<std::string, int>>{
             {massima + ";\r\n,\r\n$\r\n", 1}, {";\r\n,\r\n" + std::string(4 << 20, '$'), 3}}) {
        ScriviFileAtomico(cartella / "SeparatoreXLS.txt", testo);
        try {
            ConvertiXLS("fd3", cartella.percorso());
            ADD_FAILURE() << "accettata la riga " << riga;
        } catch (const Error& e) {
            EXPECT_EQ(e.number(), err::InvalidCall);
            EXPECT_EQ(std::string(e.what()).rfind("SeparatoreXLS.txt, riga " +
                                                      std::to_string(riga) + ": l'impostazione ha ",
                                                  0),
                      0u)
                << e.what();
        }
        EXPECT_FALSE(std::filesystem::exists(cartella / "fd3.csv"));
    }
}

TEST_F(Esportazione, NomeDallaVariabileSenzaCambiarla) {
    for (const auto& [valore, atteso] :
         std::vector<std::pair<std::optional<std::string>, std::string>>{
             {std::nullopt, "fd.csv"}, {"3", "fd3.csv"}, {" 03", "fd 03.csv"}}) {
        PcLocaleTemporaneo pc(valore);
        EXPECT_EQ(NomeFileCsv(), atteso);
    }
}

TEST_F(Esportazione, UnaRigaPerRigaNelloStessoOrdine) {
    PcLocaleTemporaneo pc("3");
    const std::vector<std::string> report = {Bordo(218, 194, 191),
                                             RigaRigata("101"),
                                             Bordo(195, 197, 180),
                                             Bordo(192, 193, 217),
                                             "Presenze attuali: 2      Totale Partenze : 0",
                                             "",
                                             "Camere presenti : 1",
                                             "\x0C"};
    ScriviRigheAtomico(cartella / "FD3", report);
    const auto uscita = ConvertiXLS("fd3", cartella.percorso());
    EXPECT_EQ(uscita, cartella / "fd3.csv");
    const std::string scritto = LeggiFile(uscita);
    const auto righe = DividiRighe(scritto);
    ASSERT_EQ(righe.size(), report.size());
    for (std::size_t i = 0; i < report.size(); ++i) {
        EXPECT_EQ(righe[i], RigaCsv(report[i], {})) << i;
    }
    EXPECT_EQ(scritto.substr(scritto.size() - 3), "\x0C\r\n");
}

TEST_F(Esportazione, ImpostazioniDellaCartella) {
    PcLocaleTemporaneo pc("1");
    ScriviFileAtomico(cartella / "SeparatoreXLS.txt", ";\r\n,\r\n\r\n");
    ScriviFileAtomico(cartella / "fd1", "|  1.234,56|\r\n");
    ConvertiXLS("fd1", cartella.percorso());
    EXPECT_EQ(LeggiFile(cartella / "fd1.csv"), ";  1234,56;\r\n");
}

TEST_F(Esportazione, PcLocaleAssente) {
    PcLocaleTemporaneo pc(std::nullopt);
    ScriviFileAtomico(cartella / "fd", "a\r\n");
    ConvertiXLS("fd", cartella.percorso());
    EXPECT_EQ(LeggiFile(cartella / "fd.csv"), "a\r\n");
}

TEST_F(Esportazione, ReportVuoto) {
    PcLocaleTemporaneo pc("2");
    ScriviFileAtomico(cartella / "fd2", "");
    ConvertiXLS("fd2", cartella.percorso());
    EXPECT_EQ(LeggiFile(cartella / "fd2.csv"), "");
}

TEST_F(Esportazione, CsvEsistenteSostituitoIntero) {
    PcLocaleTemporaneo pc("2");
    ScriviFileAtomico(cartella / "FD2.CSV", "vecchio\r\nvecchio\r\nvecchio\r\n");
    ScriviFileAtomico(cartella / "fd2", "nuovo\r\n");
    EXPECT_EQ(ConvertiXLS("fd2", cartella.percorso()), cartella / "FD2.CSV");
    EXPECT_EQ(LeggiFile(cartella / "FD2.CSV"), "nuovo\r\n");
}

TEST_F(Esportazione, IngressoMancanteLasciaIlCsvPrecedente) {
    PcLocaleTemporaneo pc("4");
    ScriviFileAtomico(cartella / "fd4.csv", "prima\r\n");
    try {
        ConvertiXLS("fd4", cartella.percorso());
        FAIL() << "no error for a missing report";
    } catch (const Error& e) {
        EXPECT_EQ(e.number(), err::FileNotFound);
    }
    EXPECT_EQ(LeggiFile(cartella / "fd4.csv"), "prima\r\n");
}

TEST_F(Esportazione, CartellaInesistente) {
    PcLocaleTemporaneo pc("4");
    const auto assente = cartella / "non-c-e";
    EXPECT_THROW(ConvertiXLS("fd4", assente), Error);
}

TEST_F(Esportazione, PercorsoAssoluto) {
    PcLocaleTemporaneo pc("5");
    CartellaLavoro altrove;
    ScriviFileAtomico(altrove / "salvato.txt", "1.000,00\r\n");
    ConvertiXLS((altrove / "salvato.txt").string(), cartella.percorso());
    EXPECT_EQ(LeggiFile(cartella / "fd5.csv"), "1000.00\r\n");
}

} // namespace
} // namespace vdx
