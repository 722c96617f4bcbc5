#pragma once

#include <filesystem>
#include <stdexcept>
#include <string>

namespace vdx {

// An error of the database engine or of the file system, with the number and
// text the user is shown. Raised where the fault happens and reported once, at
// the top of the program (or of the window handler that reached it).
class Errore : public std::runtime_error {
public:
    Errore(int numero, const std::string& testo) : std::runtime_error(testo), numero_(numero) {}
    int Numero() const noexcept { return numero_; }

private:
    int numero_;
};

// What the system's error code `codice` (errno) means, in Italian: the
// system's own texts follow the locale, and the program speaks Italian
// whatever the locale.
std::string DescrizioneErrno(int codice);

// A failure of the file system met through std::filesystem, told in Italian
// with the file it concerns.
std::string DescrizioneErroreFile(const std::filesystem::filesystem_error& e);

// Error numbers, kept as the suite's users know them.
namespace errore {
inline constexpr int NumeroFileErrato = 52;         // file not open
inline constexpr int FileNonTrovato = 53;           // a file that must exist is missing
inline constexpr int DiscoPieno = 61;               // no space left while writing
inline constexpr int AccessoPercorso = 75;          // a file or device cannot be opened
inline constexpr int ChiamataNonValida = 5;         // a value out of its range
inline constexpr int DatabaseNonTrovato = 3024;     // "Couldn't find file"
inline constexpr int PermessoNegato = 3051;         // a data file the user may not read
inline constexpr int FormatoNonRiconosciuto = 3343; // not an Access file
inline constexpr int TabellaNonTrovata = 3078;      // no such table or query
inline constexpr int CampoNonTrovato = 3265;        // item not found in this collection
inline constexpr int SintassiCriterio = 3077;       // syntax error in a search criterion
inline constexpr int SintassiSelezione = 3075;      // selection text not understood
inline constexpr int NessunRecordCorrente = 3021;   // a field read with no current record
inline constexpr int ErroreStampante = 482;         // printer error
} // namespace errore

} // namespace vdx
