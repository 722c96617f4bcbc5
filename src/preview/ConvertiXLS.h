#pragma once

// The separated-values export: every line of the report becomes one line of
// "fd" + pclocal + ".csv", rules and joints turned into field separators,
// horizontal rules into spaces, and amounts (1.234,56 under Italian
// settings) rewritten with the configured decimal mark and marked with the
// currency mark.

#include "report/Righe.h"
#include "shared/Errore.h"

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>

namespace vdx {

// The three settings of an export, from SeparatoreXLS.txt or the defaults,
// and the signs the report's amounts are written with.
struct ImpostazioniXLS {
    std::string separatoreCampi = ","; // where the report has a rule or joint
    std::string segnoDecimale = ".";   // in place of a decimal comma
    std::string segnoValuta = "\x80";  // the euro sign; its first byte marks an amount
    // The decimal and grouping signs the generator writes amounts with (those
    // of the locale), so that an amount reads the same under any locale.
    SegniNumerici segni;
};

inline constexpr std::string_view FileSeparatori = "SeparatoreXLS.txt";

// The longest setting line SeparatoreXLS.txt may hold, in bytes.
inline constexpr std::size_t LunghezzaImpostazioneXLS = 255;

// A setting of SeparatoreXLS.txt that cannot make a spreadsheet: the error
// (ChiamataNonValida) names the file and the line, and no export is written.
struct ImpostazioneRifiutata : Errore {
    using Errore::Errore;
};

// The settings of the working folder: the first three lines of
// SeparatoreXLS.txt taken whole (no trimming), the defaults without the file.
// A file of fewer than three lines keeps the defaults of the missing ones.
// The amounts' signs are those of the LC_NUMERIC locale in force.
// Refused (ImpostazioneRifiutata): a line longer than
// LunghezzaImpostazioneXLS, a control byte other than the tab, an empty
// separator, a separator equal to the decimal mark.
ImpostazioniXLS LeggiImpostazioniXLS(const std::filesystem::path& cartella);

// One report line as one output line, without its line end.
std::string RigaCsv(std::string_view riga, const ImpostazioniXLS& impostazioni);

// A whole report text (lines ended by CR LF, CR or LF) as output text: one
// line per input line, each ended by CR LF.
std::string TestoCsv(std::string_view testo, const ImpostazioniXLS& impostazioni);

// Exports the file `nome` (relative to `cartella`, matched without regard to
// case, or an absolute path) to NomeFileCsv() of `postazione` in `cartella`,
// with the settings of `cartella`. The output is replaced whole only when the export
// completes; a failure leaves the earlier output as it was. Returns the
// output's path. Throws vdx::Errore: 53 when the input is missing, 75/61 when
// the output cannot be written.
std::filesystem::path ConvertiXLS(std::string_view nome, const std::filesystem::path& cartella,
                                  std::string_view postazione);

} // namespace vdx
