#pragma once

// The rows of one table, read from the file when first needed and never
// changed: what any number of record sets share.

#include "jet/LetturaTabella.h"
#include "jet/Valore.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <new>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace vdx::jet {

// The values of one column for a set of rows, held column by column: the
// keys a sort compares.
struct ColonnaLetta {
    std::string nome; // as stored, code page 1252
    TipoCampo tipo = TipoCampo::Other;
    VettoreColonna<std::uint8_t> presente; // 1 = holds a value, 0 = NULL
    VettoreColonna<std::int64_t> interi;   // Boolean, Byte, Integer, Long; Currency x 10000
    VettoreColonna<double> reali;          // Single, Double, DateTime, other numbers
    // Text kinds: the bytes of every value one after the other, and where each
    // ends (a file holds at most 2 GB, so 32 bits reach every end).
    VettoreColonna<std::uint32_t> fine;
    VettoreColonna<char> testi;

    // Text, Memo and the raw bytes of other kinds (OLE, binary) are held as text.
    bool Testuale() const {
        return tipo == TipoCampo::Text || tipo == TipoCampo::Memo || tipo == TipoCampo::Other;
    }
    bool Intera() const;
    bool Reale() const { return !Testuale() && !Intera(); }

    // The value of the next row.
    void AggiungiNullo();
    void AggiungiIntero(std::int64_t v);
    void AggiungiReale(double v);
    void AggiungiTesto(std::string_view bytes);
    std::string_view Testo(std::size_t riga) const {
        const std::uint32_t inizio = riga == 0 ? 0 : fine[riga - 1];
        return std::string_view(testi.data() + inizio, fine[riga] - inizio);
    }
    // Room for `righe` values, so that gathering them copies nothing.
    void Riserva(std::size_t righe);
};

// A field of a table: its name and kind.
struct CampoTabella {
    std::string nome; // as stored, code page 1252
    TipoCampo tipo = TipoCampo::Other;

    // Text, Memo and the raw bytes of other kinds (OLE, binary) are text.
    bool Testuale() const {
        return tipo == TipoCampo::Text || tipo == TipoCampo::Memo || tipo == TipoCampo::Other;
    }
    bool Intera() const; // Boolean, Byte, Integer, Long, Currency
    bool Reale() const { return !Testuale() && !Intera(); }
};

// The rows of one table of a file, read when they are first needed: the
// first search, count or record reads every page of the table once, checks
// it (see FileMdb.h) and notes where each row lies; a record is then decoded
// from its page when it is asked for, the page checked against the
// fingerprint it had at the first reading. Searches over the whole table
// (an index, a selection, a sort) read its pages again in one pass, or are
// served by the first reading itself when they are what first needs the
// rows. Damage found at the first reading makes the table be read once more
// from the file after a pause (the suite may have been writing it); damage
// found after it (the file changed since) is reported at once. Both as
// vdx::Errore FormatoNonRiconosciuto naming the file and the table. Any number of
// record sets, on any thread, share one Tabella.
class Tabella {
public:
    // `rileggi` reads the table's definition once more from the file, after
    // the pause (or throws vdx::Errore).
    Tabella(std::string nome, std::vector<CampoTabella> colonne, DefinizioneTabella definizione,
            std::function<DefinizioneTabella()> rileggi, std::string file);

    const std::string& Nome() const { return nome_; }
    const std::vector<CampoTabella>& Colonne() const { return colonne_; }
    // The rows, counted by reading them (the first time).
    std::size_t NumeroRighe() const;
    // The rows as the definition counts them, without reading them: a
    // reading that finds another count finds damage.
    std::size_t RigheDichiarate() const { return dichiarate_; }
    // The size of its file: no text gathered from the table is longer.
    std::size_t ByteDelFile() const { return byteDelFile_; }

    // The column called `Nome`, without regard to letter case; -1 if none.
    int IndiceCampo(std::string_view nome) const;
    // As IndiceCampo(), but an unknown name is the error CampoNonTrovato naming it;
    // when a field's name is the one asked for with one bit changed, or the
    // rows (read then, if they were not) are damaged, the table is damaged
    // (FormatoNonRiconosciuto naming it and its file).
    int IndiceCampoRichiesto(std::string_view nome) const;

    // Row `r` into `riga` (its bytes copied).
    void LeggiRiga(std::size_t r, Riga& riga) const;
    // The pages of rows `righe`, about to be read one by one, read ahead in
    // as few reads as they allow (see RigheTabella::Raccogli).
    void Raccogli(const std::uint32_t* righe, std::size_t n) const;
    Valore ValoreCella(std::size_t r, int colonna) const;
    // The value of column `colonna` of a row of this table (of kind `tipo`).
    static Valore ValoreDi(const Riga& riga, std::size_t colonna, TipoCampo tipo);

    // Does `lavoro` on every row, in one reading of the table's pages: its
    // first reading, when the rows have not been read yet.
    void PerOgniRiga(LavoroRighe& lavoro) const;

    // Throws the error of this table found damaged (for Danno met while
    // decoding one of its rows).
    [[noreturn]] void Danneggiata() const;

private:
    const RigheTabella& RigheLette(LavoroRighe* lavoro) const;
    void Leggi(LavoroRighe* lavoro) const;

    std::string nome_;
    std::vector<CampoTabella> colonne_;
    std::size_t dichiarate_;
    std::size_t byteDelFile_;
    std::string file_;
    mutable std::mutex mutex_;
    mutable DefinizioneTabella definizione_;
    mutable std::function<DefinizioneTabella()> rileggi_;
    mutable std::shared_ptr<const RigheTabella> righe_;
    mutable bool guasta_ = false;
    mutable std::atomic<const RigheTabella*> righeLette_{nullptr};
};

// Ordering of two values of one column: NULL first, text by character codes
// (a prefix is the smaller: "10" before "9"), numbers by value.
int ConfrontaCelle(const ColonnaLetta& c, std::size_t a, std::size_t b);

} // namespace vdx::jet
