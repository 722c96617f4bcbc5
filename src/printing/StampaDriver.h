#pragma once

#include "printing/ImpostazioniStampa.h"
#include "printing/Stampante.h"

#include <filesystem>
#include <string_view>

namespace vdx {

// Prints one report line on `stampante`, as it is: every "ç" is a letter.
void StampaLaser(Stampante& stampante, std::string_view testo);

// Prints the report file `report` through the system printer, laid out
// first as ImpaginaStampa.h says: each page has the page head (one space in
// "Times New Roman" at valoriCompresso(1)), RigheIniziali blank lines, the
// report's head again after the first page, LunghezzaPagina - RigheIniziali
// lines at most, and "Pagina N di M" at its foot. A form-feed line starts a
// new page when a line follows. The size is lowered (the page head's too,
// if larger) just enough that the widest line fits the page's width and a
// whole page its height, so the printer never starts a page of its own; a
// page length not above the top lines holds what the sheet does. Returns
// false, printing nothing, when the report file does not exist.
bool StampaModoDriver(Stampante& stampante, const ImpostazioniStampa& impostazioni,
                      const SceltaStampa& scelta, const std::filesystem::path& cartella,
                      const std::filesystem::path& report);

// Whether the output names a PDF file ("...pdf", any letter case).
bool UscitaPdf(std::string_view uscita);

} // namespace vdx
