#pragma once

// `vdx generate`: the daily tableau from the command line, for night-audit
// scripts. The same run the request window's "&Stampa" starts, in the given
// folder, with the window's defaults (first hotel, its first tableau, that
// tableau's room range, today).

#include "shared/Dates.h"

#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

namespace vdx {

// Exit statuses.
inline constexpr int EsitoRiuscito = 0;
inline constexpr int EsitoErroreDati = 1;      // a data file or the report could not be used
inline constexpr int EsitoRichiestaErrata = 2; // wrong options, room range or date

// Runs `vdx generate` with the arguments that follow "generate". Arguments
// and messages are UTF-8; the report file's path goes to `out`, messages to
// `err`. Reads `pclocal` from the environment.
int EseguiGenera(const std::vector<std::string>& argomenti, std::ostream& out, std::ostream& err,
                 const std::filesystem::path& cartella, const Orologio& orologio);

// The usage text.
std::string UsoGenera();

} // namespace vdx
