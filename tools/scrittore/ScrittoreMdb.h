#pragma once

// A small Jet 4 (Access 2000-2003 .mdb) writer: tables of plain columns, no
// indexes, no relations, written once from start to end. The tests and the
// demo build the suite's files with it.
//
// Rows are streamed: begin a table, set the values of the current row and
// add it, end the table. Only the pages being filled stay in memory, so a
// table of a million rows costs a few megabytes at most. The file is written
// under a temporary name in the same folder and takes its own name only when
// Chiudi() succeeds; a writer destroyed before that leaves nothing behind.
//
//   ScrittoreMdb mdb("Tableau.mdb");
//   mdb.IniziaTabella("Tableau", {ColonnaDa("NumeroHotel:Integer"),
//                                 ColonnaDa("Descrizione:Text(60)")});
//   mdb.intero(0, 1).testo(1, "Primo piano").AggiungiRiga();
//   mdb.ChiudiTabella();
//   mdb.Chiudi();
//
// Text is code page 1252 bytes (one byte, one character), stored as Access
// stores it (UCS-2, compressed when every character allows it). Errors are
// vdx::Errore with a text naming the table and the column.

#include "jet/Valore.h"

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace vdx::jet {

struct Colonna {
    std::string nome;                 // code page 1252
    TipoCampo tipo = TipoCampo::Long; // every type but Other
    int caratteri = 0;                // Text: the most characters it holds (1..255)
};

// A column from its "Name:Type" declaration (name in code page 1252): Long,
// Integer, Byte, Boolean, Text(n), Text (= Text(255)), Memo, Currency,
// Single, Double, DateTime; type names ignore letter case. Throws vdx::Errore
// (ChiamataNonValida) naming what is wrong.
Colonna ColonnaDa(std::string_view dichiarazione);

// The declaration text of a column, as ColonnaDa reads it ("Nome:Text(50)").
std::string Dichiarazione(const Colonna& colonna);

// The years a date may have, as Access allows them.
inline constexpr int PrimoAnno = 100;
inline constexpr int UltimoAnno = 9999;

// Days since 30/12/1899, as Access stores a date and time. Before that day
// the whole days count backwards and the time of day still counts forwards
// (29/12/1899 06:00 is -1.25), as Access does. Years outside PrimoAnno to
// UltimoAnno, like impossible days, are vdx::Errore ChiamataNonValida.
double GiorniDal1899(int anno, int mese, int giorno, int ora = 0, int minuti = 0, int secondi = 0);

class ScrittoreMdb {
public:
    explicit ScrittoreMdb(std::filesystem::path file);
    ~ScrittoreMdb();
    ScrittoreMdb(const ScrittoreMdb&) = delete;
    ScrittoreMdb& operator=(const ScrittoreMdb&) = delete;

    // Starts a table; the previous one must have been ended. Names are code
    // page 1252, at most 64 characters, unique within the file.
    void IniziaTabella(const std::string& nome, std::vector<Colonna> colonne);

    // Values of the current row, by column position. A column not set is
    // NULL (a Boolean not set is false: Access keeps no NULL for it).
    //  intero:   Long, Integer, Byte (range-checked), Boolean (non-zero is
    //            true), Currency (whole units), Single, Double
    //  reale:    Single, Double, Currency (rounded to 1/10000), DateTime
    //  denaro:   Currency, in ten-thousandths (12,50 -> 125000)
    //  data:     DateTime, days since 30/12/1899
    //  booleano: Boolean
    //  testo:    Text (at most its length in characters), Memo
    ScrittoreMdb& ScriviNullo(std::size_t colonna);
    ScrittoreMdb& ScriviIntero(std::size_t colonna, std::int64_t valore);
    ScrittoreMdb& ScriviReale(std::size_t colonna, double valore);
    ScrittoreMdb& ScriviDenaro(std::size_t colonna, std::int64_t decimillesimi);
    ScrittoreMdb& ScriviData(std::size_t colonna, double giorniDal1899);
    ScrittoreMdb& ScriviBooleano(std::size_t colonna, bool valore);
    ScrittoreMdb& ScriviTesto(std::size_t colonna, std::string_view cp1252);

    // Adds the current row to the table and clears it for the next one.
    void AggiungiRiga();

    // Ends the current table; its rows stay as added.
    void ChiudiTabella();

    // Writes the catalog and the table definitions and gives the file its
    // name. Throws when a table is still open.
    void Chiudi();

    // The columns of the table being written (empty between tables).
    const std::vector<Colonna>& Colonne() const;
    // Rows added to the table being written.
    std::uint32_t RigheScritte() const;

private:
    struct Stato;
    std::unique_ptr<Stato> s_;
};

} // namespace vdx::jet
