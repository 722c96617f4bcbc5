#pragma once

#include <cstdio>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vdx {

// Single-byte text files with CR LF line ends, as the suite writes them.
//
// Reading follows the suite's rule for a line: it ends at a carriage return,
// and a line feed right after it belongs to the same end; a lone line feed
// also ends a line. A file that ends with a line end has no empty last line;
// "a\r\n\r\n" is the two lines "a" and "".

// Reads a whole file into lines. Throws vdx::Errore (53) when it is missing.
std::vector<std::string> LeggiRighe(const std::filesystem::path& file);

// Reads the lines of a byte buffer.
std::vector<std::string> DividiRighe(std::string_view bytes);

// Forward, one-line-at-a-time reading (the preview and the printers read the
// report this way, never holding it whole).
class LettoreRighe {
public:
    // Throws vdx::Errore: 53 when the file is missing, 75 when it cannot be
    // read (a folder, no permission), then or at any later reading.
    explicit LettoreRighe(const std::filesystem::path& file);
    ~LettoreRighe();
    LettoreRighe(const LettoreRighe&) = delete;
    LettoreRighe& operator=(const LettoreRighe&) = delete;

    bool Fine() const; // true when no line is left
    // The next line without its line end; nullopt at the end.
    std::optional<std::string> Leggi();

private:
    void Riempi();
    std::filesystem::path nome_;
    std::FILE* file_ = nullptr;
    std::string buffer_;
    std::size_t pos_ = 0;
    bool eof_ = false;
};

// Writes a file through a temporary file in the same folder, renamed over
// the target only by Conferma(): a failure part-way leaves the old file whole.
// Destroying an uncommitted writer removes the temporary file.
class ScrittoreAtomico {
public:
    explicit ScrittoreAtomico(std::filesystem::path destinazione); // throws vdx::Errore (75)
    ~ScrittoreAtomico();
    ScrittoreAtomico(const ScrittoreAtomico&) = delete;
    ScrittoreAtomico& operator=(const ScrittoreAtomico&) = delete;

    void Scrivi(std::string_view bytes);    // as they are
    void ScriviRiga(std::string_view riga); // followed by CR LF
    void Conferma();                        // flush, sync, rename; throws vdx::Errore (61/75)
    const std::filesystem::path& Destinazione() const { return destinazione_; }

private:
    std::filesystem::path destinazione_;
    std::filesystem::path temporaneo_;
    std::FILE* file_ = nullptr;
    bool fallito_ = false;
};

// Whole-file helpers built on the two classes above.
void ScriviRigheAtomico(const std::filesystem::path& file, const std::vector<std::string>& righe);
void ScriviFileAtomico(const std::filesystem::path& file, std::string_view bytes);

// The whole content of a file as bytes; throws vdx::Errore (53) when missing.
std::string LeggiFile(const std::filesystem::path& file);

} // namespace vdx
