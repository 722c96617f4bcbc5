#pragma once

// One Access file, read whole into memory and opened through libmdb: the
// tables it lists and their rows, read natively from the row bytes.

#include "jet/Tabella.h"

#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace vdx::jet {

class FileMdb {
public:
    // Reads the file and checks it is an Access file (Jet 3, Jet 4 or ACE)
    // before libmdb sees it. Unreadable, damaged or not an Access file:
    // vdx::Error UnrecognizedFormat naming the file.
    explicit FileMdb(const std::filesystem::path& file);
    ~FileMdb();
    FileMdb(const FileMdb&) = delete;
    FileMdb& operator=(const FileMdb&) = delete;

    // The user tables, names as stored (code page 1252).
    std::vector<std::string> tabelle() const;

    // Every row of the table `nome` (found without regard to letter case),
    // read on the first call and kept. Once every table of the file is read,
    // the file's bytes are let go. No such table: vdx::Error TableNotFound
    // naming table and file.
    std::shared_ptr<const Tabella> leggi(std::string_view nome);

    const std::filesystem::path& percorso() const { return percorso_; }

    struct Stato;

private:
    std::filesystem::path percorso_;
    std::unique_ptr<Stato> stato_;
};

// The checks made on a file's bytes before libmdb reads it: the page-0
// signature, a known version, a size of whole pages. An empty text when the
// bytes look like an Access file, else what is wrong.
std::string ControllaIntestazione(const unsigned char* dati, std::size_t dimensione);

// The text of a file name inside a message (code page 1252).
std::string NomeNelMessaggio(const std::filesystem::path& file);

} // namespace vdx::jet
