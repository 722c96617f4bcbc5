#pragma once

// The print menu's export button: the report to "fd" + pclocal + ".csv",
// or to the workbook "fd" + pclocal + ".xlsx", then that file opened with the
// desktop's program for it.

#include <filesystem>
#include <string_view>

class QWidget;

namespace vdx::ui {

// Exports the report of `postazione` (NomeReport()) in `cartella` and opens
// the result; the notice of `parent` says where the file is, and whether a
// program opened it. Errors of the export are thrown, but a settings file
// refused (see LeggiImpostazioniXLS), which the user is told of.
void EsportaEApriCsv(QWidget* parent, const std::filesystem::path& cartella,
                     std::string_view postazione);
void EsportaEApriXlsx(QWidget* parent, const std::filesystem::path& cartella,
                      std::string_view postazione);

} // namespace vdx::ui
