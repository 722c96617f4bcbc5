#include "printing/Converti2.h"

#include "report/ConvertiBordi.h"

namespace vdx {

namespace {

// The accent step: 0 leaves the byte to the line-drawing step.
char accento(unsigned char c) {
    switch (c) {
    case 180:
        return '\''; // ´
    case 192:
        return static_cast<char>(224); // À -> à
    case 200:
        return static_cast<char>(232); // È -> è
    case 201:
        return static_cast<char>(233); // É -> é
    case 204:
        return static_cast<char>(236); // Ì -> ì
    case 210:
        return static_cast<char>(242); // Ò -> ò
    case 217:
        return static_cast<char>(249); // Ù -> ù
    default:
        return 0;
    }
}

} // namespace

std::string& Converti2(std::string& frase) {
    const std::size_t n = frase.size();
    for (std::size_t i = 0; i < n; ++i) {
        const bool estremo = i == 0 || i + 1 == n;
        const unsigned char c = static_cast<unsigned char>(frase[i]);
        // 210 (Ò) is no line-drawing byte, so it is a letter even at an end.
        if (estremo && c != 210) {
            continue; // left to the line-drawing step below
        }
        if (const char sostituto = accento(c); sostituto != 0) {
            frase[i] = sostituto;
        }
    }
    return ConvertiBordi(frase);
}

} // namespace vdx
