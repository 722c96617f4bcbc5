#pragma once

#include "printing/ImpostazioniStampa.h"
#include "printing/Stampante.h"

#include <filesystem>
#include <string_view>

namespace vdx {

// Prints one report line on `DisegnaStampante`, as it is: every "ç" is a letter.
void StampaLaser(Stampante& stampante, std::string_view testo);

// Prints the report file `Report` through the system printer: the page head
// (one space in "Times New Roman" at valoriCompresso(1)), RigheIniziali blank
// lines, then the report lines, a new page every LunghezzaPagina lines and at
// each form-feed line. When the widest line does not fit the page's width at
// the chosen size, the size (and the page head's, if larger) is lowered just
// enough that it fits. Returns false, printing nothing, when the report file
// does not exist. A new page is started only when a line follows, so a form
// feed or a full page at the end of the report leaves no empty sheet.
bool StampaModoDriver(Stampante& stampante, const ImpostazioniStampa& impostazioni,
                      const SceltaStampa& scelta, const std::filesystem::path& cartella,
                      const std::filesystem::path& report);

// Whether the output names a PDF file ("...pdf", any letter case).
bool UscitaPdf(std::string_view uscita);

} // namespace vdx
