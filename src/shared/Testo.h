#pragma once

#include <string_view>

namespace vdx {

// The text without the blanks (spaces only) at both ends.
std::string_view TrimSpazi(std::string_view testo);

} // namespace vdx
