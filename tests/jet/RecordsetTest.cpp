// Record sets over files written as the suite writes them: opening, finding,
// sorting, the selection texts the system uses, values and errors.

#include "Albergo.h"
#include "jet/Criteri.h"
#include "jet/Database.h"
#include "shared/Errore.h"
#include "support/CartellaLavoro.h"
#include "support/ErroreDi.h"

#include <fstream>
#include <gtest/gtest.h>
#include <string>
#include <vector>

using namespace vdx::jet;
using vdx::fixture::Albergo;
using vdx::fixture::Denaro;
using vdx::fixture::Nullo;
using vdx::test::CartellaLavoro;
using vdx::test::ErroreDi;

namespace {

bool Contiene(const std::string& testo, const std::string& parte) {
    return testo.find(parte) != std::string::npos;
}

// The hotel of these tests: rooms 9, 10, 101 and 1 of hotel 1 (tableau 1),
// room 9 of hotel 2; room types S and D on the tableau, X not, Z missing.
// Records given field by field leave the other fields NULL: room 11 has no
// type, guest card 8 no Partito nor agency, arrangement 9 no amount.
Albergo AlbergoDiProva() {
    Albergo a;
    a.Camera(1, 1, "9", "S").Camera(1, 1, "10", "D").Camera(2, 1, "9", "D");
    a.Camera(1, 1, "101", "X").Camera(1, 2, "1", "Z");
    a.TabellaDiNome("NumeriCamere")
        .Record({{"NumeroHotel", 1}, {"NumeroTableau", 1}, {"NumeroCamera", "11"}});
    a.Tipo("S", "C", "Singola").Tipo("D", "C", "Doppia").Tipo("X", "U", "Ufficio");
    auto& schede = a.TabellaDiNome("Scheda_Cliente");
    schede.Record({{"NumeroHotel", 1},
                   {"NumeroCamera", "9"},
                   {"NumeroProgressivo", 7},
                   {"NomeCliente", "D'Angelo"},
                   {"DataArrivo", "20260305"},
                   {"DataPartenza", "20260308"},
                   {"Partito", "N"}});
    schede.Record({{"NumeroHotel", 1},
                   {"NumeroCamera", "10"},
                   {"NumeroProgressivo", 8},
                   {"NomeCliente", "€ „Caffè” àèìòù"},
                   {"DataArrivo", "20260301"},
                   {"DataPartenza", "20260305"}});
    schede.Record({{"NumeroHotel", 1},
                   {"NumeroCamera", "9"},
                   {"NumeroProgressivo", 9},
                   {"NomeCliente", "Rossi"},
                   {"DataArrivo", "20260305"},
                   {"DataPartenza", "20260306"},
                   {"Partito", "S"}});
    a.Arrangiamento(1, 7, "20260305", "20260307", "MP", 1234567)
        .Arrangiamento(1, 8, "20260301", "20260304", "BB", -1);
    a.TabellaDiNome("Arrangiamento")
        .Record({{"NumeroHotel", 1},
                 {"CodiceCliente", 9},
                 {"DataInizio", "20260304"},
                 {"DataFine", "20260305"},
                 {"Arrangiamento", "PC"}});
    auto& pren = a.TabellaDiNome("Camere_Prenotazione");
    pren.Record({{"NumeroHotel", 1},
                 {"NumeroPrenotazione", 1},
                 {"NumeroCamera", "9"},
                 {"DataArrivo", "20260305"},
                 {"DataPartenza", "20260307"},
                 {"NumeroPersone", 2},
                 {"TipoPrenotazione", "C"}});
    pren.Record({{"NumeroHotel", 2},
                 {"NumeroPrenotazione", 2},
                 {"NumeroCamera", "9"},
                 {"DataArrivo", "20260305"},
                 {"DataPartenza", "20260307"},
                 {"NumeroPersone", 1},
                 {"TipoPrenotazione", "C"}});
    pren.Record({{"NumeroHotel", 1},
                 {"NumeroPrenotazione", 3},
                 {"NumeroCamera", "10"},
                 {"DataArrivo", "20260303"},
                 {"DataPartenza", "20260305"},
                 {"NumeroPersone", 0},
                 {"TipoPrenotazione", "A"},
                 {"Prezzo", Denaro{123456}}});
    a.OspitePrenotazione(1, 1, "9", 3, "Terzo")
        .OspitePrenotazione(1, 1, "9", 1, "Primo")
        .OspitePrenotazione(1, 1, "9", 2, "Secondo");
    return a;
}

class RecordsetTest : public ::testing::Test {
protected:
    void SetUp() override { AlbergoDiProva().Scrivi(cartellaProva_.Percorso()); }

    std::shared_ptr<Database> Apri(const std::string& nome) {
        return Database::OpenDatabase(cartellaProva_.Percorso(), nome);
    }

    // The values of one field over the records the criterion finds.
    static std::vector<std::string> Trovati(Recordset& rs, const std::string& criterio,
                                            const std::string& campo) {
        std::vector<std::string> v;
        for (bool ok = rs.FindFirst(criterio); ok; ok = rs.FindNext(criterio)) {
            v.push_back(rs.Testo(campo));
        }
        return v;
    }

    static std::vector<std::string> Tutti(Recordset& rs, const std::string& campo) {
        std::vector<std::string> v;
        for (rs.MoveFirst(); !rs.Fine(); rs.MoveNext()) {
            v.push_back(rs.Testo(campo));
        }
        return v;
    }

    CartellaLavoro cartellaProva_;
};

TEST_F(RecordsetTest, FileNameIgnoresLetterCase) {
    auto db = Apri("numericamere.MDB");
    EXPECT_EQ(db->Percorso().filename(), "NumeriCamere.mdb");
    EXPECT_EQ(db->NomiTabelle(), std::vector<std::string>{"NumeriCamere"});
    EXPECT_EQ(db->OpenRecordset("NUMERICAMERE").RecordCount(), 6u);
}

TEST_F(RecordsetTest, FindFirstNextLastFollowTheSetOrder) {
    auto rs = Apri("NumeriCamere.mdb")->OpenRecordset("NumeriCamere");
    EXPECT_EQ(Trovati(rs, "NumeroHotel = 1 and NumeroTableau = 1", "NumeroCamera"),
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
    auto rs = Apri("NumeriCamere.mdb")->OpenRecordset("NumeriCamere");
    rs.Sort("[NumeroCamera]");
    Recordset ordinato = rs.OpenRecordset();
    EXPECT_EQ(Trovati(ordinato, "NumeroHotel = 1 and NumeroTableau = 1 and NumeroCamera >= '10'",
                      "NumeroCamera"),
              (std::vector<std::string>{"10", "101", "11", "9"}));
    EXPECT_EQ(Tutti(ordinato, "NumeroCamera"),
              (std::vector<std::string>{"1", "10", "101", "11", "9", "9"}));
    // the first set keeps its own order
    EXPECT_EQ(Tutti(rs, "NumeroCamera"),
              (std::vector<std::string>{"9", "10", "9", "101", "1", "11"}));
    // the sort of equal rooms keeps the file order (stable)
    ASSERT_TRUE(ordinato.FindLast("NumeroCamera = '9'"));
    EXPECT_EQ(ordinato.Numero("NumeroHotel"), 2);
}

TEST_F(RecordsetTest, RoomsWhoseTypeIsOnTheTableau) {
    auto db = Apri("NumeriCamere.mdb");
    auto rs = db->OpenRecordset(
        "Select * From NumeriCamere Where TipoCamera In (Select Sigla From TipiCamere In "
        "'TipiCamere.mdb' Where Tipologia = 'C');");
    // X is not "C", Z is missing from TipiCamere, room 11 has no type
    EXPECT_EQ(Tutti(rs, "NumeroCamera"), (std::vector<std::string>{"9", "10", "9"}));
    rs.Sort("[NumeroCamera]");
    auto ordinato = rs.OpenRecordset();
    EXPECT_EQ(Tutti(ordinato, "NumeroCamera"), (std::vector<std::string>{"10", "9", "9"}));
}

TEST_F(RecordsetTest, InnerSelectNeedsItsFile) {
    std::filesystem::remove(cartellaProva_ / "TipiCamere.mdb");
    auto db = Apri("NumeriCamere.mdb");
    const vdx::Errore e = ErroreDi([&] {
        db->OpenRecordset(
            "Select * From NumeriCamere Where TipoCamera In (Select Sigla From TipiCamere In "
            "'TipiCamere.mdb' Where Tipologia = 'C');");
    });
    EXPECT_EQ(e.Numero(), vdx::errore::DatabaseNonTrovato);
    EXPECT_TRUE(Contiene(e.what(), "TipiCamere.mdb")) << e.what();
}

TEST_F(RecordsetTest, SelectionTextsOfTheReport) {
    const std::string data = "20260305";
    auto schede = Apri("Scheda_Cliente.mdb");
    auto arrivi =
        schede->OpenRecordset("Select * From Scheda_Cliente Where DataArrivo = '" + data + "'");
    EXPECT_EQ(Tutti(arrivi, "NumeroProgressivo"), (std::vector<std::string>{"7", "9"}));
    auto partenze =
        schede->OpenRecordset("Select * From Scheda_Cliente Where DataPartenza = '" + data + "'");
    EXPECT_EQ(Tutti(partenze, "NumeroProgressivo"), (std::vector<std::string>{"8"}));

    auto prenotazioni = Apri("Camere_Prenotazione.mdb");
    auto arriviP = prenotazioni->OpenRecordset(
        "Select * From Camere_Prenotazione Where NumeroHotel = 1 and DataArrivo = '" + data + "'");
    EXPECT_EQ(Tutti(arriviP, "NumeroPrenotazione"), (std::vector<std::string>{"1"}));
    auto partenzeP = prenotazioni->OpenRecordset(
        "Select * From Camere_Prenotazione Where NumeroHotel = 1 and DataPartenza = '" + data +
        "'");
    EXPECT_EQ(Tutti(partenzeP, "NumeroPrenotazione"), (std::vector<std::string>{"3"}));

    auto arrangiamenti = Apri("Arrangiamento.mdb")
                             ->OpenRecordset("Select * From Arrangiamento Where DataInizio <= '" +
                                             data + "' and DataFine >= '" + data + "'");
    EXPECT_EQ(Tutti(arrangiamenti, "CodiceCliente"), (std::vector<std::string>{"7", "9"}));

    auto lista =
        Apri("ListaClienti_Prenotazione.mdb")
            ->OpenRecordset("Select * From ListaClienti_Prenotazione Order by NumeroCliente;");
    EXPECT_EQ(Tutti(lista, "NomeCliente"), (std::vector<std::string>{"Primo", "Secondo", "Terzo"}));
}

TEST_F(RecordsetTest, BookedRoomCriterionLeavesOutKindsAndEmptyRooms) {
    auto rs = Apri("Camere_Prenotazione.mdb")->OpenRecordset("Camere_Prenotazione");
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
    auto rs = Apri("Scheda_Cliente.mdb")->OpenRecordset("Scheda_Cliente");
    ASSERT_TRUE(
        rs.FindFirst("NomeCliente = '" + TestoTraApici("D'Angelo") + "' and NumeroHotel = 1"));
    EXPECT_EQ(rs.Numero("NumeroProgressivo"), 7);
    // a value built to widen the search finds nothing instead
    EXPECT_FALSE(rs.FindFirst("NomeCliente = '" + TestoTraApici("x' or NumeroHotel = '1") + "'"));
    EXPECT_EQ(ErroreDi([&] { rs.FindFirst("NomeCliente = 'D'Angelo'"); }).Numero(),
              vdx::errore::SintassiCriterio);
}

TEST_F(RecordsetTest, TextIsCodePage1252) {
    auto rs = Apri("Scheda_Cliente.mdb")->OpenRecordset("Scheda_Cliente");
    ASSERT_TRUE(rs.FindFirst("NumeroProgressivo = 8"));
    EXPECT_EQ(rs.Testo("NomeCliente"), "\x80 \x84"
                                       "Caff\xE8\x94 \xE0\xE8\xEC\xF2\xF9");
    EXPECT_TRUE(rs.FindFirst("NomeCliente = '\x80 \x84"
                             "Caff\xE8\x94 \xE0\xE8\xEC\xF2\xF9'"));
}

TEST_F(RecordsetTest, NullReadsAsEmptyTextOrZero) {
    auto rs = Apri("Scheda_Cliente.mdb")->OpenRecordset("Scheda_Cliente");
    ASSERT_TRUE(rs.FindFirst("NumeroProgressivo = 8"));
    EXPECT_TRUE(rs.Campo("Partito").Nullo());
    EXPECT_EQ(rs.Testo("Partito"), "");
    EXPECT_TRUE(rs.Campo("CodiceAgenzia").Nullo());
    EXPECT_EQ(rs.Numero("CodiceAgenzia"), 0);
    EXPECT_EQ(rs.Denaro("CodiceAgenzia"), 0);
    // NULL satisfies no comparison, not even <>
    EXPECT_EQ(Trovati(rs, "Partito <> 'S'", "NumeroProgressivo"), std::vector<std::string>{"7"});
    EXPECT_EQ(Trovati(rs, "CodiceAgenzia = 0", "NumeroProgressivo"), std::vector<std::string>{});
}

TEST_F(RecordsetTest, FieldNamesIgnoreLetterCaseAndUnknownOnesAreNamed) {
    auto rs = Apri("Arrangiamento.mdb")->OpenRecordset("arrangiamento");
    ASSERT_TRUE(rs.FindFirst("numerohotel = 1 and CODICECLIENTE = 7"));
    EXPECT_EQ(rs.Testo("arrangiamento"), "MP");
    EXPECT_EQ(rs.Denaro("importototale"), 1234567);
    const vdx::Errore e = ErroreDi([&] { rs.Testo("Importo"); });
    EXPECT_EQ(e.Numero(), vdx::errore::CampoNonTrovato);
    EXPECT_TRUE(Contiene(e.what(), "'Importo'")) << e.what();
    EXPECT_EQ(ErroreDi([&] { rs.FindFirst("Importo = 1"); }).Numero(),
              vdx::errore::CampoNonTrovato);
    EXPECT_EQ(ErroreDi([&] { rs.Sort("Importo"); }).Numero(), vdx::errore::CampoNonTrovato);
    EXPECT_EQ(rs.TipiCampi()[5], TipoCampo::Currency);
    EXPECT_EQ(rs.NomiCampi()[4], "Arrangiamento");
}

TEST_F(RecordsetTest, MissingFileIsNamed) {
    const vdx::Errore e = ErroreDi([&] { Apri("Manca.mdb"); });
    EXPECT_EQ(e.Numero(), vdx::errore::DatabaseNonTrovato);
    EXPECT_EQ(std::string(e.what()),
              "Impossibile trovare il file '" + (cartellaProva_ / "Manca.mdb").string() + "'.");
    std::filesystem::create_directory(cartellaProva_ / "Cartella.mdb");
    EXPECT_EQ(ErroreDi([&] { Apri("Cartella.mdb"); }).Numero(), vdx::errore::DatabaseNonTrovato);
}

TEST_F(RecordsetTest, FilesThatAreNotAccessFilesAreRefused) {
    std::ifstream buono(cartellaProva_ / "Tableau.mdb", std::ios::binary);
    const std::string byte((std::istreambuf_iterator<char>(buono)),
                           std::istreambuf_iterator<char>());
    ASSERT_GT(byte.size(), 3 * 4096u);
    const auto scrivi = [&](const std::string& nome, const std::string& contenuto) {
        std::ofstream(cartellaProva_ / nome, std::ios::binary) << contenuto;
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
        const vdx::Errore e = ErroreDi([&] { Apri(nome); });
        EXPECT_EQ(e.Numero(), vdx::errore::FormatoNonRiconosciuto) << nome;
        EXPECT_TRUE(Contiene(e.what(), nome)) << e.what();
    }
}

TEST_F(RecordsetTest, UnknownTableAndUnknownSelectionTexts) {
    auto db = Apri("Tableau.mdb");
    vdx::Errore e = ErroreDi([&] { db->OpenRecordset("Tableaux"); });
    EXPECT_EQ(e.Numero(), vdx::errore::TabellaNonTrovata);
    EXPECT_TRUE(Contiene(e.what(), "'Tableaux'") && Contiene(e.what(), "Tableau.mdb")) << e.what();
    EXPECT_EQ(ErroreDi([&] { db->OpenRecordset("Select * From Tableaux"); }).Numero(),
              vdx::errore::TabellaNonTrovata);
    for (const char* testo :
         {"Select Codice From Tableau", "Delete * From Tableau", "Tableau Where Codice = 1",
          "Select * From Tableau Where Codice = 1 or Codice = 2", ""}) {
        EXPECT_EQ(ErroreDi([&] { db->OpenRecordset(testo); }).Numero(),
                  vdx::errore::SintassiSelezione)
            << testo;
    }
    EXPECT_EQ(
        ErroreDi([&] { db->OpenRecordset("Select * From Tableau Where Piano = 1"); }).Numero(),
        vdx::errore::CampoNonTrovato);
}

TEST_F(RecordsetTest, NoCurrentRecordOnAnEmptySetOrPastTheEnd) {
    auto rs = Apri("Contatori.mdb")->OpenRecordset("Contatori");
    EXPECT_EQ(rs.RecordCount(), 0u);
    EXPECT_TRUE(rs.Fine());
    EXPECT_FALSE(rs.FindFirst("NumeroHotel = 1"));
    EXPECT_EQ(ErroreDi([&] { rs.Testo("NumeroHotel"); }).Numero(),
              vdx::errore::NessunRecordCorrente);
    auto camere = Apri("NumeriCamere.mdb")->OpenRecordset("NumeriCamere");
    for (int i = 0; i < 6; ++i) {
        EXPECT_FALSE(camere.Fine());
        camere.MoveNext();
    }
    EXPECT_TRUE(camere.Fine());
    camere.MoveNext();
    EXPECT_TRUE(camere.Fine());
    EXPECT_EQ(ErroreDi([&] { camere.Testo("NumeroCamera"); }).Numero(),
              vdx::errore::NessunRecordCorrente);
    // FindNext with no current record starts from the first
    ASSERT_TRUE(camere.FindNext("NumeroHotel = 1"));
    EXPECT_EQ(camere.Testo("NumeroCamera"), "9");
}

TEST_F(RecordsetTest, RecordsAreTheFileAsItWasAtOpening) {
    auto db = Apri("NumeriCamere.mdb");
    auto prima = db->OpenRecordset("NumeriCamere");
    Albergo altro;
    altro.TabellaDiNome("NumeriCamere").Record({{"NumeroHotel", 5}, {"NumeroCamera", "500"}});
    altro.Scrivi(cartellaProva_.Percorso());
    EXPECT_EQ(prima.RecordCount(), 6u);
    EXPECT_EQ(db->OpenRecordset("NumeriCamere").RecordCount(), 6u); // the same snapshot
    auto dopo = Apri("NumeriCamere.mdb")->OpenRecordset("NumeriCamere");
    ASSERT_EQ(dopo.RecordCount(), 1u);
    EXPECT_EQ(dopo.Testo("NumeroCamera"), "500");
}

TEST_F(RecordsetTest, RecordSetsMoveAndOutliveTheirDatabase) {
    auto db = Apri("NumeriCamere.mdb");
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
    EXPECT_EQ(ErroreDi([&] { db->OpenRecordset("NumeriCamere"); }).Numero(),
              vdx::errore::ChiamataNonValida);
    insieme[1].Close();
    EXPECT_FALSE(insieme[1].Aperto());
    EXPECT_EQ(ErroreDi([&] { insieme[1].Testo("NumeroCamera"); }).Numero(),
              vdx::errore::ChiamataNonValida);
}

TEST_F(RecordsetTest, TablesStayReadableOnceTheFileIsLetGo) {
    auto db = Apri("Stampanti.mdb");
    ASSERT_EQ(db->NomiTabelle(), (std::vector<std::string>{"Stampanti", "SetStampa"}));
    auto a = db->OpenRecordset("SetStampa");
    auto b = db->OpenRecordset("Stampanti"); // the last table: the file's bytes go
    EXPECT_EQ(db->OpenRecordset("setstampa").RecordCount(), a.RecordCount());
    EXPECT_EQ(db->OpenRecordset("Select * From Stampanti Where NumeroHotel = 1").RecordCount(),
              b.RecordCount());
    EXPECT_EQ(ErroreDi([&] { db->OpenRecordset("Contatori"); }).Numero(),
              vdx::errore::TabellaNonTrovata);
    EXPECT_EQ(db->NomiTabelle().size(), 2u);
}

TEST_F(RecordsetTest, NothingIsPrintedForCorrectFiles) {
    testing::internal::CaptureStderr();
    std::size_t tabelle = 0;
    for (const auto& voce : std::filesystem::directory_iterator(cartellaProva_.Percorso())) {
        auto db = Apri(voce.path().filename().string());
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
    CartellaLavoro cartellaProva;
    vdx::fixture::TabellaProva t(
        "Note", {"Codice:Long", "Gruppo:Integer", "Testo:Memo", "Stanza:Text(10)"});
    std::string lungo;
    for (int i = 0; i < 3000; ++i) {
        lungo += "riga " + std::to_string(i) + " \xC3\xA8;";
    }
    for (int i = 0; i < 2000; ++i) {
        t.ConRiga({std::int64_t{i}, std::int64_t{i % 7},
                   i == 1234 ? lungo : std::string("nota ") + std::to_string(i),
                   std::to_string(i % 50)});
    }
    vdx::fixture::ScriviMdb(cartellaProva / "Note.mdb", {t});
    auto rs = Database::OpenDatabase(cartellaProva.Percorso(), "Note.mdb")->OpenRecordset("Note");
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
