// Settings read from the hotel's files and the environment, and whole prints
// through StampaReport on a data set written as real Access files.

#include "HotelFixture.h"
#include "StampanteRegistrata.h"
#include "printing/ImpostazioniStampa.h"
#include "printing/RigaComandoStampa.h"
#include "printing/StampaReport.h"
#include "shared/Error.h"
#include "shared/TextFile.h"
#include "support/WorkFolder.h"

#include <csignal>
#include <cstdlib>
#include <gtest/gtest.h>
#include <sstream>
#include <string>
#include <sys/resource.h>
#include <vector>

namespace {

namespace fx = vdx::fixture;
using vdx::SceltaStampa;
using vdx::test::CartellaLavoro;
using vdx::test::StampanteRegistrata;
using namespace std::string_literals;

fx::Cella N(long long v) {
    return fx::Cella(static_cast<std::int64_t>(v));
}
fx::Cella T(const std::string& s) {
    return fx::Cella(s);
}

// Hotel 1 (code `codice`) with the destinations below; hotel 2 pages of 80
// compressed and 60 normal; hotel 3 has no Contatori record.
//   Laser      type 1: driver mode, 7 compressed, 10 normal, 2 top lines
//   Aghi       type 2: direct mode, ESC 15 compressed, 18 normal; sheets 72/66
//   Senza      type 9: no SetStampa record
//   Archivio PDF / Ufficio PDF  type 1, to PDF files
fx::Albergo Albergo(const std::string& codice = "") {
    fx::Albergo a;
    a.tabella("AnagraficaHotels")
        .record({{"Numero", N(1)},
                 {"RagioneSociale", T("Hotel Mare")},
                 {"CodiceAssistenza", T(codice)}});
    auto& contatori = a.tabella("Contatori");
    contatori.record({{"NumeroHotel", N(1)}, {"LungPagComp", N(4)}, {"LungPagNoComp", N(3)}});
    contatori.record({{"NumeroHotel", N(2)}, {"LungPagComp", N(80)}, {"LungPagNoComp", N(60)}});
    auto& set = a.tabella("SetStampa");
    set.record({{"TipoStampa", N(1)},
                {"Compresso", T("007000000000000001010000000000000000")},
                {"Grassetto", T("000000000000000002000000000000000000")}});
    set.record({{"TipoStampa", N(2)},
                {"Compresso", T("027015000000000000018000000000000000")},
                {"Grassetto", T("000000000000000001072066000000000000")}});
    auto& stampanti = a.tabella("Stampanti");
    const auto destinazione = [&](const std::string& nome, int tipo, const std::string& linea) {
        stampanti.record({{"NumeroHotel", N(1)},
                          {"Destinazione", T(nome)},
                          {"TipoStampa", N(tipo)},
                          {"Linea", T(linea)}});
    };
    destinazione("Laser", 1, "Ufficio");
    destinazione("Aghi", 2, "porta.prn");
    destinazione("Senza", 9, "senza.prn");
    destinazione("Archivio PDF", 1, "archivio.pdf");
    destinazione("Ufficio PDF", 1, "ufficio.pdf");
    return a;
}

SceltaStampa Scelta(const std::string& destinazione, bool compressa = true, short hotel = 1) {
    SceltaStampa s;
    s.destinazione = destinazione;
    s.compressa = compressa;
    s.hotel = hotel;
    return s;
}

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
    Albergo().scrivi(cartella.percorso());
    const auto s = vdx::LeggiImpostazioni(cartella.percorso(), GetParam().scelta);
    ASSERT_TRUE(s.has_value());
    EXPECT_EQ(s->LunghezzaPagina, GetParam().lunghezza);
    EXPECT_EQ(s->RigheIniziali, GetParam().iniziali);
    EXPECT_EQ(s->RigheFoglio, GetParam().foglio);
    EXPECT_EQ(s->modoDriver(), GetParam().driver);
    EXPECT_EQ(s->FontStampa, "Courier New");
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
    Albergo().scrivi(cartella.percorso());
    EXPECT_FALSE(vdx::LeggiImpostazioni(cartella.percorso(), Scelta("laser")).has_value());
    EXPECT_FALSE(vdx::LeggiImpostazioni(cartella.percorso(), Scelta("Lo 'Studio'")).has_value());
}

TEST(LeggiImpostazioni, SevenAndTenFromTheGroups) {
    CartellaLavoro cartella;
    Albergo().scrivi(cartella.percorso());
    const auto s = vdx::LeggiImpostazioni(cartella.percorso(), Scelta("Laser"));
    ASSERT_TRUE(s);
    EXPECT_EQ(s->compresso(1), 7);
    EXPECT_EQ(s->compresso(7), 10);
    EXPECT_EQ(s->compresso(6), 1);
}

TEST(LeggiImpostazioni, OutputPrecedence) {
    CartellaLavoro cartella;
    Albergo().scrivi(cartella.percorso());
    const auto uscita = [&](SceltaStampa scelta) {
        return vdx::LeggiImpostazioni(cartella.percorso(), scelta).value().UscitaStampa;
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
    EXPECT_EQ(vdx::LeggiFontStampa(cartella.percorso()), GetParam().atteso);
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

// The system printer "Ufficio"; `ultima` is set to the recording once asked for.
vdx::FabbricaStampante Fabbrica(StampanteRegistrata*& ultima) {
    return [&ultima]() -> std::unique_ptr<vdx::Stampante> {
        static StampanteRegistrata registrata;
        registrata = StampanteRegistrata(std::vector<std::string>{"Ufficio"});
        ultima = &registrata;
        return std::make_unique<vdx::test::StampanteInoltro>(registrata);
    };
}

TEST(StampaReport, DirectModeWritesThePortFile) {
    CartellaLavoro cartella;
    Albergo("U").scrivi(cartella.percorso());
    ::setenv("pclocal", "3", 1);
    vdx::ScriviRigheAtomico(cartella / "FD3", {"\xda\xc4\xc4", "A", "B", "C"});
    StampanteRegistrata* p = nullptr;
    auto scelta = Scelta("Aghi");
    scelta.codiceAssistenza = "U";
    EXPECT_EQ(vdx::StampaReport(cartella.percorso(), scelta, Fabbrica(p)),
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
    ::unsetenv("pclocal");
}

TEST(StampaReport, DriverModeUsesTheSystemPrinter) {
    CartellaLavoro cartella;
    Albergo().scrivi(cartella.percorso());
    ::unsetenv("pclocal");
    vdx::ScriviRigheAtomico(cartella / "fd", {"A"});
    StampanteRegistrata* p = nullptr;
    EXPECT_EQ(vdx::StampaReport(cartella.percorso(), Scelta("Laser"), Fabbrica(p)),
              vdx::EsitoStampa::Stampata);
    ASSERT_NE(p, nullptr);
    const std::vector<std::string> atteso{"device Ufficio", "orient 1", "font Times New Roman",
                                          "size 7",         "line ' '", "font Courier New",
                                          "line ' '",       "line ' '", "size 7",
                                          "line 'A'",       "end"};
    EXPECT_EQ(p->chiamate, atteso);
}

TEST(StampaReport, NothingForUnknownDestinationOrMissingReport) {
    CartellaLavoro cartella;
    Albergo().scrivi(cartella.percorso());
    ::unsetenv("pclocal");
    StampanteRegistrata* p = nullptr;
    EXPECT_EQ(vdx::StampaReport(cartella.percorso(), Scelta("Nessuna"), Fabbrica(p)),
              vdx::EsitoStampa::DestinazioneSconosciuta);
    EXPECT_EQ(vdx::StampaReport(cartella.percorso(), Scelta("Laser"), Fabbrica(p)),
              vdx::EsitoStampa::ReportMancante);
    // Direct mode still sends the codes to the port when the report is missing.
    EXPECT_EQ(vdx::StampaReport(cartella.percorso(), Scelta("Aghi"), Fabbrica(p)),
              vdx::EsitoStampa::ReportMancante);
    EXPECT_EQ(vdx::LeggiFile(cartella / "porta.prn"), "\x1b\x0f\0\0\0"s);
}

// An empty report prints nothing in either mode: no blank sheet, no bytes to
// a port, and no claim that something was printed.
TEST(StampaReport, EmptyReportPrintsNothing) {
    CartellaLavoro cartella;
    Albergo().scrivi(cartella.percorso());
    ::unsetenv("pclocal");
    vdx::ScriviFileAtomico(cartella / "FD", "");
    StampanteRegistrata* p = nullptr;
    EXPECT_EQ(vdx::StampaReport(cartella.percorso(), Scelta("Laser"), Fabbrica(p)),
              vdx::EsitoStampa::ReportVuoto);
    EXPECT_EQ(vdx::StampaReport(cartella.percorso(), Scelta("Aghi"), Fabbrica(p)),
              vdx::EsitoStampa::ReportVuoto);
    EXPECT_EQ(p, nullptr);
    EXPECT_FALSE(std::filesystem::exists(cartella / "porta.prn"));
    std::ostringstream out;
    std::ostringstream err;
    EXPECT_EQ(
        vdx::EseguiStampa({"--destination", "Aghi"}, out, err, cartella.percorso(), Fabbrica(p)),
        1);
    EXPECT_EQ(out.str(), "");
    EXPECT_NE(err.str().find("vuoto"), std::string::npos) << err.str();
}

// A print to a file that fails half-way (here the file size limit) leaves
// the earlier file whole and nothing beside it.
TEST(StampaReport, DirectModeFailingHalfWayLeavesTheEarlierFile) {
    CartellaLavoro cartella;
    Albergo().scrivi(cartella.percorso());
    ::unsetenv("pclocal");
    vdx::ScriviRigheAtomico(cartella / "FD", std::vector<std::string>(2000, std::string(133, 'x')));
    vdx::ScriviFileAtomico(cartella / "porta.prn", "earlier");
    StampanteRegistrata* p = nullptr;
    struct rlimit prima {};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &prima), 0);
    const auto segnale = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit limite = prima;
    limite.rlim_cur = 64 * 1024;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &limite), 0);
    EXPECT_THROW(vdx::StampaReport(cartella.percorso(), Scelta("Aghi"), Fabbrica(p)), vdx::Error);
    ::setrlimit(RLIMIT_FSIZE, &prima);
    std::signal(SIGXFSZ, segnale);
    EXPECT_EQ(vdx::LeggiFile(cartella / "porta.prn"), "earlier");
    for (const auto& voce : std::filesystem::directory_iterator(cartella.percorso())) {
        const std::string nome = voce.path().filename().string();
        EXPECT_TRUE(nome == "FD" || nome == "porta.prn" || nome.ends_with(".mdb"))
            << "left behind: " << nome;
    }
}

TEST(StampaReport, NoPrinterEntryIsOpenedAsAFileInDirectMode) {
    CartellaLavoro cartella;
    Albergo().scrivi(cartella.percorso());
    ::unsetenv("pclocal");
    vdx::ScriviRigheAtomico(cartella / "FD", {"A"});
    StampanteRegistrata* p = nullptr;
    auto scelta = Scelta("Senza");
    scelta.stampanteSistema = "<nessuna stampante>";
    vdx::StampaReport(cartella.percorso(), scelta, Fabbrica(p));
    EXPECT_EQ(vdx::LeggiFile(cartella / "<nessuna stampante>"), "\0\0\0\0\0A\r\n\f"s);
}

TEST(StampaReport, MissingDataFileIsAnError) {
    CartellaLavoro cartella;
    auto a = Albergo();
    a.ometti("Contatori.mdb");
    a.scrivi(cartella.percorso());
    StampanteRegistrata* p = nullptr;
    EXPECT_THROW(vdx::StampaReport(cartella.percorso(), Scelta("Laser"), Fabbrica(p)), vdx::Error);
}

TEST(StampaReport, BadCodeLeavesTheOutputFileAlone) {
    CartellaLavoro cartella;
    auto a = Albergo();
    a.tabella("SetStampa")
        .record({{"TipoStampa", N(9)}, {"Compresso", T("300")}, {"Grassetto", T("")}});
    a.scrivi(cartella.percorso());
    vdx::ScriviFileAtomico(cartella / "senza.prn", "earlier");
    StampanteRegistrata* p = nullptr;
    try {
        vdx::StampaReport(cartella.percorso(), Scelta("Senza"), Fabbrica(p));
        FAIL() << "a code of 300 was sent";
    } catch (const vdx::Error& e) {
        EXPECT_EQ(e.number(), vdx::err::InvalidCall);
    }
    EXPECT_EQ(vdx::LeggiFile(cartella / "senza.prn"), "earlier");
}

// The print command ----------------------------------------------------------

struct CasoComando {
    const char* nome;
    std::vector<std::string> args;
    int esito;
    std::string primaChiamata; // of the recording printer, "" when none was made
    std::string messaggio;     // part of what is written to err
};

class ComandoStampa : public ::testing::TestWithParam<CasoComando> {};

TEST_P(ComandoStampa, RunsTheMenuPrint) {
    CartellaLavoro cartella;
    Albergo().scrivi(cartella.percorso());
    ::unsetenv("pclocal");
    vdx::ScriviRigheAtomico(cartella / "FD", {"A"});
    StampanteRegistrata* p = nullptr;
    std::ostringstream out;
    std::ostringstream err;
    EXPECT_EQ(vdx::EseguiStampa(GetParam().args, out, err, cartella.percorso(), Fabbrica(p)),
              GetParam().esito)
        << err.str();
    if (GetParam().primaChiamata.empty()) {
        EXPECT_EQ(p, nullptr);
    } else {
        ASSERT_NE(p, nullptr);
        std::string prima = GetParam().primaChiamata;
        if (prima.rfind("pdf ", 0) == 0) {
            prima = "pdf " + (cartella / prima.substr(4)).string();
        }
        EXPECT_EQ(p->chiamate.front(), prima);
    }
    EXPECT_NE(err.str().find(GetParam().messaggio), std::string::npos) << err.str();
}

INSTANTIATE_TEST_SUITE_P(
    Comandi, ComandoStampa,
    ::testing::Values(
        CasoComando{"first_destination", {}, 0, "device Ufficio", ""},
        CasoComando{"pdf_last_one", {"--pdf"}, 0, "pdf ufficio.pdf", ""},
        CasoComando{"printer_overrides",
                    {"--destination", "Archivio PDF", "--printer", "Ufficio"},
                    0,
                    "device Ufficio",
                    ""},
        CasoComando{"direct", {"--destination", "Aghi", "--normal"}, 0, "", ""},
        CasoComando{"help", {"--help"}, 0, "", ""},
        CasoComando{"unknown_destination", {"--destination", "Nessuna"}, 1, "", "Nessuna"},
        CasoComando{"bad_option", {"--colour"}, 2, "", "--colour"},
        CasoComando{"missing_name", {"--printer"}, 2, "", "--printer"},
        CasoComando{"pdf_and_destination", {"--pdf", "--destination", "Laser"}, 2, "", "--pdf"}),
    [](const auto& riga) { return std::string(riga.param.nome); });

TEST(ComandoStampa, LandscapeDuplexAndNormal) {
    CartellaLavoro cartella;
    Albergo().scrivi(cartella.percorso());
    ::unsetenv("pclocal");
    vdx::ScriviRigheAtomico(cartella / "FD", {"A"});
    StampanteRegistrata* p = nullptr;
    std::ostringstream out, err;
    ASSERT_EQ(vdx::EseguiStampa({"--landscape", "--duplex", "--normal"}, out, err,
                                cartella.percorso(), Fabbrica(p)),
              0);
    const std::vector<std::string> atteso{
        "device Ufficio", "duplex 2", "orient 2",         "font Times New Roman",
        "size 7",         "line ' '", "font Courier New", "line ' '",
        "line ' '",       "size 10",  "line 'A'",         "end",
        "orient 1"};
    EXPECT_EQ(p->chiamate, atteso);
}

TEST(ComandoStampa, NoPdfDestination) {
    CartellaLavoro cartella;
    auto a = fx::Albergo();
    a.tabella("Stampanti")
        .record({{"NumeroHotel", N(1)},
                 {"Destinazione", T("Archivio pdf")},
                 {"TipoStampa", N(1)},
                 {"Linea", T("x.pdf")}});
    a.scrivi(cartella.percorso());
    StampanteRegistrata* p = nullptr;
    std::ostringstream out, err;
    EXPECT_EQ(vdx::EseguiStampa({"--pdf"}, out, err, cartella.percorso(), Fabbrica(p)), 1);
    EXPECT_EQ(err.str(), "Nessuna stampante PDF impostata!\n");
}

} // namespace
