#pragma once

#include "printing/ImpostazioniStampa.h"
#include "shared/FileTesto.h"

#include <filesystem>
#include <memory>
#include <string>
#include <string_view>

namespace vdx {

// Where direct-mode printing writes its bytes.
class UscitaByte {
public:
    virtual ~UscitaByte() = default;
    virtual void Scrivi(std::string_view bytes) = 0;
    // Flushes and closes; a failure (a full disk) is thrown here at the latest.
    virtual void Chiudi() = 0;
};

// Keeps the bytes, for tests and for building an output whole.
class UscitaMemoria final : public UscitaByte {
public:
    void Scrivi(std::string_view bytes) override { bytes_.append(bytes); }
    void Chiudi() override { chiusa_ = true; }
    const std::string& Bytes() const { return bytes_; }
    bool Chiusa() const { return chiusa_; }

private:
    std::string bytes_;
    bool chiusa_ = false;
};

// A file, port or device opened by name for writing. A file is written
// beside its name and takes it only when Chiudi() completes, so a print that
// fails half-way leaves the earlier file whole and no half of a new one; a
// device (/dev/usb/lp0, a named pipe) gets the bytes as they go. The bytes go
// out exactly as given. Opening fails with vdx::Errore 75 naming the output; a
// full disk is vdx::Errore 61; other write failures 75.
class UscitaDispositivo final : public UscitaByte {
public:
    explicit UscitaDispositivo(const std::filesystem::path& percorso);
    ~UscitaDispositivo() override;
    UscitaDispositivo(const UscitaDispositivo&) = delete;
    UscitaDispositivo& operator=(const UscitaDispositivo&) = delete;

    void Scrivi(std::string_view bytes) override;
    void Chiudi() override;

private:
    std::filesystem::path percorso_;
    int fd_ = -1;                            // a device
    std::unique_ptr<ScrittoreAtomico> file_; // a file
};

// The path an output name stands for: absolute names as they are, others in
// the working folder (found without regard to letter case).
std::filesystem::path PercorsoUscita(const std::filesystem::path& cartella,
                                     const std::string& nome);

// The five control codes of the print: valoriCompresso(1..5) for compressed
// print, (7..11) for normal, each rounded to a whole number (a half to the
// even neighbour). A value outside 0 to 255 is vdx::Errore 5.
std::string CodiciControllo(const ImpostazioniStampa& impostazioni, bool compressa);

// Writes the print straight to `uscita`: the five control codes, then, when
// the report file exists, RigheIniziali lines of one space and the report
// lines, ending each page with a form feed (or, with "U", with empty lines up
// to RigheFoglio) at every form-feed line and every LunghezzaPagina lines.
// Returns false when the report file is missing (only the codes are written).
bool StampaModoDiretto(UscitaByte& uscita, const ImpostazioniStampa& impostazioni,
                       const SceltaStampa& scelta, const std::filesystem::path& report);

} // namespace vdx
