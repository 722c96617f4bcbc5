#pragma once

#include <string_view>

namespace vdx {

// The numeric reading every part of the system applies to text: blanks are
// ignored anywhere, an optional leading sign, decimal digits with at most one
// decimal point, reading stops at the first other character, no digits read
// as 0. "07" -> 7, "  7" -> 7, "1/" -> 1, "/1" -> 0, "<tu" -> 0, "- 1 2" -> -12.
double LeggiNumero(std::string_view testo);

// The reading taken to the nearest whole number, a half going to the even
// neighbour, held in 16 bits (values beyond the range are clamped).
short LeggiIntero(std::string_view testo);

// Nearest whole number, a half to the even neighbour.
long long ArrotondaPari(double valore);

// ArrotondaPari held in 16 bits (values beyond the range are clamped).
short InteroCorto(double valore);

} // namespace vdx
