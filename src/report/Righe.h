#pragma once

#include "shared/Testo.h"

// The report file's lines: the nine fixed lines, the cells of the room lines
// and the amounts. Every ruled line is 133 bytes; the line-drawing bytes are
// the single-line box characters of code page 437, the text code page 1252.

#include "shared/Date.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vdx {

inline constexpr std::size_t LarghezzaRiga = 133;

// Line-drawing bytes.
namespace bordo {
inline constexpr char Verticale = '\xB3';     // 179
inline constexpr char TeeDestra = '\xB4';     // 180, right end of the separator
inline constexpr char AngoloAltoDx = '\xBF';  // 191
inline constexpr char AngoloBassoSx = '\xC0'; // 192
inline constexpr char TeeBasso = '\xC1';      // 193
inline constexpr char TeeAlto = '\xC2';       // 194
inline constexpr char TeeSinistra = '\xC3';   // 195, left end of the separator
inline constexpr char Orizzontale = '\xC4';   // 196
inline constexpr char Croce = '\xC5';         // 197
inline constexpr char AngoloBassoDx = '\xD9'; // 217
inline constexpr char AngoloAltoSx = '\xDA';  // 218
} // namespace bordo

// The nine cells, by first column (counted from 1) and width. Rules stand in
// columns 1, 8, 15, 20, 31, 42, 64, 86, 108 and 133.
struct Cella {
    std::size_t colonna;
    std::size_t larghezza;
};
inline constexpr std::array<Cella, 9> Celle{{
    {2, 6},
    {9, 6},
    {16, 4},
    {21, 10},
    {32, 10},
    {43, 21},
    {65, 21},
    {87, 21},
    {109, 24},
}};

// The status tags of the second room line, each as wide as cell 7.
inline constexpr std::string_view EtichettaArrivo = "(in arrivo)          ";
inline constexpr std::string_view EtichettaPrenotazione = "(prenotazione)       ";
inline constexpr std::string_view EtichettaPartenza = "(in partenza)        ";

// The fixed lines, numbered 1 to 9 as the generator keeps them (index 0 is
// unused): 1 title, 2 top border, 3-5 headings, 6 inner separator, 7 work
// line, 8 bottom border, 9 blank ruled line.
using Righe = std::array<std::string, 10>;

// Lines 2 to 9 around a finished title; cell 9's heading reads
// " ARRANGIAMENTO" when the arrangement column is added, else " C O M M E N T O".
Righe CostruisciRighe(std::string titolo, bool arrangiamento);

// Title line: " Hotel : " + name cut and padded to 45 + " Tableau : " +
// description trimmed + " del " + the date as typed; it stops after
// " Hotel : " without a hotel record and after " Tableau : " without a
// tableau record. Cut or padded to 117, then "dd/mm/yyyy hh:mm" of `momento`.
std::string RigaTitolo(const std::optional<std::string>& ragioneSociale,
                       const std::optional<std::string>& descrizione, std::string_view dataTesto,
                       const DataOra& momento);

// The first `n` characters.
std::string_view Taglia(std::string_view testo, std::size_t n);

// Cell `cella` (1 to 9) of a ruled line: the value cut to the cell, trimmed
// and padded with spaces (names, companies, comments).
void ScriviTesto(std::string& riga, int cella, std::string_view valore);
// The value trimmed first, then cut to the cell (room number and type).
void ScriviCodice(std::string& riga, int cella, std::string_view valore);
// The value as it is, cut or padded to the cell (laid-out cells: persons,
// dates, arrangement and amount, tags).
void ScriviFisso(std::string& riga, int cella, std::string_view valore);

// " nn ": the count right-aligned in two columns between spaces; a count of
// three or four digits takes the whole cell, a longer one is cut to it.
std::string TestoPersone(long long persone);

// dd/mm/yyyy from a stored yyyymmdd, by positions; an empty date is written
// as ten blanks would be, "  /  /    ".
std::string TestoDataCella(std::string_view chiave);

// The decimal and grouping signs of amounts.
struct SegniNumerici {
    std::string decimale = ",";
    std::string migliaia = ".";
};
// The signs of the LC_NUMERIC locale in force (as code page 1252 bytes); the
// Italian "," and "." under the C/POSIX locale.
SegniNumerici SegniDelLocale();

// A money amount (ten-thousandths) with the pattern "#,##0.00": two decimals
// rounded half away from zero, thousands grouped.
std::string FormattaImporto(std::int64_t decimillesimi, const SegniNumerici& segni);

// An amount as FormattaImporto writes it with `segni` ("-12.345,67"; the
// grouping signs may be missing, as in an amount too wide for its cell), in
// ten-thousandths; nullopt for any other text.
std::optional<std::int64_t> LeggiImporto(std::string_view testo, const SegniNumerici& segni);

// Cell 9 with the arrangement: a space, the code padded (or cut) to 8, a
// space, the amount right-aligned in 13, a space. An amount wider than 13
// is written without grouping signs, and cut only if still too wide.
std::string TestoArrangiamento(std::string_view codice, std::int64_t decimillesimi,
                               const SegniNumerici& segni);

} // namespace vdx
