#pragma once

// Search criteria and selection texts, as the system writes them:
//
//   criteria   NumeroHotel = 1 and NumeroCamera >= '101' and Partito <> 'S'
//   selection  Select * From T [Where criteria] [Order by F [ASC|DESC], ...][;]
//              ... Where F In (Select C From T2 In 'file.mdb' Where criteria)
//
// A criterion is a list of comparisons joined by "and": a field name (or a
// [bracketed] name), one of = <> < <= > >=, and a value: an unsigned decimal
// number or a text between single quotes, where two quotes stand for one.
// Anything else ("or", "not", "like", parentheses, a value on the left) is a
// syntax error with its position, never a guess. Key words are read without
// regard to letter case. A minus sign before a number is taken (the engine
// reads it as a negative value).
//
// A comparison takes its value as the field's kind asks:
// - a text field with a quoted text: as text, on the character codes, letter
//   case counting ('abc' <> 'ABC'; the suite's codes are upper case);
// - a number field with a number: by value (money exactly, in ten-thousandths);
// - a text field with a number: the number is taken as the text written
//   (NumeroCamera = 101 is NumeroCamera = '101');
// - a number field with a quoted text: the text is read as a number
//   (NumeroHotel = '1' is NumeroHotel = 1).
// A NULL field satisfies no comparison at all, not even <>.

#include "jet/Valore.h"

#include <optional>
#include <string>
#include <string_view>

namespace vdx::jet {

// A text made safe to put between single quotes in a criterion: every quote
// doubled, so that a name like D'Angelo can never end the text early or
// change the criterion.
std::string TestoTraApici(std::string_view valore);

// A number of a record as a criterion writes it: plain decimal, no leading
// space ("CodiceCliente = 1234"). Nothing for a field holding no value: no
// record can match it.
std::optional<std::string> NumeroCriterio(const Valore& valore);

} // namespace vdx::jet
