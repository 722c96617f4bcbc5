#include "shared/Testo.h"

namespace vdx {

std::string_view TrimSpazi(std::string_view testo) {
    const auto primo = testo.find_first_not_of(' ');
    if (primo == std::string_view::npos) {
        return {};
    }
    const auto ultimo = testo.find_last_not_of(' ');
    return testo.substr(primo, ultimo - primo + 1);
}

} // namespace vdx
