#include "shared/Numeri.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <string>

namespace vdx {

namespace {
bool Spazio(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}
} // namespace

double LeggiNumero(std::string_view testo) {
    // Gather the number's characters into a clean text, then convert it
    // exactly (no accumulated rounding, no locale).
    std::string pulito;
    bool cifraVista = false;
    bool puntoVisto = false;
    for (char c : testo) {
        if (Spazio(c)) {
            continue;
        }
        if ((c == '+' || c == '-') && pulito.empty()) {
            pulito.push_back(c);
            continue;
        }
        if (c == '.' && !puntoVisto) {
            puntoVisto = true;
            pulito.push_back(c);
            continue;
        }
        if (c >= '0' && c <= '9') {
            cifraVista = true;
            pulito.push_back(c);
            continue;
        }
        break;
    }
    if (!cifraVista) {
        return 0.0;
    }
    if (pulito.front() == '+') {
        pulito.erase(0, 1);
    }
    double valore = 0.0;
    std::from_chars(pulito.data(), pulito.data() + pulito.size(), valore);
    return valore;
}

long long ArrotondaPari(double valore) {
    if (!std::isfinite(valore)) {
        return 0;
    }
    return static_cast<long long>(std::nearbyint(valore)); // default mode: to even
}

short LeggiIntero(std::string_view testo) {
    return InteroCorto(LeggiNumero(testo));
}

short InteroCorto(double valore) {
    const long long v = ArrotondaPari(valore);
    if (v > std::numeric_limits<short>::max()) {
        return std::numeric_limits<short>::max();
    }
    if (v < std::numeric_limits<short>::min()) {
        return std::numeric_limits<short>::min();
    }
    return static_cast<short>(v);
}

} // namespace vdx
