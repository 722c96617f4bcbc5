#include "shared/Cp1252.h"

#include <array>
#include <unordered_map>

namespace vdx {

namespace {

// Code page 1252: every byte's Unicode character. Bytes 0x00-0x7F and
// 0xA0-0xFF equal their code points; 0x80-0x9F hold the typographic marks
// (€ ‚ ƒ „ … † ‡ ˆ ‰ Š ‹ Œ Ž ‘ ’ “ ” • – — ˜ ™ š › œ ž Ÿ).
constexpr std::array<char16_t, 256> TabellaUnicode = {
    0x0000, 0x0001, 0x0002, 0x0003, 0x0004, 0x0005, 0x0006, 0x0007, 0x0008, 0x0009, 0x000A, 0x000B,
    0x000C, 0x000D, 0x000E, 0x000F, 0x0010, 0x0011, 0x0012, 0x0013, 0x0014, 0x0015, 0x0016, 0x0017,
    0x0018, 0x0019, 0x001A, 0x001B, 0x001C, 0x001D, 0x001E, 0x001F, 0x0020, 0x0021, 0x0022, 0x0023,
    0x0024, 0x0025, 0x0026, 0x0027, 0x0028, 0x0029, 0x002A, 0x002B, 0x002C, 0x002D, 0x002E, 0x002F,
    0x0030, 0x0031, 0x0032, 0x0033, 0x0034, 0x0035, 0x0036, 0x0037, 0x0038, 0x0039, 0x003A, 0x003B,
    0x003C, 0x003D, 0x003E, 0x003F, 0x0040, 0x0041, 0x0042, 0x0043, 0x0044, 0x0045, 0x0046, 0x0047,
    0x0048, 0x0049, 0x004A, 0x004B, 0x004C, 0x004D, 0x004E, 0x004F, 0x0050, 0x0051, 0x0052, 0x0053,
    0x0054, 0x0055, 0x0056, 0x0057, 0x0058, 0x0059, 0x005A, 0x005B, 0x005C, 0x005D, 0x005E, 0x005F,
    0x0060, 0x0061, 0x0062, 0x0063, 0x0064, 0x0065, 0x0066, 0x0067, 0x0068, 0x0069, 0x006A, 0x006B,
    0x006C, 0x006D, 0x006E, 0x006F, 0x0070, 0x0071, 0x0072, 0x0073, 0x0074, 0x0075, 0x0076, 0x0077,
    0x0078, 0x0079, 0x007A, 0x007B, 0x007C, 0x007D, 0x007E, 0x007F, 0x20AC, 0x0081, 0x201A, 0x0192,
    0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A,
    0x0153, 0x009D, 0x017E, 0x0178, 0x00A0, 0x00A1, 0x00A2, 0x00A3, 0x00A4, 0x00A5, 0x00A6, 0x00A7,
    0x00A8, 0x00A9, 0x00AA, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x00AF, 0x00B0, 0x00B1, 0x00B2, 0x00B3,
    0x00B4, 0x00B5, 0x00B6, 0x00B7, 0x00B8, 0x00B9, 0x00BA, 0x00BB, 0x00BC, 0x00BD, 0x00BE, 0x00BF,
    0x00C0, 0x00C1, 0x00C2, 0x00C3, 0x00C4, 0x00C5, 0x00C6, 0x00C7, 0x00C8, 0x00C9, 0x00CA, 0x00CB,
    0x00CC, 0x00CD, 0x00CE, 0x00CF, 0x00D0, 0x00D1, 0x00D2, 0x00D3, 0x00D4, 0x00D5, 0x00D6, 0x00D7,
    0x00D8, 0x00D9, 0x00DA, 0x00DB, 0x00DC, 0x00DD, 0x00DE, 0x00DF, 0x00E0, 0x00E1, 0x00E2, 0x00E3,
    0x00E4, 0x00E5, 0x00E6, 0x00E7, 0x00E8, 0x00E9, 0x00EA, 0x00EB, 0x00EC, 0x00ED, 0x00EE, 0x00EF,
    0x00F0, 0x00F1, 0x00F2, 0x00F3, 0x00F4, 0x00F5, 0x00F6, 0x00F7, 0x00F8, 0x00F9, 0x00FA, 0x00FB,
    0x00FC, 0x00FD, 0x00FE, 0x00FF,
};

const std::unordered_map<char32_t, unsigned char>& Inversa() {
    static const auto map = [] {
        std::unordered_map<char32_t, unsigned char> m;
        for (int b = 0; b < 256; ++b) {
            m.emplace(TabellaUnicode[b], static_cast<unsigned char>(b));
        }
        return m;
    }();
    return map;
}

void AggiungiUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out.push_back(static_cast<char>(c));
    } else if (c < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (c >> 6)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (c >> 12)));
        out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (c >> 18)));
        out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
}

char ByteOppureDomanda(char32_t c) {
    const int b = Cp1252DaUnicode(c);
    return static_cast<char>(b < 0 ? '?' : b);
}

} // namespace

char32_t UnicodeDaCp1252(unsigned char byte) {
    return TabellaUnicode[byte];
}

int Cp1252DaUnicode(char32_t character) {
    if (character < 0x80 || (character >= 0xA0 && character <= 0xFF)) {
        return static_cast<int>(character);
    }
    const auto& map = Inversa();
    const auto it = map.find(character);
    return it == map.end() ? -1 : it->second;
}

std::string Utf8DaCp1252(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size() * 2);
    for (char b : bytes) {
        AggiungiUtf8(out, TabellaUnicode[static_cast<unsigned char>(b)]);
    }
    return out;
}

std::string Cp1252DaUtf8(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    std::size_t i = 0;
    while (i < utf8.size()) {
        const auto iniziale = static_cast<unsigned char>(utf8[i]);
        int seguenti = 0;
        char32_t c = 0;
        if (iniziale < 0x80) {
            c = iniziale;
        } else if ((iniziale & 0xE0) == 0xC0) {
            seguenti = 1;
            c = iniziale & 0x1F;
        } else if ((iniziale & 0xF0) == 0xE0) {
            seguenti = 2;
            c = iniziale & 0x0F;
        } else if ((iniziale & 0xF8) == 0xF0) {
            seguenti = 3;
            c = iniziale & 0x07;
        } else {
            out.push_back('?');
            ++i;
            continue;
        }
        bool ok = i + static_cast<std::size_t>(seguenti) < utf8.size();
        for (int k = 1; ok && k <= seguenti; ++k) {
            const auto cont = static_cast<unsigned char>(utf8[i + k]);
            if ((cont & 0xC0) != 0x80) {
                ok = false;
            } else {
                c = (c << 6) | (cont & 0x3F);
            }
        }
        if (!ok) {
            out.push_back('?');
            ++i;
            continue;
        }
        out.push_back(ByteOppureDomanda(c));
        i += static_cast<std::size_t>(seguenti) + 1;
    }
    return out;
}

std::u16string Utf16DaCp1252(std::string_view bytes) {
    std::u16string out;
    out.reserve(bytes.size());
    for (char b : bytes) {
        out.push_back(TabellaUnicode[static_cast<unsigned char>(b)]);
    }
    return out;
}

std::string Cp1252DaUtf16(std::u16string_view testo) {
    std::string out;
    out.reserve(testo.size());
    for (std::size_t i = 0; i < testo.size(); ++i) {
        char32_t c = testo[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < testo.size() && testo[i + 1] >= 0xDC00 &&
            testo[i + 1] <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (testo[i + 1] - 0xDC00);
            ++i;
        }
        out.push_back(ByteOppureDomanda(c));
    }
    return out;
}

unsigned char MaiuscolaCp1252(unsigned char b) {
    if ((b >= 'a' && b <= 'z') || (b >= 0xE0 && b <= 0xFE && b != 0xF7)) {
        return static_cast<unsigned char>(b - 0x20);
    }
    switch (b) {
    case 0x9A:
        return 0x8A; // š Š
    case 0x9C:
        return 0x8C; // œ Œ
    case 0x9E:
        return 0x8E; // ž Ž
    case 0xFF:
        return 0x9F; // ÿ Ÿ
    default:
        return b;
    }
}

unsigned char MinuscolaCp1252(unsigned char b) {
    if ((b >= 'A' && b <= 'Z') || (b >= 0xC0 && b <= 0xDE && b != 0xD7)) {
        return static_cast<unsigned char>(b + 0x20);
    }
    switch (b) {
    case 0x8A:
        return 0x9A;
    case 0x8C:
        return 0x9C;
    case 0x8E:
        return 0x9E;
    case 0x9F:
        return 0xFF;
    default:
        return b;
    }
}

std::string MaiuscoleCp1252(std::string_view bytes) {
    std::string out(bytes);
    for (char& c : out) {
        c = static_cast<char>(MaiuscolaCp1252(static_cast<unsigned char>(c)));
    }
    return out;
}

bool UgualiSenzaMaiuscole(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (MaiuscolaCp1252(static_cast<unsigned char>(a[i])) !=
            MaiuscolaCp1252(static_cast<unsigned char>(b[i]))) {
            return false;
        }
    }
    return true;
}

namespace {

bool Utf8Valido(std::string_view s) {
    std::size_t i = 0;
    while (i < s.size()) {
        const auto c = static_cast<unsigned char>(s[i]);
        // Continuation bytes that follow the lead byte; 9 for a byte no
        // character starts with.
        const std::size_t seguito = c < 0x80           ? 0
                                    : (c >> 5) == 0x6  ? 1
                                    : (c >> 4) == 0xE  ? 2
                                    : (c >> 3) == 0x1E ? 3
                                                       : 9;
        if (seguito == 9 || i + seguito >= s.size()) {
            return false;
        }
        for (std::size_t k = 1; k <= seguito; ++k) {
            if ((static_cast<unsigned char>(s[i + k]) >> 6) != 0x2) {
                return false;
            }
        }
        i += seguito + 1;
    }
    return true;
}

} // namespace

std::string TestoPerTerminale(std::string_view testo) {
    return Utf8Valido(testo) ? std::string(testo) : Utf8DaCp1252(testo);
}

} // namespace vdx
