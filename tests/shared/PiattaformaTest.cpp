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

// Whether the desktop's opener took the file, as xdg-open tells it: by its
// status, or by running on with the program it started in front.
TEST(ApriConProgramma, TellsWhetherAProgramTookTheFile) {
    struct Caso {
        const char* nome;
        const char* apritore; // the stand-in xdg-open's commands, nullptr for none
        bool aperto;
    };
    const std::string prima = std::getenv("PATH") ? std::getenv("PATH") : "";
    for (const Caso& c : {Caso{"a program took it", "exit 0", true},
                          Caso{"no program for it", "echo nessuno >&2; exit 3", false},
                          Caso{"the program runs in front", "exec sleep 5 >/dev/null 2>&1", true},
                          Caso{"no opener", nullptr, false}}) {
        vdx::test::CartellaLavoro cartella;
        std::string percorso = cartella.Percorso().string();
        if (c.apritore != nullptr) {
            std::ofstream(cartella / "xdg-open") << "#!/bin/sh\n" << c.apritore << "\n";
            fs::permissions(cartella / "xdg-open", fs::perms::owner_all);
            percorso += ":" + prima;
        }
        ::setenv("PATH", percorso.c_str(), 1);
        EXPECT_EQ(vdx::piattaforma::ApriConProgramma(cartella / "fd3.csv"), c.aperto) << c.nome;
        ::setenv("PATH", prima.c_str(), 1);
    }
}

} // namespace
