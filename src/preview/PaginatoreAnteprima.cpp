#include "preview/PaginatoreAnteprima.h"

#include "report/ConvertiBordi.h"
#include "shared/Ambiente.h"
#include "shared/NomiFile.h"

#include <limits>

namespace vdx {

namespace fs = std::filesystem;

namespace {

// Reads one page from `lettore`, handing each line to `riga`, and adds the
// characters read to `caratteri`. Tested before each line: the page ends at
// the first line end that reaches the limit, and holds a line whenever one
// is left.
template <typename Riga>
void LeggiPagina(LettoreRighe& lettore, std::int32_t limite, std::int32_t& caratteri, Riga riga) {
    while (!lettore.Fine() && caratteri < limite) {
        auto letta = lettore.Leggi();
        if (!letta) {
            break;
        }
        const auto lunghezza = static_cast<std::int64_t>(letta->size());
        caratteri = static_cast<std::int32_t>(std::min<std::int64_t>(
            std::int64_t{caratteri} + lunghezza, std::numeric_limits<std::int32_t>::max()));
        riga(*letta);
    }
}

// The pages of `file` read from its start, the first with `primo` as limit.
int ContaPagine(const fs::path& file, std::int32_t primo) {
    LettoreRighe lettore(file);
    int pagine = 0;
    std::int32_t limite = primo;
    do {
        std::int32_t caratteri = 0;
        LeggiPagina(lettore, limite, caratteri, [](const std::string&) {});
        ++pagine;
        limite = PaginatoreAnteprima::LimiteSeguenti;
    } while (!lettore.Fine());
    return pagine;
}

} // namespace

PaginatoreAnteprima::PaginatoreAnteprima(fs::path cartella, std::string postazione)
    : cartella_(std::move(cartella)), postazione_(std::move(postazione)) {
    if (EsisteReport()) {
        Apri();
    }
}

PaginatoreAnteprima::~PaginatoreAnteprima() = default;

fs::path PaginatoreAnteprima::FileReport() const {
    return RisolviNome(cartella_, NomeReport(postazione_));
}

bool PaginatoreAnteprima::EsisteReport() const {
    return TrovaFile(cartella_, NomeReport(postazione_)).has_value();
}

void PaginatoreAnteprima::Apri() {
    lettore_ = std::make_unique<LettoreRighe>(FileReport());
    numeroPagina_ = 0;
}

void PaginatoreAnteprima::Chiudi() {
    lettore_.reset();
}

void PaginatoreAnteprima::NuovaPagina(std::int32_t limite) {
    caratteriPagina_ = 0;
    testo_.clear();
    RiempiPagina(limite);
}

void PaginatoreAnteprima::RiempiPagina(std::int32_t limite) {
    // The report may have been missing when the window was made and written
    // since: the reading then starts at its beginning. Still missing, the
    // page is empty.
    if (!lettore_ && EsisteReport()) {
        Apri();
    }
    if (!lettore_) {
        altraPagina_ = false;
        return;
    }
    if (numeroPagina_ == 0) {
        totalePagine_ = ContaPagine(FileReport(), limite);
    }
    LeggiPagina(*lettore_, limite, caratteriPagina_, [this](std::string& riga) {
        testo_ += ConvertiBordi(riga);
        testo_ += "\r\n";
    });
    ++numeroPagina_;
    altraPagina_ = !lettore_->Fine();
}

void PaginatoreAnteprima::PaginaApertura() {
    NuovaPagina(LimiteApertura);
}

bool PaginatoreAnteprima::Avanti() {
    if (!altraPagina_) {
        return false;
    }
    NuovaPagina(LimiteSeguenti);
    return true;
}

void PaginatoreAnteprima::Inizio() {
    Chiudi();
    Apri(); // vdx::Errore 53 when the report has gone
    NuovaPagina(LimiteSeguenti);
}

void PaginatoreAnteprima::Salva(std::string_view testo) {
    // Written whole before the reading lets go of the old file: a failed save
    // leaves the report and the reading as they were.
    std::string contenuto(testo);
    contenuto += "\r\n";
    ScriviFileAtomico(FileReport(), contenuto);
    Chiudi();
    Apri();
}

} // namespace vdx
