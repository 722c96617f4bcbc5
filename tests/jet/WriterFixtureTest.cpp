// The hotel fixture: tables declared in C++ become the suite's .mdb files.

#include "HotelFixture.h"
#include "WriterLibmdb.h"
#include "shared/Cp1252.h"
#include "shared/Error.h"
#include "support/WorkFolder.h"

#include <algorithm>
#include <gtest/gtest.h>

namespace vdx::test {
namespace {

using namespace vdx::fixture;

const char* const kFileStandard[] = {"AnagraficaHotels.mdb",
                                     "Tableau.mdb",
                                     "NumeriCamere.mdb",
                                     "TipiCamere.mdb",
                                     "Scheda_Cliente.mdb",
                                     "Ditta_Intestataria.mdb",
                                     "AgenzieAbituali.mdb",
                                     "Arrangiamento.mdb",
                                     "Camere_Prenotazione.mdb",
                                     "Scheda_Prenotazione.mdb",
                                     "ListaClienti_Prenotazione.mdb",
                                     "Stampanti.mdb",
                                     "Contatori.mdb"};

std::vector<std::string> fileIn(const std::filesystem::path& dir) {
    std::vector<std::string> nomi;
    for (const auto& e : std::filesystem::directory_iterator(dir)) {
        nomi.push_back(e.path().filename().string());
    }
    std::sort(nomi.begin(), nomi.end());
    return nomi;
}

TEST(WriterFixture, EveryStandardFileHoldsItsTablesEvenWhenEmpty) {
    CartellaLavoro dir;
    Albergo albergo;
    albergo.scrivi(dir.percorso());
    std::vector<std::string> attesi(std::begin(kFileStandard), std::end(kFileStandard));
    std::sort(attesi.begin(), attesi.end());
    EXPECT_EQ(fileIn(dir.percorso()), attesi);
    for (const char* f : kFileStandard) {
        SCOPED_TRACE(f);
        const std::string tabella = std::string(f).substr(0, std::string(f).size() - 4);
        const auto tabelle = TabelleLibmdb(dir / f);
        if (tabella == "Stampanti") {
            EXPECT_EQ(tabelle, (std::vector<std::string>{"Stampanti", "SetStampa"}));
        } else {
            EXPECT_EQ(tabelle, std::vector<std::string>{tabella});
        }
        const TabellaLetta t = LeggiLibmdb(dir / f, tabella);
        EXPECT_TRUE(t.righe.empty());
        EXPECT_EQ(t.stderrTesto, "");
    }
    const TabellaLetta camere = LeggiLibmdb(dir / "Camere_Prenotazione.mdb", "Camere_Prenotazione");
    EXPECT_EQ(camere.colonne[7], "QuantitàCamere");
    EXPECT_EQ(camere.tipi[9], 0x05);
}

TEST(WriterFixture, RecordsByNameAndRowsByPosition) {
    CartellaLavoro dir;
    Albergo albergo;
    albergo.tabella("NumeriCamere")
        .record({{"NumeroHotel", 1}, {"NumeroCamera", "101"}})
        .record({{"NumeroHotel", 1},
                 {"NumeroTableau", 2},
                 {"NumeroCamera", "9"},
                 {"TipoCamera", "DUS"}})
        .riga({2, 1, "10", Nullo{}});
    albergo.tabella("Arrangiamento")
        .record(
            {{"CodiceCliente", 7}, {"ImportoTotale", Denaro{12345678}}, {"Arrangiamento", "MP"}})
        .record({{"CodiceCliente", 8}, {"ImportoTotale", 1250.5}});
    albergo.tabella("Scheda_Cliente").record({{"NomeCliente", "Çelik „Nino” È"}, {"Commento", ""}});
    albergo.tabella("Camere_Prenotazione")
        .record({{"QuantitàCamere", 2}, {"Prezzo", Denaro{-5000}}});
    albergo.scrivi(dir.percorso());

    const TabellaLetta camere = LeggiLibmdb(dir / "NumeriCamere.mdb", "NumeriCamere");
    ASSERT_EQ(camere.righe.size(), 3u);
    EXPECT_EQ(camere.righe[0][0].testo, "1");
    EXPECT_TRUE(camere.righe[0][1].nullo);
    EXPECT_EQ(camere.righe[0][2].testo, "101");
    EXPECT_TRUE(camere.righe[0][3].nullo);
    EXPECT_EQ(camere.righe[1][3].testo, "DUS");
    EXPECT_EQ(camere.righe[2][0].testo, "2");
    EXPECT_EQ(camere.righe[2][2].testo, "10");

    const TabellaLetta arr = LeggiLibmdb(dir / "Arrangiamento.mdb", "Arrangiamento");
    ASSERT_EQ(arr.righe.size(), 2u);
    EXPECT_EQ(IntLE(arr.righe[0][5].grezzo), 12345678);
    EXPECT_EQ(IntLE(arr.righe[1][5].grezzo), 12505000);

    const TabellaLetta schede = LeggiLibmdb(dir / "Scheda_Cliente.mdb", "Scheda_Cliente");
    ASSERT_EQ(schede.righe.size(), 1u);
    EXPECT_EQ(schede.righe[0][4].testo, "Çelik „Nino” È");
    EXPECT_FALSE(schede.righe[0][10].nullo);
    EXPECT_TRUE(schede.righe[0][9].nullo);

    const TabellaLetta prenotate =
        LeggiLibmdb(dir / "Camere_Prenotazione.mdb", "Camere_Prenotazione");
    ASSERT_EQ(prenotate.righe.size(), 1u);
    EXPECT_EQ(IntLE(prenotate.righe[0][7].grezzo), 2);
    EXPECT_EQ(IntLE(prenotate.righe[0][9].grezzo), -5000);
}

TEST(WriterFixture, MistakesInTheDeclarationsThrow) {
    Albergo albergo;
    EXPECT_THROW(albergo.tabella("Clienti"), Error);
    EXPECT_THROW(albergo.tabella("Tableau").record({{"Nessuno", 1}}), Error);
    EXPECT_THROW(albergo.tabella("Tableau").riga({1, 2}), Error);
    EXPECT_THROW(Tabella("T", {"A:Float"}), Error);
    // A value the column cannot hold is refused when the file is written.
    CartellaLavoro dir;
    albergo.tabella("Tableau").record({{"Codice", 70000}});
    EXPECT_THROW(albergo.scrivi(dir.percorso()), Error);
}

TEST(WriterFixture, ReplacedTablesAndLeftOutFiles) {
    CartellaLavoro dir;
    Albergo albergo;
    albergo.sostituisci(Tabella("TipiCamere", {"Sigla:Text(10)", "Descrizione:Text(50)"}));
    albergo.tabella("TipiCamere").riga({"DUS", "Doppia uso singola"});
    albergo.ometti("Contatori.mdb");
    albergo.ometti("Tableau");
    albergo.scrivi(dir.percorso());
    const auto nomi = fileIn(dir.percorso());
    EXPECT_EQ(std::count(nomi.begin(), nomi.end(), "Contatori.mdb"), 0);
    EXPECT_EQ(std::count(nomi.begin(), nomi.end(), "Tableau.mdb"), 0);
    EXPECT_EQ(nomi.size(), std::size(kFileStandard) - 2);
    const TabellaLetta tipi = LeggiLibmdb(dir / "TipiCamere.mdb", "TipiCamere");
    EXPECT_EQ(tipi.colonne, (std::vector<std::string>{"Sigla", "Descrizione"}));
    ASSERT_EQ(tipi.righe.size(), 1u);
    EXPECT_EQ(tipi.righe[0][1].testo, "Doppia uso singola");
}

TEST(WriterFixture, ScriviMdbPutsSeveralTablesInOneFile) {
    CartellaLavoro dir;
    Tabella a("Uno", {"N:Long", "Quando:DateTime", "Si:Boolean", "V:Double"});
    a.riga({1, DataOra{46364.5}, true, 0.25}).riga({2, Nullo{}, false, Nullo{}});
    Tabella b("Due", {"T:Text(5)", "M:Memo"});
    b.riga({"ciao", std::string(5000, 'm')});
    ScriviMdb(dir / "x.mdb", {a, b});
    EXPECT_EQ(TabelleLibmdb(dir / "x.mdb"), (std::vector<std::string>{"Uno", "Due"}));
    const TabellaLetta uno = LeggiLibmdb(dir / "x.mdb", "Uno");
    ASSERT_EQ(uno.righe.size(), 2u);
    EXPECT_EQ(DoubleLE(uno.righe[0][1].grezzo), 46364.5);
    EXPECT_TRUE(uno.righe[0][2].vero);
    EXPECT_FALSE(uno.righe[1][2].vero);
    EXPECT_TRUE(uno.righe[1][3].nullo);
    const TabellaLetta due = LeggiLibmdb(dir / "x.mdb", "Due");
    ASSERT_EQ(due.righe.size(), 1u);
    EXPECT_EQ(due.righe[0][1].testo, std::string(5000, 'm'));
    EXPECT_EQ(due.stderrTesto, "");
}

} // namespace
} // namespace vdx::test
