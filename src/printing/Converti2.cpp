#include "printing/Converti2.h"

#include "report/ConvertiBordi.h"

namespace vdx {

namespace {

// The accent step: 0 leaves the byte as it is.
char Accento(unsigned char c) {
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
    const std::string originale = frase;
    for (std::size_t i = 0; i < frase.size(); ++i) {
        const auto c = static_cast<unsigned char>(originale[i]);
        const char sostituto = PosizioneDiRegola(originale, i) ? SostitutoBordo(c) : Accento(c);
        if (sostituto != 0) {
            frase[i] = sostituto;
        }
    }
    return frase;
}

} // namespace vdx
