#include "shared/FileTesto.h"

#include "shared/Cp1252.h"
#include "shared/Errore.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vdx {

namespace fs = std::filesystem;

namespace {

// A file's name in a message: the message is code page 1252, as every text
// inside the program.
std::string NomeFile(const fs::path& p) {
    return Cp1252DaUtf8(p.string());
}

[[noreturn]] void ErroreApertura(const fs::path& file, int codice) {
    if (codice == ENOENT) {
        throw Errore(errore::FileNonTrovato, "File non trovato: " + NomeFile(file));
    }
    throw Errore(errore::AccessoPercorso, "Errore di accesso al file " + NomeFile(file) + " (" +
                                              DescrizioneErrno(codice) + ")");
}

[[noreturn]] void ErroreScrittura(const fs::path& file, int codice) {
    if (codice == ENOSPC || codice == EDQUOT) {
        throw Errore(errore::DiscoPieno, "Disco pieno scrivendo " + NomeFile(file));
    }
    throw Errore(errore::AccessoPercorso,
                 "Impossibile scrivere " + NomeFile(file) + " (" + DescrizioneErrno(codice) + ")");
}

} // namespace

std::vector<std::string> DividiRighe(std::string_view bytes) {
    std::vector<std::string> righe;
    std::size_t inizio = 0;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const char c = bytes[i];
        if (c == '\r' || c == '\n') {
            righe.emplace_back(bytes.substr(inizio, i - inizio));
            if (c == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') {
                ++i;
            }
            inizio = i + 1;
        }
    }
    if (inizio < bytes.size()) {
        righe.emplace_back(bytes.substr(inizio));
    }
    return righe;
}

std::string LeggiFile(const fs::path& file) {
    std::FILE* f = std::fopen(file.c_str(), "rb");
    if (f == nullptr) {
        ErroreApertura(file, errno);
    }
    std::string data;
    char buf[65536];
    std::size_t n = 0;
    while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) {
        data.append(buf, n);
    }
    const bool guasto = std::ferror(f) != 0;
    std::fclose(f);
    if (guasto) {
        throw Errore(errore::AccessoPercorso, "Impossibile leggere " + NomeFile(file));
    }
    return data;
}

std::vector<std::string> LeggiRighe(const fs::path& file) {
    return DividiRighe(LeggiFile(file));
}

LettoreRighe::LettoreRighe(const fs::path& file) {
    file_ = std::fopen(file.c_str(), "rb");
    if (file_ == nullptr) {
        ErroreApertura(file, errno);
    }
    nome_ = file;
    Riempi();
}

LettoreRighe::~LettoreRighe() {
    if (file_ != nullptr) {
        std::fclose(file_);
    }
}

void LettoreRighe::Riempi() {
    if (eof_) {
        return;
    }
    buffer_.erase(0, pos_);
    pos_ = 0;
    char buf[65536];
    const std::size_t n = std::fread(buf, 1, sizeof buf, file_);
    if (n == 0 && std::ferror(file_) != 0) {
        // A folder, or a file that cannot be read: no lines, rather than an
        // empty file.
        ErroreApertura(nome_, errno);
    }
    if (n == 0) {
        eof_ = true;
    } else {
        buffer_.append(buf, n);
    }
}

bool LettoreRighe::Fine() const {
    return eof_ && pos_ >= buffer_.size();
}

std::optional<std::string> LettoreRighe::Leggi() {
    // Each byte is looked at once: after a refill the search goes on where it
    // stopped (counted from pos_, which a refill moves to 0).
    std::size_t cercato = 0;
    for (;;) {
        const std::size_t end = buffer_.find_first_of("\r\n", pos_ + cercato);
        if (end != std::string::npos) {
            // A CR at the buffer's edge may have its LF in the next block.
            if (buffer_[end] == '\r' && end + 1 == buffer_.size() && !eof_) {
                cercato = end - pos_;
                Riempi();
                continue;
            }
            std::string riga = buffer_.substr(pos_, end - pos_);
            pos_ = end + 1;
            if (buffer_[end] == '\r' && pos_ < buffer_.size() && buffer_[pos_] == '\n') {
                ++pos_;
            }
            if (pos_ >= buffer_.size()) {
                Riempi();
            }
            return riga;
        }
        if (eof_) {
            if (pos_ >= buffer_.size()) {
                return std::nullopt;
            }
            std::string riga = buffer_.substr(pos_);
            pos_ = buffer_.size();
            return riga;
        }
        cercato = buffer_.size() - pos_;
        Riempi();
    }
}

ScrittoreAtomico::ScrittoreAtomico(fs::path destinazione) : destinazione_(std::move(destinazione)) {
    fs::path cartella = destinazione_.parent_path();
    if (cartella.empty()) {
        cartella = ".";
    }
    std::string modello =
        (cartella / ("." + destinazione_.filename().string() + ".XXXXXX")).string();
    const int fd = ::mkstemp(modello.data());
    if (fd < 0) {
        ErroreScrittura(destinazione_, errno);
    }
    temporaneo_ = modello;
    file_ = ::fdopen(fd, "wb");
    if (file_ == nullptr) {
        const int codice = errno;
        ::close(fd);
        fs::remove(temporaneo_);
        ErroreScrittura(destinazione_, codice);
    }
}

ScrittoreAtomico::~ScrittoreAtomico() {
    if (file_ != nullptr) {
        std::fclose(file_);
        std::error_code ec;
        fs::remove(temporaneo_, ec);
    }
}

void ScrittoreAtomico::Scrivi(std::string_view bytes) {
    if (file_ == nullptr) {
        throw Errore(errore::NumeroFileErrato,
                     "Nome o numero di file non valido: " + NomeFile(destinazione_));
    }
    if (!bytes.empty() && std::fwrite(bytes.data(), 1, bytes.size(), file_) != bytes.size()) {
        ErroreScrittura(destinazione_, errno);
    }
}

void ScrittoreAtomico::ScriviRiga(std::string_view riga) {
    Scrivi(riga);
    Scrivi("\r\n");
}

void ScrittoreAtomico::Conferma() {
    if (file_ == nullptr) {
        throw Errore(errore::NumeroFileErrato,
                     "Nome o numero di file non valido: " + NomeFile(destinazione_));
    }
    int codice = 0;
    if (std::fflush(file_) != 0 || ::fsync(::fileno(file_)) != 0) {
        codice = errno;
    }
    // New files get the usual permissions, not mkstemp's private ones.
    const mode_t maschera = ::umask(0);
    ::umask(maschera);
    ::fchmod(::fileno(file_), 0666 & ~maschera);
    if (std::fclose(file_) != 0 && codice == 0) {
        codice = errno;
    }
    file_ = nullptr;
    if (codice != 0) {
        std::error_code ec;
        fs::remove(temporaneo_, ec);
        ErroreScrittura(destinazione_, codice);
    }
    if (std::rename(temporaneo_.c_str(), destinazione_.c_str()) != 0) {
        codice = errno;
        std::error_code ec;
        fs::remove(temporaneo_, ec);
        ErroreScrittura(destinazione_, codice);
    }
}

void ScriviRigheAtomico(const fs::path& file, const std::vector<std::string>& righe) {
    ScrittoreAtomico out(file);
    for (const auto& riga : righe) {
        out.ScriviRiga(riga);
    }
    out.Conferma();
}

void ScriviFileAtomico(const fs::path& file, std::string_view bytes) {
    ScrittoreAtomico out(file);
    out.Scrivi(bytes);
    out.Conferma();
}

} // namespace vdx
