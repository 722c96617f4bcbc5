#include "request/Routines.h"

#include "shared/Cp1252.h"
#include "shared/Numeric.h"
#include "shared/Text.h"

#include <cmath>

namespace vdx {

Calendario& CalendarioCondiviso() {
    static Calendario calendario;
    return calendario;
}

bool AnnoBisestile(short anno) {
    return anno % 4 == 0;
}

bool ControllaData(std::string_view data, Calendario& calendario) {
    const std::string_view text = TrimSpazi(data);
    if (text.size() != 10) {
        return false;
    }
    // Day and month hold digits and blanks only: a separator in them means the
    // typed separators landed in the wrong places ("5/3/26" completed to
    // "5//3//1926"), and reading "5/" as 5 would accept a date the user never
    // meant.
    for (std::size_t i : {0, 1, 3, 4}) {
        if (text[i] != ' ' && (text[i] < '0' || text[i] > '9')) {
            return false;
        }
    }
    const double giorno = LeggiNumero(text.substr(0, 2));
    const double mese = LeggiNumero(text.substr(3, 2));
    const short anno = LeggiIntero(text.substr(6, 4));
    if (mese < 1 || anno < 1900 || mese > 12) {
        return false;
    }
    calendario.GiorniMese[2] = AnnoBisestile(anno) ? 29 : 28;
    const auto indice = static_cast<std::size_t>(mese);
    return giorno >= 1 && giorno <= calendario.GiorniMese[indice];
}

bool ControllaData(std::string_view data) {
    return ControllaData(data, CalendarioCondiviso());
}

std::string CompletaData(std::string_view t) {
    if (t.size() == 6) {
        const double yy = LeggiNumero(t.substr(4, 2));
        std::string out;
        out += t.substr(0, 2);
        out += '/';
        out += t.substr(2, 2);
        out += yy < 25 ? "/20" : "/19";
        out += t.substr(4, 2);
        return out;
    }
    if (t.size() == 8) {
        std::string out;
        out += t.substr(0, 2);
        out += '/';
        out += t.substr(2, 2);
        out += '/';
        out += t.substr(4, 4);
        return out;
    }
    return std::string(t);
}

std::string PulisciTesto(std::string_view testo) {
    std::string out;
    for (char c : testo) {
        const unsigned char up = MaiuscolaCp1252(static_cast<unsigned char>(c));
        if (up != '\'') {
            out.push_back(static_cast<char>(up));
        }
    }
    return out.empty() ? std::string(" ") : out;
}

} // namespace vdx
