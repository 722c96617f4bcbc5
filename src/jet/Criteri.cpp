#include "jet/Criteri.h"

#include <cmath>
#include <string>

namespace vdx::jet {

std::string TestoTraApici(std::string_view valore) {
    std::string s;
    s.reserve(valore.size() + 2);
    for (char c : valore) {
        s.push_back(c);
        if (c == '\'') {
            s.push_back('\'');
        }
    }
    return s;
}

std::optional<std::string> NumeroCriterio(const Valore& valore) {
    if (valore.Nullo()) {
        return std::nullopt;
    }
    const double n = valore.ComeNumero();
    if (std::isfinite(n) && n == std::floor(n) && std::fabs(n) < 9e15) {
        return std::to_string(static_cast<long long>(n));
    }
    return valore.ComeTesto();
}

} // namespace vdx::jet
