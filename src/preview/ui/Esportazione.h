#pragma once

// The print menu's export button: the report to "fd" + pclocal + ".csv",
// or to the workbook "fd" + pclocal + ".xlsx", then that file opened with the
// desktop's program for it.

#include <filesystem>

class QWidget;

namespace vdx::ui {

// Exports the workstation's report ("fd" + pclocal) of `Cartella` and opens
// the result; the notice of `parent` says where the file is, and whether a
// program opened it. Errors of the export are thrown, but a settings file
// refused (see LeggiImpostazioniXLS), which the user is told of.
void EsportaEApriCsv(QWidget* parent, const std::filesystem::path& cartella);
void EsportaEApriXlsx(QWidget* parent, const std::filesystem::path& cartella);

} // namespace vdx::ui
