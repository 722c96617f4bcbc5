#pragma once

// The check "Stampa" makes of a request before the report is written: the
// room range, then the date. The request window and `vdx generate` both ask
// it, so they refuse the same requests with the same message.

#include "report/GeneraTableau.h"
#include "request/CampiRichiesta.h"

#include <string>
#include <variant>

namespace vdx {

// The field a refusal is about: the window puts the focus there.
enum class CampoRifiutato { PrimaCamera, Data };

// A request refused: the field and the message the user gets.
struct Rifiuto {
    CampoRifiutato campo;
    std::string titolo;
    std::string testo; // its lines parted by CR LF, as the message box shows them
};

// The messages, also given by Enter in the fields.
Rifiuto RifiutoCamere();
Rifiuto RifiutoData();

// The request as typed (rooms and date as they stand in the fields) becomes
// the report's options when the last room does not sort before the first
// (rooms compare as text) and the date passes ControllaData, which rewrites
// February in `calendario`; otherwise the refusal of the first check that
// fails.
std::variant<OpzioniTableau, Rifiuto> ControllaRichiesta(OpzioniTableau richiesta,
                                                         Calendario& calendario);

} // namespace vdx
