#include "shared/Numeri.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <string>

namespace vdx {

namespace {
bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}
} // namespace

double LeggiNumero(std::string_view text) {
    // Gather the number's characters into a clean text, then convert it
    // exactly (no accumulated rounding, no locale).
    std::string clean;
    bool sawDigit = false;
    bool sawPoint = false;
    for (char c : text) {
        if (IsBlank(c)) {
            continue;
        }
        if ((c == '+' || c == '-') && clean.empty()) {
            clean.push_back(c);
            continue;
        }
        if (c == '.' && !sawPoint) {
            sawPoint = true;
            clean.push_back(c);
            continue;
        }
        if (c >= '0' && c <= '9') {
            sawDigit = true;
            clean.push_back(c);
            continue;
        }
        break;
    }
    if (!sawDigit) {
        return 0.0;
    }
    if (clean.front() == '+') {
        clean.erase(0, 1);
    }
    double value = 0.0;
    std::from_chars(clean.data(), clean.data() + clean.size(), value);
    return value;
}

long long ArrotondaPari(double value) {
    if (!std::isfinite(value)) {
        return 0;
    }
    return static_cast<long long>(std::nearbyint(value)); // default mode: to even
}

short LeggiIntero(std::string_view text) {
    return InteroCorto(LeggiNumero(text));
}

short InteroCorto(double value) {
    const long long v = ArrotondaPari(value);
    if (v > std::numeric_limits<short>::max()) {
        return std::numeric_limits<short>::max();
    }
    if (v < std::numeric_limits<short>::min()) {
        return std::numeric_limits<short>::min();
    }
    return static_cast<short>(v);
}

} // namespace vdx
