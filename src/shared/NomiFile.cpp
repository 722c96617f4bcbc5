#include "shared/NomiFile.h"

#include "shared/Cp1252.h"

#include <algorithm>
#include <string>
#include <vector>

namespace vdx {

namespace fs = std::filesystem;

namespace {

std::vector<std::string> Parti(std::string_view nome) {
    std::vector<std::string> out;
    std::string corrente;
    for (char c : nome) {
        if (c == '\\' || c == '/') {
            if (!corrente.empty()) {
                out.push_back(corrente);
            }
            corrente.clear();
        } else {
            corrente.push_back(c);
        }
    }
    if (!corrente.empty()) {
        out.push_back(corrente);
    }
    return out;
}

std::string CercaNellaCartella(const fs::path& cartella, const std::string& parte) {
    std::error_code ec;
    if (parte == "." || parte == ".." || fs::exists(cartella / parte, ec)) {
        return parte;
    }
    std::vector<std::string> trovati;
    for (fs::directory_iterator it(cartella, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string voce = it->path().filename().string();
        if (UgualiSenzaMaiuscole(voce, parte)) {
            trovati.push_back(voce);
        }
    }
    if (trovati.empty()) {
        return parte;
    }
    return *std::min_element(trovati.begin(), trovati.end());
}

bool Corrisponde(std::string_view s, std::string_view p) {
    // Iterative wildcard match with backtracking on the last "*".
    std::size_t si = 0, pi = 0, star = std::string_view::npos, segno = 0;
    while (si < s.size()) {
        if (pi < p.size() &&
            (p[pi] == '?' || MaiuscolaCp1252(static_cast<unsigned char>(p[pi])) ==
                                 MaiuscolaCp1252(static_cast<unsigned char>(s[si])))) {
            ++si;
            ++pi;
        } else if (pi < p.size() && p[pi] == '*') {
            star = pi++;
            segno = si;
        } else if (star != std::string_view::npos) {
            pi = star + 1;
            si = ++segno;
        } else {
            return false;
        }
    }
    while (pi < p.size() && p[pi] == '*') {
        ++pi;
    }
    return pi == p.size();
}

} // namespace

fs::path RisolviNome(const fs::path& cartella, std::string_view nome) {
    fs::path risultato = cartella;
    for (const auto& parte : Parti(nome)) {
        risultato /= CercaNellaCartella(risultato, parte);
    }
    return risultato;
}

std::optional<fs::path> TrovaFile(const fs::path& cartella, std::string_view nome) {
    fs::path p = RisolviNome(cartella, nome);
    std::error_code ec;
    if (fs::is_regular_file(p, ec)) {
        return p;
    }
    return std::nullopt;
}

bool CorrispondeModello(std::string_view nome, std::string_view modello) {
    return Corrisponde(nome, modello);
}

} // namespace vdx
