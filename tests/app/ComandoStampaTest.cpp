// `vdx print`: the print menu's print button without a window.

#include "app/Comandi.h"
#include "jet/FileLeggibile.h"
#include "printing/AlbergoStampa.h"
#include "shared/FileTesto.h"
#include "support/CartellaLavoro.h"

#include <cstdlib>
#include <gtest/gtest.h>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace {

namespace fx = vdx::fixture;
using vdx::test::AlbergoDiStampa;
using vdx::test::CartellaLavoro;
using vdx::test::Fabbrica;
using vdx::test::StampanteRegistrata;

// The print command ----------------------------------------------------------

struct CasoComando {
    const char* nome;
    std::vector<std::string> argomenti;
    int esito;
    std::string primaChiamata; // of the recording printer, "" when none was made
    std::string messaggio;     // part of what is written to err
};

class ComandoStampa : public ::testing::TestWithParam<CasoComando> {};

TEST_P(ComandoStampa, RunsTheMenuPrint) {
    CartellaLavoro cartella;
    AlbergoDiStampa().Scrivi(cartella.Percorso());
    vdx::ScriviRigheAtomico(cartella / "FD", {"A"});
    StampanteRegistrata* p = nullptr;
    std::ostringstream out;
    std::ostringstream err;
    EXPECT_EQ(
        vdx::EseguiStampa(GetParam().argomenti, out, err, cartella.Percorso(), "", Fabbrica(p)),
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

// The choices reach the printer, and the run reads each of the suite's files
// once: the destinations, the settings and the hotel come from one reading.
TEST(ComandoStampa, LandscapeDuplexAndNormal) {
    CartellaLavoro cartella;
    AlbergoDiStampa().Scrivi(cartella.Percorso());
    vdx::ScriviRigheAtomico(cartella / "FD", {"A"});
    StampanteRegistrata* p = nullptr;
    std::ostringstream out, err;
    std::map<std::string, int> aperture;
    vdx::jet::ImpostaAperturaFile([&](const std::filesystem::path& file) {
        ++aperture[file.filename().string()];
        return vdx::jet::ApriFileDiSistema(file);
    });
    const int esito = vdx::EseguiStampa({"--landscape", "--duplex", "--normal"}, out, err,
                                        cartella.Percorso(), "", Fabbrica(p));
    vdx::jet::ImpostaAperturaFile(nullptr);
    ASSERT_EQ(esito, 0) << err.str();
    const std::map<std::string, int> unaVolta{
        {"AnagraficaHotels.mdb", 1}, {"Contatori.mdb", 1}, {"Stampanti.mdb", 1}};
    EXPECT_EQ(aperture, unaVolta);
    std::vector<std::string> atteso{"device Ufficio", "duplex 2", "orient 2"};
    const auto pagina = vdx::test::PaginaLaser("size 10");
    atteso.insert(atteso.end(), pagina.begin(), pagina.end());
    atteso.insert(atteso.end(), {"end", "orient 1"});
    EXPECT_EQ(p->chiamate, atteso);
}

TEST(ComandoStampa, NoPdfDestination) {
    CartellaLavoro cartella;
    fx::Albergo().Destinazione(1, "Archivio pdf", 1, "x.pdf").Scrivi(cartella.Percorso());
    StampanteRegistrata* p = nullptr;
    std::ostringstream out, err;
    EXPECT_EQ(vdx::EseguiStampa({"--pdf"}, out, err, cartella.Percorso(), "", Fabbrica(p)), 1);
    EXPECT_EQ(err.str(), "vdx: Nessuna stampante PDF impostata!\n");
}

// An empty report: nothing printed, and the command says so.
TEST(ComandoStampa, EmptyReport) {
    CartellaLavoro cartella;
    AlbergoDiStampa().Scrivi(cartella.Percorso());
    vdx::ScriviFileAtomico(cartella / "FD", "");
    StampanteRegistrata* p = nullptr;
    std::ostringstream out;
    std::ostringstream err;
    EXPECT_EQ(vdx::EseguiStampa({"--destination", "Aghi"}, out, err, cartella.Percorso(), "",
                                Fabbrica(p)),
              1);
    EXPECT_EQ(out.str(), "");
    EXPECT_NE(err.str().find("vuoto"), std::string::npos) << err.str();
}

} // namespace
