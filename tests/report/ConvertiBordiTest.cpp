#include "report/ConvertiBordi.h"

#include "report/Righe.h"

#include <gtest/gtest.h>
#include <set>
#include <string>

namespace vdx {
namespace {

Righe RigheDiProva() {
    return CostruisciRighe(RigaTitolo(std::string("Hotel Lago"), std::string("T"), "05/03/2024",
                                      DataOra{2024, 3, 5, 8, 0, 0}),
                           false);
}

// Every byte in a rule column of a ruled line, and the same byte in a cell.
TEST(ConvertiBordi, EveryByteInARuleColumnAndInText) {
    const std::set<int> verticali{179, 180, 183, 186, 195, 204};
    const std::set<int> orizzontali{187, 188, 191, 192, 193, 194, 196, 197,
                                    200, 201, 202, 203, 206, 217, 218};
    const std::string vuota = RigheDiProva()[9];
    for (int b = 0; b < 256; ++b) {
        std::string riga = vuota;
        riga[7] = static_cast<char>(b);  // column 8: a rule
        riga[43] = static_cast<char>(b); // column 44: text of cell 6
        ConvertiBordi(riga);
        char atteso = static_cast<char>(b);
        if (verticali.count(b)) {
            atteso = '|';
        } else if (orizzontali.count(b)) {
            atteso = '-';
        }
        EXPECT_EQ(riga[7], atteso) << "byte " << b;
        EXPECT_EQ(riga[43], static_cast<char>(b)) << "byte " << b;
    }
}

// Letters that share their bytes with line-drawing characters stay letters
// wherever the layout puts no rule: in the cells, in a single ─ (Ä), and in
// lines that are not ruled (the title, the totals).
TEST(ConvertiBordi, AccentedCapitalsAreText) {
    const Righe r = RigheDiProva();
    std::string camera = r[9];
    const std::string nomi = "CANT\xD9 FORL\xCC \xC9LODIE \xC4";
    camera.replace(42, nomi.size(), nomi);
    ConvertiBordi(camera);
    EXPECT_EQ(camera.substr(42, nomi.size()), nomi);
    EXPECT_EQ(camera.front(), '|');
    EXPECT_EQ(camera.back(), '|');
    EXPECT_EQ(camera[63], '|');
    for (std::string testo : {std::string(" Hotel : CITT\xC0 \xC4\xC4"),
                              std::string("\xD9\xC4\xC4 not a rule byte first")}) {
        const std::string prima = testo;
        EXPECT_EQ(ConvertiBordi(testo), prima);
    }
    // A run of two or more ─ in a ruled line is a rule, wherever it stands.
    std::string doppia = r[9];
    doppia[43] = doppia[44] = '\xC4';
    EXPECT_EQ(ConvertiBordi(doppia).substr(43, 2), "--");
}

TEST(ConvertiBordi, ReportLines) {
    const Righe r = RigheDiProva();
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
    std::string riga = "\xDA\xC4\xC4\xBF ab\xE0\x80";
    std::string& restituita = ConvertiBordi(riga);
    EXPECT_EQ(&restituita, &riga);
    EXPECT_EQ(riga, "---\xBF ab\xE0\x80"); // column 4 holds no rule

    std::string vuota;
    EXPECT_EQ(ConvertiBordi(vuota), "");
}

} // namespace
} // namespace vdx
