#pragma once

#include <array>
#include <string>
#include <string_view>

namespace vdx {

// Days per month, index 1 to 12 (index 0 unused). Entry 2 is rewritten with
// 28 or 29 by every date check.
struct Calendario {
    std::array<short, 13> GiorniMese{0, 31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
};

// The request window's calendar.
Calendario& CalendarioCondiviso();

// Leap year: divisible by 4, with no exception for centuries (1900 and 2100
// count as leap years).
bool AnnoBisestile(short anno);

// Whether a typed date is acceptable: ten characters once blanks are trimmed
// from both ends; day = characters 1-2, month = 4-5, year = 7-10 (read as
// numbers, the separators never looked at); month 1-12, year from 1900, day
// within the month. Day and month positions hold only digits and blanks.
// Rewrites GiorniMese entry 2 of `calendario`.
bool ControllaData(std::string_view data, Calendario& calendario);
bool ControllaData(std::string_view data);

// Completes a typed date: 6 characters ddmmyy -> dd/mm/20yy when yy < 25, else
// dd/mm/19yy; 8 characters ddmmyyyy -> dd/mm/yyyy; any other length as it is.
// Only positions are looked at.
std::string CompletaData(std::string_view testo);

// Tidies a typed room number: upper case by code page 1252 rules, apostrophes
// dropped; an empty result becomes one blank.
std::string PulisciTesto(std::string_view testo);

} // namespace vdx
