#pragma once

// Hands a text to the suite's e-mail sender: a hand-off file in the working
// folder, then the sender started beside us, not waited for.

#include <filesystem>
#include <string>
#include <string_view>

namespace vdx {

inline constexpr std::string_view ProgrammaRecapito = "Recapito.exe";

// The hand-off file's bytes: the line "OGGETTO", then the text followed by
// CR LF. The text's own line ends are kept as they are.
std::string ContenutoEMail(std::string_view testo);

// Writes the hand-off file of `postazione` (NomeFileEMail()) in `cartella`
// (atomically, replacing the earlier one). Throws vdx::Errore 75/61 when it
// cannot be written.
void ScriviFileEMail(std::string_view testo, const std::filesystem::path& cartella,
                     std::string_view postazione);

// Starts Recapito.exe in `cartella`, found on the program search path, and
// does not wait for it. Throws vdx::Errore 53 when it cannot be started.
void AvviaRecapito(const std::filesystem::path& cartella);

// The two above in turn: nothing is started when the file cannot be
// written; a sender that cannot be started leaves the file written.
void InviaEMail(std::string_view testo, const std::filesystem::path& cartella,
                std::string_view postazione);

} // namespace vdx
