#pragma once

// The reading behind the preview window: the report file of the workstation
// read forward one page at a time, never whole, each line shown with its
// line drawing turned into "|" and "-".

#include "shared/FileTesto.h"

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>

namespace vdx {

class PaginatoreAnteprima {
public:
    // Page limits in characters of the file (line ends not counted): the
    // first page shown on opening, and every page after it.
    static constexpr std::int32_t LimiteApertura = 20000;
    static constexpr std::int32_t LimiteSeguenti = 26000;

    // Opens the report file of `postazione` in `cartella` for reading when it
    // exists. The name is NomeReport(), matched without regard to case.
    PaginatoreAnteprima(std::filesystem::path cartella, std::string postazione);
    ~PaginatoreAnteprima();
    PaginatoreAnteprima(const PaginatoreAnteprima&) = delete;
    PaginatoreAnteprima& operator=(const PaginatoreAnteprima&) = delete;

    // Whether the report file exists now.
    bool EsisteReport() const;
    // The report file's path (it may not exist).
    std::filesystem::path FileReport() const;
    bool Aperto() const { return lettore_ != nullptr; }
    // The workstation whose report is read.
    const std::string& Postazione() const { return postazione_; }

    // The page shown when the window opens: limit 20000, reading on from
    // where the reading stands (the start of the file the first time).
    void PaginaApertura();
    // Next page with limit 26000 when there is one; false on the last page,
    // which then stays as it is.
    bool Avanti();
    // Back to the start of the file; first page with limit 26000. Throws
    // vdx::Errore (53) when the report file has gone.
    void Inizio();
    // Replaces the report file with `testo` followed by CR LF (atomically)
    // and starts the reading again at the start of the saved file. The page,
    // its count and the next-page flag stay as they are.
    void Salva(std::string_view testo);
    // Ends the reading; closing twice, or with nothing open, does nothing.
    void Chiudi();

    // The page: its lines after the conversion, each followed by CR LF.
    const std::string& Testo() const { return testo_; }
    // Characters read for the page, before conversion, line ends not counted.
    std::int32_t CaratteriPagina() const { return caratteriPagina_; }
    // Whether unread lines follow the page.
    bool AltraPagina() const { return altraPagina_; }
    // The page's number and the number of pages of the reading it belongs
    // to, counted from the start of the file with the same limits (the
    // first page's, then 26000); 0 and 0 while nothing is read. After Salva
    // the count starts again: the next page is page 1 of the saved file.
    int NumeroPagina() const { return numeroPagina_; }
    int TotalePagine() const { return totalePagine_; }

private:
    void Apri();
    void NuovaPagina(std::int32_t limite);
    void RiempiPagina(std::int32_t limite);

    std::filesystem::path cartella_;
    std::string postazione_;
    std::unique_ptr<LettoreRighe> lettore_;
    std::string testo_;
    std::int32_t caratteriPagina_ = 0;
    bool altraPagina_ = false;
    int numeroPagina_ = 0;
    int totalePagine_ = 0;
};

} // namespace vdx
