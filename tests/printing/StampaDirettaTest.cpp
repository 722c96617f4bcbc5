#include "printing/StampaDiretta.h"

#include "shared/Errore.h"
#include "shared/FileTesto.h"
#include "support/CartellaLavoro.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

using vdx::ImpostazioniStampa;
using vdx::SceltaStampa;
using vdx::test::CartellaLavoro;
using namespace std::string_literals;

ImpostazioniStampa Diretta(short lunghezza, short iniziali, short foglio = 66,
                           const char* compresso = "") {
    ImpostazioniStampa s;
    s.valoriCompresso = vdx::DividiGruppi(compresso);
    s.lunghezzaPagina = lunghezza;
    s.righeIniziali = iniziali;
    s.righeFoglio = foglio;
    return s;
}

SceltaStampa Scelta(std::string codice = "", bool compressa = true) {
    SceltaStampa s;
    s.codiceAssistenza = std::move(codice);
    s.compressa = compressa;
    return s;
}

struct CasoDiretta {
    const char* nome;
    std::vector<std::string> righe;
    ImpostazioniStampa impostazioni;
    SceltaStampa scelta;
    std::string atteso;
};

const std::string Zero5 = "\0\0\0\0\0"s;

class StampaDirettaCasi : public ::testing::TestWithParam<CasoDiretta> {};

TEST_P(StampaDirettaCasi, WritesTheWholeByteStream) {
    CartellaLavoro cartella;
    vdx::ScriviRigheAtomico(cartella / "FD3", GetParam().righe);
    vdx::UscitaMemoria uscita;
    ASSERT_TRUE(vdx::StampaModoDiretto(uscita, GetParam().impostazioni, GetParam().scelta,
                                       cartella / "FD3"));
    EXPECT_EQ(uscita.Bytes(), GetParam().atteso);
}

INSTANTIATE_TEST_SUITE_P(
    Stampe, StampaDirettaCasi,
    ::testing::Values(
        // No SetStampa record: five codes 0, one page ended by a form feed.
        CasoDiretta{"defaults", {"A", "B", "\f"}, Diretta(60, 0), Scelta(), Zero5 + "A\r\nB\r\n\f"},
        CasoDiretta{"compressed_codes",
                    {"A"},
                    Diretta(60, 0, 66, "027015002003004000018080001002003"),
                    Scelta(),
                    "\x1b\x0f\x02\x03\x04"
                    "A\r\n\f"},
        CasoDiretta{"normal_codes",
                    {"A"},
                    Diretta(60, 0, 66, "027015002003004000018080001002003"),
                    Scelta("", false),
                    "\x12\x50\x01\x02\x03"
                    "A\r\n\f"},
        // Pages of 4 with 2 top lines: 2 report lines a page; a form feed
        // restarts the count at 2.
        CasoDiretta{"top_lines_and_equality",
                    {"A", "B", "C", "\f", "D"},
                    Diretta(4, 2),
                    Scelta(),
                    Zero5 + " \r\n \r\nA\r\nB\r\n\f \r\n \r\nC\r\n\f \r\n \r\nD\r\n\f"},
        // After the report's final form feed the page holds only its blank top
        // lines: it is not ended, so no empty sheet comes out; "U" pads none.
        CasoDiretta{"final_form_feed_with_top_lines",
                    {"A", "\f"},
                    Diretta(60, 1),
                    Scelta(),
                    Zero5 + " \r\nA\r\n\f \r\n"},
        CasoDiretta{"full_last_page_with_top_lines",
                    {"A", "B"},
                    Diretta(3, 1, 5),
                    Scelta("U"),
                    Zero5 + " \r\nA\r\nB\r\n\r\n\r\n \r\n"},
        // A page length not above the top lines: pages end at form feeds only.
        CasoDiretta{"length_not_above_top_lines",
                    {"A", "B", "C"},
                    Diretta(2, 2),
                    Scelta(),
                    Zero5 + " \r\n \r\nA\r\nB\r\nC\r\n\f"},
        // "U": pages padded with empty lines to RigheFoglio, the last one too.
        CasoDiretta{"U_pads_sheets",
                    {"A", "B", "C"},
                    Diretta(2, 0, 4),
                    Scelta("U"),
                    Zero5 + "A\r\nB\r\n\r\n\r\nC\r\n\r\n\r\n\r\n"},
        CasoDiretta{"U_empty_report_no_page", {}, Diretta(2, 0, 4), Scelta("U"), Zero5},
        // The rules become | and -; a letter in a cell stays as it is.
        CasoDiretta{"line_drawing_converted",
                    {"\xda\xc4\xc4\xc4\xc4\xc4\xc4\xbf",
                     "\xb3"
                     "CANT\xd9 \xb3",
                     "\xc3\xc4\xc4\xc4\xc4\xc4\xc4\xb4", "\xc0\xc4\xc4\xc4\xc4\xc4\xc4\xd9"},
                    Diretta(60, 0),
                    Scelta(),
                    Zero5 + "--------\r\n|CANT\xd9 |\r\n|------|\r\n--------\r\n\f"},
        // "K": the line-drawing bytes (and the letters) reach the port as they are.
        CasoDiretta{"K_unchanged",
                    {"\xda\xc4\xbf", "NICOL\xd2"},
                    Diretta(60, 0),
                    Scelta("K"),
                    Zero5 + "\xda\xc4\xbf\r\nNICOL\xd2\r\n\f"},
        // Direct mode keeps accented capitals: only ConvertiBordi applies.
        CasoDiretta{"accents_stay",
                    {"NICOL\xd2 CITT\xc0"},
                    Diretta(60, 0),
                    Scelta(),
                    Zero5 + "NICOL\xd2 CITT\xc0\r\n\f"},
        CasoDiretta{"spaces_line_and_ff_with_text",
                    {"   ", "\f "},
                    Diretta(60, 0),
                    Scelta(),
                    Zero5 + "   \r\n\f \r\n\f"}),
    [](const auto& riga) { return std::string(riga.param.nome); });

TEST(StampaModoDiretto, MissingReportWritesOnlyTheCodes) {
    CartellaLavoro cartella;
    vdx::UscitaMemoria uscita;
    EXPECT_FALSE(vdx::StampaModoDiretto(uscita, Diretta(60, 2), Scelta(), cartella / "FD3"));
    EXPECT_EQ(uscita.Bytes(), Zero5);
}

struct CasoCodici {
    const char* compresso;
    bool valido;
    std::string atteso;
};

class CodiciControllo : public ::testing::TestWithParam<CasoCodici> {};

TEST_P(CodiciControllo, RoundsToEvenAndRefusesOutOfRange) {
    const auto s = Diretta(60, 0, 66, GetParam().compresso);
    if (GetParam().valido) {
        EXPECT_EQ(vdx::CodiciControllo(s, true), GetParam().atteso);
    } else {
        try {
            vdx::CodiciControllo(s, true);
            FAIL() << "accepted " << GetParam().compresso;
        } catch (const vdx::Errore& e) {
            EXPECT_EQ(e.Numero(), vdx::errore::ChiamataNonValida);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Valori, CodiciControllo,
    ::testing::Values(CasoCodici{"2.53.5255000  1", true, "\x02\x04\xff\x00\x01"s},
                      CasoCodici{"256", false, ""}, CasoCodici{"-01", false, ""},
                      CasoCodici{"0002551.5", true, "\x00\xff\x02\x00\x00"s},
                      CasoCodici{"abc", true, Zero5}));

TEST(UscitaDispositivo, WritesExactBytesAndReplacesAFile) {
    CartellaLavoro cartella;
    vdx::ScriviFileAtomico(cartella / "porta.prn", std::string(100, 'x'));
    const std::string bytes = "\x1b\x0f\0\r\n\xb3\f"s;
    vdx::UscitaDispositivo uscita(cartella / "porta.prn");
    uscita.Scrivi(bytes);
    uscita.Chiudi();
    EXPECT_EQ(vdx::LeggiFile(cartella / "porta.prn"), bytes);
}

TEST(UscitaDispositivo, UnopenableOutputIsAnError) {
    CartellaLavoro cartella;
    try {
        vdx::UscitaDispositivo uscita(cartella / "manca" / "LPT1");
        FAIL() << "opened an output in a missing folder";
    } catch (const vdx::Errore& e) {
        EXPECT_EQ(e.Numero(), vdx::errore::AccessoPercorso);
        EXPECT_NE(std::string(e.what()).find("LPT1"), std::string::npos) << e.what();
    }
}

TEST(UscitaDispositivo, FullDeviceIsDiskFull) {
    if (!std::filesystem::exists("/dev/full")) {
        GTEST_SKIP() << "/dev/full is not available here";
    }
    vdx::UscitaDispositivo uscita("/dev/full");
    try {
        uscita.Scrivi("A\r\n");
        uscita.Chiudi();
        FAIL() << "a full device took the bytes";
    } catch (const vdx::Errore& e) {
        EXPECT_EQ(e.Numero(), vdx::errore::DiscoPieno);
    }
}

TEST(PercorsoUscita, RelativeNamesLiveInTheWorkingFolder) {
    CartellaLavoro cartella;
    vdx::ScriviFileAtomico(cartella / "Banco.prn", "");
    EXPECT_EQ(vdx::PercorsoUscita(cartella.Percorso(), "BANCO.PRN"), cartella / "Banco.prn");
    EXPECT_EQ(vdx::PercorsoUscita(cartella.Percorso(), "<nessuna stampante>"),
              cartella / "<nessuna stampante>");
    EXPECT_EQ(vdx::PercorsoUscita(cartella.Percorso(), "/dev/usb/lp0"),
              std::filesystem::path("/dev/usb/lp0"));
}

} // namespace
