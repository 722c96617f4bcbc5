#include "jet/Vista.h"

#include "jet/Criteri.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <functional>
#include <numeric>

namespace vdx::jet {

namespace {

std::string bytesDi(std::int64_t v) {
    std::string s(sizeof v, '\0');
    std::memcpy(s.data(), &v, sizeof v);
    return s;
}

std::string bytesDi(double v) {
    if (v == 0) {
        v = 0; // -0 and 0 are one key
    }
    std::string s(sizeof v, '\0');
    std::memcpy(s.data(), &v, sizeof v);
    return s;
}

std::int64_t decimillesimiCella(const ColonnaLetta& c, std::size_t riga) {
    return c.tipo == TipoCampo::Currency ? c.interi[riga] : c.interi[riga] * 10000;
}

std::uint64_t mescola(std::uint64_t h, std::uint64_t v) {
    h ^= v + 0x9E3779B97F4A7C15ull + (h << 6) + (h >> 2);
    return h;
}

std::uint64_t hashTesto(std::string_view s) {
    return std::hash<std::string_view>{}(s);
}

// The hash of a stored value, equal to the hash of its key (ChiaveCella).
std::uint64_t hashCella(const Tabella& t, int colonna, std::size_t riga) {
    const ColonnaLetta& c = t.colonne()[static_cast<std::size_t>(colonna)];
    if (c.testuale()) {
        return hashTesto(t.testo(riga, colonna));
    }
    if (c.intera()) {
        return hashTesto(bytesDi(decimillesimiCella(c, riga)));
    }
    return hashTesto(bytesDi(c.reali[riga]));
}

template <typename T> int segno(T a, T b) {
    return a < b ? -1 : (a > b ? 1 : 0);
}

bool esito(Operatore op, int cmp) {
    switch (op) {
    case Operatore::Uguale:
        return cmp == 0;
    case Operatore::Diverso:
        return cmp != 0;
    case Operatore::Minore:
        return cmp < 0;
    case Operatore::MinoreUguale:
        return cmp <= 0;
    case Operatore::Maggiore:
        return cmp > 0;
    case Operatore::MaggioreUguale:
        return cmp >= 0;
    }
    return false;
}

} // namespace

std::string ChiaveCella(const ColonnaLetta& c, std::size_t riga) {
    if (c.testuale()) {
        return std::string(c.testo(riga));
    }
    if (c.intera()) {
        return bytesDi(decimillesimiCella(c, riga));
    }
    return bytesDi(c.reali[riga]);
}

Confronto Confronto::Prepara(const ColonnaLetta& c, int colonna, Operatore op, const Letterale& v) {
    Confronto k;
    k.colonna = colonna;
    k.op = op;
    if (c.testuale()) {
        k.modo = Modo::Testo;
        k.testo = v.testo;
    } else if (c.intera()) {
        k.modo = Modo::Intero;
        k.esatto = v.esatto;
        k.intero = v.decimillesimi;
        k.reale = v.numero;
    } else {
        k.modo = Modo::Reale;
        k.reale = c.tipo == TipoCampo::Single ? static_cast<double>(static_cast<float>(v.numero))
                                              : v.numero;
    }
    return k;
}

bool Confronto::soddisfatto(const Tabella& t, std::size_t riga) const {
    const ColonnaLetta& c = t.colonne()[static_cast<std::size_t>(colonna)];
    if (c.presente[riga] == 0) {
        return false;
    }
    int cmp = 0;
    switch (modo) {
    case Modo::Testo: {
        const int r = t.testo(riga, colonna).compare(testo);
        cmp = r < 0 ? -1 : (r > 0 ? 1 : 0);
        break;
    }
    case Modo::Intero:
        if (esatto) {
            cmp = segno(decimillesimiCella(c, riga), intero);
        } else {
            const double valore = c.tipo == TipoCampo::Currency
                                      ? static_cast<double>(c.interi[riga]) / 10000.0
                                      : static_cast<double>(c.interi[riga]);
            cmp = segno(valore, reale);
        }
        break;
    case Modo::Reale:
        cmp = segno(c.reali[riga], reale);
        break;
    }
    return esito(op, cmp);
}

std::optional<std::string> Confronto::chiave() const {
    switch (modo) {
    case Modo::Testo:
        return testo;
    case Modo::Intero:
        if (!esatto) {
            return std::nullopt;
        }
        return bytesDi(intero);
    case Modo::Reale:
        return bytesDi(reale);
    }
    return std::nullopt;
}

CriterioRisolto::CriterioRisolto(const std::vector<Termine>& termini, const Tabella& t) {
    confronti_.reserve(termini.size());
    for (const Termine& termine : termini) {
        const int colonna = t.campoRichiesto(termine.campo);
        confronti_.push_back(Confronto::Prepara(t.colonne()[static_cast<std::size_t>(colonna)],
                                                colonna, termine.op, termine.valore));
    }
    // The equality fields, one comparison each, in column order.
    std::vector<const Confronto*> uguaglianze;
    for (const Confronto& k : confronti_) {
        if (k.op != Operatore::Uguale) {
            continue;
        }
        const bool gia = std::any_of(uguaglianze.begin(), uguaglianze.end(),
                                     [&](const Confronto* u) { return u->colonna == k.colonna; });
        if (!gia) {
            uguaglianze.push_back(&k);
        }
    }
    std::sort(uguaglianze.begin(), uguaglianze.end(),
              [](const Confronto* a, const Confronto* b) { return a->colonna < b->colonna; });
    std::uint64_t h = 0;
    bool possibile = true;
    for (const Confronto* k : uguaglianze) {
        colonneChiave_.push_back(k->colonna);
        const auto key = k->chiave();
        if (!key) {
            possibile = false;
        } else {
            h = mescola(h, hashTesto(*key));
        }
    }
    if (possibile) {
        hash_ = h;
    }
}

void CriterioRisolto::aggiungiAppartenenza(const Tabella& t, int colonna,
                                           const std::vector<Valore>& valori) {
    const ColonnaLetta& esterna = t.colonne()[static_cast<std::size_t>(colonna)];
    Appartenenza a{colonna, {}};
    for (const Valore& v : valori) {
        if (v.nullo()) {
            continue; // NULL equals nothing
        }
        const bool testuale = v.tipo() == TipoCampo::Text || v.tipo() == TipoCampo::Memo ||
                              v.tipo() == TipoCampo::Other;
        // Each inner value is compared as if written in the criterion.
        const Letterale l = testuale ? Letterale::Testo(v.testo())
                            : v.tipo() == TipoCampo::Currency
                                ? Letterale::Numero(TestoDecimillesimi(v.denaro()))
                                : Letterale::Numero(TestoNumero(v.numero()));
        if (auto key = Confronto::Prepara(esterna, colonna, Operatore::Uguale, l).chiave()) {
            a.chiavi.insert(std::move(*key));
        }
    }
    appartenenze_.push_back(std::move(a));
}

bool CriterioRisolto::soddisfa(const Tabella& t, std::size_t riga) const {
    for (const Confronto& k : confronti_) {
        if (!k.soddisfatto(t, riga)) {
            return false;
        }
    }
    for (const Appartenenza& a : appartenenze_) {
        const ColonnaLetta& c = t.colonne()[static_cast<std::size_t>(a.colonna)];
        if (c.presente[riga] == 0 || a.chiavi.count(ChiaveCella(c, riga)) == 0) {
            return false;
        }
    }
    return true;
}

// ---------------------------------------------------------------- Vista

Vista::Vista(std::shared_ptr<const Tabella> tabella) : tabella_(std::move(tabella)) {}

Vista::Vista(std::shared_ptr<const Tabella> tabella, std::vector<std::uint32_t> righe)
    : tabella_(std::move(tabella)), tutte_(false), righe_(std::move(righe)) {}

const Vista::Indice& Vista::indice(const std::vector<int>& colonne) const {
    std::lock_guard<std::mutex> lock(mutex_);
    auto it = indici_.find(colonne);
    if (it != indici_.end()) {
        return *it->second;
    }
    auto indice = std::make_unique<Indice>();
    const Tabella& t = *tabella_;
    const std::size_t n = size();
    indice->voci.reserve(n);
    for (std::size_t pos = 0; pos < n; ++pos) {
        const std::size_t r = riga(pos);
        std::uint64_t h = 0;
        bool nullo = false;
        for (int c : colonne) {
            if (t.nullo(r, c)) {
                nullo = true; // NULL equals nothing: not in the index
                break;
            }
            h = mescola(h, hashCella(t, c, r));
        }
        if (!nullo) {
            indice->voci.emplace_back(h, static_cast<std::uint32_t>(pos));
        }
    }
    std::sort(indice->voci.begin(), indice->voci.end());
    return *indici_.emplace(colonne, std::move(indice)).first->second;
}

std::size_t Vista::trova(const CriterioRisolto& c, std::size_t da, bool avanti,
                         bool usaIndice) const {
    const std::size_t n = size();
    if (n == 0 || (avanti && da >= n)) {
        return nessuna;
    }
    if (!avanti && da >= n) {
        da = n - 1;
    }
    // Small sets are scanned: an index would cost more than it saves.
    constexpr std::size_t sogliaIndice = 64;
    if (usaIndice && !c.colonneChiave().empty() && n >= sogliaIndice) {
        const auto h = c.hashChiave();
        if (!h) {
            return nessuna;
        }
        const Indice& idx = indice(c.colonneChiave());
        using Voce = std::pair<std::uint64_t, std::uint32_t>;
        const auto posizione = static_cast<std::uint32_t>(da);
        if (avanti) {
            auto it = std::lower_bound(idx.voci.begin(), idx.voci.end(), Voce{*h, posizione});
            for (; it != idx.voci.end() && it->first == *h; ++it) {
                if (c.soddisfa(*tabella_, riga(it->second))) {
                    return it->second;
                }
            }
        } else {
            auto it = std::upper_bound(idx.voci.begin(), idx.voci.end(), Voce{*h, posizione});
            while (it != idx.voci.begin()) {
                --it;
                if (it->first != *h) {
                    break;
                }
                if (c.soddisfa(*tabella_, riga(it->second))) {
                    return it->second;
                }
            }
        }
        return nessuna;
    }
    if (avanti) {
        for (std::size_t pos = da; pos < n; ++pos) {
            if (c.soddisfa(*tabella_, riga(pos))) {
                return pos;
            }
        }
    } else {
        for (std::size_t pos = da + 1; pos-- > 0;) {
            if (c.soddisfa(*tabella_, riga(pos))) {
                return pos;
            }
        }
    }
    return nessuna;
}

std::vector<std::uint32_t> Vista::filtra(const CriterioRisolto& c) const {
    std::vector<std::uint32_t> v;
    for (std::size_t pos = trova(c, 0, true, true); pos != nessuna;
         pos = trova(c, pos + 1, true, true)) {
        v.push_back(static_cast<std::uint32_t>(riga(pos)));
    }
    return v;
}

std::vector<std::uint32_t> Vista::ordina(const std::vector<Ordinamento>& ordine) const {
    std::vector<std::pair<int, bool>> campi;
    for (const Ordinamento& o : ordine) {
        campi.emplace_back(tabella_->campoRichiesto(o.campo), o.discendente);
    }
    std::vector<std::uint32_t> v(size());
    for (std::size_t pos = 0; pos < v.size(); ++pos) {
        v[pos] = static_cast<std::uint32_t>(riga(pos));
    }
    const Tabella& t = *tabella_;
    std::stable_sort(v.begin(), v.end(), [&](std::uint32_t a, std::uint32_t b) {
        for (const auto& [colonna, discendente] : campi) {
            const int cmp = ConfrontaCelle(t.colonne()[static_cast<std::size_t>(colonna)], a, b);
            if (cmp != 0) {
                return discendente ? cmp > 0 : cmp < 0;
            }
        }
        return false;
    });
    return v;
}

} // namespace vdx::jet
