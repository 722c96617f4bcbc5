#pragma once

#include "jet/Database.h"

#include <optional>
#include <string>
#include <string_view>

namespace vdx {

// A number of a record as a criterion writes it: plain decimal, no leading
// space ("CodiceCliente = 1234"). Nothing for a field holding no value: no
// record can match it.
std::optional<std::string> NumeroCriterio(const jet::Valore& valore);

} // namespace vdx
