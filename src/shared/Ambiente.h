#pragma once

#include "shared/Date.h"

#include <optional>
#include <string>
#include <string_view>

namespace vdx {

// Environment variables are looked up without regard to letter case, as on the
// workstations the suite was born on: "pclocal" and "PCLOCAL" are one variable.
// An exact-case match wins when several spellings exist.
std::optional<std::string> VariabileAmbiente(std::string_view nome);

// The workstation number, read from the environment variable "pclocal"; it
// names every file the program writes: unset or empty, the workstation ""
// (FD, fd.csv); otherwise one to three decimal digits ("3", "03", "123"),
// taken as written. Any other value ("3 ", "+3", "a", a path, a line end) is
// refused with vdx::Errore (errore::ChiamataNonValida) naming pclocal.
// The program's start (src/app/main.cpp) calls it once, before anything is
// written, and hands the value down; nothing else calls it
// (scripts/check-house.sh).
std::string PostazioneDaAmbiente();
// The same check of a workstation given as a value.
void ControllaPostazione(std::string_view postazione);

// The files of a workstation, named the same way for every caller ("3" gives
// FD3, fd3.csv, fd3.xlsx, doc\fd3202612070905.doc, e-mail3.txt).
std::string NomeReport(std::string_view postazione);
std::string NomeFileCsv(std::string_view postazione);
std::string NomeFileXlsx(std::string_view postazione);
std::string NomeCopiaDoc(std::string_view postazione, const DataOra& momento);
std::string NomeFileEMail(std::string_view postazione);

} // namespace vdx
