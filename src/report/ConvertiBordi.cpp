#include "report/ConvertiBordi.h"

#include <array>

namespace vdx {

namespace {

// Replacement of every byte: 0 leaves it alone.
constexpr std::array<char, 256> tabellaBordi() {
    std::array<char, 256> t{};
    for (unsigned char c : {179, 180, 183, 186, 195, 204}) {
        t[c] = '|';
    }
    for (unsigned char c : {187, 188, 191, 192, 193, 194, 196, 197, 200, 201, 202, 203, 206, 217, 218}) {
        t[c] = '-';
    }
    return t;
}

constexpr std::array<char, 256> kBordi = tabellaBordi();

} // namespace

std::string& ConvertiBordi(std::string& riga) {
    for (char& c : riga) {
        const char sostituto = kBordi[static_cast<unsigned char>(c)];
        if (sostituto != 0) {
            c = sostituto;
        }
    }
    return riga;
}

} // namespace vdx
