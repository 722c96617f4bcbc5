#pragma once

// How the reader meets the file system, for tests, benchmarks and tools:
// what it reads an Access file through (its size, and its bytes by
// position: the file system's by default; a model of a network share in the
// benchmarks or a file that changes at a chosen moment in the tests can take
// its place), what it does before reading a damaged file once more, and the
// bytes it has read.

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>

namespace vdx::jet {

class FileLeggibile {
public:
    virtual ~FileLeggibile() = default;
    virtual std::size_t Dimensione() const = 0;
    // `n` bytes from `offset`, whole, into `dst`; false when the file ends
    // first or cannot be read. Called from any number of threads at once.
    virtual bool Leggi(std::uint64_t offset, std::size_t n, unsigned char* dst) const = 0;
};

// Opens a file for reading; std::system_error with the system's code when it
// cannot (missing, no permission, ...).
using AperturaFile =
    std::function<std::unique_ptr<FileLeggibile>(const std::filesystem::path& file)>;

// The file system's files.
std::unique_ptr<FileLeggibile> ApriFileDiSistema(const std::filesystem::path& file);

// What every file is opened with from now on; an empty function puts the
// file system back. For benchmarks and tests, set while no file is being
// opened.
void ImpostaAperturaFile(AperturaFile apri);

// What the reader does before reading a damaged file once more. By default it
// waits half a second, or the milliseconds of the environment variable
// VDX_PAUSA_RILETTURA_MS when that is set (0: no wait). An empty function
// puts the default back. For tests and tools.
void ImpostaAttesaRilettura(std::function<void()> attesa);

// What the reader has read from the files since the program started: every
// byte, and of them the pages read one at a time for single records (the
// rest are tables read page after page, for their first reading or for a
// search over the whole table).
struct ByteLettiDaiFile {
    std::uint64_t totale = 0;
    std::uint64_t pagineSingole = 0;
    std::uint64_t letture = 0; // the reads they took
};
ByteLettiDaiFile ByteLetti();

} // namespace vdx::jet
