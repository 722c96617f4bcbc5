#include "preview/PaginatoreAnteprima.h"

#include "report/ConvertiBordi.h"
#include "shared/Ambiente.h"
#include "shared/NomiFile.h"

#include <limits>

namespace vdx {

namespace fs = std::filesystem;

PaginatoreAnteprima::PaginatoreAnteprima(fs::path folder) : folder_(std::move(folder)) {
    if (EsisteReport()) {
        Apri();
    }
}

PaginatoreAnteprima::~PaginatoreAnteprima() = default;

fs::path PaginatoreAnteprima::FileReport() const {
    return RisolviNome(folder_, NomeReport(Postazione()));
}

bool PaginatoreAnteprima::EsisteReport() const {
    return TrovaFile(folder_, NomeReport(Postazione())).has_value();
}

void PaginatoreAnteprima::Apri() {
    lettore_ = std::make_unique<LettoreRighe>(FileReport());
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
    // Tested before each line: the page ends at the first line end that
    // reaches the limit, and holds a line whenever one is left.
    while (!lettore_->Fine() && caratteriPagina_ < limite) {
        auto riga = lettore_->Leggi();
        if (!riga) {
            break;
        }
        const auto lunghezza = static_cast<std::int64_t>(riga->size());
        caratteriPagina_ = static_cast<std::int32_t>(std::min<std::int64_t>(
            std::int64_t{caratteriPagina_} + lunghezza, std::numeric_limits<std::int32_t>::max()));
        testo_ += ConvertiBordi(*riga);
        testo_ += "\r\n";
    }
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
