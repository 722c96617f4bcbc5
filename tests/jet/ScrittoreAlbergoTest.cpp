// The hotel fixture: tables declared in C++ become the suite's .mdb files.

#include "Albergo.h"
#include "RiletturaLibmdb.h"
#include "shared/Cp1252.h"
#include "shared/DatiSuite.h"
#include "shared/Errore.h"
#include "support/CartellaLavoro.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <map>

namespace vdx::test {
namespace {

using namespace vdx::fixture;

// The files the program reads, in name order.
std::vector<std::string> FileDellaSuite() {
    std::vector<std::string> file;
    for (const suite::TabellaSuite& t : suite::TutteLeTabelle) {
        if (std::find(file.begin(), file.end(), t.file) == file.end()) {
            file.emplace_back(t.file);
        }
    }
    std::sort(file.begin(), file.end());
    return file;
}

std::vector<std::string> FileIn(const std::filesystem::path& cartellaProva) {
    std::vector<std::string> nomi;
    for (const auto& e : std::filesystem::directory_iterator(cartellaProva)) {
        nomi.push_back(e.path().filename().string());
    }
    std::sort(nomi.begin(), nomi.end());
    return nomi;
}

TEST(WriterFixture, EveryStandardFileHoldsItsTablesEvenWhenEmpty) {
    CartellaLavoro cartellaProva;
    Albergo albergo;
    albergo.Scrivi(cartellaProva.Percorso());
    EXPECT_EQ(FileIn(cartellaProva.Percorso()), FileDellaSuite());
    // Each holding its tables in the suite's order.
    std::map<std::string, std::vector<std::string>> tabelleDi;
    for (const suite::TabellaSuite& t : suite::TutteLeTabelle) {
        tabelleDi[t.file].emplace_back(t.nome);
    }
    for (const suite::TabellaSuite& t : suite::TutteLeTabelle) {
        SCOPED_TRACE(t.nome);
        EXPECT_EQ(TabelleLibmdb(cartellaProva / t.file), tabelleDi[t.file]);
        const TabellaLetta letta = LeggiLibmdb(cartellaProva / t.file, t.nome);
        EXPECT_TRUE(letta.righe.empty());
        EXPECT_EQ(letta.stderrTesto, "");
    }
    const TabellaLetta camere =
        LeggiLibmdb(cartellaProva / "Camere_Prenotazione.mdb", "Camere_Prenotazione");
    EXPECT_EQ(camere.colonne[7], "QuantitàCamere");
    EXPECT_EQ(camere.tipi[9], 0x05);
}

TEST(WriterFixture, RecordsByNameAndRowsByPosition) {
    CartellaLavoro cartellaProva;
    Albergo albergo;
    albergo.TabellaDiNome("NumeriCamere")
        .Record({{"NumeroHotel", 1}, {"NumeroCamera", "101"}})
        .Record({{"NumeroHotel", 1},
                 {"NumeroTableau", 2},
                 {"NumeroCamera", "9"},
                 {"TipoCamera", "DUS"}})
        .ConRiga({2, 1, "10", Nullo{}});
    albergo.TabellaDiNome("Arrangiamento")
        .Record(
            {{"CodiceCliente", 7}, {"ImportoTotale", Denaro{12345678}}, {"Arrangiamento", "MP"}})
        .Record({{"CodiceCliente", 8}, {"ImportoTotale", 1250.5}});
    albergo.TabellaDiNome("Scheda_Cliente")
        .Record({{"NomeCliente", "Çelik „Nino” È"}, {"Commento", ""}});
    albergo.TabellaDiNome("Camere_Prenotazione")
        .Record({{"QuantitàCamere", 2}, {"Prezzo", Denaro{-5000}}});
    albergo.Scrivi(cartellaProva.Percorso());

    const TabellaLetta camere = LeggiLibmdb(cartellaProva / "NumeriCamere.mdb", "NumeriCamere");
    ASSERT_EQ(camere.righe.size(), 3u);
    EXPECT_EQ(camere.righe[0][0].testo, "1");
    EXPECT_TRUE(camere.righe[0][1].nullo);
    EXPECT_EQ(camere.righe[0][2].testo, "101");
    EXPECT_TRUE(camere.righe[0][3].nullo);
    EXPECT_EQ(camere.righe[1][3].testo, "DUS");
    EXPECT_EQ(camere.righe[2][0].testo, "2");
    EXPECT_EQ(camere.righe[2][2].testo, "10");

    const TabellaLetta arr = LeggiLibmdb(cartellaProva / "Arrangiamento.mdb", "Arrangiamento");
    ASSERT_EQ(arr.righe.size(), 2u);
    EXPECT_EQ(IntLE(arr.righe[0][5].grezzo), 12345678);
    EXPECT_EQ(IntLE(arr.righe[1][5].grezzo), 12505000);

    const TabellaLetta schede = LeggiLibmdb(cartellaProva / "Scheda_Cliente.mdb", "Scheda_Cliente");
    ASSERT_EQ(schede.righe.size(), 1u);
    EXPECT_EQ(schede.righe[0][4].testo, "Çelik „Nino” È");
    EXPECT_FALSE(schede.righe[0][10].nullo);
    EXPECT_TRUE(schede.righe[0][9].nullo);

    const TabellaLetta prenotate =
        LeggiLibmdb(cartellaProva / "Camere_Prenotazione.mdb", "Camere_Prenotazione");
    ASSERT_EQ(prenotate.righe.size(), 1u);
    EXPECT_EQ(IntLE(prenotate.righe[0][7].grezzo), 2);
    EXPECT_EQ(IntLE(prenotate.righe[0][9].grezzo), -5000);
}

TEST(WriterFixture, MistakesInTheDeclarationsThrow) {
    Albergo albergo;
    EXPECT_THROW(albergo.TabellaDiNome("Clienti"), Errore);
    EXPECT_THROW(albergo.TabellaDiNome("Tableau").Record({{"Nessuno", 1}}), Errore);
    EXPECT_THROW(albergo.TabellaDiNome("Tableau").ConRiga({1, 2}), Errore);
    EXPECT_THROW(TabellaProva("T", {"A:Float"}), Errore);
    // A value the column cannot hold is refused when the file is written.
    CartellaLavoro cartellaProva;
    albergo.TabellaDiNome("Tableau").Record({{"Codice", 70000}});
    EXPECT_THROW(albergo.Scrivi(cartellaProva.Percorso()), Errore);
}

TEST(WriterFixture, ReplacedTablesAndLeftOutFiles) {
    CartellaLavoro cartellaProva;
    Albergo albergo;
    albergo.Sostituisci(TabellaProva("TipiCamere", {"Sigla:Text(10)", "Descrizione:Text(50)"}));
    albergo.TabellaDiNome("TipiCamere").ConRiga({"DUS", "Doppia uso singola"});
    albergo.Ometti("Contatori.mdb");
    albergo.Ometti("Tableau");
    albergo.Scrivi(cartellaProva.Percorso());
    const auto nomi = FileIn(cartellaProva.Percorso());
    EXPECT_EQ(std::count(nomi.begin(), nomi.end(), "Contatori.mdb"), 0);
    EXPECT_EQ(std::count(nomi.begin(), nomi.end(), "Tableau.mdb"), 0);
    EXPECT_EQ(nomi.size(), FileDellaSuite().size() - 2);
    const TabellaLetta tipi = LeggiLibmdb(cartellaProva / "TipiCamere.mdb", "TipiCamere");
    EXPECT_EQ(tipi.colonne, (std::vector<std::string>{"Sigla", "Descrizione"}));
    ASSERT_EQ(tipi.righe.size(), 1u);
    EXPECT_EQ(tipi.righe[0][1].testo, "Doppia uso singola");
}

TEST(WriterFixture, ScriviMdbPutsSeveralTablesInOneFile) {
    CartellaLavoro cartellaProva;
    TabellaProva a("Uno", {"N:Long", "Quando:DateTime", "Si:Boolean", "V:Double"});
    a.ConRiga({1, DataOra{46364.5}, true, 0.25}).ConRiga({2, Nullo{}, false, Nullo{}});
    TabellaProva b("Due", {"T:Text(5)", "M:Memo"});
    b.ConRiga({"ciao", std::string(5000, 'm')});
    ScriviMdb(cartellaProva / "x.mdb", {a, b});
    EXPECT_EQ(TabelleLibmdb(cartellaProva / "x.mdb"), (std::vector<std::string>{"Uno", "Due"}));
    const TabellaLetta uno = LeggiLibmdb(cartellaProva / "x.mdb", "Uno");
    ASSERT_EQ(uno.righe.size(), 2u);
    EXPECT_EQ(DoubleLE(uno.righe[0][1].grezzo), 46364.5);
    EXPECT_TRUE(uno.righe[0][2].vero);
    EXPECT_FALSE(uno.righe[1][2].vero);
    EXPECT_TRUE(uno.righe[1][3].nullo);
    const TabellaLetta due = LeggiLibmdb(cartellaProva / "x.mdb", "Due");
    ASSERT_EQ(due.righe.size(), 1u);
    EXPECT_EQ(due.righe[0][1].testo, std::string(5000, 'm'));
    EXPECT_EQ(due.stderrTesto, "");
}

} // namespace
} // namespace vdx::test
