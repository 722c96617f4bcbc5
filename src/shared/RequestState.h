#pragma once

#include <string>

namespace vdx {

// The request values shared by the windows and the generator for the life of
// the program.
struct StatoRichiesta {
    short HotelCorrente = 0;           // chosen hotel
    short TableauCorrente = 0;         // chosen tableau, 0 for "<tutti>"
    std::string CodiceAssistenzaHotel; // chosen hotel's CodiceAssistenza, " " when missing
    short RispostaSoloUtilizzate = 7;  // 6: only rooms in use; 7: every room
};

inline constexpr short RispostaSi = 6;
inline constexpr short RispostaNo = 7;

// The one instance the program shares.
StatoRichiesta& StatoCondiviso();

} // namespace vdx
