#pragma once

#include <string>

namespace vdx {

// Turns the line-drawing bytes of one report line into plain characters, in
// place: vertical lines and the side tees become "|", horizontal lines,
// corners, crosses and the other tees become "-". Length and every other byte
// stay as they are, so the columns keep their places. Returns the line.
std::string& ConvertiBordi(std::string& riga);

} // namespace vdx
