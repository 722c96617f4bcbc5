#pragma once

#include "shared/Date.h"

#include <filesystem>
#include <string>

namespace vdx {

namespace jet {
class Archivi;
}

// Everything one run of the generator reads, fixed for the run. The request
// window and `vdx generate` fill it the same way. Texts are code page 1252.
struct OpzioniTableau {
    short hotel = 0;             // the chosen hotel
    short tableau = 0;           // the chosen tableau, 0 for "<tutti>": every room of the hotel
    std::string primaCamera;     // first room of the range, as typed
    std::string ultimaCamera;    // last room of the range, as typed
    std::string data;            // reference date dd/mm/yyyy, already checked
    bool arrangiamento = false;  // "Aggiungere arrangiamento": arrangement and amount in cell 9
    bool soloArrivi = false;     // "Solo arrivi del giorno"
    bool soloPartenze = false;   // "Solo partenze del giorno"
    bool soloLibere = false;     // "Solo camere libere": no occupancy block is written
    bool soloUtilizzate = false; // "Stampo solo le camere utilizzate?" answered yes
    std::string codiceAssistenzaHotel = " "; // no final form feed when it holds "U"
    std::filesystem::path cartella = ".";    // where the data files are and the report goes
    Orologio orologio = OrologioDiSistema(); // read once, for the title's time stamp
    std::string postazione; // the workstation (pclocal): the report is "FD" + postazione
};

// Writes the daily tableau to "FD" + pclocal in the working folder and
// returns its path; a pclocal that is no workstation number is refused
// before anything is read or written. The report is written to a temporary file beside it and
// takes the name only when complete: a run that fails leaves the previous
// report whole. Errors of the data files or of the file system are thrown as
// vdx::Errore.
std::filesystem::path GeneraTableau(const OpzioniTableau& opzioni);
// The same within a run whose earlier steps read some of the files already
// (a command's hotel, tableau and room range): every file as the run read it.
std::filesystem::path GeneraTableau(const OpzioniTableau& opzioni, jet::Archivi& archivi);

// Blank ruled lines after each room block: the fifth character of the first
// "VDX_*.txt" of the folder (in name order) read as a digit, 0 for another
// character or without such a file.
int RigheVuoteDaMarcatore(const std::filesystem::path& cartella);

} // namespace vdx
