#pragma once

#include <string>

namespace vdx {

// Prepares one report line for a system printer, in place, keeping its
// length and columns: the rules become "|" and "-" as ConvertiBordi makes
// them, and in the text the acute accent becomes an apostrophe and the
// accented capitals À È É Ì Ò Ù become small letters. Six of these bytes
// (´ À È É Ì Ù) are also line-drawing bytes; where the report's layout puts
// a rule they are rules, anywhere else letters. Returns the line.
std::string& Converti2(std::string& frase);

} // namespace vdx
