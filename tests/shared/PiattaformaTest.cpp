#include "shared/Piattaforma.h"

#include "support/CartellaLavoro.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <string>

namespace {

namespace fs = std::filesystem;

// A program named as on the suite's workstations ("Recapito.exe") is found
// on the search path as it is installed here, with or without ".exe", in any
// letter case; a file that cannot be run is not a program.
TEST(CercaProgramma, FindsWindowsNamesInstalledWithoutExe) {
    vdx::test::CartellaLavoro cartella;
    const auto crea = [&](const std::string& nome, fs::perms permessi) {
        std::ofstream(cartella / nome) << "#!/bin/sh\n";
        fs::permissions(cartella / nome, permessi);
    };
    crea("recapito", fs::perms::owner_all);
    crea("Altro.exe", fs::perms::owner_all);
    crea("Fermo", fs::perms::owner_read | fs::perms::owner_write);
    const std::string prima = std::getenv("PATH") ? std::getenv("PATH") : "";
    ::setenv("PATH", cartella.Percorso().c_str(), 1);
    EXPECT_EQ(vdx::piattaforma::CercaProgramma("Recapito.exe"), cartella / "recapito");
    EXPECT_EQ(vdx::piattaforma::CercaProgramma("ALTRO.EXE"), cartella / "Altro.exe");
    EXPECT_EQ(vdx::piattaforma::CercaProgramma("Fermo"), fs::path());
    EXPECT_EQ(vdx::piattaforma::CercaProgramma("Manca.exe"), fs::path());
    ::setenv("PATH", prima.c_str(), 1);
}

} // namespace
