#include "support/CartellaLavoro.h"

#include <cstdlib>
#include <stdexcept>
#include <string>

namespace vdx::test {

CartellaLavoro::CartellaLavoro() {
    std::string pattern = (std::filesystem::temp_directory_path() / "vdx-test-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) {
        throw std::runtime_error("cannot create a temporary folder");
    }
    path_ = pattern;
}

CartellaLavoro::~CartellaLavoro() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
}

} // namespace vdx::test
