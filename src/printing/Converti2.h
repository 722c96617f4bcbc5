#pragma once

#include <string>

namespace vdx {

// Prepares one report line for a system printer, in place, keeping its
// length and columns: the acute accent becomes an apostrophe, the accented
// capitals À È É Ì Ò Ù become small letters, and the line-drawing bytes
// become "|" and "-" as ConvertiBordi makes them. Returns the line.
//
// Six bytes are at once an accent or accented capital in code page 1252 and
// a line-drawing byte: 180 (´ ┤), 192 (À └), 200 (È ╚), 201 (É ╔), 204 (Ì ╠)
// and 217 (Ù ┘). The report puts └ and ┘ only at the two ends of its bottom
// border and ┤ only at the right end of its inner separator, and no name or
// text ever stands in the first or last column of a ruled line, so these six
// are taken as rules when they are the first or the last byte of the line and
// as letters anywhere else: the borders stay ruled and "CITTÀ" becomes
// "CITTà" rather than "CITT-".
std::string& Converti2(std::string& frase);

} // namespace vdx
