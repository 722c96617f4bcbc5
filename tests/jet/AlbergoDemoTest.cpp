// The demo hotel: every file readable, and the cases the day's tableau of
// hotel 1 must show are in the data, dated around the chosen day.

#include "AlbergoDemo.h"

#include "RiletturaLibmdb.h"
#include "jet/Database.h"
#include "shared/Cp1252.h"
#include "support/CartellaLavoro.h"

#include <algorithm>
#include <gtest/gtest.h>

namespace vdx::test {
namespace {

using fixture::ScriviDemo;

const vdx::DataOra Oggi{2024, 2, 28}; // the day after crosses the leap day
const std::string T = "20240228";

class Demo : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        cartellaProva_ = new CartellaLavoro;
        riepilogo_ = ScriviDemo(cartellaProva_->Percorso(), Oggi);
    }
    static void TearDownTestSuite() {
        delete cartellaProva_;
        cartellaProva_ = nullptr;
    }
    static jet::Recordset Apri(const std::string& file, const std::string& tabella) {
        auto db = jet::Database::OpenDatabase(cartellaProva_->Percorso(), file);
        return db->OpenRecordset(tabella);
    }
    static std::size_t Conta(const std::string& file, const std::string& tabella,
                             const std::string& criterio) {
        jet::Recordset rs = Apri(file, tabella);
        std::size_t n = 0;
        for (bool trovato = rs.FindFirst(criterio); trovato; trovato = rs.FindNext(criterio)) {
            ++n;
        }
        return n;
    }
    static CartellaLavoro* cartellaProva_;
    static fixture::RiepilogoDemo riepilogo_;
};
CartellaLavoro* Demo::cartellaProva_ = nullptr;
fixture::RiepilogoDemo Demo::riepilogo_;

TEST_F(Demo, EveryFileReadsCleanlyThroughLibmdbAndOurReader) {
    EXPECT_EQ(riepilogo_.file, 13u);
    EXPECT_EQ(riepilogo_.alberghi, 2u);
    EXPECT_GE(riepilogo_.camere, 55u);
    EXPECT_LE(riepilogo_.camere, 65u);
    std::size_t tabelle = 0;
    for (const auto& e : std::filesystem::directory_iterator(cartellaProva_->Percorso())) {
        for (const std::string& t : TabelleLibmdb(e.path())) {
            SCOPED_TRACE(t);
            const TabellaLetta letta = LeggiLibmdb(e.path(), t);
            EXPECT_EQ(letta.stderrTesto, "");
            EXPECT_EQ(letta.righe.size(), letta.righeDichiarate);
            EXPECT_EQ(Apri(e.path().filename().string(), t).RecordCount(), letta.righe.size());
            ++tabelle;
        }
    }
    EXPECT_EQ(tabelle, 14u);
    EXPECT_NE(riepilogo_.Testo(cartellaProva_->Percorso(), Oggi).find("2 hotel, "),
              std::string::npos);
}

TEST_F(Demo, HotelsAndTheirAssistanceCodes) {
    jet::Recordset h = Apri("AnagraficaHotels.mdb", "AnagraficaHotels");
    ASSERT_TRUE(h.FindFirst("Numero = 1"));
    const std::string codice1 = h.Testo("CodiceAssistenza");
    EXPECT_FALSE(codice1.empty());
    EXPECT_EQ(codice1.find_first_of("UK"), std::string::npos);
    ASSERT_TRUE(h.FindFirst("Numero = 2"));
    EXPECT_NE(h.Testo("CodiceAssistenza").find('U'), std::string::npos);
    EXPECT_GE(Conta("Tableau.mdb", "Tableau", "NumeroHotel = 1 and Codice > 0"), 3u);
}

TEST_F(Demo, RoomsOfOtherTypesAndTypesMissing) {
    jet::Recordset camere = Apri("NumeriCamere.mdb", "NumeriCamere");
    jet::Recordset tipi = Apri("TipiCamere.mdb", "TipiCamere");
    int nonC = 0, mancanti = 0;
    for (camere.MoveFirst(); !camere.Fine(); camere.MoveNext()) {
        if (camere.Numero("NumeroHotel") != 1) {
            continue;
        }
        if (!tipi.FindFirst("Sigla = '" + camere.Testo("TipoCamera") + "'")) {
            ++mancanti;
        } else if (tipi.Testo("Tipologia") != "C") {
            ++nonC;
        }
    }
    EXPECT_GE(nonC, 2);
    EXPECT_GE(mancanti, 1);
}

TEST_F(Demo, GuestsPresentArrivingLeavingAndGone) {
    const std::string f = "Scheda_Cliente.mdb", t = "Scheda_Cliente";
    EXPECT_GE(Conta(f, t,
                    "NumeroHotel = 1 and DataArrivo < '" + T + "' and DataPartenza > '" + T +
                        "' and Partito <> 'S'"),
              5u);
    EXPECT_GE(Conta(f, t, "NumeroHotel = 1 and DataArrivo = '" + T + "'"), 2u);
    EXPECT_GE(Conta(f, t, "NumeroHotel = 1 and DataPartenza = '" + T + "' and Partito <> 'S'"), 2u);
    EXPECT_GE(Conta(f, t, "NumeroHotel = 1 and Partito = 'S' and DataPartenzaReale = '" + T + "'"),
              2u);
    EXPECT_GE(
        Conta(f, t, "NumeroHotel = 1 and NumeroComponente = 2 and DataPartenza > '" + T + "'"), 3u);
    EXPECT_GE(Conta(f, t, "NumeroHotel = 1 and NumeroComponente = 3"), 2u);
    EXPECT_GE(Conta(f, t, "NumeroHotel = 1 and DataPartenza < '" + T + "' and Partito = 'S'"), 20u);
    EXPECT_GE(Conta(f, t, "NumeroHotel = 1 and CodiceAgenzia > 0 and DataPartenza >= '" + T + "'"),
              3u);
    EXPECT_GE(Conta(f, t, "NumeroHotel = 2 and DataPartenza >= '" + T + "'"), 2u);
    // The day after: 29/02/2024.
    EXPECT_GE(Conta(f, t, "DataPartenza = '20240229'"), 1u);
}

TEST_F(Demo, CompaniesAgenciesAndArrangements) {
    EXPECT_GE(Conta("Ditta_Intestataria.mdb", "Ditta_Intestataria",
                    "NumeroHotel = 1 and NumeroConto = 1"),
              3u);
    EXPECT_GE(Conta("Ditta_Intestataria.mdb", "Ditta_Intestataria", "NumeroConto = 2"), 1u);
    EXPECT_GE(Conta("AgenzieAbituali.mdb", "AgenzieAbituali", "NumeroHotel = 1"), 3u);
    jet::Recordset a = Apri("Arrangiamento.mdb", "Arrangiamento");
    const std::string valido =
        "NumeroHotel = 1 and DataInizio <= '" + T + "' and DataFine >= '" + T + "'";
    int oltreMille = 0, negativi = 0, validi = 0;
    for (bool ok = a.FindFirst(valido); ok; ok = a.FindNext(valido)) {
        ++validi;
        oltreMille += a.Denaro("ImportoTotale") > 1000 * 10000;
        negativi += a.Denaro("ImportoTotale") < 0;
    }
    EXPECT_GE(validi, 8);
    EXPECT_GE(oltreMille, 2);
    EXPECT_GE(negativi, 1);
}

TEST_F(Demo, BookingsOfEveryKind) {
    const std::string f = "Camere_Prenotazione.mdb", t = "Camere_Prenotazione";
    const std::string accettata =
        " and NumeroPersone > 0 and TipoPrenotazione <> 'A' and TipoPrenotazione <> 'I' and "
        "TipoPrenotazione <> 'W'";
    jet::Recordset camere = Apri(f, t);
    jet::Recordset testate = Apri("Scheda_Prenotazione.mdb", "Scheda_Prenotazione");
    jet::Recordset lista = Apri("ListaClienti_Prenotazione.mdb", "ListaClienti_Prenotazione");
    auto accettate = [&](const std::string& criterio) {
        int n = 0;
        for (bool ok = camere.FindFirst(criterio); ok; ok = camere.FindNext(criterio)) {
            const std::string numero = camere.Testo("NumeroPrenotazione");
            if (testate.FindFirst("NumeroHotel = 1 and NumeroPrenotazione = " + numero)) {
                const std::string tipo = testate.Testo("TipoPrenotazione");
                n += tipo == "C" || tipo == "O" || tipo == "D";
            }
        }
        return n;
    };
    EXPECT_GE(accettate("NumeroHotel = 1 and DataArrivo = '" + T + "'" + accettata), 3);
    EXPECT_GE(accettate("NumeroHotel = 1 and DataArrivo < '" + T + "' and DataPartenza > '" + T +
                        "'" + accettata),
              2);
    EXPECT_GE(accettate("NumeroHotel = 1 and DataPartenza = '" + T + "'" + accettata), 1);
    for (const char* tipo : {"A", "I", "W"}) {
        EXPECT_GE(Conta(f, t, "NumeroHotel = 1 and TipoPrenotazione = '" + std::string(tipo) + "'"),
                  1u)
            << tipo;
    }
    EXPECT_GE(Conta(f, t, "NumeroHotel = 1 and NumeroPersone = 0"), 1u);
    EXPECT_GE(Conta(f, t,
                    "Quantit\xE0"
                    "Camere > 1"),
              1u);
    EXPECT_GE(Conta("Scheda_Prenotazione.mdb", "Scheda_Prenotazione",
                    "NumeroHotel = 1 and TipoPrenotazione <> 'C' and TipoPrenotazione <> 'O' and "
                    "TipoPrenotazione <> 'D'"),
              1u);
    // A booking with its guests listed out of order, and one with none.
    ASSERT_TRUE(
        camere.FindFirst("NumeroHotel = 1 and NumeroCamera = '104' and DataArrivo = '" + T + "'"));
    const std::string n104 = camere.Testo("NumeroPrenotazione");
    ASSERT_TRUE(lista.FindFirst("NumeroHotel = 1 and NumeroPrenotazione = " + n104));
    EXPECT_EQ(lista.Numero("NumeroCliente"), 2);
    ASSERT_TRUE(camere.FindFirst("NumeroHotel = 1 and NumeroCamera = '107'"));
    EXPECT_FALSE(lista.FindFirst("NumeroPrenotazione = " + camere.Testo("NumeroPrenotazione")));
}

TEST_F(Demo, PrinterDestinationsOfHotelOne) {
    jet::Recordset st = Apri("Stampanti.mdb", "Stampanti");
    jet::Recordset set = Apri("Stampanti.mdb", "SetStampa");
    auto gruppo = [](const std::string& t, int k) {
        return t.substr(static_cast<std::size_t>(3 * k - 3), 3);
    };
    const auto cartella = std::filesystem::absolute(cartellaProva_->Percorso());

    ASSERT_TRUE(st.FindFirst("NumeroHotel = 1 and Destinazione = 'Archivio PDF'"));
    std::filesystem::path linea = st.Testo("Linea");
    EXPECT_EQ(linea, cartella / "tableau.pdf");
    ASSERT_TRUE(set.FindFirst("TipoStampa = " + st.Testo("TipoStampa")));
    EXPECT_EQ(gruppo(set.Testo("Compresso"), 6), "001");
    EXPECT_EQ(gruppo(set.Testo("Compresso"), 1), "007");
    EXPECT_EQ(gruppo(set.Testo("Grassetto"), 6), "002");
    EXPECT_EQ(gruppo(set.Testo("Grassetto"), 7), "066");
    EXPECT_EQ(gruppo(set.Testo("Grassetto"), 8), "066");

    ASSERT_TRUE(st.FindFirst("NumeroHotel = 1 and Destinazione = 'Banco'"));
    linea = st.Testo("Linea");
    EXPECT_EQ(linea.parent_path(), cartella);
    ASSERT_TRUE(set.FindFirst("TipoStampa = " + st.Testo("TipoStampa")));
    const std::string compresso = set.Testo("Compresso");
    EXPECT_NE(gruppo(compresso, 6), "001");
    EXPECT_EQ(compresso.substr(0, 15), "027015000000000");
    EXPECT_EQ(gruppo(compresso, 7) + gruppo(compresso, 8), "027018");

    // Only one destination of hotel 1 names PDF.
    int pdf = 0;
    for (bool ok = st.FindFirst("NumeroHotel = 1"); ok; ok = st.FindNext("NumeroHotel = 1")) {
        pdf += st.Testo("Destinazione").find("PDF") != std::string::npos;
    }
    EXPECT_EQ(pdf, 1);

    jet::Recordset c = Apri("Contatori.mdb", "Contatori");
    for (int h : {1, 2}) {
        ASSERT_TRUE(c.FindFirst("NumeroHotel = " + std::to_string(h)));
        EXPECT_EQ(c.Numero("LungPagComp"), 80);
        EXPECT_EQ(c.Numero("LungPagNoComp"), 60);
    }
}

TEST_F(Demo, AccentsAndTypographicMarksAreInTheText) {
    std::string tutto;
    for (const auto& e : std::filesystem::directory_iterator(cartellaProva_->Percorso())) {
        auto db =
            jet::Database::OpenDatabase(cartellaProva_->Percorso(), e.path().filename().string());
        for (const std::string& t : db->NomiTabelle()) {
            jet::Recordset rs = db->OpenRecordset(t);
            const auto campi = rs.NomiCampi();
            for (rs.MoveFirst(); !rs.Fine(); rs.MoveNext()) {
                for (const std::string& c : campi) {
                    tutto += rs.Testo(c);
                }
            }
        }
    }
    for (const char* segno : {"\xC8", "\xE0", "\xE7", "\x84", "\x94", "\x80"}) { // È à ç „ ” €
        EXPECT_NE(tutto.find(segno), std::string::npos) << Utf8DaCp1252(segno);
    }
}

TEST(DemoProgram, WritesTheFolderAndSaysWhatItWrote) {
    const std::filesystem::path programma =
        std::filesystem::path(VDX_BINARY_DIR) / "bin" / "vdx-demo";
    if (!std::filesystem::exists(programma)) {
        GTEST_SKIP() << programma << " not built";
    }
    CartellaLavoro cartellaProva;
    const auto cartella = cartellaProva / "demo hotel";
    const EsitoComando esito = Esegui(Quota(programma) + " " + Quota(cartella));
    EXPECT_EQ(esito.codice, 0);
    EXPECT_EQ(esito.err, "");
    EXPECT_EQ(esito.out.rfind("vdx-demo: 13 file (", 0), 0u) << esito.out;
    EXPECT_NE(esito.out.find(" 2 hotel, 60 camere, "), std::string::npos) << esito.out;
    EXPECT_EQ(std::count(esito.out.begin(), esito.out.end(), '\n'), 1);
    EXPECT_EQ(Esegui("mdb-count " + Quota(cartella / "NumeriCamere.mdb") + " NumeriCamere").out,
              "60\n");

    const EsitoComando uso = Esegui(Quota(programma));
    EXPECT_EQ(uso.codice, 2);
    EXPECT_EQ(uso.err, "vdx-demo: mancano gli argomenti\nProvare \u00ABvdx-demo --help\u00BB\n");
}

TEST(DemoDates, FollowTheChosenDay) {
    for (const vdx::DataOra& oggi : {vdx::DataOra{2024, 2, 28}, vdx::DataOra{2026, 12, 31}}) {
        fixture::Albergo a = fixture::AlbergoDemo(oggi, "/tmp");
        char chiave[16];
        std::snprintf(chiave, sizeof chiave, "%04d%02d%02d", oggi.anno, oggi.mese, oggi.giorno);
        int arrivi = 0;
        for (const auto& riga : a.TabellaDiNome("Scheda_Cliente").RigheScritte()) {
            arrivi += std::get<std::string>(riga[5]) == chiave; // DataArrivo
        }
        EXPECT_EQ(arrivi, 4) << chiave;
    }
}

} // namespace
} // namespace vdx::test
