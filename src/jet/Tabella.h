#pragma once

// The rows of one table, read once from the file and never changed: an
// immutable snapshot that any number of record sets share.

#include "jet/Database.h"

#include <cstdint>
#include <new>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace vdx::jet {

// Memory for the columns of a table: large blocks go in 2 MB pages where the
// system has them (a million rows in 4 kB pages cost more in page faults than
// in reading), and values about to be written are not zero-filled first.
void* MemoriaColonna(std::size_t byte);
void LiberaColonna(void* p, std::size_t byte) noexcept;

template <typename T> struct AllocatoreColonna {
    using value_type = T;
    AllocatoreColonna() = default;
    template <typename U> AllocatoreColonna(const AllocatoreColonna<U>&) noexcept {}
    T* allocate(std::size_t n) { return static_cast<T*>(MemoriaColonna(n * sizeof(T))); }
    void deallocate(T* p, std::size_t n) noexcept { LiberaColonna(p, n * sizeof(T)); }
    template <typename U, typename... A> void construct(U* p, A&&... a) {
        if constexpr (sizeof...(A) == 0) {
            ::new (static_cast<void*>(p)) U; // left as it is: the caller writes it
        } else {
            ::new (static_cast<void*>(p)) U(std::forward<A>(a)...);
        }
    }
    template <typename U> bool operator==(const AllocatoreColonna<U>&) const noexcept {
        return true;
    }
};

template <typename T> using VettoreColonna = std::vector<T, AllocatoreColonna<T>>;

// One column, held column by column: a million rows take little memory and a
// search touches only the fields it compares.
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
    bool testuale() const {
        return tipo == TipoCampo::Text || tipo == TipoCampo::Memo || tipo == TipoCampo::Other;
    }
    bool intera() const;
    bool reale() const { return !testuale() && !intera(); }

    // Appending while the table is read.
    void aggiungiNullo();
    void aggiungiIntero(std::int64_t v);
    void aggiungiReale(double v);
    void aggiungiTesto(std::string_view bytes);
    // Ends a text value whose bytes were appended to `testi`.
    void chiudiTesto() {
        presente.push_back(1);
        fine.push_back(static_cast<std::uint32_t>(testi.size()));
    }
    std::string_view testo(std::size_t riga) const {
        const std::uint32_t inizio = riga == 0 ? 0 : fine[riga - 1];
        return std::string_view(testi.data() + inizio, fine[riga] - inizio);
    }
    // Room for `righe` values, so that reading a large table copies nothing.
    void riserva(std::size_t righe);
};

class Tabella {
public:
    // `file`: the file the table was read from, as messages name it.
    Tabella(std::string nome, std::vector<ColonnaLetta> colonne, std::size_t righe,
            std::string file = {});

    const std::string& nome() const { return nome_; }
    std::size_t righe() const { return righe_; }
    const std::vector<ColonnaLetta>& colonne() const { return colonne_; }

    // The column called `nome`, without regard to letter case; -1 if none.
    int campo(std::string_view nome) const;
    // As campo(), but an unknown name is the error FieldNotFound naming it;
    // when a field's name is the one asked for with one bit changed, the
    // table read from `file` is damaged (UnrecognizedFormat naming both).
    int campoRichiesto(std::string_view nome) const;

    bool nullo(std::size_t riga, int colonna) const {
        return colonne_[static_cast<std::size_t>(colonna)].presente[riga] == 0;
    }
    std::string_view testo(std::size_t riga, int colonna) const;
    Valore valore(std::size_t riga, int colonna) const;

private:
    std::string nome_;
    std::vector<ColonnaLetta> colonne_;
    std::size_t righe_;
    std::string file_;
};

// Ordering of two values of one column: NULL first, text by character codes
// (a prefix is the smaller: "10" before "9"), numbers by value.
int ConfrontaCelle(const ColonnaLetta& c, std::size_t a, std::size_t b);

// A number as its plain decimal text, shortest form that reads back the same
// ("3", "1.5", "-0.25"): no exponent, no locale.
std::string TestoNumero(double v);
std::string TestoDecimillesimi(std::int64_t v); // 185000 -> "18.5"

} // namespace vdx::jet
