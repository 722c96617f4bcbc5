#pragma once

// One Access file, opened through libmdb for its list of tables and their
// definitions; the rows are read natively from the file's pages, a table
// when it is first needed (see Tabella.h), without the whole file in memory.

#include "jet/Tabella.h"
#include "shared/Errore.h"

#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace vdx::jet {

// A table is read whole or not at all: its definition must hold together and
// libmdb must have found nothing to say while reading it (its messages are
// kept from the terminal and taken as damage); every page its map of used
// pages names must be one of its data pages inside the file, every row must
// decode, and the rows must be as many as its definition counts. A file
// found damaged is read once more after a pause (see ImpostaAttesaRilettura),
// since the suite may have been writing it; only then is the damage
// reported, as vdx::Errore FormatoNonRiconosciuto naming the file and, when one
// table is hit, the table. The rows of a table are first read when first
// needed, so their damage is found then; the pages of a table read again
// later must be as they were at that reading (see Tabella.h).
class FileMdb {
public:
    // Reads the file and checks it is an Access file (Jet 3, Jet 4 or ACE)
    // and that its list of tables reads whole. Unreadable, damaged or not an
    // Access file: vdx::Errore FormatoNonRiconosciuto naming the file.
    explicit FileMdb(const std::filesystem::path& file);
    ~FileMdb();
    FileMdb(const FileMdb&) = delete;
    FileMdb& operator=(const FileMdb&) = delete;

    // The user tables, names as stored (code page 1252).
    std::vector<std::string> Tabelle() const;

    // The table `nome` (found without regard to letter case): its definition
    // read on the first call and kept, its rows read when first needed. Once
    // every table's definition is read, libmdb is let go; the file stays
    // open while a table read from it is in use. No such table: vdx::Errore
    // TabellaNonTrovata naming table and file; a damaged table:
    // FormatoNonRiconosciuto naming both.
    std::shared_ptr<const Tabella> Leggi(std::string_view nome);

    const std::filesystem::path& Percorso() const { return percorso_; }

    struct Stato;

private:
    void Rileggi(const std::string& nome);
    std::filesystem::path percorso_;
    std::unique_ptr<Stato> stato_;
};

// The checks made on a file's bytes before libmdb reads it: the page-0
// signature, a known version, a size of whole pages. An empty text when the
// bytes look like an Access file, else what is wrong.
std::string ControllaIntestazione(const unsigned char* dati, std::size_t dimensione);

// The text of a file name inside a message (code page 1252).
std::string NomeNelMessaggio(const std::filesystem::path& file);

// Whether `nome` (code page 1252) can name a table or a field: 1 to 64
// characters, no control character, none of . ! ` [ ], no leading blank.
// The writer refuses other names; the reader takes them as damage.
bool NomeAccessValido(std::string_view nome);

// Whether `trovato`, a name read from a file, is `chiesto` with one bit of
// one character changed, or with one character turned into "?" (a two-byte
// character damaged into one code page 1252 lacks): what a damaged name
// looks like, as opposed to another name.
bool NomeAlterato(std::string_view chiesto, std::string_view trovato);

// The error of a table that cannot be read because its file is damaged;
// `file` as messages name it.
Errore ErroreTabellaDanneggiata(const std::string& file, const std::string& tabella);

} // namespace vdx::jet
