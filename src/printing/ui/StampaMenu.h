#pragma once

// The print menu's two print buttons and `vdx print`, on the system printer
// drawn by Qt.

#include "printing/ImpostazioniStampa.h"

#include <filesystem>
#include <iosfwd>
#include <string>
#include <vector>

class QWidget;

namespace vdx::ui {

// Prints the workstation's report as the menu is set. An error a user can
// meet (no printer, the print system refusing the job, a full disk, an
// output that cannot be opened) is shown in a message with its number and
// text, and the menu stays open so another destination can be tried.
// Returns whether the report went out.
bool StampaDalMenu(QWidget* parent, const std::filesystem::path& cartella,
                   const SceltaStampa& scelta);

// The PDF button's search: the index of the last entry holding "PDF", or -1
// after telling the user "Nessuna stampante PDF impostata!".
int ScegliDestinazionePdf(QWidget* parent, const std::vector<std::string>& destinazioni);

// `vdx print ...`: `args` are the words after "print". Draws without a
// display when there is none.
int EseguiStampaDaRigaComando(int argc, char** argv, const std::vector<std::string>& args,
                              std::ostream& out, std::ostream& err,
                              const std::filesystem::path& cartella);

} // namespace vdx::ui
