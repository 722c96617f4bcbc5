#include "shared/Cp1252.h"

#include <gtest/gtest.h>
#include <string>

namespace {

using vdx::Cp1252DaUtf8;
using vdx::Utf8DaCp1252;

TEST(Cp1252, EveryByteRoundTripsThroughUtf8AndUtf16) {
    for (int b = 0; b < 256; ++b) {
        const std::string one(1, static_cast<char>(b));
        EXPECT_EQ(Cp1252DaUtf8(Utf8DaCp1252(one)), one) << "byte " << b;
        EXPECT_EQ(vdx::Cp1252DaUtf16(vdx::Utf16DaCp1252(one)), one) << "byte " << b;
    }
}

struct Segno {
    unsigned char byte;
    const char* utf8;
};

class Cp1252Segni : public ::testing::TestWithParam<Segno> {};

TEST_P(Cp1252Segni, WhereTheCodePageDiffersFromLatin1) {
    const std::string byte(1, static_cast<char>(GetParam().byte));
    EXPECT_EQ(Utf8DaCp1252(byte), GetParam().utf8);
    EXPECT_EQ(Cp1252DaUtf8(GetParam().utf8), byte);
}

INSTANTIATE_TEST_SUITE_P(Marks, Cp1252Segni,
                         ::testing::Values(Segno{0x80, "€"}, Segno{0x84, "„"}, Segno{0x94, "”"},
                                           Segno{0x93, "“"}, Segno{0x8A, "Š"}, Segno{0x9F, "Ÿ"},
                                           Segno{0xC8, "È"}, Segno{0xE0, "à"}, Segno{0xE7, "ç"},
                                           Segno{0xB4, "´"}, Segno{0xA0, "\u00A0"}));

TEST(Cp1252, UnmappableCharactersBecomeOneQuestionMark) {
    EXPECT_EQ(Cp1252DaUtf8("a\u2500b"), "a?b");  // box drawing: not in the code page
    EXPECT_EQ(Cp1252DaUtf8("\U0001F600"), "?");  // outside the BMP
    EXPECT_EQ(Cp1252DaUtf8("x\xC3"), "x?");      // truncated sequence
    EXPECT_EQ(Cp1252DaUtf8("\xFF\xFEz"), "??z"); // invalid lead bytes
    EXPECT_EQ(Cp1252DaUtf8("\xC3\x28"), "?(");   // bad continuation byte
    EXPECT_EQ(vdx::Cp1252DaUtf16(u"\u4E2D"), "?");
    EXPECT_EQ(vdx::Cp1252DaUtf16(u"\U0001F600"), "?"); // surrogate pair is one character
    EXPECT_EQ(vdx::Cp1252DaUnicode(U'\u2500'), -1);
}

TEST(Cp1252, CaseFollowsTheCodePage) {
    EXPECT_EQ(vdx::MaiuscoleCp1252(Cp1252DaUtf8("nicolò çà é š œ ž ÿ ß µ ÷ 12a")),
              Cp1252DaUtf8("NICOLÒ ÇÀ É Š Œ Ž Ÿ ß µ ÷ 12A"));
    EXPECT_EQ(vdx::MinuscolaCp1252(0xD2), 0xF2); // Ò ò
    EXPECT_EQ(vdx::MinuscolaCp1252(0xD7), 0xD7); // × has no lower case
    EXPECT_TRUE(vdx::UgualiSenzaMaiuscole("Tableau.mdb", "TABLEAU.MDB"));
    EXPECT_FALSE(vdx::UgualiSenzaMaiuscole("Tableau.mdb", "Tableau.md"));
}

} // namespace
