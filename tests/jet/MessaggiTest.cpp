// The data layer speaks Italian: every kind of error it raises is told in
// Italian, with its number, naming what it concerns.

#include "Albergo.h"
#include "jet/Database.h"
#include "jet/FileLeggibile.h"
#include "shared/Errore.h"
#include "shared/FileTesto.h"
#include "support/CartellaLavoro.h"

#include <functional>
#include <gtest/gtest.h>
#include <regex>
#include <string>

namespace {

using vdx::test::CartellaLavoro;

TEST(Messaggi, EveryErrorOfTheDataLayerIsItalian) {
    vdx::jet::ImpostaAttesaRilettura([] {}); // a damaged file is read again at once
    CartellaLavoro cartellaProva;
    vdx::fixture::Albergo a;
    a.TabellaDiNome("TipiCamere").Record({{"Sigla", "S"}, {"Tipologia", "C"}});
    a.Scrivi(cartellaProva.Percorso());
    vdx::ScriviFileAtomico(cartellaProva / "Nonmdb.mdb", std::string(8192, 'x'));
    vdx::ScriviFileAtomico(
        cartellaProva / "Tronco.mdb",
        vdx::LeggiFile(cartellaProva / "TipiCamere.mdb").substr(0, 4096 * 3 + 100));
    const auto apri = [&](const char* nome) {
        return vdx::jet::Database::OpenDatabase(cartellaProva.Percorso(), nome);
    };
    const struct {
        const char* nome;
        std::function<void()> fallisce;
        int numero;
        const char* nomina; // what the message must name
    } casi[] = {
        {"missing file", [&] { apri("Manca.mdb"); }, vdx::errore::DatabaseNonTrovato, "Manca.mdb"},
        {"not an Access file", [&] { apri("Nonmdb.mdb"); }, vdx::errore::FormatoNonRiconosciuto,
         "Nonmdb.mdb"},
        {"cut short", [&] { apri("Tronco.mdb"); }, vdx::errore::FormatoNonRiconosciuto,
         "Tronco.mdb"},
        {"no such table", [&] { apri("TipiCamere.mdb")->OpenRecordset("Tipi"); },
         vdx::errore::TabellaNonTrovata, "Tipi"},
        {"no such field",
         [&] {
             auto rs = apri("TipiCamere.mdb")->OpenRecordset("TipiCamere");
             rs.FindFirst("Sigla = 'S'");
             rs.Campo("Colore");
         },
         vdx::errore::CampoNonTrovato, "Colore"},
        {"criterion",
         [&] { apri("TipiCamere.mdb")->OpenRecordset("TipiCamere").FindFirst("Sigla = = 'S'"); },
         vdx::errore::SintassiCriterio, "Sigla = = 'S'"},
        {"selection",
         [&] { apri("TipiCamere.mdb")->OpenRecordset("Select Sigla From TipiCamere"); },
         vdx::errore::SintassiSelezione, "Select Sigla From TipiCamere"},
        {"no current record",
         [&] {
             auto rs = apri("TipiCamere.mdb")
                           ->OpenRecordset("Select * From TipiCamere Where Sigla = 'Z'");
             rs.Campo("Sigla");
         },
         vdx::errore::NessunRecordCorrente, "Sigla"},
        {"closed database",
         [&] {
             auto db = apri("TipiCamere.mdb");
             db->Close();
             db->OpenRecordset("TipiCamere");
         },
         vdx::errore::ChiamataNonValida, "TipiCamere.mdb"},
        {"closed record set",
         [&] {
             auto rs = apri("TipiCamere.mdb")->OpenRecordset("TipiCamere");
             rs.Close();
             rs.FindFirst("Sigla = 'S'");
         },
         vdx::errore::ChiamataNonValida, "recordset"},
    };
    // Words an English message could not do without.
    const std::regex inglese(R"(\b(the|is|not|cannot|could|found|error|expected|file is|of)\b)",
                             std::regex::icase);
    for (const auto& c : casi) {
        try {
            c.fallisce();
            ADD_FAILURE() << c.nome << ": no error";
        } catch (const vdx::Errore& e) {
            const std::string testo = e.what();
            EXPECT_EQ(e.Numero(), c.numero) << c.nome << ": " << testo;
            EXPECT_NE(testo.find(c.nomina), std::string::npos) << c.nome << ": " << testo;
            // The texts quoted from the caller may hold anything: leave them out.
            std::string proprio = testo;
            for (const std::string& parte :
                 {std::string(c.nomina), cartellaProva.Percorso().string()}) {
                for (auto at = proprio.find(parte); at != std::string::npos;
                     at = proprio.find(parte)) {
                    proprio.erase(at, parte.size());
                }
            }
            EXPECT_FALSE(std::regex_search(proprio, inglese)) << c.nome << ": " << testo;
        }
    }
    vdx::jet::ImpostaAttesaRilettura(nullptr);
}

} // namespace
