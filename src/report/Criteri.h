#pragma once

#include "jet/Database.h"

#include <optional>
#include <string>
#include <string_view>

namespace vdx {

// A value to be written between single quotes in a criterion: its own
// quotes doubled, so a room called 1'A stays one value ("NumeroCamera =
// '1''A'") and never ends the text early.
std::string Quota(std::string_view valore);

// A number of a record as a criterion writes it: plain decimal, no leading
// space ("CodiceCliente = 1234"). Nothing for a field holding no value: no
// record can match it.
std::optional<std::string> NumeroCriterio(const jet::Valore& valore);

} // namespace vdx
