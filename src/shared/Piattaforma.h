#pragma once

// The few calls that depend on the operating system: opening a file with the
// desktop's program, starting a program without waiting, opening a device or
// port for raw output. Tests replace them through the seams below so nothing
// real is started.

#include <filesystem>
#include <functional>
#include <string>
#include <string_view>

namespace vdx::piattaforma {

// Opens `file` with the program the desktop associates with its type
// (xdg-open on Linux). Returns false when no program took it (none could be
// started, or the opener said so within a few seconds); the caller tells the
// user.
bool ApriConProgramma(const std::filesystem::path& file);

// Starts `programma` (looked up on the program search path, the name compared
// without regard to letter case as the suite's workstations do) in `cartella`,
// without waiting for it. Throws vdx::Errore (53) naming the program when it
// cannot be found or started.
void AvviaProgramma(std::string_view programma, const std::filesystem::path& cartella);

// The start of `programma` in `cartella` for a caller that runs it itself, to
// read what it says and learn how it ends (a window, through Qt): the path
// to run, looked up as AvviaProgramma looks it up. Throws vdx::Errore (53)
// naming the program when it is nowhere. While a test has replaced program
// starts (ImpostaAvvia), the replacement gets the start and the path is
// empty: there is nothing left to run.
std::filesystem::path ProgrammaDaAvviare(std::string_view programma,
                                         const std::filesystem::path& cartella);

// Whether there is a display to open windows on: an X server, a Wayland
// compositor, or a Qt platform named explicitly (offscreen for tests).
bool SchermoDisponibile();

// A program's name less the ".exe" (any letter case) the suite's
// workstations give it: "Recapito.exe" is "Recapito" here.
std::string_view SenzaExe(std::string_view programma);

// Where `programma` is on the search path, "" when it is nowhere. The name is
// compared without regard to letter case, and "Name.exe" is also found
// installed as "Name".
std::filesystem::path CercaProgramma(std::string_view programma);

// Test seams: while set, the calls above go to these instead.
using ApriFn = std::function<bool(const std::filesystem::path&)>;
using AvviaFn = std::function<void(std::string_view, const std::filesystem::path&)>;
void ImpostaApri(ApriFn fn); // empty function restores the real call
void ImpostaAvvia(AvviaFn fn);

} // namespace vdx::piattaforma
