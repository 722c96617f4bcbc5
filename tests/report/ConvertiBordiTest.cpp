#include "report/ConvertiBordi.h"
#include "report/Righe.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace vdx {
namespace {

Righe righeDiProva() {
    return CostruisciRighe(RigaTitolo(std::string("Hotel Lago"), std::string("T"), "05/03/2024",
                                      DataOra{2024, 3, 5, 8, 0, 0}),
                           false);
}

TEST(ConvertiBordi, EveryByte) {
    const std::set<int> verticali{179, 180, 183, 186, 195, 204};
    const std::set<int> orizzontali{187, 188, 191, 192, 193, 194, 196, 197,
                                    200, 201, 202, 203, 206, 217, 218};
    for (int b = 0; b < 256; ++b) {
        std::string riga(1, static_cast<char>(b));
        ConvertiBordi(riga);
        char atteso = static_cast<char>(b);
        if (verticali.count(b)) {
            atteso = '|';
        } else if (orizzontali.count(b)) {
            atteso = '-';
        }
        EXPECT_EQ(riga, std::string(1, atteso)) << "byte " << b;
    }
}

TEST(ConvertiBordi, ReportLines) {
    const Righe r = righeDiProva();
    std::string separatore = r[6];
    EXPECT_EQ(ConvertiBordi(separatore), "|" + std::string(131, '-') + "|");
    std::string sopra = r[2];
    EXPECT_EQ(ConvertiBordi(sopra), std::string(133, '-'));
    std::string sotto = r[8];
    EXPECT_EQ(ConvertiBordi(sotto), std::string(133, '-'));

    std::string vuota = r[9];
    ConvertiBordi(vuota);
    ASSERT_EQ(vuota.size(), 133u);
    const std::set<std::size_t> regole{1, 8, 15, 20, 31, 42, 64, 86, 108, 133};
    for (std::size_t k = 1; k <= 133; ++k) {
        EXPECT_EQ(vuota[k - 1], regole.count(k) ? '|' : ' ') << k;
    }
}

TEST(ConvertiBordi, InPlaceAndReturned) {
    std::string riga = "\xDA\xC4\xBF ab\xE0\x80";
    std::string& restituita = ConvertiBordi(riga);
    EXPECT_EQ(&restituita, &riga);
    EXPECT_EQ(riga, "--- ab\xE0\x80");

    std::string vuota;
    EXPECT_EQ(ConvertiBordi(vuota), "");
}

} // namespace
} // namespace vdx
