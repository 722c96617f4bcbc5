#pragma once

// The print menu's export button: the report to "fd" + pclocal + ".csv",
// then that file opened with the desktop's program for it.

#include <filesystem>

class QWidget;

namespace vdx::ui {

// Exports the workstation's report ("fd" + pclocal) of `Cartella` and opens
// the result. Errors of the export are thrown; a desktop with no program
// for the file, or a settings file refused (see LeggiImpostazioniXLS), is
// told to the user.
void EsportaEApriCsv(QWidget* parent, const std::filesystem::path& cartella);

} // namespace vdx::ui
