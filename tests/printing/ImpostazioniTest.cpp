// Settings read from the hotel's files and the environment, and whole prints
// through StampaReport on a data set written as real Access files.

#include "Albergo.h"
#include "AlbergoStampa.h"
#include "StampanteRegistrata.h"
#include "printing/ImpostazioniStampa.h"
#include "printing/StampaReport.h"
#include "shared/Errore.h"
#include "shared/FileTesto.h"
#include "support/CartellaLavoro.h"

#include <csignal>
#include <cstdlib>
#include <gtest/gtest.h>
#include <sstream>
#include <string>
#include <sys/resource.h>
#include <vector>

namespace {

using vdx::SceltaStampa;
using vdx::test::AlbergoDiStampa;
using vdx::test::CartellaLavoro;
using vdx::test::Fabbrica;
using vdx::test::Scelta;
using vdx::test::StampanteRegistrata;
using namespace std::string_literals;

struct CasoImpostazioni {
    const char* nome;
    SceltaStampa scelta;
    short lunghezza;
    short iniziali;
    short foglio;
    bool driver;
};

class LetturaImpostazioni : public ::testing::TestWithParam<CasoImpostazioni> {};

TEST_P(LetturaImpostazioni, FromTheHotelFiles) {
    CartellaLavoro cartella;
    AlbergoDiStampa().Scrivi(cartella.Percorso());
    const auto s = vdx::LeggiImpostazioni(cartella.Percorso(), GetParam().scelta);
    ASSERT_TRUE(s.has_value());
    EXPECT_EQ(s->lunghezzaPagina, GetParam().lunghezza);
    EXPECT_EQ(s->righeIniziali, GetParam().iniziali);
    EXPECT_EQ(s->righeFoglio, GetParam().foglio);
    EXPECT_EQ(s->ModoDriver(), GetParam().driver);
    EXPECT_EQ(s->fontStampa, "Courier New");
}

INSTANTIATE_TEST_SUITE_P(
    Casi, LetturaImpostazioni,
    ::testing::Values(
        CasoImpostazioni{"hotel2_compressed_80", Scelta("Laser", true, 2), 80, 2, 0, true},
        CasoImpostazioni{"hotel2_normal_60", Scelta("Laser", false, 2), 60, 2, 0, true},
        CasoImpostazioni{"hotel3_no_record_60", Scelta("Laser", true, 3), 60, 2, 0, true},
        CasoImpostazioni{"hotel3_no_record_normal_60", Scelta("Laser", false, 3), 60, 2, 0, true},
        CasoImpostazioni{"sheet_compressed", Scelta("Aghi", true), 4, 1, 72, false},
        CasoImpostazioni{"sheet_normal", Scelta("Aghi", false), 3, 1, 66, false},
        CasoImpostazioni{"no_SetStampa_defaults", Scelta("Senza"), 4, 0, 66, false}),
    [](const auto& riga) { return std::string(riga.param.nome); });

TEST(LeggiImpostazioni, UnknownDestinationIsNotAnError) {
    CartellaLavoro cartella;
    AlbergoDiStampa().Scrivi(cartella.Percorso());
    EXPECT_FALSE(vdx::LeggiImpostazioni(cartella.Percorso(), Scelta("laser")).has_value());
    EXPECT_FALSE(vdx::LeggiImpostazioni(cartella.Percorso(), Scelta("Lo 'Studio'")).has_value());
}

TEST(LeggiImpostazioni, SevenAndTenFromTheGroups) {
    CartellaLavoro cartella;
    AlbergoDiStampa().Scrivi(cartella.Percorso());
    const auto s = vdx::LeggiImpostazioni(cartella.Percorso(), Scelta("Laser"));
    ASSERT_TRUE(s);
    EXPECT_EQ(s->Compresso(1), 7);
    EXPECT_EQ(s->Compresso(7), 10);
    EXPECT_EQ(s->Compresso(6), 1);
}

TEST(LeggiImpostazioni, OutputPrecedence) {
    CartellaLavoro cartella;
    AlbergoDiStampa().Scrivi(cartella.Percorso());
    const auto uscita = [&](SceltaStampa scelta) {
        return vdx::LeggiImpostazioni(cartella.Percorso(), scelta).value().uscitaStampa;
    };
    ::unsetenv("AGHI");
    ::unsetenv("aghi");
    EXPECT_EQ(uscita(Scelta("Aghi")), "porta.prn");
    // A variable named like the destination, in any letter case, wins over Linea.
    ::setenv("aghi", "/dev/usb/lp0", 1);
    EXPECT_EQ(uscita(Scelta("Aghi")), "/dev/usb/lp0");
    ::setenv("aghi", "", 1);
    EXPECT_EQ(uscita(Scelta("Aghi")), "porta.prn");
    ::setenv("aghi", "/dev/usb/lp0", 1);
    // A chosen system printer wins over both, taken untrimmed.
    auto scelta = Scelta("Aghi");
    scelta.stampanteSistema = " Ufficio ";
    EXPECT_EQ(uscita(scelta), " Ufficio ");
    scelta.stampanteSistema = "   ";
    EXPECT_EQ(uscita(scelta), "/dev/usb/lp0");
    scelta.stampanteSistema = "<nessuna stampante>";
    EXPECT_EQ(uscita(scelta), "<nessuna stampante>");
    ::unsetenv("aghi");
}

struct CasoFont {
    const char* nome;
    std::optional<std::string> contenuto; // nullopt: no file
    std::string atteso;
};

class FontStampa : public ::testing::TestWithParam<CasoFont> {};

TEST_P(FontStampa, FirstLineTrimmed) {
    CartellaLavoro cartella;
    if (GetParam().contenuto) {
        vdx::ScriviFileAtomico(cartella / "fontstp.TXT", *GetParam().contenuto);
    }
    EXPECT_EQ(vdx::LeggiFontStampa(cartella.Percorso()), GetParam().atteso);
}

INSTANTIATE_TEST_SUITE_P(
    File, FontStampa,
    ::testing::Values(CasoFont{"missing", std::nullopt, "Courier New"},
                      CasoFont{"empty", "", "Courier New"},
                      CasoFont{"trimmed", "  Lucida Console  \r\nArial\r\n", "Lucida Console"},
                      CasoFont{"blank_first_line", "  \r\nArial\r\n", "Courier New"}),
    [](const auto& riga) { return std::string(riga.param.nome); });

TEST(DividiGruppi, TwelveGroupsOfThree) {
    const auto v = vdx::DividiGruppi("007000 121.5abc0");
    EXPECT_EQ(v[0], 7);
    EXPECT_EQ(v[1], 0);
    EXPECT_EQ(v[2], 12);
    EXPECT_EQ(v[3], 1.5);
    EXPECT_EQ(v[4], 0); // "abc"
    EXPECT_EQ(v[5], 0); // "0", the text's short last group
    EXPECT_EQ(vdx::DividiGruppi("00700")[1], 0);
    EXPECT_EQ(vdx::DividiGruppi("00709")[1], 9);
    EXPECT_EQ(v[11], 0); // beyond the end
}

TEST(DestinazionePdf, LastCapitalPdfWins) {
    EXPECT_EQ(vdx::DestinazionePdf({"Archivio PDF", "Banco", "Ufficio PDF"}), "Ufficio PDF");
    EXPECT_EQ(vdx::DestinazionePdf({"Archivio pdf"}), std::nullopt);
    EXPECT_EQ(vdx::DestinazionePdf({}), std::nullopt);
    EXPECT_EQ(vdx::DestinazionePdf({"PDFx", "x"}), "PDFx");
}

// Whole prints ---------------------------------------------------------------

TEST(StampaReport, DirectModeWritesThePortFile) {
    CartellaLavoro cartella;
    AlbergoDiStampa("U").Scrivi(cartella.Percorso());
    vdx::ScriviRigheAtomico(cartella / "FD3", {"\xda\xc4\xc4", "A", "B", "C"});
    StampanteRegistrata* p = nullptr;
    auto scelta = Scelta("Aghi");
    scelta.codiceAssistenza = "U";
    EXPECT_EQ(vdx::StampaReport(cartella.Percorso(), "3", scelta, Fabbrica(p)),
              vdx::EsitoStampa::Stampata);
    EXPECT_EQ(p, nullptr) << "direct mode asked for the system printer";
    // Pages of 4 with one blank top line, each sheet padded to 72 lines.
    std::string atteso = "\x1b\x0f\0\0\0"s + " \r\n---\r\nA\r\nB\r\n";
    for (int i = 4; i < 72; ++i)
        atteso += "\r\n";
    atteso += " \r\nC\r\n";
    for (int i = 2; i < 72; ++i)
        atteso += "\r\n";
    EXPECT_EQ(vdx::LeggiFile(cartella / "porta.prn"), atteso);
}

TEST(StampaReport, DriverModeUsesTheSystemPrinter) {
    CartellaLavoro cartella;
    AlbergoDiStampa().Scrivi(cartella.Percorso());
    vdx::ScriviRigheAtomico(cartella / "fd", {"A"});
    StampanteRegistrata* p = nullptr;
    std::string lavoro;
    EXPECT_EQ(vdx::StampaReport(cartella.Percorso(), "", Scelta("Laser"), Fabbrica(p, &lavoro)),
              vdx::EsitoStampa::Stampata);
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(lavoro, "FD"); // the job is named after the report
    std::vector<std::string> atteso{"device Ufficio", "orient 1"};
    const auto pagina = vdx::test::PaginaLaser("size 7");
    atteso.insert(atteso.end(), pagina.begin(), pagina.end());
    atteso.push_back("end");
    EXPECT_EQ(p->chiamate, atteso);
}

TEST(StampaReport, NothingForUnknownDestinationOrMissingReport) {
    CartellaLavoro cartella;
    AlbergoDiStampa().Scrivi(cartella.Percorso());
    StampanteRegistrata* p = nullptr;
    EXPECT_EQ(vdx::StampaReport(cartella.Percorso(), "", Scelta("Nessuna"), Fabbrica(p)),
              vdx::EsitoStampa::DestinazioneSconosciuta);
    EXPECT_EQ(vdx::StampaReport(cartella.Percorso(), "", Scelta("Laser"), Fabbrica(p)),
              vdx::EsitoStampa::ReportMancante);
    // Direct mode still sends the codes to the port when the report is missing.
    EXPECT_EQ(vdx::StampaReport(cartella.Percorso(), "", Scelta("Aghi"), Fabbrica(p)),
              vdx::EsitoStampa::ReportMancante);
    EXPECT_EQ(vdx::LeggiFile(cartella / "porta.prn"), "\x1b\x0f\0\0\0"s);
}

// An empty report prints nothing in either mode: no blank sheet, no bytes to
// a port, and no claim that something was printed.
TEST(StampaReport, EmptyReportPrintsNothing) {
    CartellaLavoro cartella;
    AlbergoDiStampa().Scrivi(cartella.Percorso());
    vdx::ScriviFileAtomico(cartella / "FD", "");
    StampanteRegistrata* p = nullptr;
    EXPECT_EQ(vdx::StampaReport(cartella.Percorso(), "", Scelta("Laser"), Fabbrica(p)),
              vdx::EsitoStampa::ReportVuoto);
    EXPECT_EQ(vdx::StampaReport(cartella.Percorso(), "", Scelta("Aghi"), Fabbrica(p)),
              vdx::EsitoStampa::ReportVuoto);
    EXPECT_EQ(p, nullptr);
    EXPECT_FALSE(std::filesystem::exists(cartella / "porta.prn"));
}

// A print to a file that fails half-way (here the file size limit) leaves
// the earlier file whole and nothing beside it.
TEST(StampaReport, DirectModeFailingHalfWayLeavesTheEarlierFile) {
    CartellaLavoro cartella;
    AlbergoDiStampa().Scrivi(cartella.Percorso());
    vdx::ScriviRigheAtomico(cartella / "FD", std::vector<std::string>(2000, std::string(133, 'x')));
    vdx::ScriviFileAtomico(cartella / "porta.prn", "earlier");
    StampanteRegistrata* p = nullptr;
    struct rlimit prima {};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &prima), 0);
    const auto segnale = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit limite = prima;
    limite.rlim_cur = 64 * 1024;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &limite), 0);
    EXPECT_THROW(vdx::StampaReport(cartella.Percorso(), "", Scelta("Aghi"), Fabbrica(p)),
                 vdx::Errore);
    ::setrlimit(RLIMIT_FSIZE, &prima);
    std::signal(SIGXFSZ, segnale);
    EXPECT_EQ(vdx::LeggiFile(cartella / "porta.prn"), "earlier");
    for (const auto& voce : std::filesystem::directory_iterator(cartella.Percorso())) {
        const std::string nome = voce.path().filename().string();
        EXPECT_TRUE(nome == "FD" || nome == "porta.prn" || nome.ends_with(".mdb"))
            << "left behind: " << nome;
    }
}

TEST(StampaReport, NoPrinterEntryIsOpenedAsAFileInDirectMode) {
    CartellaLavoro cartella;
    AlbergoDiStampa().Scrivi(cartella.Percorso());
    vdx::ScriviRigheAtomico(cartella / "FD", {"A"});
    StampanteRegistrata* p = nullptr;
    auto scelta = Scelta("Senza");
    scelta.stampanteSistema = "<nessuna stampante>";
    vdx::StampaReport(cartella.Percorso(), "", scelta, Fabbrica(p));
    EXPECT_EQ(vdx::LeggiFile(cartella / "<nessuna stampante>"), "\0\0\0\0\0A\r\n\f"s);
}

TEST(StampaReport, MissingDataFileIsAnError) {
    CartellaLavoro cartella;
    auto a = AlbergoDiStampa();
    a.Ometti("Contatori.mdb");
    a.Scrivi(cartella.Percorso());
    StampanteRegistrata* p = nullptr;
    EXPECT_THROW(vdx::StampaReport(cartella.Percorso(), "", Scelta("Laser"), Fabbrica(p)),
                 vdx::Errore);
}

TEST(StampaReport, BadCodeLeavesTheOutputFileAlone) {
    CartellaLavoro cartella;
    auto a = AlbergoDiStampa();
    a.ValoriStampa(9, "300", "");
    a.Scrivi(cartella.Percorso());
    vdx::ScriviFileAtomico(cartella / "senza.prn", "earlier");
    StampanteRegistrata* p = nullptr;
    try {
        vdx::StampaReport(cartella.Percorso(), "", Scelta("Senza"), Fabbrica(p));
        FAIL() << "a code of 300 was sent";
    } catch (const vdx::Errore& e) {
        EXPECT_EQ(e.Numero(), vdx::errore::ChiamataNonValida);
    }
    EXPECT_EQ(vdx::LeggiFile(cartella / "senza.prn"), "earlier");
}

} // namespace
