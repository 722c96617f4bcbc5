#pragma once

#include <array>
#include <string>
#include <string_view>

namespace vdx {

// Days per month, index 1 to 12 (index 0 unused). Entry 2 is rewritten with
// 28 or 29 by every date check.
struct Calendario {
    std::array<short, 13> giorniMese{0, 31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
};

// Leap year by the calendar's rule: divisible by 4, centuries only when
// divisible by 400 (2000 is one, 1900 and 2100 are not).
bool AnnoBisestile(short anno);

// Whether a typed date is acceptable: ten characters once blanks are trimmed
// from both ends; day = characters 1-2, month = 4-5, year = 7-10, each all
// digits (the separators are never looked at); month 1-12, year from 1900,
// day within the month. A date accepted so always gives a real yyyymmdd key.
// Rewrites entry 2 (February) of `calendario.giorniMese`.
bool ControllaData(std::string_view data, Calendario& calendario);
// The same with a calendar of its own.
bool ControllaData(std::string_view data);

// Completes a typed date. Ten characters stay as they are. Day, month and year
// parted by "/", "-" or "." (5/3/26, 5-3-2026, 05.03.26) become dd/mm/yyyy;
// otherwise 6 characters ddmmyy become dd/mm/yyyy and 8 characters ddmmyyyy
// become dd/mm/yyyy, cut by positions only; any other text stays as it is.
// A two-digit year takes the century that puts it nearest to `annoOggi`, a
// tie going forward (in 2026: 00-76 are 2000-2076, 77-99 are 1977-1999).
std::string CompletaData(std::string_view testo, int annoOggi);

// The century digits ("19", "20", ...) that put the two-digit year `yy`
// nearest to `annoOggi`, a tie going forward.
std::string SecoloVicino(int yy, int annoOggi);

// Tidies a typed room number: upper case by code page 1252 rules, apostrophes
// dropped; an empty result becomes one blank.
std::string PulisciTesto(std::string_view testo);

} // namespace vdx
