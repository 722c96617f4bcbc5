// `vdx generate`: defaults as the request window shows them, the checks of
// "&Stampa" with their messages and exit status 2, data errors with 1.

#include "Albergo.h"
#include "app/Comandi.h"
#include "jet/FileLeggibile.h"
#include "report/Elenchi.h"
#include "report/ReportDiProva.h"
#include "shared/FileTesto.h"
#include "support/CartellaLavoro.h"

#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <system_error>

namespace vdx::test {
namespace {

// Rooms 201-203 of hotel 1 (tableau 1), 301 of hotel 2, one office; the
// suite may have renamed the third room.
fixture::Albergo DatiRiga(const char* terza = "203") {
    fixture::Albergo d;
    d.Hotel(1, "Hotel Lago", "K").Hotel(2, "Albergo Monte", "U").Hotel(4, "Senza tableau", "");
    d.Tableau(1, 1, "Primo piano").Tableau(1, 2, "Uffici").Tableau(2, 1, "Dependance");
    d.Tipo("DBL", "C").Tipo("UFF", "X");
    d.Camera(1, 1, terza, "DBL").Camera(1, 1, "201", "DBL").Camera(1, 1, "202", "DBL");
    d.Camera(1, 1, "199", "UFF").Camera(1, 2, "900", "UFF");
    d.Camera(2, 1, "301", "DBL").Camera(4, 0, "1", "DBL");
    d.ConOspite({.camera = "202",
                 .progressivo = 1,
                 .nome = "Rossi Mario",
                 .arrivo = "20240301",
                 .partenza = "20240306"});
    d.Prenotata({.prenotazione = 1,
                 .camera = "201",
                 .arrivo = "20240305",
                 .partenza = "20240307",
                 .persone = 2,
                 .trattamento = "HB",
                 .prezzo = 1000000});
    d.ConPrenotazione({.numero = 1, .tipo = "C", .nome = "Galli Piero"});
    d.Prenotata({.hotel = 2,
                 .prenotazione = 1,
                 .camera = "301",
                 .arrivo = "20240305",
                 .partenza = "20240307",
                 .persone = 2});
    d.ConPrenotazione({.hotel = 2, .numero = 1, .tipo = "C", .nome = "Ospite Monte"});
    return d;
}

class Riga : public ::testing::Test {
protected:
    void SetUp() override { DatiRiga().Scrivi(cartella_.Percorso()); }

    int Esegui(const std::vector<std::string>& argomenti) {
        out_.str("");
        err_.str("");
        return EseguiGenera(argomenti, out_, err_, cartella_.Percorso(), "7",
                            [] { return DataOra{2024, 3, 5, 7, 30, 0}; });
    }
    // The same run through GeneraTableau, with the window's values.
    std::string Diretto(const std::function<void(OpzioniTableau&)>& cambia) {
        CartellaLavoro altra;
        DatiRiga().Scrivi(altra.Percorso());
        OpzioniTableau o = OpzioniDiProva(altra.Percorso());
        o.primaCamera = "201";
        o.ultimaCamera = "203";
        cambia(o);
        return LeggiFile(GeneraTableau(o));
    }
    std::string Report() const { return LeggiFile(cartella_ / "FD7"); }
    bool ReportScritto() const { return std::filesystem::exists(cartella_ / "FD7"); }

    CartellaLavoro cartella_;
    std::ostringstream out_;
    std::ostringstream err_;
};

TEST_F(Riga, RunsLikeTheWindow) {
    const struct {
        const char* nome;
        std::vector<std::string> argomenti;
        std::function<void(OpzioniTableau&)> finestra;
    } casi[] = {
        {"defaults: first hotel, first tableau, its range, today", {}, [](OpzioniTableau&) {}},
        {"arrangement", {"--arrangement"}, [](OpzioniTableau& o) { o.arrangiamento = true; }},
        {"used only answers yes",
         {"--used-only"},
         [](OpzioniTableau& o) { o.soloUtilizzate = true; }},
        {"free rooms ask nothing",
         {"--free", "--used-only"},
         [](OpzioniTableau& o) { o.soloLibere = true; }},
        {"day filters",
         {"--arrivals", "--departures"},
         [](OpzioniTableau& o) { o.soloArrivi = o.soloPartenze = true; }},
        {"explicit range and date",
         {"--from", "202", "--to=202", "--date", "06/03/2024"},
         [](OpzioniTableau& o) {
             o.primaCamera = o.ultimaCamera = "202";
             o.data = "06/03/2024";
         }},
        {"one end of the range given",
         {"--to", "201"},
         [](OpzioniTableau& o) { o.ultimaCamera = "201"; }},
        {"days from today", {"--date", "-1"}, [](OpzioniTableau& o) { o.data = "04/03/2024"; }},
        {"days into the next month",
         {"--date=+27"},
         [](OpzioniTableau& o) { o.data = "01/04/2024"; }},
        {"six digits as the date field takes them",
         {"--date", "060324"},
         [](OpzioniTableau& o) { o.data = "06/03/2024"; }},
        {"eight digits", {"--date", "06032024"}, [](OpzioniTableau& o) { o.data = "06/03/2024"; }},
        {"short date with slashes",
         {"--date", " 6/3/24 "},
         [](OpzioniTableau& o) { o.data = "06/03/2024"; }},
        {"hotel 2 takes its own code, tableau and range",
         {"--hotel", "2", "--arrivals"},
         [](OpzioniTableau& o) {
             o.hotel = 2;
             o.primaCamera = o.ultimaCamera = "301";
             o.soloArrivi = true;
             o.codiceAssistenzaHotel = "U";
         }},
        {"a hotel without tableaux gets <tutti>",
         {"--hotel", "4"},
         [](OpzioniTableau& o) {
             o.hotel = 4;
             o.tableau = 0;
             o.primaCamera = o.ultimaCamera = "1";
             o.codiceAssistenzaHotel = "";
         }},
        {"equal rooms pass",
         {"--from", "201", "--to", "201"},
         [](OpzioniTableau& o) { o.ultimaCamera = "201"; }},
    };
    for (const auto& c : casi) {
        std::filesystem::remove(cartella_ / "FD7");
        ASSERT_EQ(Esegui(c.argomenti), EsitoRiuscito) << c.nome << ": " << err_.str();
        EXPECT_EQ(err_.str(), "") << c.nome;
        EXPECT_EQ(out_.str(), (cartella_ / "FD7").string() + "\n") << c.nome;
        EXPECT_EQ(Report(), Diretto(c.finestra)) << c.nome;
    }
}

// The window's two-line messages, on one line.
TEST_F(Riga, RangeAndDateChecks) {
    const std::string camere =
        "vdx: Camere errate! Controllare l'intervallo di camere richiesto!\n";
    const std::string data =
        "vdx: Data errata! La data deve essere inserita nel formato gg/mm/aaaa\n";
    const struct {
        std::vector<std::string> argomenti;
        std::string messaggio;
    } casi[] = {
        {{"--from", "9", "--to", "10"}, camere}, // text order: 10 before 9
        {{"--from", "203", "--to", "201"}, camere},
        {{"--from", "9", "--to", "10", "--date", "31/04/2024"}, camere}, // range first
        {{"--date", "31/04/2024"}, data},
        {{"--date", "29/02/2023"}, data},
        {{"--date", "5 0324"}, data}, // a blank in the day is no date
        {{"--date", "5//3//2024"}, data},
        {{"--date", "+x"}, data},
        {{"--date", ""}, data},
        {{"--hotel", "1", "--tableau", "2"}, camere}, // no room of type C: 255 to empty
    };
    for (const auto& c : casi) {
        EXPECT_EQ(Esegui(c.argomenti), EsitoRichiestaErrata) << c.argomenti.back();
        EXPECT_EQ(err_.str(), c.messaggio) << c.argomenti.back();
        EXPECT_FALSE(ReportScritto()) << c.argomenti.back();
    }
}

// One line saying what is wrong, then where to look: not the whole usage.
TEST_F(Riga, WrongOptions) {
    const struct {
        std::vector<std::string> argomenti;
        std::string riga;
    } casi[] = {
        {{"--hotel"}, "manca il valore di --hotel"},
        {{"--hotel", "x"}, "valore non valido per --hotel: \"x\""},
        {{"--hotel", "0"}, "valore non valido per --hotel: \"0\""},
        {{"--hotel", "-1"}, "valore non valido per --hotel: \"-1\""},
        {{"--tableau", "1.5"}, "valore non valido per --tableau: \"1.5\""},
        {{"--bogus"}, "opzione sconosciuta: --bogus"},
        {{"--free=yes"}, "--free non vuole un valore"},
        {{"generate"}, "argomento di troppo: generate"},
    };
    for (const auto& c : casi) {
        EXPECT_EQ(Esegui(c.argomenti), EsitoRichiestaErrata) << c.riga;
        EXPECT_EQ(err_.str(), "vdx: " + c.riga + "\nProvare \u00ABvdx generate --help\u00BB\n");
        EXPECT_FALSE(ReportScritto());
    }
    EXPECT_EQ(Esegui({"--help"}), EsitoRiuscito);
    EXPECT_NE(out_.str().find("--used-only"), std::string::npos);
}

TEST_F(Riga, DataErrors) {
    const struct {
        std::vector<std::string> argomenti;
        std::string messaggio;
    } casi[] = {
        {{"--hotel", "5"}, "l'hotel 5 non esiste"},
        {{"--tableau", "9"}, "il tableau 9 dell'hotel 1 non esiste"},
    };
    for (const auto& c : casi) {
        EXPECT_EQ(Esegui(c.argomenti), EsitoErroreDati);
        EXPECT_NE(err_.str().find(c.messaggio), std::string::npos) << err_.str();
        EXPECT_FALSE(ReportScritto());
    }

    std::filesystem::remove(cartella_ / "Scheda_Cliente.mdb");
    EXPECT_EQ(Esegui({}), EsitoErroreDati);
    EXPECT_NE(err_.str().find("errore 3024"), std::string::npos) << err_.str();
    EXPECT_NE(err_.str().find("Scheda_Cliente.mdb"), std::string::npos) << err_.str();

    CartellaLavoro vuota;
    fixture::Albergo senzaHotel;
    senzaHotel.Hotel(0, "Sede", "");
    senzaHotel.Scrivi(vuota.Percorso());
    std::ostringstream out, err;
    EXPECT_EQ(EseguiGenera({}, out, err, vuota.Percorso(), "7",
                           [] {
                               return DataOra{2024, 3, 5};
                           }),
              EsitoErroreDati);
    EXPECT_NE(err.str().find("nessun hotel"), std::string::npos) << err.str();
}

// A damaged hotel file (its one data page says it holds no rows): one line
// naming the file and its table as damaged, not "the hotel does not exist",
// and the report of the last good run stays as it was.
TEST_F(Riga, ADamagedFileIsOneLineAndTheLastReportStays) {
    jet::ImpostaAttesaRilettura([] {});
    ASSERT_EQ(Esegui({}), EsitoRiuscito) << err_.str();
    const std::string buono = LeggiFile(cartella_ / "FD7");
    const auto file = cartella_ / "AnagraficaHotels.mdb";
    std::string b = LeggiFile(file);
    const std::size_t tdef = 4; // after the header, the page map, the list of tables, the maps
    ASSERT_EQ(b[tdef * 4096], 0x02);
    for (std::size_t p = 3; p * 4096 < b.size(); ++p) {
        if (b[p * 4096] == 0x01 && b[p * 4096 + 4] == static_cast<char>(tdef)) {
            b[p * 4096 + 12] = 0; // its count of rows
        }
    }
    ScriviFileAtomico(file, b);
    EXPECT_EQ(Esegui({"--hotel", "1"}), EsitoErroreDati);
    EXPECT_EQ(err_.str(), "vdx: errore 3343: La tabella 'AnagraficaHotels' di '" + file.string() +
                              "' non si può leggere: il file è danneggiato.\n");
    EXPECT_EQ(LeggiFile(cartella_ / "FD7"), buono);
    jet::ImpostaAttesaRilettura(nullptr);
}

// One reading of the files per run: the suite rewrites NumeriCamere.mdb in
// place (room 203 becomes 204) between the room range and the report, when
// the run opens the guest cards. The report is that of the files as the run
// first read them, not a range of one version over the rooms of the other.
TEST_F(Riga, EveryStepOfARunUsesItsOneReadingOfTheFiles) {
    ASSERT_EQ(Esegui({}), EsitoRiuscito) << err_.str();
    const std::string prima = Report();
    CartellaLavoro altra;
    DatiRiga("204").Scrivi(altra.Percorso());
    const std::string riscritto = LeggiFile(altra / "NumeriCamere.mdb");
    int aperture = 0;
    bool fatto = false;
    jet::ImpostaAperturaFile([&](const std::filesystem::path& file) {
        ++aperture;
        if (file.filename() == "Scheda_Cliente.mdb" && !fatto) {
            std::fstream(cartella_ / "NumeriCamere.mdb",
                         std::ios::in | std::ios::out | std::ios::binary)
                .write(riscritto.data(), static_cast<std::streamsize>(riscritto.size()));
            fatto = true;
        }
        return jet::ApriFileDiSistema(file);
    });
    const int esito = Esegui({});
    jet::ImpostaAperturaFile(nullptr);
    ASSERT_EQ(esito, EsitoRiuscito) << err_.str();
    EXPECT_TRUE(fatto);
    EXPECT_EQ(aperture, 11) << "each file opened once";
    EXPECT_EQ(Report(), prima);
    // The next run reads the new version: 204 is in the range and listed.
    ASSERT_EQ(Esegui({}), EsitoRiuscito) << err_.str();
    EXPECT_NE(Report().find("204"), std::string::npos);
}

// A file the user may not read: one line that says so and names it, at once
// (no pause and second reading, as for damage).
TEST_F(Riga, AFileThatMayNotBeReadIsSaidAtOnce) {
    int pause = 0;
    jet::ImpostaAttesaRilettura([&] { ++pause; });
    jet::ImpostaAperturaFile([](const std::filesystem::path& file) {
        if (file.filename() == "Tableau.mdb") {
            throw std::system_error(EACCES, std::generic_category(), file.string());
        }
        return jet::ApriFileDiSistema(file);
    });
    const int esito = Esegui({});
    jet::ImpostaAperturaFile(nullptr);
    jet::ImpostaAttesaRilettura(nullptr);
    EXPECT_EQ(esito, EsitoErroreDati);
    EXPECT_EQ(err_.str(), "vdx: errore 3051: Il file '" + (cartella_ / "Tableau.mdb").string() +
                              "' non si può aprire: manca il permesso di leggerlo.\n");
    EXPECT_EQ(pause, 0);
    EXPECT_FALSE(ReportScritto());
}

// Messages and paths reach the terminal as UTF-8: names of fields read
// from the data files are code page 1252, paths are already UTF-8.
TEST_F(Riga, MessagesInUtf8) {
    fixture::Albergo d = DatiRiga();
    d.Sostituisci(fixture::TabellaProva(
        "Camere_Prenotazione",
        {"NumeroHotel:Integer", "NumeroPrenotazione:Long", "NumeroCamera:Text(10)",
         "DataArrivo:Text(8)", "DataPartenza:Text(8)", "NumeroPersone:Integer",
         "TipoPrenotazione:Text(1)", "Trattamento:Text(12)", "Prezzo:Currency", "Note:Text(100)"}));
    d.TabellaDiNome("Camere_Prenotazione")
        .Record({
            {"NumeroHotel", fixture::Cella(std::int64_t{1})},
            {"NumeroPrenotazione", fixture::Cella(std::int64_t{1})},
            {"NumeroCamera", fixture::Cella(std::string("201"))},
            {"DataArrivo", fixture::Cella(std::string("20240301"))},
            {"DataPartenza", fixture::Cella(std::string("20240310"))},
            {"NumeroPersone", fixture::Cella(std::int64_t{2})},
            {"TipoPrenotazione", fixture::Cella(std::string("C"))},
        });
    d.Scrivi(cartella_.Percorso());
    EXPECT_EQ(Esegui({}), EsitoErroreDati);
    EXPECT_NE(err_.str().find("Quantità"), std::string::npos) << err_.str();

    const auto accentata = cartella_ / "città";
    std::filesystem::create_directory(accentata);
    DatiRiga().Scrivi(accentata);
    std::ostringstream out, err;
    ASSERT_EQ(EseguiGenera({}, out, err, accentata, "7",
                           [] {
                               return DataOra{2024, 3, 5};
                           }),
              EsitoRiuscito)
        << err.str();
    EXPECT_EQ(out.str(), (accentata / "FD7").string() + "\n");
}

// The lists and the room range the request window and the command line share.
} // namespace
} // namespace vdx::test
