// The demo's sender (tools/recapito/Recapito.exe), started as the preview
// starts it: found on the search path, in the working folder, not waited for.

#include "Ambiente.h"
#include "preview/InviaEMail.h"
#include "shared/FileTesto.h"
#include "shared/Piattaforma.h"

#include <chrono>
#include <gtest/gtest.h>
#include <thread>

namespace vdx {
namespace {

namespace fs = std::filesystem;

std::optional<fs::path> MessaggioScritto(const fs::path& cartella) {
    for (const auto& voce : fs::directory_iterator(cartella)) {
        if (voce.path().extension() == ".eml") {
            return voce.path();
        }
    }
    return std::nullopt;
}

TEST(RecapitoDemo, FromTheHandOffFileToTheMessage) {
    if (piattaforma::CercaProgramma("python3").empty()) {
        GTEST_SKIP() << "python3 is not installed";
    }
    test::CartellaLavoro cartella;
    test::PcLocaleTemporaneo pc("4"); // the sender reads pclocal from the environment it inherits
    const std::string percorsoPrima = std::getenv("PATH") ? std::getenv("PATH") : "";
    const std::string conRecapito =
        std::string(VDX_SOURCE_DIR) + "/tools/recapito:" + percorsoPrima;
    ::setenv("PATH", conRecapito.c_str(), 1);
    InviaEMail("|101   | Rossi \x80 \xE8|\r\n|102   |\r\n", cartella.Percorso(), "4");
    ::setenv("PATH", percorsoPrima.c_str(), 1);

    std::optional<fs::path> eml;
    for (int i = 0; i < 200 && !(eml = MessaggioScritto(cartella.Percorso())); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    ASSERT_TRUE(eml.has_value());
    EXPECT_EQ(eml->filename().string().substr(0, 8), "e-mail4-");
    const std::string messaggio = LeggiFile(*eml);
    EXPECT_NE(messaggio.find("Subject: Tableau del "), std::string::npos);
    // The page, in UTF-8, without the OGGETTO line.
    EXPECT_NE(messaggio.find("|101   | Rossi \xE2\x82\xAC \xC3\xA8|\n|102   |\n"),
              std::string::npos)
        << messaggio;
    EXPECT_EQ(messaggio.find("OGGETTO"), std::string::npos);
}

} // namespace
} // namespace vdx
