#include "preview/TabellaTableau.h"

#include "shared/FileTesto.h"
#include "shared/Testo.h"

#include <array>
#include <charconv>
#include <chrono>

namespace vdx {

namespace {

constexpr std::string_view InizioTitolo = " Hotel : ";
constexpr std::string_view PrimaDelTableau = " Tableau : ";
constexpr std::string_view PrimaDellaData = " del ";
// The title is padded to this width before the run's own date and time.
constexpr std::size_t LarghezzaTitolo = 117;
constexpr std::string_view DataVuota = "  /  /    ";

constexpr std::array<std::string_view, 4> EtichetteTotali{"Presenze attuali", "Totale Partenze",
                                                          "Camere presenti", "Totale presenze"};

// A vertical rule as the generator writes it or as the preview saves it.
bool Verticale(char c) {
    return c == bordo::Verticale || c == '|';
}

bool Cifra(char c) {
    return c >= '0' && c <= '9';
}

// Cell `n` (1 to 9) of a line at least 133 wide, as it stands.
std::string_view CellaDi(std::string_view riga, int n) {
    const Cella& cella = Celle[static_cast<std::size_t>(n - 1)];
    return riga.substr(cella.colonna - 1, cella.larghezza);
}

std::string Testo(std::string_view riga, int n) {
    return std::string(TrimSpazi(CellaDi(riga, n)));
}

// A line of a room block: a vertical rule before every cell and after the
// last, and a date cell 4 (which the heading line ruled the same way has not).
bool RigaDiCamera(std::string_view riga) {
    if (riga.size() < LarghezzaRiga) {
        return false;
    }
    for (const Cella& cella : Celle) {
        if (!Verticale(riga[cella.colonna - 2])) {
            return false;
        }
    }
    if (!Verticale(riga[Celle.back().colonna + Celle.back().larghezza - 1])) {
        return false;
    }
    const std::string_view arrivo = CellaDi(riga, 4);
    return TrimSpazi(arrivo).empty() || (arrivo[2] == '/' && arrivo[5] == '/');
}

CellaData LeggiData(std::string_view testo) {
    if (TrimSpazi(testo).empty() || testo == DataVuota) {
        return std::monostate{};
    }
    bool cifre = testo.size() == 10 && testo[2] == '/' && testo[5] == '/';
    for (std::size_t i : {0, 1, 3, 4, 6, 7, 8, 9}) {
        cifre = cifre && Cifra(testo[i]);
    }
    if (cifre) {
        const auto numero = [&](std::size_t da, std::size_t n) {
            int valore = 0;
            std::from_chars(testo.data() + da, testo.data() + da + n, valore);
            return valore;
        };
        const DataOra giorno{numero(6, 4), numero(3, 2), numero(0, 2)};
        const std::chrono::year_month_day ymd{std::chrono::year(giorno.anno),
                                              std::chrono::month(unsigned(giorno.mese)),
                                              std::chrono::day(unsigned(giorno.giorno))};
        if (ymd.ok()) {
            return giorno;
        }
    }
    return std::string(TrimSpazi(testo));
}

std::optional<int> LeggiPersone(std::string_view testo) {
    testo = TrimSpazi(testo);
    int valore = 0;
    const auto [fine, errore] = std::from_chars(testo.data(), testo.data() + testo.size(), valore);
    if (testo.empty() || !Cifra(testo.front()) || errore != std::errc() ||
        fine != testo.data() + testo.size()) {
        return std::nullopt;
    }
    return valore;
}

// " Hotel : " + name padded to 45 + " Tableau : " + description + " del " +
// the date as typed, padded to 117, then the run's date and time.
void LeggiTitolo(std::string_view riga, TabellaTableau& tabella) {
    const std::string_view titolo = riga.substr(0, LarghezzaTitolo).substr(InizioTitolo.size());
    const std::size_t tableau = titolo.find(PrimaDelTableau);
    tabella.hotel = std::string(TrimSpazi(titolo.substr(0, tableau)));
    if (tableau == std::string_view::npos) {
        return;
    }
    std::string_view resto = titolo.substr(tableau + PrimaDelTableau.size());
    const std::size_t del = resto.rfind(PrimaDellaData);
    tabella.tableau = std::string(TrimSpazi(resto.substr(0, del)));
    if (del != std::string_view::npos) {
        tabella.data = std::string(TrimSpazi(resto.substr(del + PrimaDellaData.size())));
    }
}

// "Presenze attuali: 15      Totale Partenze : 1" and the like.
void LeggiTotali(std::string_view riga, std::vector<TotaleTableau>& totali) {
    for (const std::string_view etichetta : EtichetteTotali) {
        const std::size_t pos = riga.find(etichetta);
        if (pos == std::string_view::npos) {
            continue;
        }
        std::string_view resto = TrimSpazi(riga.substr(pos + etichetta.size()));
        if (resto.empty() || resto.front() != ':') {
            continue;
        }
        resto = TrimSpazi(resto.substr(1));
        long long valore = 0;
        const auto [fine, errore] =
            std::from_chars(resto.data(), resto.data() + resto.size(), valore);
        if (errore == std::errc() && (fine == resto.data() + resto.size() || *fine == ' ')) {
            totali.push_back({std::string(etichetta), valore});
        }
    }
}

} // namespace

void LettoreTabella::Aggiungi(std::string_view riga) {
    if (RigaDiCamera(riga)) {
        AggiungiRigaDiCamera(riga);
    } else if (riga.starts_with(InizioTitolo)) {
        LeggiTitolo(riga, tabella_);
    } else {
        for (const std::string_view etichetta : EtichetteTotali) {
            if (riga.starts_with(etichetta)) {
                LeggiTotali(riga, tabella_.totali);
                break;
            }
        }
    }
}

void LettoreTabella::AggiungiRigaDiCamera(std::string_view riga) {
    RigaTabella r;
    bool primaRiga = false;
    for (int n = 1; n <= 6; ++n) {
        primaRiga = primaRiga || !TrimSpazi(CellaDi(riga, n)).empty();
    }
    if (!primaRiga) {
        // The block's second line: status, agency, customer type.
        r.camera = camera_;
        r.secondo = Testo(riga, 7);
        r.dittaAgenzia = Testo(riga, 8);
        r.commento = Testo(riga, 9);
        if (!r.secondo.empty() || !r.dittaAgenzia.empty() || !r.commento.empty()) {
            tabella_.righe.push_back(std::move(r));
        }
        return;
    }
    camera_ = Testo(riga, 1);
    r.camera = camera_;
    r.tipo = Testo(riga, 2);
    r.persone = LeggiPersone(CellaDi(riga, 3));
    r.arrivo = LeggiData(CellaDi(riga, 4));
    r.partenza = LeggiData(CellaDi(riga, 5));
    r.alloggiato = Testo(riga, 6);
    r.secondo = Testo(riga, 7);
    r.dittaAgenzia = Testo(riga, 8);
    // With the arrangement: a space, the code in 8, a space, the amount
    // right-aligned in 13, a space. A comment is trimmed, so it never begins
    // with a space.
    const std::string_view nona = CellaDi(riga, 9);
    const auto importo = nona[0] == ' ' && nona[9] == ' ' && nona[23] == ' '
                             ? LeggiImporto(TrimSpazi(nona.substr(10, 13)), segni_)
                             : std::nullopt;
    if (importo) {
        r.arrangiamento = std::string(TrimSpazi(nona.substr(1, 8)));
        r.importo = importo;
    } else {
        r.commento = std::string(TrimSpazi(nona));
    }
    tabella_.righe.push_back(std::move(r));
}

TabellaTableau LeggiTabella(std::string_view testo, const SegniNumerici& segni) {
    LettoreTabella lettore(segni);
    for (const auto& riga : DividiRighe(testo)) {
        lettore.Aggiungi(riga);
    }
    return lettore.Tabella();
}

} // namespace vdx
