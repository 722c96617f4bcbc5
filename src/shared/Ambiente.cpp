#include "shared/Ambiente.h"

#include "shared/Cp1252.h"
#include "shared/Errore.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

extern char** environ;

namespace vdx {

std::optional<std::string> VariabileAmbiente(std::string_view nome) {
    const std::string chiave(nome);
    if (const char* esatta = std::getenv(chiave.c_str())) {
        return std::string(esatta);
    }
    for (char** voce = environ; voce != nullptr && *voce != nullptr; ++voce) {
        const char* eq = std::strchr(*voce, '=');
        if (eq == nullptr) {
            continue;
        }
        if (UgualiSenzaMaiuscole(std::string_view(*voce, static_cast<std::size_t>(eq - *voce)),
                                 nome)) {
            return std::string(eq + 1);
        }
    }
    return std::nullopt;
}

std::string PostazioneDaAmbiente() {
    std::string postazione = VariabileAmbiente("pclocal").value_or(std::string());
    ControllaPostazione(postazione);
    return postazione;
}

void ControllaPostazione(std::string_view postazione) {
    const bool cifre = std::all_of(postazione.begin(), postazione.end(),
                                   [](char c) { return c >= '0' && c <= '9'; });
    if (!cifre || postazione.size() > 3) {
        throw Errore(errore::ChiamataNonValida, "La variabile pclocal deve essere il numero della "
                                                "postazione: da una a tre cifre, o vuota.");
    }
}

std::string NomeReport(std::string_view postazione) {
    return "FD" + std::string(postazione);
}

std::string NomeFileCsv(std::string_view postazione) {
    return "fd" + std::string(postazione) + ".csv";
}

std::string NomeFileXlsx(std::string_view postazione) {
    return "fd" + std::string(postazione) + ".xlsx";
}

std::string NomeCopiaDoc(std::string_view postazione, const DataOra& t) {
    char data[32];
    std::snprintf(data, sizeof data, "%04d%02d%02d%02d%02d", t.anno, t.mese, t.giorno, t.ora,
                  t.minuti);
    return "doc\\fd" + std::string(postazione) + data + ".doc";
}

std::string NomeFileEMail(std::string_view postazione) {
    return "e-mail" + std::string(postazione) + ".txt";
}

} // namespace vdx
