#pragma once

#include <filesystem>
#include <optional>
#include <string_view>

namespace vdx {

// File names compare without regard to letter case on the suite's
// workstations: "FD3" and "fd3", "Tableau.mdb" and "TABLEAU.MDB" name one
// file. `nome` is relative to `cartella` and may use "\" or "/" between its
// parts ("doc\fd3.doc"). Each part is matched against the folder's entries:
// an exact spelling wins, else the first entry (in name order) equal without
// regard to case. A part with no match keeps the spelling given, so the
// result also names a file still to be created.
std::filesystem::path RisolviNome(const std::filesystem::path& cartella, std::string_view nome);

// The existing file `nome` resolves to, or nullopt.
std::optional<std::filesystem::path> TrovaFile(const std::filesystem::path& cartella,
                                               std::string_view nome);

// Whether `nome` matches a pattern of "*" and "?" without regard to case
// ("VDX_*.txt").
bool CorrispondeModello(std::string_view nome, std::string_view modello);

} // namespace vdx
