#include "shared/Environment.h"

#include "shared/Cp1252.h"
#include "shared/Numeric.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

extern char** environ;

namespace vdx {

std::optional<std::string> VariabileAmbiente(std::string_view name) {
    const std::string key(name);
    if (const char* exact = std::getenv(key.c_str())) {
        return std::string(exact);
    }
    for (char** entry = environ; entry != nullptr && *entry != nullptr; ++entry) {
        const char* eq = std::strchr(*entry, '=');
        if (eq == nullptr) {
            continue;
        }
        if (UgualiSenzaMaiuscole(std::string_view(*entry, static_cast<std::size_t>(eq - *entry)),
                                 name)) {
            return std::string(eq + 1);
        }
    }
    return std::nullopt;
}

std::string PcLocale() {
    return VariabileAmbiente("pclocal").value_or(std::string());
}

std::string PcLocaleNumerico() {
    const double value = LeggiNumero(PcLocale());
    char buf[64];
    if (value == static_cast<double>(static_cast<long long>(value))) {
        std::snprintf(buf, sizeof buf, "%lld", static_cast<long long>(value));
    } else {
        std::snprintf(buf, sizeof buf, "%.15g", value);
    }
    return buf;
}

std::string NomeReport() {
    return "FD" + PcLocale();
}

std::string NomeReportNumerico() {
    return "FD" + PcLocaleNumerico();
}

} // namespace vdx
