#pragma once

#include <string>
#include <string_view>

namespace vdx {

// Where the report's layout puts a rule. A line is ruled when it begins with
// a rule byte (│ ├ ┌ └); in a ruled line the rules stand in columns 1, 8, 15,
// 20, 31, 42, 64, 86, 108 and 133, and the horizontal fills are runs of two or
// more ─. Every other byte is text, even one that shares its code with a
// line-drawing character: in code page 1252 À, É, Ì and Ù are the bytes of └,
// ╔, ╠ and ┘, so a guest CANTÙ must not turn into "CANT-".
bool RigaRigata(std::string_view riga);
// Whether the byte at `pos` (counted from 0) of `riga` is a rule.
bool PosizioneDiRegola(std::string_view riga, std::size_t pos);

// Turns the rules of one report line into plain characters, in place:
// vertical lines and the side tees become "|", horizontal lines, corners,
// crosses and the other tees become "-". Text, and every byte that is no
// rule, stays as it is; so do the length and the columns. Returns the line.
std::string& ConvertiBordi(std::string& riga);

// The plain character of a line-drawing byte ("|" or "-"), 0 for any other.
char SostitutoBordo(unsigned char byte);

} // namespace vdx
