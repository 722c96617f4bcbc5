#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace vdx {

// Environment variables are looked up without regard to letter case, as on the
// workstations the suite was born on: `pclocal` and `PCLOCAL` are one variable.
// An exact-case match wins when several spellings exist.
std::optional<std::string> VariabileAmbiente(std::string_view name);

// The text of `pclocal`, "" when it is unset.
std::string PcLocale();

// The numeric value of `pclocal` written in plain decimal ("3" for "3", "0"
// when unset or not starting with a number), as the print path and the
// preview write it into the report file's name.
std::string PcLocaleNumerico();

// The report file's names: "FD" + pclocal text (generator), "FD" + numeric
// value (print path and preview).
std::string NomeReport();
std::string NomeReportNumerico();

} // namespace vdx
