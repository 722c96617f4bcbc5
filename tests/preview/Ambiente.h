#pragma once

#include "support/CartellaLavoro.h"

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>

namespace vdx::test {

// Sets `pclocal` in the environment for one test (nullopt leaves it unset),
// for a program the test starts that reads it itself (the e-mail sender),
// and clears it again.
class PcLocaleTemporaneo {
public:
    explicit PcLocaleTemporaneo(const std::optional<std::string>& valore) {
        Pulisci();
        if (valore) {
            ::setenv("pclocal", valore->c_str(), 1);
        }
    }
    ~PcLocaleTemporaneo() { Pulisci(); }
    PcLocaleTemporaneo(const PcLocaleTemporaneo&) = delete;
    PcLocaleTemporaneo& operator=(const PcLocaleTemporaneo&) = delete;

private:
    static void Pulisci() {
        for (const char* nome : {"pclocal", "PCLOCAL", "PcLocal", "Pclocal"}) {
            ::unsetenv(nome);
        }
    }
};

// A 133-character line ruled like the report's blank ruled line (byte 179 in
// the rule columns), with `testo` written from column 2.
inline std::string RigaDiCamera(const std::string& testo = {}) {
    std::string riga(133, ' ');
    for (int colonna : {1, 8, 15, 20, 31, 42, 64, 86, 108, 133}) {
        riga[static_cast<std::size_t>(colonna - 1)] = static_cast<char>(179);
    }
    riga.replace(1, std::min<std::size_t>(testo.size(), 6), testo.substr(0, 6));
    return riga;
}

// A border of the report: `sinistra`, each cell's width in `riempi`, each cell
// followed by `giunto`, the last by `destra`.
inline std::string Bordo(unsigned char sinistra, unsigned char giunto, unsigned char destra,
                         unsigned char riempi = 196) {
    std::string riga(1, static_cast<char>(sinistra));
    const int larghezze[] = {6, 6, 4, 10, 10, 21, 21, 21, 24};
    for (std::size_t i = 0; i < std::size(larghezze); ++i) {
        riga.append(static_cast<std::size_t>(larghezze[i]), static_cast<char>(riempi));
        riga += static_cast<char>(i + 1 == std::size(larghezze) ? destra : giunto);
    }
    return riga;
}

} // namespace vdx::test
