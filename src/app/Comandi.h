#pragma once

// The commands of `vdx` that need no window, for night-audit scripts: the
// same runs the windows start ("&Stampa", the print menu's print and
// spreadsheet buttons), over the same core functions, in the given folder.
// Arguments and messages are UTF-8; results go to `out`, messages to `err`.
// Each works for the workstation `postazione` it is given, which the program
// has read from pclocal and checked at its start (main.cpp).

#include "printing/StampaReport.h"
#include "shared/Date.h"

#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

namespace vdx {

// `vdx generate [options]`: the daily tableau, with the request window's
// defaults (first hotel, its first tableau, that tableau's room range,
// today). Prints the report's path. Exit statuses below.
inline constexpr int EsitoRiuscito = 0;
inline constexpr int EsitoErroreDati = 1;      // a data file or the report could not be used
inline constexpr int EsitoRichiestaErrata = 2; // wrong options, room range, date or pclocal
int EseguiGenera(const std::vector<std::string>& argomenti, std::ostream& out, std::ostream& err,
                 const std::filesystem::path& cartella, const std::string& postazione,
                 const Orologio& orologio);
std::string UsoGenera();

// `vdx print [--destination NAME | --pdf] [--printer NAME] [--normal]
// [--landscape] [--duplex]`: the print menu's print button on the first
// destination of hotel 1 or the one named (--pdf: the last whose name holds
// "PDF"), through the printer `fabbrica` makes when the destination prints
// through the driver. Returns 0 when the report was printed, 1 when there was
// nothing to print, 2 on an error.
int EseguiStampa(const std::vector<std::string>& argomenti, std::ostream& out, std::ostream& err,
                 const std::filesystem::path& cartella, const std::string& postazione,
                 const FabbricaStampante& fabbrica);

// `vdx export-csv [FILE]`: FILE (default the workstation's report) to
// NomeFileCsv() of the workstation with the folder's SeparatoreXLS.txt. Prints the
// output's name. Returns 0 when done, 1 when the export failed, 2 on a wrong
// command line.
int EseguiEsportaCsv(const std::vector<std::string>& argomenti, std::ostream& out,
                     std::ostream& err, const std::filesystem::path& cartella,
                     const std::string& postazione);

// `vdx export-xlsx [FILE]`: FILE (default the workstation's report) to the
// workbook NomeFileXlsx() of the workstation. Prints the output's name. Exit statuses
// as export-csv.
int EseguiEsportaXlsx(const std::vector<std::string>& argomenti, std::ostream& out,
                      std::ostream& err, const std::filesystem::path& cartella,
                      const std::string& postazione);

} // namespace vdx
