#pragma once

#include <filesystem>

namespace vdx::test {

// A fresh, empty folder under the system's temporary folder, removed with
// everything in it when the object goes.
class CartellaLavoro {
public:
    CartellaLavoro();
    ~CartellaLavoro();
    CartellaLavoro(const CartellaLavoro&) = delete;
    CartellaLavoro& operator=(const CartellaLavoro&) = delete;

    const std::filesystem::path& Percorso() const { return path_; }
    std::filesystem::path operator/(const std::filesystem::path& nome) const {
        return path_ / nome;
    }

private:
    std::filesystem::path path_;
};

} // namespace vdx::test
