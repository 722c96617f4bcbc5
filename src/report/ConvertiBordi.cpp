#include "report/ConvertiBordi.h"

#include <array>

namespace vdx {

namespace {

// Replacement of every byte: 0 leaves it alone.
constexpr std::array<char, 256> TabellaBordi() {
    std::array<char, 256> t{};
    for (unsigned char c : {179, 180, 183, 186, 195, 204}) {
        t[c] = '|';
    }
    for (unsigned char c :
         {187, 188, 191, 192, 193, 194, 196, 197, 200, 201, 202, 203, 206, 217, 218}) {
        t[c] = '-';
    }
    return t;
}

constexpr std::array<char, 256> Bordi = TabellaBordi();

// The rule columns of a ruled line, counted from 0.
constexpr std::array<bool, 133> CalcolaColonneRegole() {
    std::array<bool, 133> c{};
    for (std::size_t colonna : {1, 8, 15, 20, 31, 42, 64, 86, 108, 133}) {
        c[colonna - 1] = true;
    }
    return c;
}

constexpr std::array<bool, 133> ColonneRegole = CalcolaColonneRegole();

constexpr unsigned char Orizzontale = 196;

bool TrattoOrizzontale(std::string_view riga, std::size_t pos) {
    return pos < riga.size() && static_cast<unsigned char>(riga[pos]) == Orizzontale;
}

} // namespace

char SostitutoBordo(unsigned char byte) {
    return Bordi[byte];
}

bool RigaRigata(std::string_view riga) {
    if (riga.empty()) {
        return false;
    }
    switch (static_cast<unsigned char>(riga.front())) {
    case 179: // │
    case 195: // ├
    case 218: // ┌
    case 192: // └
        return true;
    default:
        return false;
    }
}

bool PosizioneDiRegola(std::string_view riga, std::size_t pos) {
    if (pos >= riga.size() || !RigaRigata(riga)) {
        return false;
    }
    if (pos < ColonneRegole.size() && ColonneRegole[pos]) {
        return true;
    }
    return TrattoOrizzontale(riga, pos) &&
           ((pos > 0 && TrattoOrizzontale(riga, pos - 1)) || TrattoOrizzontale(riga, pos + 1));
}

std::string& ConvertiBordi(std::string& riga) {
    if (!RigaRigata(riga)) {
        return riga;
    }
    // Decided on the line as it was: a fill already turned into "-" would no
    // longer count as the neighbour of the next one.
    const std::string originale = riga;
    for (std::size_t i = 0; i < riga.size(); ++i) {
        const char sostituto = Bordi[static_cast<unsigned char>(originale[i])];
        if (sostituto != 0 && PosizioneDiRegola(originale, i)) {
            riga[i] = sostituto;
        }
    }
    return riga;
}

} // namespace vdx
