#pragma once

// The spreadsheet export: the report read back as a table (TabellaTableau.h)
// and written as a workbook, "fd" + pclocal + ".xlsx", whose cells carry
// their types: persons and amounts are numbers, arrivals and departures
// dates, whatever the language of the desktop that opens it.

#include "preview/TabellaTableau.h"

#include <filesystem>
#include <string_view>

namespace vdx {

// Writes `tabella` as a workbook of one sheet: a title row (hotel, tableau,
// date), the frozen head row with an autofilter, a row for each row of the
// table, then the totals with their labels. `file` is replaced only once the
// workbook is whole. Throws vdx::Errore: 75/61 when it cannot be written.
void ScriviFoglioXlsx(const TabellaTableau& tabella, const std::filesystem::path& file);

// Exports the report `nome` (relative to `cartella`, matched without regard to
// case, or an absolute path) to NomeFileXlsx() of `postazione` in
// `cartella`; amounts are read with the signs of the LC_NUMERIC locale, those
// the report was written with. Returns the output's path. Throws
// vdx::Errore: 53 when the input is missing, 75/61 when the output cannot be
// written.
std::filesystem::path ConvertiXlsx(std::string_view nome, const std::filesystem::path& cartella,
                                   std::string_view postazione);

} // namespace vdx
