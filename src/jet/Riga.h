#pragma once

// One row of a table, read natively from its bytes: where each field lies in
// the row, and its value. A row is taken apart the way the Access engine
// lays it out (Jet 3 and Jet 4), and only if it holds together: its count of
// columns, its null mask, its table of variable fields, every field inside
// the row. Nothing here uses libmdb, so rows are read on any thread.

#include "jet/Pagine.h"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vdx::jet {

// How one column lies in the rows of its table, from the table's definition.
struct PianoColonna {
    int tipo = 0;             // the kind's code in the definition (libmdb's MDB_*)
    unsigned numero = 0;      // its bit in the null mask
    unsigned variabile = 0;   // a variable column: its place in the row's offsets
    bool fissa = false;       // fixed place and width
    unsigned offset = 0;      // a fixed column: from the start of the fixed area
    unsigned dimensione = 0;  // a fixed column: its bytes
    unsigned ordineFisso = 0; // a fixed column: the fixed columns numbered before it
    int scala = 0;            // NUMERIC: decimal places
    bool controllata = true;  // its values are checked when the table is read
    // Worked out by PianoRiga::Prepara():
    bool booleana = false;  // yes/no: its value is its null bit
    bool testo4 = false;    // Jet 4 text
    unsigned larghezza = 0; // the bytes a value of a number kind takes
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
    std::size_t OffsetRighe() const { return jet3 ? 8 : 12; }

    // Worked out from the columns by Prepara(), for the checks of each row:
    // where the first k fixed columns end (k from 0 to all of them); for each
    // place among the variable fields, the text column there whose values
    // are checked (Jet 4), or none; the other columns whose values are
    // checked.
    void Prepara();
    struct TestoVariabile {
        int numero = -1;         // its bit in the null mask; -1: no checked text there
        std::size_t massimo = 0; // the bytes its declared size allows, two a character
    };
    std::vector<std::size_t> fineFisse;
    std::vector<TestoVariabile> testiVariabili;
    std::vector<std::size_t> altriControllati;
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
inline std::optional<PostoRiga> PostoDiRiga(const unsigned char* pg, const PianoRiga& piano,
                                            std::size_t indice) {
    const auto u16 = [](const unsigned char* p) {
        return static_cast<std::size_t>(p[0] | (p[1] << 8));
    };
    const std::size_t rco = piano.OffsetRighe();
    const std::size_t quante = u16(pg + rco);
    const std::size_t testata = rco + 2 + 2 * quante;
    if (indice >= quante || testata > piano.dimPagina) {
        return std::nullopt;
    }
    const std::size_t grezzo = u16(pg + rco + 2 + 2 * indice);
    PostoRiga r;
    r.inizio = grezzo & 0x1FFF;
    r.fine = indice == 0 ? piano.dimPagina : (u16(pg + rco + 2 * indice) & 0x1FFF);
    r.cancellata = (grezzo & 0x8000) != 0;
    r.spostata = (grezzo & 0x4000) != 0;
    r.integra = r.inizio >= testata && r.inizio < r.fine && r.fine <= piano.dimPagina;
    return r;
}

// The pages a long value (memo, OLE) spans are read through this, checked
// against the fingerprints taken when the table was read.
class AccessoPagine {
public:
    virtual ~AccessoPagine() = default;
    // A data page of the file, valid until the next call; Danno when it
    // cannot be read or has changed.
    virtual const unsigned char* Pagina(std::uint32_t n) const = 0;
};

class Riga {
public:
    // The row of `n` bytes at `dati`, of a table laid out as `piano`: the
    // bytes stay where they are and must outlive the use of the Riga. Long
    // values are read through `lunghi`. Danno when the row does not hold
    // together. A row already checked so when its table was first read
    // (its page unchanged since) is taken apart without checking the order
    // of its variable fields' offsets and its text values again (`controlla`
    // false); each field is still read only inside the row.
    void Scomponi(const PianoRiga& piano, const unsigned char* dati, std::size_t n,
                  const AccessoPagine* lunghi, bool controlla = true);
    // As Scomponi(), on a copy of the bytes that the Riga keeps.
    void Copia(const PianoRiga& piano, const unsigned char* dati, std::size_t n,
               const AccessoPagine* lunghi, bool controlla = true);

    // Column `c` in the order of the plan. A yes/no field is never NULL: its
    // value is its null bit.
    bool Nullo(std::size_t c) const {
        return !piano_->colonne[c].booleana && ValoreDi(c) == nullptr;
    }
    // Boolean (-1 or 0), Byte, Integer, Long, and Currency in ten-thousandths.
    std::int64_t Intero(std::size_t c) const;
    // Single, Double, DateTime (days since 30/12/1899), NUMERIC.
    double Reale(std::size_t c) const;
    // Text and Memo as code page 1252 bytes, other kinds as their raw bytes:
    // where they stand, or decoded into `buffer`. Danno for a long value that
    // does not read whole.
    std::string_view Testo(std::size_t c, std::string& buffer) const;
    // Reads the value of column `c` into `v` as Intero(), Reale() and Testo()
    // do, and says whether it holds one (false for NULL): the field is read once.
    bool LeggiIntero(std::size_t c, std::int64_t& v) const {
        const PianoColonna& k = piano_->colonne[c];
        const unsigned char* p = ValoreDi(c);
        if (k.booleana) {
            v = p != nullptr ? -1 : 0; // a yes/no field is its null bit: set is True
            return true;
        }
        if (p == nullptr) {
            v = 0;
            return false;
        }
        switch (k.larghezza) { // Byte, Integer, Long, Currency
        case 1:
            v = p[0];
            break;
        case 2:
            v = static_cast<std::int16_t>(p[0] | (p[1] << 8));
            break;
        case 4:
            v = static_cast<std::int32_t>(static_cast<std::uint32_t>(p[0]) |
                                          (static_cast<std::uint32_t>(p[1]) << 8) |
                                          (static_cast<std::uint32_t>(p[2]) << 16) |
                                          (static_cast<std::uint32_t>(p[3]) << 24));
            break;
        default:
            std::memcpy(&v, p, 8);
        }
        return true;
    }
    bool LeggiReale(std::size_t c, double& v) const;
    bool LeggiTesto(std::size_t c, std::string& buffer, std::string_view& v) const {
        std::size_t n = 0;
        const unsigned char* p = ValoreDi(c, &n);
        if (p == nullptr) {
            v = {};
            return false;
        }
        // A short text stored one byte a character, as code page 1252 has it:
        // as it stands.
        if (piano_->colonne[c].testo4 && n >= 2 && p[0] == 0xFF && p[1] == 0xFE) {
            std::size_t i = 2;
            while (i < n && p[i] != 0x00 && (p[i] < 0x80 || p[i] >= 0xA0)) {
                ++i;
            }
            if (i == n) {
                v = std::string_view(reinterpret_cast<const char*>(p + 2), n - 2);
                return true;
            }
        }
        return TestoDecodificato(c, p, n, buffer, v);
    }

    // The checks the reading of a table makes on each row's values, beyond
    // those Scomponi() makes on Jet 4 variable text (two-byte text of an even
    // length): every value inside the row, long values that read whole, fixed
    // and Jet 4 text of an even length. Danno otherwise.
    void ControllaValori() const;

private:
    void ScomponiJet4(bool controlla);
    void ScomponiJet3();
    void ControllaTesto(std::size_t v, std::size_t inizio, std::size_t lunghezza) const;
    bool TestoDecodificato(std::size_t c, const unsigned char* p, std::size_t n,
                           std::string& buffer, std::string_view& v) const;
    // The bytes of column `c` (at least its kind's width), their count in
    // `lunghezza`; nullptr for NULL (a field the row does not hold is NULL).
    const unsigned char* ValoreDi(std::size_t c, std::size_t* lunghezza = nullptr) const {
        const PianoColonna& k = piano_->colonne[c];
        long inizio = 0;
        long fine = 0;
        if (k.fissa) {
            if (k.ordineFisso >= fissePresenti_) {
                return nullptr;
            }
            inizio = static_cast<long>((piano_->jet3 ? 1 : 2) + k.offset);
            fine = inizio + static_cast<long>(k.dimensione);
        } else if (k.variabile < variabili_) {
            if (piano_->jet3) {
                inizio = offsets3_[k.variabile];
                fine = offsets3_[k.variabile + 1];
            } else {
                const unsigned char* t = dati_ + n_ - maschera_ - 4 - 2 * k.variabile;
                inizio = t[0] | (t[1] << 8);
                fine = t[-2] | (t[-1] << 8);
            }
        } else {
            return nullptr;
        }
        if (k.numero >= colonne_ ||
            (dati_[n_ - maschera_ + k.numero / 8] & (1u << (k.numero % 8))) == 0) {
            return nullptr;
        }
        if (fine - inizio < static_cast<long>(k.larghezza) || inizio < 0 ||
            fine > static_cast<long>(n_)) {
            throw Danno{};
        }
        if (lunghezza != nullptr) {
            *lunghezza = static_cast<std::size_t>(fine - inizio);
        }
        return dati_ + inizio;
    }

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

// Whether a text value of `n` bytes at `p` holds no more characters than a
// column of `dimensione` bytes declares (Jet 4: two bytes a character,
// however the value is stored; Jet 3: one).
bool TestoEntra(const unsigned char* p, std::size_t n, std::size_t dimensione, bool jet3);

// A character of the file's two-byte text as a code page 1252 byte; "?" for
// the characters the code page lacks.
char Carattere1252(std::uint16_t c);

} // namespace vdx::jet
