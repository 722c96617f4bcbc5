#pragma once

// The reading behind the preview window: the report file of the workstation
// read forward one page at a time, never whole, each line shown with its
// line drawing turned into "|" and "-".

#include "shared/TextFile.h"

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>

namespace vdx {

class PaginatoreAnteprima {
public:
    // Page limits in characters of the file (line ends not counted): the
    // first page shown on opening, and every page after it.
    static constexpr std::int32_t kLimiteApertura = 20000;
    static constexpr std::int32_t kLimiteSeguenti = 26000;

    // Opens the report file of `folder` for reading when it exists. The name
    // is "FD" + the numeric value of pclocal, matched without regard to case.
    explicit PaginatoreAnteprima(std::filesystem::path folder);
    ~PaginatoreAnteprima();
    PaginatoreAnteprima(const PaginatoreAnteprima&) = delete;
    PaginatoreAnteprima& operator=(const PaginatoreAnteprima&) = delete;

    // Whether the report file exists now.
    bool esisteReport() const;
    // The report file's path (it may not exist).
    std::filesystem::path fileReport() const;
    bool aperto() const { return lettore_ != nullptr; }

    // The page shown when the window opens: limit 20000, reading on from
    // where the reading stands (the start of the file the first time).
    void paginaApertura();
    // Next page with limit 26000 when there is one; false on the last page,
    // which then stays as it is.
    bool avanti();
    // Back to the start of the file; first page with limit 26000. Throws
    // vdx::Error (53) when the report file has gone.
    void inizio();
    // Replaces the report file with `testo` followed by CR LF (atomically)
    // and starts the reading again at the start of the saved file. The page,
    // its count and the next-page flag stay as they are.
    void salva(std::string_view testo);
    // Ends the reading; closing twice, or with nothing open, does nothing.
    void chiudi();

    // The page: its lines after the conversion, each followed by CR LF.
    const std::string& testo() const { return testo_; }
    // Characters read for the page, before conversion, line ends not counted.
    std::int32_t caratteriPagina() const { return caratteriPagina_; }
    // Whether unread lines follow the page.
    bool altraPagina() const { return altraPagina_; }

private:
    void apri();
    void nuovaPagina(std::int32_t limite);
    void riempiPagina(std::int32_t limite);

    std::filesystem::path folder_;
    std::unique_ptr<LettoreRighe> lettore_;
    std::string testo_;
    std::int32_t caratteriPagina_ = 0;
    bool altraPagina_ = false;
};

} // namespace vdx
