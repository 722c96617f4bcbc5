#pragma once

// One row of a table, read natively from its bytes: where each field lies in
// the row, and its value. A row is taken apart the way the Access engine
// lays it out (Jet 3 and Jet 4), and only if it holds together: its count of
// columns, its null mask, its table of variable fields, every field inside
// the row. Nothing here uses libmdb, so rows are read on any thread.

#include "jet/Pagine.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vdx::jet {

// How one column lies in the rows of its table, from the table's definition.
struct PianoColonna {
    int tipo = 0;              // the kind's code in the definition (libmdb's MDB_*)
    unsigned numero = 0;       // its bit in the null mask
    unsigned variabile = 0;    // a variable column: its place in the row's offsets
    bool fissa = false;        // fixed place and width
    unsigned offset = 0;       // a fixed column: from the start of the fixed area
    unsigned dimensione = 0;   // a fixed column: its bytes
    unsigned ordineFisso = 0;  // a fixed column: the fixed columns numbered before it
    int scala = 0;             // NUMERIC: decimal places
    bool controllata = true;   // its values are checked when the table is read
};

// How the rows of a table are laid out.
struct PianoRiga {
    std::vector<PianoColonna> colonne; // in the order of their numbers
    std::size_t massimo = 0;           // the most columns a row may have (max_cols)
    bool variabili = false;            // the table has variable columns
    bool jet3 = false;
    std::size_t dimPagina = 4096;
    std::size_t pagineFile = 0; // pages of the whole file
    // Where the count of rows stands on a data page (the row offsets follow).
    std::size_t offsetRighe() const { return jet3 ? 8 : 12; }
};

// A row slot of a data page.
struct PostoRiga {
    std::size_t inizio = 0;
    std::size_t fine = 0;
    bool cancellata = false; // deleted; also the far end of a moved row
    bool spostata = false;   // the row holds only where the row now is
    bool integra = false;    // inside the page, after the row offsets, not empty
};

// Slot `indice` of a data page, if the page has that slot.
std::optional<PostoRiga> PostoDiRiga(const unsigned char* pagina, const PianoRiga& piano,
                                     std::size_t indice);

// The pages a long value (memo, OLE) spans are read through this, checked
// against the fingerprints taken when the table was read.
class AccessoPagine {
public:
    virtual ~AccessoPagine() = default;
    // A data page of the file, valid until the next call; Danno when it
    // cannot be read or has changed.
    virtual const unsigned char* pagina(std::uint32_t n) const = 0;
};

class Riga {
public:
    // The row of `n` bytes at `dati`, of a table laid out as `piano`: the
    // bytes stay where they are and must outlive the use of the Riga. Long
    // values are read through `lunghi`. Danno when the row does not hold
    // together.
    void scomponi(const PianoRiga& piano, const unsigned char* dati, std::size_t n,
                  const AccessoPagine* lunghi);
    // As scomponi(), on a copy of the bytes that the Riga keeps.
    void copia(const PianoRiga& piano, const unsigned char* dati, std::size_t n,
               const AccessoPagine* lunghi);

    // Column `c` in the order of the plan. A yes/no field is never NULL: its
    // value is its null bit.
    bool nullo(std::size_t c) const;
    // Boolean (-1 or 0), Byte, Integer, Long, and Currency in ten-thousandths.
    std::int64_t intero(std::size_t c) const;
    // Single, Double, DateTime (days since 30/12/1899), NUMERIC.
    double reale(std::size_t c) const;
    // Text and Memo as code page 1252 bytes, other kinds as their raw bytes:
    // where they stand, or decoded into `buffer`. Danno for a long value that
    // does not read whole.
    std::string_view testo(std::size_t c, std::string& buffer) const;
    // The text of column `c` compared with `valore` (code page 1252), byte by
    // byte: <0, 0, >0. A short text stored one byte per character is compared
    // as it is stored, without decoding it.
    int confrontaTesto(std::size_t c, std::string_view valore, std::string& buffer) const;

    // The checks the reading of a table makes on each row's values: two-byte
    // text of an even length, long values that read whole. Danno otherwise.
    void controllaValori() const;

private:
    struct Posto {
        bool presente = false;
        long inizio = 0;
        long lunghezza = 0;
    };
    void scomponi4();
    void scomponi3();
    Posto posto(std::size_t c) const;
    const unsigned char* valore(std::size_t c, std::size_t larghezza,
                                std::size_t* lunghezza = nullptr) const;

    const PianoRiga* piano_ = nullptr;
    const unsigned char* dati_ = nullptr;
    std::size_t n_ = 0;
    const AccessoPagine* lunghi_ = nullptr;
    std::vector<unsigned char> copia_;
    std::size_t colonne_ = 0;  // columns the row holds
    std::size_t maschera_ = 0; // bytes of its null mask, at its end
    std::size_t variabili_ = 0;
    std::size_t fissePresenti_ = 0;
    std::vector<long> offsets3_; // Jet 3: the variable fields' offsets, worked out
};

// Jet 4 text: UCS-2LE, or "compressed" (FF FE, then one byte per character,
// a 0x00 switching between one- and two-byte characters), appended to `out`
// as code page 1252; false for two-byte text of an odd length.
bool DecodificaTesto4(const unsigned char* p, std::size_t n, std::string& out);

// A character of the file's two-byte text as a code page 1252 byte; "?" for
// the characters the code page lacks.
char Carattere1252(std::uint16_t c);

} // namespace vdx::jet
