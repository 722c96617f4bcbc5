#pragma once

// The pages of an Access file as the reader takes them: straight from the
// file, a stretch at a time, never the whole file in memory. A table's pages
// are read once when the table is read, and each page's fingerprint is kept;
// a page read again later (for one record, or for another pass over the
// table) must have the same fingerprint, or the file has changed since and
// the table is taken as damaged.

#include "jet/FileLeggibile.h"

#include <cstddef>
#include <cstdint>
#include <memory>

namespace vdx::jet {

// Opens `file` the way ImpostaAperturaFile() set (the file system by default).
std::unique_ptr<FileLeggibile> ApriFileLeggibile(const std::filesystem::path& file);

// Raised inside the reading of a table when its bytes do not hold together;
// turned into the message of the table, or of the file for its list of tables.
struct Danno {};

// One opened file, read by pages. Reads from any number of threads at once.
class Sorgente {
public:
    explicit Sorgente(std::unique_ptr<FileLeggibile> file);
    ~Sorgente();
    Sorgente(const Sorgente&) = delete;
    Sorgente& operator=(const Sorgente&) = delete;

    std::size_t Dimensione() const { return dimensione_; }
    // Distinguishes this file from every other one opened by the process.
    std::uint64_t Id() const { return id_; }

    // `n` bytes from `offset`, whole, into `dst`; false when the file ends
    // first or cannot be read.
    bool Leggi(std::uint64_t offset, std::size_t n, unsigned char* dst) const;

    // An enciphered file is deciphered once into memory: from then on its
    // pages come from there.
    void TieniInMemoria(std::unique_ptr<unsigned char[]> byte);
    const unsigned char* Memoria() const { return memoria_.get(); }

private:
    std::unique_ptr<FileLeggibile> file_;
    std::size_t dimensione_;
    std::uint64_t id_;
    std::unique_ptr<unsigned char[]> memoria_;
};

// The fingerprint of a page's bytes: a page changed by a write of the suite
// has another one (never 0, which stands for "not taken").
std::uint64_t ImprontaPagina(const unsigned char* p, std::size_t n);

// Page `pagina` (of `dimPagina` bytes) of `s`, as it was when its fingerprint
// `impronta` was taken: from the calling thread's own cache of pages, or read
// from the file once more and checked. Danno when it cannot be read or has
// changed. An `impronta` of 0 is set to the fingerprint of the page read. The
// bytes stay valid until the thread's next call.
const unsigned char* PaginaControllata(const Sorgente& s, std::uint32_t pagina,
                                       std::size_t dimPagina, std::uint64_t& impronta);

// Whether the calling thread's cache holds page `pagina` of `s` with that
// fingerprint (or `s` is in memory).
bool PaginaInCache(const Sorgente& s, std::uint32_t pagina, std::uint64_t impronta);
// Puts a page read ahead into the calling thread's cache. Danno when its
// bytes no longer have the fingerprint `impronta`.
void MettiInCache(const Sorgente& s, std::uint32_t pagina, std::uint64_t impronta,
                  const unsigned char* dati, std::size_t dimPagina);
// Counts bytes read for single records (ByteLetti().pagineSingole).
void ContaPagineSingole(std::size_t byte);

} // namespace vdx::jet
