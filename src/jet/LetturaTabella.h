#pragma once

// The reading of a table's rows from its data pages, without libmdb: once
// whole when the table is first needed (every page and row checked, where
// each row lies and each page's fingerprint kept), then again by passes over
// its pages or one row at a time, each page checked against its fingerprint.
// A reading or a pass is shared between threads on a machine with two cores
// or more: each takes its part of the pages.

#include "jet/Pagine.h"
#include "jet/Riga.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <new>
#include <type_traits>
#include <unordered_map>
#include <utility>
#include <vector>

namespace vdx::jet {

// Memory for what is kept for each row of a table: large blocks go in 2 MB
// pages where the system has them (a million rows in 4 kB pages cost more in
// page faults than in reading), and values about to be written are not
// zero-filled first.
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

// What a table's rows are read by: its definition, read through libmdb.
struct DefinizioneTabella {
    std::shared_ptr<const Sorgente> sorgente;
    std::uint32_t pagina = 0; // the definition's page, which owns the data pages
    PianoRiga piano;
    std::vector<std::uint32_t> pagine; // its data pages, as its map of used pages names them
    std::size_t righe = 0;             // as the definition counts them
};

// Work done on every row of a table in one reading of its pages. The rows
// come in parts, one after the other in the table's order, each part read
// by one thread; the calls for one part come from one thread, and a part's
// rows are counted from the start of the part.
class LavoroRighe {
public:
    virtual ~LavoroRighe() = default;
    // `righe`: the table's rows, or about as many when `basi` is empty (never
    // more than its pages can hold); `basi`: the first row of each part, when
    // known (a pass after the first reading).
    virtual void Inizia(std::size_t parti, std::size_t righe,
                        const std::vector<std::size_t>& basi) = 0;
    // Once for each row; the Riga is valid during the call only.
    virtual void ConsegnaRiga(std::size_t parte, std::size_t indice, const Riga& r) = 0;
    // After every row, on the calling thread.
    virtual void Finisci() = 0;
};

// A value worked out for each row, in the table's order. Where the parts
// start is known, each writes in place; else the first part writes in place
// and the others are put after it at the end.
template <typename T, typename F> class ValoriPerRiga : public LavoroRighe {
public:
    explicit ValoriPerRiga(F f) : f_(std::move(f)) {}
    void Inizia(std::size_t parti, std::size_t righe,
                const std::vector<std::size_t>& basi) override {
        basi_ = basi;
        altre_.assign(parti, {});
        valori.clear();
        if (!basi_.empty()) {
            valori.resize(righe);
            return;
        }
        valori.reserve(righe);
        for (std::size_t p = 1; p < parti; ++p) {
            altre_[p].reserve(righe / parti + 1);
        }
    }
    void ConsegnaRiga(std::size_t parte, std::size_t indice, const Riga& r) override {
        if (!basi_.empty()) {
            valori[basi_[parte] + indice] = f_(r);
            return;
        }
        VettoreColonna<T>& v = parte == 0 ? valori : altre_[parte];
        if (indice == v.size()) {
            v.push_back(f_(r));
            return;
        }
        if (indice > v.size()) {
            v.resize(indice + 1); // a row Access moved comes last
        }
        v[indice] = f_(r);
    }
    void Finisci() override {
        for (std::size_t p = 1; p < altre_.size(); ++p) {
            valori.insert(valori.end(), altre_[p].begin(), altre_[p].end());
            VettoreColonna<T>().swap(altre_[p]);
        }
    }
    VettoreColonna<T> valori;

private:
    F f_;
    std::vector<std::size_t> basi_;
    std::vector<VettoreColonna<T>> altre_;
};

// ValoriPerRiga Lavoro([&](const Riga& r) -> T { ... }): the values' kind from
// the function's.
template <typename F> ValoriPerRiga(F) -> ValoriPerRiga<std::invoke_result_t<F&, const Riga&>, F>;

// The pages of a table small enough to be kept once it is read (4 MiB, and
// 64 MiB for all the tables of the process), and without long values: its
// records and its passes are read from here, never from the file again, so
// they are the table of the first reading whatever the suite writes
// meanwhile. A table over either limit is read again from the file, checked,
// when a record or a pass needs it.
struct PagineTenute {
    std::vector<unsigned char> elencate; // the pages its map names, in its order
    std::unordered_map<std::uint32_t, const unsigned char*> dove; // each of them by number
    std::size_t byte = 0; // counted against the limit of the process
    ~PagineTenute();
};

class RigheTabella {
public:
    // Reads every row: each page the map of used pages names must be one of
    // the table's data pages, every row must hold together (a row Access
    // moved is read where it now is), and the rows must be as many as the
    // definition counts. Danno otherwise. With `lavoro`, does it on every row
    // meanwhile.
    static std::shared_ptr<const RigheTabella> Leggi(DefinizioneTabella definizione,
                                                     LavoroRighe* lavoro);

    std::size_t NumeroRighe() const { return posti_.size(); }
    const DefinizioneTabella& Definizione() const { return def_; }

    // Reads the rows once more, page after page, for `lavoro`. Danno when a
    // page has changed since the table was read.
    void Passa(LavoroRighe& lavoro) const;
    // Row `indice`, copied into `r`. Danno when its page has changed.
    void Carica(std::size_t indice, Riga& r) const;
    // Reads ahead, into the calling thread's cache, the pages of the rows
    // `righe` (about to be loaded one by one): in as few reads as they
    // allow, pages a few apart read with what lies between them, up to four
    // reads at once. Meanwhile the pages after them are read in the
    // background, for the next search, as long as that keeps serving. Danno
    // when a page has changed since the table was read.
    void Raccogli(const std::uint32_t* righe, std::size_t n) const;

    ~RigheTabella();
    RigheTabella(const RigheTabella&) = delete;
    RigheTabella& operator=(const RigheTabella&) = delete;

private:
    struct Parte;
    struct LetturaAvanti;
    explicit RigheTabella(DefinizioneTabella d);
    void PrendiLettaAvanti(std::vector<std::uint32_t>& pagine) const;
    void LeggiAvanti(std::uint32_t prima, std::size_t quante) const;
    void LeggiParte(std::size_t prima, std::size_t fine, std::size_t parte, Parte& out,
                    LavoroRighe* lavoro);
    void LeggiPagina(const unsigned char* pg, std::uint32_t pagina, std::size_t parte, Parte& out,
                     LavoroRighe* lavoro);
    void Unisci(std::vector<Parte>& parti, LavoroRighe* lavoro);
    void PassaParte(std::size_t prima, std::size_t fine, std::size_t parte,
                    LavoroRighe& lavoro) const;
    // The row pointer and slot of a moved row where it now is.
    std::pair<std::uint32_t, PostoRiga> Destinazione(std::uint32_t puntatore);

    DefinizioneTabella def_;
    std::vector<std::uint32_t> posti_; // page << 8 | slot, where each row now is
    std::vector<std::uint32_t>
        primaRiga_; // for each page of the list, its first row; then the count
    std::vector<std::uint64_t> impronte_;      // for each page of the file; 0: not read
    std::unique_ptr<AccessoPagine> controllo_; // pages read again, checked
    std::unique_ptr<PagineTenute> tenute_;     // a small table's pages, kept
    std::unique_ptr<LetturaAvanti> avanti_;    // the pages read in the background
};

// Runs `fai(parte)` for parts 0 .. parti-1, part 0 on the calling thread and
// the others on threads of their own (on the calling thread too when one
// cannot be started); an exception of any part is thrown again once every
// part has ended.
void InParallelo(std::size_t parti, const std::function<void(std::size_t)>& fai);

// How many threads a reading of `pagine` pages takes on a machine with two
// cores or more: two, four for a large table (on a network share each read
// waits for its round trip, not for the processor); one for a small table.
std::size_t PartiPer(std::size_t pagine);

// The rows each of `parti` parts of a table holds, about: the rows its
// definition counts, but never more than its pages are likely to hold.
std::size_t RighePerParte(const DefinizioneTabella& d, std::size_t parti);

} // namespace vdx::jet
