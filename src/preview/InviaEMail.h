#pragma once

// Hands a text to the suite's e-mail sender: a hand-off file in the working
// folder, then the sender started beside us, not waited for.

#include <filesystem>
#include <string>
#include <string_view>

namespace vdx {

inline constexpr std::string_view kProgrammaRecapito = "Recapito.exe";

// The hand-off file's name: "e-mail" + pclocal unchanged + ".txt".
std::string NomeFileEMail();

// The hand-off file's bytes: the line "OGGETTO", then the text followed by
// CR LF. The text's own line ends are kept as they are.
std::string ContenutoEMail(std::string_view testo);

// Writes the hand-off file in `folder` (atomically, replacing the earlier
// one) and starts Recapito.exe there. Throws vdx::Error: 75/61 when the file
// cannot be written (nothing is started then), 53 when the sender cannot be
// found or started (the hand-off file stays written).
void InviaEMail(std::string_view testo, const std::filesystem::path& folder);

} // namespace vdx
