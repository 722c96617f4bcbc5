// Record sets over files written as the suite writes them: opening, finding,
// sorting, the selection texts the system uses, values and errors.

#include "HotelFixture.h"
#include "jet/Criteri.h"
#include "jet/Database.h"
#include "shared/Error.h"
#include "support/ErrorOf.h"
#include "support/WorkFolder.h"

#include <fstream>
#include <gtest/gtest.h>
#include <string>
#include <vector>

using namespace vdx::jet;
using vdx::fixture::Albergo;
using vdx::fixture::Denaro;
using vdx::fixture::Nullo;
using vdx::test::CartellaLavoro;
using vdx::test::erroreDi;

namespace {

bool contiene(const std::string& testo, const std::string& parte) {
    return testo.find(parte) != std::string::npos;
}

// The hotel of these tests: rooms 9, 10, 101 and 1 of hotel 1 (tableau 1),
// room 9 of hotel 2; room types S and D on the tableau, X not, Z missing.
Albergo albergo() {
    Albergo a;
    auto& camere = a.tabella("NumeriCamere");
    camere.record(
        {{"NumeroHotel", 1}, {"NumeroTableau", 1}, {"NumeroCamera", "9"}, {"TipoCamera", "S"}});
    camere.record(
        {{"NumeroHotel", 1}, {"NumeroTableau", 1}, {"NumeroCamera", "10"}, {"TipoCamera", "D"}});
    camere.record(
        {{"NumeroHotel", 2}, {"NumeroTableau", 1}, {"NumeroCamera", "9"}, {"TipoCamera", "D"}});
    camere.record(
        {{"NumeroHotel", 1}, {"NumeroTableau", 1}, {"NumeroCamera", "101"}, {"TipoCamera", "X"}});
    camere.record(
        {{"NumeroHotel", 1}, {"NumeroTableau", 2}, {"NumeroCamera", "1"}, {"TipoCamera", "Z"}});
    camere.record({{"NumeroHotel", 1}, {"NumeroTableau", 1}, {"NumeroCamera", "11"}});
    auto& tipi = a.tabella("TipiCamere");
    tipi.record({{"Sigla", "S"}, {"Tipologia", "C"}, {"Descrizione", "Singola"}});
    tipi.record({{"Sigla", "D"}, {"Tipologia", "C"}, {"Descrizione", "Doppia"}});
    tipi.record({{"Sigla", "X"}, {"Tipologia", "U"}, {"Descrizione", "Ufficio"}});
    auto& schede = a.tabella("Scheda_Cliente");
    schede.record({{"NumeroHotel", 1},
                   {"NumeroCamera", "9"},
                   {"NumeroProgressivo", 7},
                   {"NomeCliente", "D'Angelo"},
                   {"DataArrivo", "20260305"},
                   {"DataPartenza", "20260308"},
                   {"Partito", "N"}});
    schede.record({{"NumeroHotel", 1},
                   {"NumeroCamera", "10"},
                   {"NumeroProgressivo", 8},
                   {"NomeCliente", "€ „Caffè” àèìòù"},
                   {"DataArrivo", "20260301"},
                   {"DataPartenza", "20260305"}});
    schede.record({{"NumeroHotel", 1},
                   {"NumeroCamera", "9"},
                   {"NumeroProgressivo", 9},
                   {"NomeCliente", "Rossi"},
                   {"DataArrivo", "20260305"},
                   {"DataPartenza", "20260306"},
                   {"Partito", "S"}});
    auto& arr = a.tabella("Arrangiamento");
    arr.record({{"NumeroHotel", 1},
                {"CodiceCliente", 7},
                {"DataInizio", "20260305"},
                {"DataFine", "20260307"},
                {"Arrangiamento", "MP"},
                {"ImportoTotale", Denaro{1234567}}});
    arr.record({{"NumeroHotel", 1},
                {"CodiceCliente", 8},
                {"DataInizio", "20260301"},
                {"DataFine", "20260304"},
                {"Arrangiamento", "BB"},
                {"ImportoTotale", Denaro{-1}}});
    arr.record({{"NumeroHotel", 1},
                {"CodiceCliente", 9},
                {"DataInizio", "20260304"},
                {"DataFine", "20260305"},
                {"Arrangiamento", "PC"}});
    auto& pren = a.tabella("Camere_Prenotazione");
    pren.record({{"NumeroHotel", 1},
                 {"NumeroPrenotazione", 1},
                 {"NumeroCamera", "9"},
                 {"DataArrivo", "20260305"},
                 {"DataPartenza", "20260307"},
                 {"NumeroPersone", 2},
                 {"TipoPrenotazione", "C"}});
    pren.record({{"NumeroHotel", 2},
                 {"NumeroPrenotazione", 2},
                 {"NumeroCamera", "9"},
                 {"DataArrivo", "20260305"},
                 {"DataPartenza", "20260307"},
                 {"NumeroPersone", 1},
                 {"TipoPrenotazione", "C"}});
    pren.record({{"NumeroHotel", 1},
                 {"NumeroPrenotazione", 3},
                 {"NumeroCamera", "10"},
                 {"DataArrivo", "20260303"},
                 {"DataPartenza", "20260305"},
                 {"NumeroPersone", 0},
                 {"TipoPrenotazione", "A"},
                 {"Prezzo", Denaro{123456}}});
    auto& lista = a.tabella("ListaClienti_Prenotazione");
    lista.record({{"NumeroHotel", 1},
                  {"NumeroPrenotazione", 1},
                  {"NumeroCamera", "9"},
                  {"NumeroCliente", 3},
                  {"NomeCliente", "Terzo"}});
    lista.record({{"NumeroHotel", 1},
                  {"NumeroPrenotazione", 1},
                  {"NumeroCamera", "9"},
                  {"NumeroCliente", 1},
                  {"NomeCliente", "Primo"}});
    lista.record({{"NumeroHotel", 1},
                  {"NumeroPrenotazione", 1},
                  {"NumeroCamera", "9"},
                  {"NumeroCliente", 2},
                  {"NomeCliente", "Secondo"}});
    return a;
}

class RecordsetTest : public ::testing::Test {
protected:
    void SetUp() override { albergo().scrivi(dir_.percorso()); }

    std::shared_ptr<Database> apri(const std::string& nome) {
        return Database::OpenDatabase(dir_.percorso(), nome);
    }

    // The values of one field over the records the criterion finds.
    static std::vector<std::string> trovati(Recordset& rs, const std::string& criterio,
                                            const std::string& campo) {
        std::vector<std::string> v;
        for (bool ok = rs.FindFirst(criterio); ok; ok = rs.FindNext(criterio)) {
            v.push_back(rs.Testo(campo));
        }
        return v;
    }

    static std::vector<std::string> tutti(Recordset& rs, const std::string& campo) {
        std::vector<std::string> v;
        for (rs.MoveFirst(); !rs.Fine(); rs.MoveNext()) {
            v.push_back(rs.Testo(campo));
        }
        return v;
    }

    CartellaLavoro dir_;
};

TEST_F(RecordsetTest, FileNameIgnoresLetterCase) {
    auto db = apri("numericamere.MDB");
    EXPECT_EQ(db->percorso().filename(), "NumeriCamere.mdb");
    EXPECT_EQ(db->NomiTabelle(), std::vector<std::string>{"NumeriCamere"});
    EXPECT_EQ(db->OpenRecordset("NUMERICAMERE").RecordCount(), 6u);
}

TEST_F(RecordsetTest, FindFirstNextLastFollowTheSetOrder) {
    auto rs = apri("NumeriCamere.mdb")->OpenRecordset("NumeriCamere");
    EXPECT_EQ(trovati(rs, "NumeroHotel = 1 and NumeroTableau = 1", "NumeroCamera"),
              (std::vector<std::string>{"9", "10", "101", "11"}));
    EXPECT_TRUE(rs.NoMatch());

    ASSERT_TRUE(rs.FindLast("NumeroHotel = 1"));
    EXPECT_EQ(rs.Testo("NumeroCamera"), "11");
    EXPECT_FALSE(rs.FindNext("NumeroHotel = 1"));

    // A failed find leaves the record where it was; FindNext goes on from it.
    ASSERT_TRUE(rs.FindFirst("NumeroCamera = '10'"));
    EXPECT_FALSE(rs.FindNext("NumeroHotel = 3"));
    EXPECT_TRUE(rs.NoMatch());
    ASSERT_TRUE(rs.FindNext("NumeroCamera = '9'"));
    EXPECT_EQ(rs.Numero("NumeroHotel"), 2);
    EXPECT_FALSE(rs.NoMatch());
    EXPECT_FALSE(rs.FindFirst("NumeroCamera = '999'"));
    EXPECT_FALSE(rs.FindLast("NumeroCamera = '999'"));
}

TEST_F(RecordsetTest, SortAndReopenGivesTheRoomOrder) {
    // Rooms 9, 10 and 101: the range from 10 covers 10, 101 and 9, in that order.
    auto rs = apri("NumeriCamere.mdb")->OpenRecordset("NumeriCamere");
    rs.Sort("[NumeroCamera]");
    Recordset ordinato = rs.OpenRecordset();
    EXPECT_EQ(trovati(ordinato, "NumeroHotel = 1 and NumeroTableau = 1 and NumeroCamera >= '10'",
                      "NumeroCamera"),
              (std::vector<std::string>{"10", "101", "11", "9"}));
    EXPECT_EQ(tutti(ordinato, "NumeroCamera"),
              (std::vector<std::string>{"1", "10", "101", "11", "9", "9"}));
    // the first set keeps its own order
    EXPECT_EQ(tutti(rs, "NumeroCamera"),
              (std::vector<std::string>{"9", "10", "9", "101", "1", "11"}));
    // the sort of equal rooms keeps the file order (stable)
    ASSERT_TRUE(ordinato.FindLast("NumeroCamera = '9'"));
    EXPECT_EQ(ordinato.Numero("NumeroHotel"), 2);
}

TEST_F(RecordsetTest, RoomsWhoseTypeIsOnTheTableau) {
    auto db = apri("NumeriCamere.mdb");
    auto rs = db->OpenRecordset(
        "Select * From NumeriCamere Where TipoCamera In (Select Sigla From TipiCamere In "
        "'TipiCamere.mdb' Where Tipologia = 'C');");
    // X is not "C", Z is missing from TipiCamere, room 11 has no type
    EXPECT_EQ(tutti(rs, "NumeroCamera"), (std::vector<std::string>{"9", "10", "9"}));
    rs.Sort("[NumeroCamera]");
    auto ordinato = rs.OpenRecordset();
    EXPECT_EQ(tutti(ordinato, "NumeroCamera"), (std::vector<std::string>{"10", "9", "9"}));
}

TEST_F(RecordsetTest, InnerSelectNeedsItsFile) {
    std::filesystem::remove(dir_ / "TipiCamere.mdb");
    auto db = apri("NumeriCamere.mdb");
    const vdx::Error e = erroreDi([&] {
        db->OpenRecordset(
            "Select * From NumeriCamere Where TipoCamera In (Select Sigla From TipiCamere In "
            "'TipiCamere.mdb' Where Tipologia = 'C');");
    });
    EXPECT_EQ(e.number(), vdx::err::DatabaseNotFound);
    EXPECT_TRUE(contiene(e.what(), "TipiCamere.mdb")) << e.what();
}

TEST_F(RecordsetTest, SelectionTextsOfTheReport) {
    const std::string data = "20260305";
    auto schede = apri("Scheda_Cliente.mdb");
    auto arrivi =
        schede->OpenRecordset("Select * From Scheda_Cliente Where DataArrivo = '" + data + "'");
    EXPECT_EQ(tutti(arrivi, "NumeroProgressivo"), (std::vector<std::string>{"7", "9"}));
    auto partenze =
        schede->OpenRecordset("Select * From Scheda_Cliente Where DataPartenza = '" + data + "'");
    EXPECT_EQ(tutti(partenze, "NumeroProgressivo"), (std::vector<std::string>{"8"}));

    auto prenotazioni = apri("Camere_Prenotazione.mdb");
    auto arriviP = prenotazioni->OpenRecordset(
        "Select * From Camere_Prenotazione Where NumeroHotel = 1 and DataArrivo = '" + data + "'");
    EXPECT_EQ(tutti(arriviP, "NumeroPrenotazione"), (std::vector<std::string>{"1"}));
    auto partenzeP = prenotazioni->OpenRecordset(
        "Select * From Camere_Prenotazione Where NumeroHotel = 1 and DataPartenza = '" + data +
        "'");
    EXPECT_EQ(tutti(partenzeP, "NumeroPrenotazione"), (std::vector<std::string>{"3"}));

    auto arrangiamenti = apri("Arrangiamento.mdb")
                             ->OpenRecordset("Select * From Arrangiamento Where DataInizio <= '" +
                                             data + "' and DataFine >= '" + data + "'");
    EXPECT_EQ(tutti(arrangiamenti, "CodiceCliente"), (std::vector<std::string>{"7", "9"}));

    auto lista =
        apri("ListaClienti_Prenotazione.mdb")
            ->OpenRecordset("Select * From ListaClienti_Prenotazione Order by NumeroCliente;");
    EXPECT_EQ(tutti(lista, "NomeCliente"), (std::vector<std::string>{"Primo", "Secondo", "Terzo"}));
}

TEST_F(RecordsetTest, BookedRoomCriterionLeavesOutKindsAndEmptyRooms) {
    auto rs = apri("Camere_Prenotazione.mdb")->OpenRecordset("Camere_Prenotazione");
    const auto criterio = [](const std::string& camera) {
        return "NumeroHotel = 1 and NumeroCamera = '" + camera +
               "' and DataArrivo <= '20260304' and DataPartenza > '20260304' and NumeroPersone > 0 "
               "and "
               "TipoPrenotazione <> 'A' and TipoPrenotazione <> 'I' and TipoPrenotazione <> 'W'";
    };
    EXPECT_FALSE(rs.FindFirst(criterio("10"))); // 0 persons, kind A
    EXPECT_FALSE(rs.FindFirst(criterio("9")));  // arrives later
    ASSERT_TRUE(rs.FindFirst("NumeroHotel = 1 and NumeroPrenotazione = 3"));
    EXPECT_EQ(rs.Denaro("Prezzo"), 123456); // money exactly
    EXPECT_DOUBLE_EQ(rs.Numero("Prezzo"), 12.3456);
    EXPECT_EQ(rs.Testo("Prezzo"), "12.3456");
}

TEST_F(RecordsetTest, ApostrophesInValuesNeverBreakACriterion) {
    auto rs = apri("Scheda_Cliente.mdb")->OpenRecordset("Scheda_Cliente");
    ASSERT_TRUE(
        rs.FindFirst("NomeCliente = '" + TestoTraApici("D'Angelo") + "' and NumeroHotel = 1"));
    EXPECT_EQ(rs.Numero("NumeroProgressivo"), 7);
    // a value built to widen the search finds nothing instead
    EXPECT_FALSE(rs.FindFirst("NomeCliente = '" + TestoTraApici("x' or NumeroHotel = '1") + "'"));
    EXPECT_EQ(erroreDi([&] { rs.FindFirst("NomeCliente = 'D'Angelo'"); }).number(),
              vdx::err::CriteriaSyntax);
}

TEST_F(RecordsetTest, TextIsCodePage1252) {
    auto rs = apri("Scheda_Cliente.mdb")->OpenRecordset("Scheda_Cliente");
    ASSERT_TRUE(rs.FindFirst("NumeroProgressivo = 8"));
    EXPECT_EQ(rs.Testo("NomeCliente"), "\x80 \x84"
                                       "Caff\xE8\x94 \xE0\xE8\xEC\xF2\xF9");
    EXPECT_TRUE(rs.FindFirst("NomeCliente = '\x80 \x84"
                             "Caff\xE8\x94 \xE0\xE8\xEC\xF2\xF9'"));
}

TEST_F(RecordsetTest, NullReadsAsEmptyTextOrZero) {
    auto rs = apri("Scheda_Cliente.mdb")->OpenRecordset("Scheda_Cliente");
    ASSERT_TRUE(rs.FindFirst("NumeroProgressivo = 8"));
    EXPECT_TRUE(rs.Campo("Partito").nullo());
    EXPECT_EQ(rs.Testo("Partito"), "");
    EXPECT_TRUE(rs.Campo("CodiceAgenzia").nullo());
    EXPECT_EQ(rs.Numero("CodiceAgenzia"), 0);
    EXPECT_EQ(rs.Denaro("CodiceAgenzia"), 0);
    // NULL satisfies no comparison, not even <>
    EXPECT_EQ(trovati(rs, "Partito <> 'S'", "NumeroProgressivo"), std::vector<std::string>{"7"});
    EXPECT_EQ(trovati(rs, "CodiceAgenzia = 0", "NumeroProgressivo"), std::vector<std::string>{});
}

TEST_F(RecordsetTest, FieldNamesIgnoreLetterCaseAndUnknownOnesAreNamed) {
    auto rs = apri("Arrangiamento.mdb")->OpenRecordset("arrangiamento");
    ASSERT_TRUE(rs.FindFirst("numerohotel = 1 and CODICECLIENTE = 7"));
    EXPECT_EQ(rs.Testo("arrangiamento"), "MP");
    EXPECT_EQ(rs.Denaro("importototale"), 1234567);
    const vdx::Error e = erroreDi([&] { rs.Testo("Importo"); });
    EXPECT_EQ(e.number(), vdx::err::FieldNotFound);
    EXPECT_TRUE(contiene(e.what(), "'Importo'")) << e.what();
    EXPECT_EQ(erroreDi([&] { rs.FindFirst("Importo = 1"); }).number(), vdx::err::FieldNotFound);
    EXPECT_EQ(erroreDi([&] { rs.Sort("Importo"); }).number(), vdx::err::FieldNotFound);
    EXPECT_EQ(rs.TipiCampi()[5], TipoCampo::Currency);
    EXPECT_EQ(rs.NomiCampi()[4], "Arrangiamento");
}

TEST_F(RecordsetTest, MissingFileIsNamed) {
    const vdx::Error e = erroreDi([&] { apri("Manca.mdb"); });
    EXPECT_EQ(e.number(), vdx::err::DatabaseNotFound);
    EXPECT_EQ(std::string(e.what()),
              "Impossibile trovare il file '" + (dir_ / "Manca.mdb").string() + "'.");
    std::filesystem::create_directory(dir_ / "Cartella.mdb");
    EXPECT_EQ(erroreDi([&] { apri("Cartella.mdb"); }).number(), vdx::err::DatabaseNotFound);
}

TEST_F(RecordsetTest, FilesThatAreNotAccessFilesAreRefused) {
    std::ifstream buono(dir_ / "Tableau.mdb", std::ios::binary);
    const std::string byte((std::istreambuf_iterator<char>(buono)),
                           std::istreambuf_iterator<char>());
    ASSERT_GT(byte.size(), 3 * 4096u);
    const auto scrivi = [&](const std::string& nome, const std::string& contenuto) {
        std::ofstream(dir_ / nome, std::ios::binary) << contenuto;
    };
    std::string versione = byte;
    versione[0x14] = 0x09;
    std::string firma = byte;
    firma[5] = 'X';
    scrivi("Vuoto.mdb", "");
    scrivi("Testo.mdb", std::string(8192, 'a'));
    scrivi("Tagliato.mdb", byte.substr(0, byte.size() - 100));
    scrivi("Corto.mdb", byte.substr(0, 4096));
    scrivi("Versione.mdb", versione);
    scrivi("Firma.mdb", firma);
    for (const char* nome :
         {"Vuoto.mdb", "Testo.mdb", "Tagliato.mdb", "Corto.mdb", "Versione.mdb", "Firma.mdb"}) {
        const vdx::Error e = erroreDi([&] { apri(nome); });
        EXPECT_EQ(e.number(), vdx::err::UnrecognizedFormat) << nome;
        EXPECT_TRUE(contiene(e.what(), nome)) << e.what();
    }
}

TEST_F(RecordsetTest, UnknownTableAndUnknownSelectionTexts) {
    auto db = apri("Tableau.mdb");
    vdx::Error e = erroreDi([&] { db->OpenRecordset("Tableaux"); });
    EXPECT_EQ(e.number(), vdx::err::TableNotFound);
    EXPECT_TRUE(contiene(e.what(), "'Tableaux'") && contiene(e.what(), "Tableau.mdb")) << e.what();
    EXPECT_EQ(erroreDi([&] { db->OpenRecordset("Select * From Tableaux"); }).number(),
              vdx::err::TableNotFound);
    for (const char* testo :
         {"Select Codice From Tableau", "Delete * From Tableau", "Tableau Where Codice = 1",
          "Select * From Tableau Where Codice = 1 or Codice = 2", ""}) {
        EXPECT_EQ(erroreDi([&] { db->OpenRecordset(testo); }).number(), vdx::err::QuerySyntax)
            << testo;
    }
    EXPECT_EQ(
        erroreDi([&] { db->OpenRecordset("Select * From Tableau Where Piano = 1"); }).number(),
        vdx::err::FieldNotFound);
}

TEST_F(RecordsetTest, NoCurrentRecordOnAnEmptySetOrPastTheEnd) {
    auto rs = apri("Contatori.mdb")->OpenRecordset("Contatori");
    EXPECT_EQ(rs.RecordCount(), 0u);
    EXPECT_TRUE(rs.Fine());
    EXPECT_FALSE(rs.FindFirst("NumeroHotel = 1"));
    EXPECT_EQ(erroreDi([&] { rs.Testo("NumeroHotel"); }).number(), vdx::err::NoCurrentRecord);
    auto camere = apri("NumeriCamere.mdb")->OpenRecordset("NumeriCamere");
    for (int i = 0; i < 6; ++i) {
        EXPECT_FALSE(camere.Fine());
        camere.MoveNext();
    }
    EXPECT_TRUE(camere.Fine());
    camere.MoveNext();
    EXPECT_TRUE(camere.Fine());
    EXPECT_EQ(erroreDi([&] { camere.Testo("NumeroCamera"); }).number(), vdx::err::NoCurrentRecord);
    // FindNext with no current record starts from the first
    ASSERT_TRUE(camere.FindNext("NumeroHotel = 1"));
    EXPECT_EQ(camere.Testo("NumeroCamera"), "9");
}

TEST_F(RecordsetTest, RecordsAreTheFileAsItWasAtOpening) {
    auto db = apri("NumeriCamere.mdb");
    auto prima = db->OpenRecordset("NumeriCamere");
    Albergo altro;
    altro.tabella("NumeriCamere").record({{"NumeroHotel", 5}, {"NumeroCamera", "500"}});
    altro.scrivi(dir_.percorso());
    EXPECT_EQ(prima.RecordCount(), 6u);
    EXPECT_EQ(db->OpenRecordset("NumeriCamere").RecordCount(), 6u); // the same snapshot
    auto dopo = apri("NumeriCamere.mdb")->OpenRecordset("NumeriCamere");
    ASSERT_EQ(dopo.RecordCount(), 1u);
    EXPECT_EQ(dopo.Testo("NumeroCamera"), "500");
}

TEST_F(RecordsetTest, RecordSetsMoveAndOutliveTheirDatabase) {
    auto db = apri("NumeriCamere.mdb");
    Recordset a = db->OpenRecordset("NumeriCamere");
    Recordset b = db->OpenRecordset("NumeriCamere");
    ASSERT_TRUE(a.FindLast("NumeroHotel = 1"));
    EXPECT_EQ(b.Testo("NumeroCamera"), "9"); // each set has its own current record
    Recordset c = std::move(a);
    EXPECT_EQ(c.Testo("NumeroCamera"), "11");
    std::vector<Recordset> insieme;
    insieme.push_back(std::move(c));
    insieme.push_back(std::move(b));
    db->Close();
    EXPECT_EQ(insieme[0].Testo("NumeroCamera"), "11");
    EXPECT_EQ(erroreDi([&] { db->OpenRecordset("NumeriCamere"); }).number(), vdx::err::InvalidCall);
    insieme[1].Close();
    EXPECT_FALSE(insieme[1].aperto());
    EXPECT_EQ(erroreDi([&] { insieme[1].Testo("NumeroCamera"); }).number(), vdx::err::InvalidCall);
}

TEST_F(RecordsetTest, TablesStayReadableOnceTheFileIsLetGo) {
    auto db = apri("Stampanti.mdb");
    ASSERT_EQ(db->NomiTabelle(), (std::vector<std::string>{"Stampanti", "SetStampa"}));
    auto a = db->OpenRecordset("SetStampa");
    auto b = db->OpenRecordset("Stampanti"); // the last table: the file's bytes go
    EXPECT_EQ(db->OpenRecordset("setstampa").RecordCount(), a.RecordCount());
    EXPECT_EQ(db->OpenRecordset("Select * From Stampanti Where NumeroHotel = 1").RecordCount(),
              b.RecordCount());
    EXPECT_EQ(erroreDi([&] { db->OpenRecordset("Contatori"); }).number(), vdx::err::TableNotFound);
    EXPECT_EQ(db->NomiTabelle().size(), 2u);
}

TEST_F(RecordsetTest, NothingIsPrintedForCorrectFiles) {
    testing::internal::CaptureStderr();
    std::size_t tabelle = 0;
    for (const auto& voce : std::filesystem::directory_iterator(dir_.percorso())) {
        auto db = apri(voce.path().filename().string());
        for (const std::string& t : db->NomiTabelle()) {
            auto rs = db->OpenRecordset(t);
            for (rs.MoveFirst(); !rs.Fine(); rs.MoveNext()) {
                for (const std::string& campo : rs.NomiCampi()) {
                    rs.Testo(campo);
                }
            }
            ++tabelle;
        }
    }
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    EXPECT_EQ(tabelle, 14u);
}

TEST(RecordsetFile, LongMemoAndManyRowsReadBack) {
    CartellaLavoro dir;
    vdx::fixture::Tabella t("Note",
                            {"Codice:Long", "Gruppo:Integer", "Testo:Memo", "Stanza:Text(10)"});
    std::string lungo;
    for (int i = 0; i < 3000; ++i) {
        lungo += "riga " + std::to_string(i) + " \xC3\xA8;";
    }
    for (int i = 0; i < 2000; ++i) {
        t.riga({std::int64_t{i}, std::int64_t{i % 7},
                i == 1234 ? lungo : std::string("nota ") + std::to_string(i),
                std::to_string(i % 50)});
    }
    vdx::fixture::ScriviMdb(dir / "Note.mdb", {t});
    auto rs = Database::OpenDatabase(dir.percorso(), "Note.mdb")->OpenRecordset("Note");
    ASSERT_EQ(rs.RecordCount(), 2000u);
    ASSERT_TRUE(rs.FindFirst("Codice = 1234"));
    const std::string memo = rs.Testo("Testo");
    EXPECT_GT(memo.size(), 20000u);
    EXPECT_EQ(memo.substr(0, 10), "riga 0 \xE8;r");
    // the index of a large set: every room 7 of group 3, in order
    std::vector<std::int64_t> codici;
    for (bool ok = rs.FindFirst("Stanza = '7' and Gruppo = 3"); ok;
         ok = rs.FindNext("Stanza = '7' and Gruppo = 3")) {
        codici.push_back(static_cast<std::int64_t>(rs.Numero("Codice")));
    }
    std::vector<std::int64_t> attesi;
    for (std::int64_t i = 0; i < 2000; ++i) {
        if (i % 50 == 7 && i % 7 == 3) {
            attesi.push_back(i);
        }
    }
    EXPECT_EQ(codici, attesi);
}

} // namespace
