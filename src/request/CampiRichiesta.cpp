#include "request/CampiRichiesta.h"

#include "shared/Cp1252.h"
#include "shared/Numeri.h"
#include "shared/Testo.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <optional>

namespace vdx {

bool AnnoBisestile(short anno) {
    return anno % 4 == 0 && (anno % 100 != 0 || anno % 400 == 0);
}

bool ControllaData(std::string_view data, Calendario& calendario) {
    const std::string_view testo = TrimSpazi(data);
    if (testo.size() != 10) {
        return false;
    }
    // Day, month and year hold digits only: a blank or a separator in them
    // ("5 /03/2024", "5//3//1926") would be read past and give a key that is
    // no date ("2024035 "), so every room would show as free.
    for (std::size_t i : {0, 1, 3, 4, 6, 7, 8, 9}) {
        if (testo[i] < '0' || testo[i] > '9') {
            return false;
        }
    }
    const double giorno = LeggiNumero(testo.substr(0, 2));
    const double mese = LeggiNumero(testo.substr(3, 2));
    const short anno = LeggiIntero(testo.substr(6, 4));
    if (mese < 1 || anno < 1900 || mese > 12) {
        return false;
    }
    calendario.giorniMese[2] = AnnoBisestile(anno) ? 29 : 28;
    const auto indice = static_cast<std::size_t>(mese);
    return giorno >= 1 && giorno <= calendario.giorniMese[indice];
}

bool ControllaData(std::string_view data) {
    Calendario calendario;
    return ControllaData(data, calendario);
}

std::string SecoloVicino(int yy, int annoOggi) {
    const int base = annoOggi - annoOggi % 100;
    int migliore = base + yy;
    for (const int anno : {base - 100 + yy, base + 100 + yy}) {
        const int scarto = std::abs(anno - annoOggi);
        const int scartoMigliore = std::abs(migliore - annoOggi);
        if (scarto < scartoMigliore || (scarto == scartoMigliore && anno > migliore)) {
            migliore = anno;
        }
    }
    return std::to_string(migliore / 100);
}

namespace {

bool Cifre(std::string_view s) {
    return !s.empty() &&
           std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

std::string DueCifre(std::string_view s) {
    return s.size() == 1 ? "0" + std::string(s) : std::string(s);
}

// "5/3/26", "05-03-2026", "5.3.26": day and month of one or two digits, a
// year of two or four, parted by the same separator.
std::optional<std::string> DataConSeparatori(std::string_view t, int annoOggi) {
    const std::size_t primo = t.find_first_of("/-.");
    if (primo == std::string_view::npos) {
        return std::nullopt;
    }
    const char separatore = t[primo];
    const std::size_t secondo = t.find(separatore, primo + 1);
    if (secondo == std::string_view::npos) {
        return std::nullopt;
    }
    const std::string_view giorno = t.substr(0, primo);
    const std::string_view mese = t.substr(primo + 1, secondo - primo - 1);
    const std::string_view anno = t.substr(secondo + 1);
    if (!Cifre(giorno) || giorno.size() > 2 || !Cifre(mese) || mese.size() > 2 || !Cifre(anno) ||
        (anno.size() != 2 && anno.size() != 4)) {
        return std::nullopt;
    }
    std::string secolo;
    if (anno.size() == 2) {
        secolo = SecoloVicino((anno[0] - '0') * 10 + (anno[1] - '0'), annoOggi);
    }
    return DueCifre(giorno) + "/" + DueCifre(mese) + "/" + secolo + std::string(anno);
}

} // namespace

std::string CompletaData(std::string_view t, int annoOggi) {
    if (t.size() == 10) {
        return std::string(t);
    }
    if (auto data = DataConSeparatori(t, annoOggi)) {
        return *data;
    }
    if (t.size() == 6) {
        const auto yy = static_cast<int>(LeggiNumero(t.substr(4, 2)));
        std::string out;
        out += t.substr(0, 2);
        out += '/';
        out += t.substr(2, 2);
        out += '/';
        out += SecoloVicino(yy, annoOggi);
        out += t.substr(4, 2);
        return out;
    }
    if (t.size() == 8) {
        std::string out;
        out += t.substr(0, 2);
        out += '/';
        out += t.substr(2, 2);
        out += '/';
        out += t.substr(4, 4);
        return out;
    }
    return std::string(t);
}

std::string PulisciTesto(std::string_view testo) {
    std::string out;
    for (char c : testo) {
        const unsigned char up = MaiuscolaCp1252(static_cast<unsigned char>(c));
        if (up != '\'') {
            out.push_back(static_cast<char>(up));
        }
    }
    return out.empty() ? std::string(" ") : out;
}

} // namespace vdx
