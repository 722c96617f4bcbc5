#pragma once

// What the reader reads an Access file through: its size, and its bytes by
// position. The file system's by default; a model of a network share (the
// benchmarks) or a file that changes at a chosen moment (the tests) can take
// its place.

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

// Opens `file` the way set.
std::unique_ptr<FileLeggibile> ApriFileLeggibile(const std::filesystem::path& file);

} // namespace vdx::jet
