#include "ReportDiProva.h"

#include "report/ConvertiBordi.h"
#include "shared/Cp1252.h"
#include "shared/FileTesto.h"

#include <cstdlib>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>

namespace vdx::test {

OpzioniTableau OpzioniDiProva(const std::filesystem::path& cartella) {
    OpzioniTableau o;
    o.hotel = 1;
    o.tableau = 1;
    o.primaCamera = " ";
    o.ultimaCamera = "\xFF";
    o.data = "05/03/2024";
    o.soloUtilizzate = false;
    o.codiceAssistenzaHotel = "K";
    o.cartella = cartella;
    o.orologio = [] { return DataOra{2024, 3, 5, 7, 30, 0}; };
    o.postazione = "7";
    return o;
}

namespace {

std::string Leggibile(std::string riga) {
    ConvertiBordi(riga);
    for (char& c : riga) {
        if (c == '\f') {
            c = '^';
        }
    }
    return Utf8DaCp1252(riga);
}

} // namespace

::testing::AssertionResult UgualeAlGolden(const std::string& nome, const std::string& byte) {
    const std::filesystem::path file =
        std::filesystem::path(VDX_SOURCE_DIR) / "tests" / "golden" / "report" / nome;
    if (std::getenv("VDX_UPDATE_GOLDEN") != nullptr) {
        std::filesystem::create_directories(file.parent_path());
        std::ofstream(file, std::ios::binary) << byte;
        return ::testing::AssertionSuccess() << "written " << file;
    }
    std::string atteso;
    try {
        atteso = LeggiFile(file);
    } catch (const std::exception&) {
        return ::testing::AssertionFailure() << "golden file missing: " << file;
    }
    if (atteso == byte) {
        return ::testing::AssertionSuccess();
    }
    const auto righeAttese = DividiRighe(atteso);
    const auto righe = DividiRighe(byte);
    std::ostringstream messaggio;
    messaggio << nome << " differs (expected " << atteso.size() << " bytes, got " << byte.size()
              << "):\n";
    int mostrate = 0;
    for (std::size_t i = 0; i < std::max(righe.size(), righeAttese.size()) && mostrate < 8; ++i) {
        const std::string a = i < righeAttese.size() ? righeAttese[i] : "<none>";
        const std::string g = i < righe.size() ? righe[i] : "<none>";
        if (a != g) {
            messaggio << "line " << i + 1 << "\n  expected: [" << Leggibile(a) << "]\n  got:      ["
                      << Leggibile(g) << "]\n";
            ++mostrate;
        }
    }
    return ::testing::AssertionFailure() << messaggio.str();
}

} // namespace vdx::test
