#include "app/Comandi.h"
#include "shared/FileTesto.h"
#include "support/CartellaLavoro.h"

#include <gtest/gtest.h>
#include <sstream>

namespace vdx {
namespace {

using test::CartellaLavoro;

struct CasoComando {
    const char* nome;
    std::vector<std::string> argomenti;
    std::string postazione;
    int esito;
    std::string uscita;    // the output file's name, or "" when none is written
    std::string messaggio; // part of what goes to the error stream
};

class RigaComando : public ::testing::TestWithParam<CasoComando> {};

TEST_P(RigaComando, Exports) {
    const auto& caso = GetParam();
    CartellaLavoro cartella;
    ScriviFileAtomico(cartella / "FD7", "| 1.234,56|\r\n");
    ScriviFileAtomico(cartella / "salvato", "a-b\r\n");
    std::filesystem::create_directory(cartella / "sotto");
    const auto csv = cartella / ("fd" + caso.postazione + ".csv");
    ScriviFileAtomico(csv, "prima\r\n");
    std::ostringstream out;
    std::ostringstream err;
    EXPECT_EQ(EseguiEsportaCsv(caso.argomenti, out, err, cartella.Percorso(), caso.postazione),
              caso.esito);
    EXPECT_NE(err.str().find(caso.messaggio), std::string::npos) << err.str();
    if (caso.uscita.empty()) {
        // One line (then where to look, for a wrong command line), and the
        // last export as it was.
        EXPECT_EQ(out.str(), "");
        const std::string e = err.str();
        EXPECT_EQ(e.rfind("vdx: ", 0), 0u) << e;
        const std::size_t fine = e.find('\n');
        EXPECT_TRUE(fine + 1 == e.size() || e.find("Provare", fine) == fine + 1) << e;
        EXPECT_EQ(LeggiFile(csv), "prima\r\n");
        return;
    }
    EXPECT_EQ(out.str(), caso.uscita + "\n");
    EXPECT_TRUE(std::filesystem::exists(cartella / caso.uscita));
}

INSTANTIATE_TEST_SUITE_P(
    ExportCsv, RigaComando,
    ::testing::Values(
        CasoComando{"TheWorkstationsReport", {}, "7", 0, "fd7.csv", ""},
        CasoComando{"AFileNamed", {"salvato"}, "7", 0, "fd7.csv", ""},
        CasoComando{"NoWorkstationNumber", {"salvato"}, "", 0, "fd.csv", ""},
        CasoComando{"MissingReport", {}, "8", 1, "", "errore 53"},
        CasoComando{"AFolder", {"sotto"}, "7", 1, "", "errore 75"},
        CasoComando{
            "TooManyWords", {"a", "b"}, "7", 2, "", "Provare \u00ABvdx export-csv --help\u00BB"}),
    [](const auto& riga) { return std::string(riga.param.nome); });

} // namespace
} // namespace vdx
