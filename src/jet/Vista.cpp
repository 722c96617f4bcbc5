#include "jet/Vista.h"

#include "jet/AnalisiCriteri.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <functional>
#include <iterator>
#include <limits>
#include <numeric>

namespace vdx::jet {

namespace {

std::string BytesDi(std::int64_t v) {
    std::string s(sizeof v, '\0');
    std::memcpy(s.data(), &v, sizeof v);
    return s;
}

std::string BytesDi(double v) {
    if (v == 0) {
        v = 0; // -0 and 0 are one key
    }
    std::string s(sizeof v, '\0');
    std::memcpy(s.data(), &v, sizeof v);
    return s;
}

std::int64_t Decimillesimi(const CampoTabella& c, std::int64_t intero) {
    return c.tipo == TipoCampo::Currency ? intero : intero * 10000;
}

std::uint64_t Mescola(std::uint64_t h, std::uint64_t v) {
    h ^= v + 0x9E3779B97F4A7C15ull + (h << 6) + (h >> 2);
    return h;
}

// A hash of a text's bytes, eight at a time; the last seven or fewer read
// without a loop (two overlapping reads of four, or the first, middle and
// last byte).
std::uint64_t HashTesto(std::string_view s) {
    constexpr std::uint64_t k = 0xFF51AFD7ED558CCDull;
    std::uint64_t h = 0x9E3779B97F4A7C15ull ^ s.size();
    const auto* p = reinterpret_cast<const unsigned char*>(s.data());
    std::size_t n = s.size();
    for (; n >= 8; p += 8, n -= 8) {
        std::uint64_t w;
        std::memcpy(&w, p, 8);
        h = (h ^ w) * k;
        h ^= h >> 32;
    }
    if (n >= 4) {
        std::uint32_t a;
        std::uint32_t b;
        std::memcpy(&a, p, 4);
        std::memcpy(&b, p + n - 4, 4);
        h = (h ^ (a | (std::uint64_t{b} << 32))) * k;
        h ^= h >> 32;
    } else if (n > 0) {
        h = (h ^ (p[0] | (std::uint64_t{p[n / 2]} << 8) | (std::uint64_t{p[n - 1]} << 16))) * k;
        h ^= h >> 32;
    }
    h *= 0xC4CEB9FE1A85EC53ull;
    return h ^ (h >> 29);
}

// The index holds 32 bits of a key's hash; 0 stands for a NULL key, which
// equals nothing.
std::uint32_t HashIndice(std::uint64_t h) {
    return static_cast<std::uint32_t>(h ^ (h >> 32)) | 1u;
}

template <typename T> std::uint64_t HashBytes(T v) {
    return HashTesto(std::string_view(reinterpret_cast<const char*>(&v), sizeof v));
}

// The equality fields of an index, each with the way its values are keyed.
struct CampoChiave {
    std::size_t colonna;
    CampoTabella campo;
};

std::vector<CampoChiave> CampiChiave(const Tabella& t, const std::vector<int>& colonne) {
    std::vector<CampoChiave> v;
    for (int c : colonne) {
        v.push_back({static_cast<std::size_t>(c), t.Colonne()[static_cast<std::size_t>(c)]});
    }
    return v;
}

// The hash of the stored value of column `colonna`, equal to the hash of
// its key (ChiaveCella); nullopt for NULL.
std::optional<std::uint64_t> HashCella(const CampoTabella& c, const Riga& r, std::size_t colonna,
                                       std::string& buffer) {
    if (c.Testuale()) {
        std::string_view v;
        return r.LeggiTesto(colonna, buffer, v) ? std::optional(HashTesto(v)) : std::nullopt;
    }
    if (c.Intera()) {
        std::int64_t v = 0;
        return r.LeggiIntero(colonna, v) ? std::optional(HashBytes(Decimillesimi(c, v)))
                                         : std::nullopt;
    }
    double v = 0;
    if (!r.LeggiReale(colonna, v)) {
        return std::nullopt;
    }
    return HashBytes(v == 0 ? 0.0 : v); // -0 and 0 are one key
}

// The index hash of the equality fields of a row; 0 when one is NULL.
std::uint32_t HashRiga(const std::vector<CampoChiave>& campi, const Riga& r, std::string& buffer) {
    std::uint64_t h = 0;
    for (const CampoChiave& k : campi) {
        const auto hc = HashCella(k.campo, r, k.colonna, buffer);
        if (!hc) {
            return 0; // NULL equals nothing: not in the index
        }
        h = Mescola(h, *hc);
    }
    return HashIndice(h);
}

template <typename T> int SegnoConfronto(T a, T b) {
    return a < b ? -1 : (a > b ? 1 : 0);
}

bool EsitoConfronto(Operatore op, int confronto) {
    switch (op) {
    case Operatore::Uguale:
        return confronto == 0;
    case Operatore::Diverso:
        return confronto != 0;
    case Operatore::Minore:
        return confronto < 0;
    case Operatore::MinoreUguale:
        return confronto <= 0;
    case Operatore::Maggiore:
        return confronto > 0;
    case Operatore::MaggioreUguale:
        return confronto >= 0;
    }
    return false;
}

// The row and the text room a thread uses while it searches.
Riga& RigaDelThread() {
    thread_local Riga riga;
    return riga;
}

// Rows read one by one are read ahead this many at a time (see
// Tabella::Raccogli).
constexpr std::size_t RigheRaccolte = 1024;

// Before the rows at positions [pos, n) of `righe` are read one by one, the
// pages of the next of them, when `pos` starts a stretch.
void RaccogliDa(const Tabella& t, const std::vector<std::uint32_t>& righe, std::size_t pos) {
    if (pos % RigheRaccolte == 0) {
        t.Raccogli(righe.data() + pos, std::min(RigheRaccolte, righe.size() - pos));
    }
}

std::string& BufferDelThread() {
    thread_local std::string buffer;
    return buffer;
}

// Pairs (hash, position) in the order of their hashes, positions ascending
// within a hash: a stable sort by 11 bits at a time.
void OrdinaPerHash(VettoreColonna<std::pair<std::uint32_t, std::uint32_t>>& v) {
    if (v.size() < 65536) {
        std::sort(v.begin(), v.end()); // positions are distinct: as stable
        return;
    }
    VettoreColonna<std::pair<std::uint32_t, std::uint32_t>> altro(v.size());
    std::vector<std::size_t> conta(2049);
    for (int spostamento : {0, 11, 22}) {
        std::fill(conta.begin(), conta.end(), 0);
        for (const auto& e : v) {
            ++conta[((e.first >> spostamento) & 0x7FF) + 1];
        }
        std::partial_sum(conta.begin(), conta.end(), conta.begin());
        for (const auto& e : v) {
            altro[conta[(e.first >> spostamento) & 0x7FF]++] = e;
        }
        v.swap(altro);
    }
}

// Positions 0 .. n-1 ordered by an integer key, `Chiave(i, v)` giving it
// (false for NULL): stable, NULL first (last when descending), sorted by 8
// bits at a time over the bytes where the keys differ.
template <typename Chiave>
std::vector<std::uint32_t> OrdinaPerIntero(std::size_t n, bool discendente, Chiave chiave) {
    std::vector<std::uint32_t> nulli;
    VettoreColonna<std::pair<std::uint64_t, std::uint32_t>> v;
    v.reserve(n);
    for (std::size_t i = 0; i < n; ++i) {
        std::int64_t k = 0;
        if (!chiave(i, k)) {
            nulli.push_back(static_cast<std::uint32_t>(i));
            continue;
        }
        const std::uint64_t u = static_cast<std::uint64_t>(k) ^ (std::uint64_t{1} << 63);
        v.emplace_back(discendente ? ~u : u, static_cast<std::uint32_t>(i));
    }
    VettoreColonna<std::pair<std::uint64_t, std::uint32_t>> altro(v.size());
    std::array<std::size_t, 257> conta{};
    for (int byte = 0; byte < 8; ++byte) {
        conta.fill(0);
        for (const auto& e : v) {
            ++conta[((e.first >> (8 * byte)) & 0xFF) + 1];
        }
        if (std::any_of(conta.begin(), conta.end(), [&](std::size_t c) { return c == v.size(); })) {
            continue; // every key has this byte alike
        }
        std::partial_sum(conta.begin(), conta.end(), conta.begin());
        for (const auto& e : v) {
            altro[conta[(e.first >> (8 * byte)) & 0xFF]++] = e;
        }
        v.swap(altro);
    }
    std::vector<std::uint32_t> ordine;
    ordine.reserve(n);
    if (!discendente) {
        ordine = nulli;
    }
    for (const auto& e : v) {
        ordine.push_back(e.second);
    }
    if (discendente) {
        ordine.insert(ordine.end(), nulli.begin(), nulli.end());
    }
    return ordine;
}

// A value of a number column, as a sort takes it.
struct CellaNumerica {
    std::uint8_t presente = 0;
    std::int64_t intero = 0;
    double reale = 0;
};

} // namespace

std::string ChiaveCella(const CampoTabella& c, const Riga& r, std::size_t colonna,
                        std::string& buffer) {
    if (c.Testuale()) {
        return std::string(r.Testo(colonna, buffer));
    }
    if (c.Intera()) {
        return BytesDi(Decimillesimi(c, r.Intero(colonna)));
    }
    return BytesDi(r.Reale(colonna));
}

Confronto Confronto::Prepara(const CampoTabella& c, int colonna, Operatore op, const Letterale& v) {
    Confronto k;
    k.colonna = colonna;
    k.op = op;
    k.denaro = c.tipo == TipoCampo::Currency;
    if (c.Testuale()) {
        k.modo = Modo::Testo;
        k.testo = v.testo;
    } else if (c.Intera()) {
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

bool Confronto::Soddisfatto(const Riga& r, std::string& buffer) const {
    const auto c = static_cast<std::size_t>(colonna);
    int confronto = 0;
    switch (modo) {
    case Modo::Testo: {
        std::string_view v;
        if (!r.LeggiTesto(c, buffer, v)) {
            return false; // NULL satisfies no comparison
        }
        const int x = v.compare(testo); // char_traits<char> compares as unsigned
        confronto = x < 0 ? -1 : (x > 0 ? 1 : 0);
        break;
    }
    case Modo::Intero: {
        std::int64_t v = 0;
        if (!r.LeggiIntero(c, v)) {
            return false;
        }
        if (esatto) {
            confronto = SegnoConfronto(denaro ? v : v * 10000, intero);
        } else {
            const double valore =
                denaro ? static_cast<double>(v) / 10000.0 : static_cast<double>(v);
            confronto = SegnoConfronto(valore, reale);
        }
        break;
    }
    case Modo::Reale: {
        double v = 0;
        if (!r.LeggiReale(c, v)) {
            return false;
        }
        confronto = SegnoConfronto(v, reale);
        break;
    }
    }
    return EsitoConfronto(op, confronto);
}

std::optional<std::string> Confronto::Chiave() const {
    switch (modo) {
    case Modo::Testo:
        return testo;
    case Modo::Intero:
        if (!esatto) {
            return std::nullopt;
        }
        return BytesDi(intero);
    case Modo::Reale:
        return BytesDi(reale);
    }
    return std::nullopt;
}

CriterioRisolto::CriterioRisolto(const std::vector<Termine>& termini, const Tabella& t) {
    confronti_.reserve(termini.size());
    for (const Termine& termine : termini) {
        const int colonna = t.IndiceCampoRichiesto(termine.campo);
        confronti_.push_back(Confronto::Prepara(t.Colonne()[static_cast<std::size_t>(colonna)],
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
        const auto chiave = k->Chiave();
        if (!chiave) {
            possibile = false;
        } else {
            h = Mescola(h, HashTesto(*chiave));
        }
    }
    if (possibile) {
        hash_ = h;
    }
}

void CriterioRisolto::AggiungiAppartenenza(const Tabella& t, int colonna,
                                           const std::vector<Valore>& valori) {
    const CampoTabella& esterna = t.Colonne()[static_cast<std::size_t>(colonna)];
    Appartenenza a{colonna, esterna, {}};
    for (const Valore& v : valori) {
        if (v.Nullo()) {
            continue; // NULL equals nothing
        }
        const bool testuale = v.Tipo() == TipoCampo::Text || v.Tipo() == TipoCampo::Memo ||
                              v.Tipo() == TipoCampo::Other;
        // Each inner value is compared as if written in the criterion.
        const Letterale l = testuale ? Letterale::Testo(v.ComeTesto())
                            : v.Tipo() == TipoCampo::Currency
                                ? Letterale::Numero(TestoDecimillesimi(v.ComeDenaro()))
                                : Letterale::Numero(TestoNumero(v.ComeNumero()));
        if (auto chiave = Confronto::Prepara(esterna, colonna, Operatore::Uguale, l).Chiave()) {
            a.chiavi.insert(std::move(*chiave));
        }
    }
    appartenenze_.push_back(std::move(a));
}

bool CriterioRisolto::Soddisfa(const Riga& r, std::string& buffer) const {
    for (const Confronto& k : confronti_) {
        if (!k.Soddisfatto(r, buffer)) {
            return false;
        }
    }
    for (const Appartenenza& a : appartenenze_) {
        const auto c = static_cast<std::size_t>(a.colonna);
        if (r.Nullo(c) || a.chiavi.count(ChiaveCella(a.campo, r, c, buffer)) == 0) {
            return false;
        }
    }
    return true;
}

// ---------------------------------------------------------------- Vista

Vista::Vista(std::shared_ptr<const Tabella> tabella) : tabella_(std::move(tabella)) {}

Vista::Vista(std::shared_ptr<const Tabella> tabella, std::vector<std::uint32_t> righe)
    : tabella_(std::move(tabella)), tutte_(false), righe_(std::move(righe)) {}

Vista::Vista(std::shared_ptr<const Tabella> tabella, const std::vector<Ordinamento>& ordine)
    : tabella_(std::move(tabella)), tutte_(false) {
    for (const Ordinamento& o : ordine) {
        ordine_.emplace_back(tabella_->IndiceCampoRichiesto(o.campo), o.discendente);
    }
    ordinata_.store(false);
}

// Whether a search over the whole set is better served by a pass over the
// whole table (the set holds most of its rows) than by reading its rows one
// at a time.
bool Vista::PerTabella() const {
    return tutte_ || !ordinata_.load(std::memory_order_acquire) ||
           righe_.size() * 8 >= tabella_->RigheDichiarate();
}

// The order of a set of every row, one integer field, and the index hash of
// other fields: both from one reading of the table.
void Vista::OrdinaOra(const std::vector<int>* campi, VettoreColonna<std::uint32_t>* hash) const {
    std::lock_guard<std::mutex> blocco(mutexOrdine_);
    if (ordinata_.load(std::memory_order_acquire)) {
        return;
    }
    const Tabella& t = *tabella_;
    const auto c = static_cast<std::size_t>(ordine_.empty() ? 0 : ordine_[0].first);
    if (campi != nullptr && ordine_.size() == 1 && t.Colonne()[c].Intera()) {
        struct Coppia {
            std::int64_t chiave = 0;
            std::uint32_t hash = 0;
            std::uint8_t presente = 0;
        };
        const std::vector<CampoChiave> chiavi = CampiChiave(t, *campi);
        ValoriPerRiga lavoro([&](const Riga& r) {
            Coppia v;
            v.presente = r.LeggiIntero(c, v.chiave) ? 1 : 0;
            v.hash = HashRiga(chiavi, r, BufferDelThread());
            return v;
        });
        try {
            t.PerOgniRiga(lavoro);
        } catch (const Danno&) {
            t.Danneggiata();
        }
        const auto& valori = lavoro.valori;
        righe_ =
            OrdinaPerIntero(valori.size(), ordine_[0].second, [&](std::size_t i, std::int64_t& k) {
                k = valori[i].chiave;
                return valori[i].presente != 0;
            });
        hash->resize(righe_.size());
        for (std::size_t pos = 0; pos < righe_.size(); ++pos) {
            (*hash)[pos] = lavoro.valori[righe_[pos]].hash;
        }
    } else {
        righe_ = Vista(tabella_).OrdinaPerCampi(ordine_);
    }
    ordinata_.store(true, std::memory_order_release);
}

// The index hash of the equality fields for each position of the set.
VettoreColonna<std::uint32_t> Vista::HashPerPosizione(const std::vector<int>& colonne) const {
    const Tabella& t = *tabella_;
    const std::vector<CampoChiave> campi = CampiChiave(t, colonne);
    if (PerTabella()) {
        ValoriPerRiga lavoro([&](const Riga& r) { return HashRiga(campi, r, BufferDelThread()); });
        t.PerOgniRiga(lavoro);
        if (tutte_) {
            return std::move(lavoro.valori);
        }
        const std::vector<std::uint32_t>& righe = this->RigheInOrdine();
        VettoreColonna<std::uint32_t> h(righe.size());
        for (std::size_t pos = 0; pos < h.size(); ++pos) {
            h[pos] = lavoro.valori[righe[pos]];
        }
        return h;
    }
    const std::vector<std::uint32_t>& righe = this->RigheInOrdine();
    VettoreColonna<std::uint32_t> h(righe.size());
    Riga& r = RigaDelThread();
    for (std::size_t pos = 0; pos < h.size(); ++pos) {
        RaccogliDa(t, righe, pos);
        t.LeggiRiga(righe[pos], r);
        h[pos] = HashRiga(campi, r, BufferDelThread());
    }
    return h;
}

const Vista::Indice& Vista::IndiceSu(const std::vector<int>& colonne) const {
    std::lock_guard<std::mutex> lock(mutex_);
    auto it = indici_.find(colonne);
    if (it != indici_.end()) {
        return *it->second;
    }
    auto indice = std::make_unique<Indice>();
    VettoreColonna<std::uint32_t> h;
    if (!ordinata_.load(std::memory_order_acquire)) {
        OrdinaOra(&colonne, &h); // the order and the index in one reading
    }
    if (h.empty()) {
        h = HashPerPosizione(colonne);
    }
    indice->voci.reserve(h.size());
    for (std::size_t pos = 0; pos < h.size(); ++pos) {
        if (h[pos] != 0) {
            indice->voci.emplace_back(h[pos], static_cast<std::uint32_t>(pos));
        }
    }
    OrdinaPerHash(indice->voci);
    return *indici_.emplace(colonne, std::move(indice)).first->second;
}

std::size_t Vista::CercaNellIndice(const CriterioRisolto& c, std::size_t da, bool avanti,
                                   Segno* segno) const {
    const auto h = c.HashChiave();
    if (!h) {
        return nessuna;
    }
    const Indice& idx = IndiceSu(c.ColonneChiave());
    const std::uint32_t chiave = HashIndice(*h);
    using Voce = std::pair<std::uint32_t, std::uint32_t>;
    const auto posizione = static_cast<std::uint32_t>(da);
    Riga& r = RigaDelThread();
    const auto soddisfatta = [&](const Voce& v) {
        tabella_->LeggiRiga(RigaNumero(v.second), r);
        return c.Soddisfa(r, BufferDelThread());
    };
    // The rows the search may look at, read ahead: the entries of the key
    // from `da` on, or up to it.
    const auto raccogli = [&](auto inizio, auto fine) {
        std::vector<std::uint32_t> righe;
        for (; inizio != fine && righe.size() < RigheRaccolte; ++inizio) {
            righe.push_back(static_cast<std::uint32_t>(RigaNumero(inizio->second)));
        }
        tabella_->Raccogli(righe.data(), righe.size());
    };
    if (avanti) {
        auto it = std::lower_bound(idx.voci.begin(), idx.voci.end(), Voce{chiave, posizione});
        // FindNext from the record the last search found: on from there.
        if (segno != nullptr && segno->indice == &idx && segno->voce < idx.voci.size() &&
            idx.voci[segno->voce].first == chiave && idx.voci[segno->voce].second + 1 == da) {
            it = idx.voci.begin() + static_cast<std::ptrdiff_t>(segno->voce) + 1;
        } else {
            raccogli(it, std::upper_bound(it, idx.voci.end(),
                                          Voce{chiave, std::numeric_limits<std::uint32_t>::max()}));
        }
        for (; it != idx.voci.end() && it->first == chiave; ++it) {
            if (soddisfatta(*it)) {
                if (segno != nullptr) {
                    *segno = {&idx, static_cast<std::size_t>(it - idx.voci.begin())};
                }
                return it->second;
            }
        }
    } else {
        auto it = std::upper_bound(idx.voci.begin(), idx.voci.end(), Voce{chiave, posizione});
        raccogli(std::make_reverse_iterator(it), std::make_reverse_iterator(std::lower_bound(
                                                     idx.voci.begin(), it, Voce{chiave, 0})));
        while (it != idx.voci.begin()) {
            --it;
            if (it->first != chiave) {
                break;
            }
            if (soddisfatta(*it)) {
                return it->second;
            }
        }
    }
    return nessuna;
}

std::size_t Vista::Trova(const CriterioRisolto& c, std::size_t da, bool avanti, bool usaIndice,
                         Segno* segno) const {
    try {
        // Small sets are scanned: an index would cost more than it saves.
        constexpr std::size_t sogliaIndice = 64;
        const std::size_t stimate = tutte_ || !ordinata_.load(std::memory_order_acquire)
                                        ? tabella_->RigheDichiarate()
                                        : righe_.size();
        const bool conIndice = usaIndice && !c.ColonneChiave().empty() && stimate >= sogliaIndice;
        if (conIndice && c.HashChiave()) {
            IndiceSu(c.ColonneChiave()); // the first reading of the table, if it is the first need
        }
        const std::size_t n = NumeroRighe();
        if (n == 0 || (avanti && da >= n)) {
            return nessuna;
        }
        if (!avanti && da >= n) {
            da = n - 1;
        }
        if (conIndice) {
            return CercaNellIndice(c, da, avanti, segno);
        }
        Riga& r = RigaDelThread();
        for (std::size_t k = 0; avanti ? da + k < n : k <= da; ++k) {
            const std::size_t pos = avanti ? da + k : da - k;
            tabella_->LeggiRiga(RigaNumero(pos), r);
            if (c.Soddisfa(r, BufferDelThread())) {
                return pos;
            }
        }
        return nessuna;
    } catch (const Danno&) {
        tabella_->Danneggiata();
    }
}

std::vector<std::uint32_t> Vista::Filtra(const CriterioRisolto& c) const {
    try {
        std::vector<std::uint32_t> v;
        if (tutte_) {
            // One pass over the table, each row's fields compared where they
            // are stored.
            ValoriPerRiga lavoro(
                [&](const Riga& r) -> std::uint8_t { return c.Soddisfa(r, BufferDelThread()); });
            tabella_->PerOgniRiga(lavoro);
            for (std::size_t r = 0; r < lavoro.valori.size(); ++r) {
                if (lavoro.valori[r] != 0) {
                    v.push_back(static_cast<std::uint32_t>(r));
                }
            }
            return v;
        }
        for (std::size_t pos = Trova(c, 0, true, true); pos != nessuna;
             pos = Trova(c, pos + 1, true, true)) {
            v.push_back(static_cast<std::uint32_t>(RigaNumero(pos)));
        }
        return v;
    } catch (const Danno&) {
        tabella_->Danneggiata();
    }
}

// The values of column `colonna` for the positions of the set.
ColonnaLetta Vista::ChiaviDi(int colonna) const {
    const Tabella& t = *tabella_;
    const auto c = static_cast<std::size_t>(colonna);
    ColonnaLetta k;
    k.nome = t.Colonne()[c].nome;
    k.tipo = t.Colonne()[c].tipo;
    if (!k.Testuale() && PerTabella()) {
        // The pass first: for every row of a table not read yet, it is the
        // first reading.
        ValoriPerRiga lavoro([&](const Riga& r) {
            CellaNumerica v;
            v.presente = r.Nullo(c) ? 0 : 1;
            if (v.presente != 0 && k.Intera()) {
                v.intero = r.Intero(c);
            } else if (v.presente != 0) {
                v.reale = r.Reale(c);
            }
            return v;
        });
        t.PerOgniRiga(lavoro);
        const std::size_t n = NumeroRighe();
        k.Riserva(n);
        for (std::size_t pos = 0; pos < n; ++pos) {
            const CellaNumerica& v = lavoro.valori[RigaNumero(pos)];
            if (v.presente == 0) {
                k.AggiungiNullo();
            } else if (k.Intera()) {
                k.AggiungiIntero(v.intero);
            } else {
                k.AggiungiReale(v.reale);
            }
        }
        return k;
    }
    const std::size_t n = NumeroRighe();
    k.Riserva(n);
    Riga& r = RigaDelThread();
    std::vector<std::uint32_t> avanti; // the next rows, read ahead
    for (std::size_t pos = 0; pos < n; ++pos) {
        if (pos % RigheRaccolte == 0) {
            avanti.clear();
            for (std::size_t q = pos; q < std::min(n, pos + RigheRaccolte); ++q) {
                avanti.push_back(static_cast<std::uint32_t>(RigaNumero(q)));
            }
            t.Raccogli(avanti.data(), avanti.size());
        }
        t.LeggiRiga(RigaNumero(pos), r);
        if (r.Nullo(c)) {
            k.AggiungiNullo();
        } else if (k.Testuale()) {
            k.AggiungiTesto(r.Testo(c, BufferDelThread()));
            if (k.testi.size() > t.ByteDelFile()) {
                throw Danno{}; // a long value repeated row after row by a damaged pointer
            }
        } else if (k.Intera()) {
            k.AggiungiIntero(r.Intero(c));
        } else {
            k.AggiungiReale(r.Reale(c));
        }
    }
    return k;
}

std::vector<std::uint32_t> Vista::Ordina(const std::vector<Ordinamento>& ordine) const {
    std::vector<std::pair<int, bool>> campi;
    for (const Ordinamento& o : ordine) {
        campi.emplace_back(tabella_->IndiceCampoRichiesto(o.campo), o.discendente);
    }
    return OrdinaPerCampi(campi);
}

std::vector<std::uint32_t>
Vista::OrdinaPerCampi(const std::vector<std::pair<int, bool>>& campi) const {
    std::vector<ColonnaLetta> chiavi;
    try {
        for (const auto& campo : campi) {
            chiavi.push_back(ChiaviDi(campo.first));
        }
    } catch (const Danno&) {
        tabella_->Danneggiata();
    }
    std::vector<std::uint32_t> v;
    if (campi.size() == 1 && chiavi[0].Intera()) {
        const ColonnaLetta& k = chiavi[0];
        v = OrdinaPerIntero(k.presente.size(), campi[0].second,
                            [&](std::size_t i, std::int64_t& x) {
                                x = k.interi[i];
                                return k.presente[i] != 0;
                            });
    } else {
        v.resize(NumeroRighe());
        std::iota(v.begin(), v.end(), 0u);
        std::stable_sort(v.begin(), v.end(), [&](std::uint32_t a, std::uint32_t b) {
            for (std::size_t i = 0; i < campi.size(); ++i) {
                const int confronto = ConfrontaCelle(chiavi[i], a, b);
                if (confronto != 0) {
                    return campi[i].second ? confronto > 0 : confronto < 0;
                }
            }
            return false;
        });
    }
    for (std::uint32_t& pos : v) {
        pos = static_cast<std::uint32_t>(RigaNumero(pos));
    }
    return v;
}

} // namespace vdx::jet
