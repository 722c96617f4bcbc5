#include "report/Criteri.h"

#include <cmath>

namespace vdx {

std::optional<std::string> NumeroCriterio(const jet::Valore& valore) {
    if (valore.nullo()) {
        return std::nullopt;
    }
    const double n = valore.numero();
    if (std::isfinite(n) && n == std::floor(n) && std::fabs(n) < 9e15) {
        return std::to_string(static_cast<long long>(n));
    }
    return valore.testo();
}

} // namespace vdx
