#include "jet/LetturaTabella.h"

#include "jet/InteriPagina.h"

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <future>
#include <mdbtools.h>
#include <sys/mman.h>
#include <system_error>
#include <thread>

namespace vdx::jet {

namespace {

// Pages read with one call: 256 kB, which the processor's cache still holds
// while the rows are taken apart.
constexpr std::size_t PagineInBlocco = 64;

constexpr std::size_t LimiteTabella = std::size_t{4} << 20;
constexpr std::size_t LimiteTenute = std::size_t{64} << 20;
std::atomic<std::size_t> gByteTenuti{0};

// The pages of a table read one at a time (long values, rows Access moved),
// checked against their fingerprints; while the table is first read, a page
// not read yet has its fingerprint taken. Once it is read, a page kept comes
// from memory.
class Accesso : public AccessoPagine {
public:
    Accesso(const DefinizioneTabella& d, std::vector<std::uint64_t>& impronte,
            const PagineTenute* tenute, bool prende)
        : d_(d), impronte_(impronte), tenute_(tenute), prende_(prende) {}
    const unsigned char* Pagina(std::uint32_t n) const override {
        if (n >= impronte_.size()) {
            throw Danno{};
        }
        std::uint64_t impronta = impronte_[n];
        if (impronta == 0 && !prende_) {
            throw Danno{}; // not a page the table was read from
        }
        if (tenute_ != nullptr && !prende_) {
            const auto it = tenute_->dove.find(n);
            if (it != tenute_->dove.end()) {
                return it->second;
            }
        }
        const unsigned char* pg = PaginaControllata(*d_.sorgente, n, d_.piano.dimPagina, impronta);
        if (prende_) {
            impronte_[n] = impronta;
        }
        return pg;
    }

private:
    const DefinizioneTabella& d_;
    std::vector<std::uint64_t>& impronte_;
    const PagineTenute* tenute_;
    bool prende_;
};

// The stretches of consecutive pages of list positions [prima, fine), at most
// PagineInBlocco each, read whole into `blocco` (or taken from the pages
// kept, `tenute`); `fai(pagina bytes, list position)` for each page.
template <typename F>
void PerBlocchi(const DefinizioneTabella& d, std::size_t prima, std::size_t fine,
                const PagineTenute* tenute, std::vector<unsigned char>& blocco, F fai) {
    const std::size_t dim = d.piano.dimPagina;
    if (tenute != nullptr) {
        for (std::size_t q = prima; q < fine; ++q) {
            fai(tenute->elencate.data() + q * dim, q);
        }
        return;
    }
    blocco.resize(PagineInBlocco * dim);
    for (std::size_t j = prima; j < fine;) {
        std::size_t k = j + 1;
        while (k < fine && k - j < PagineInBlocco && d.pagine[k] == d.pagine[k - 1] + 1) {
            ++k;
        }
        if (!d.sorgente->Leggi(std::uint64_t{d.pagine[j]} * dim, (k - j) * dim, blocco.data())) {
            throw Danno{};
        }
        for (std::size_t q = j; q < k; ++q) {
            fai(blocco.data() + (q - j) * dim, q);
        }
        j = k;
    }
}

// Room for the pages of a table of `byte`, if it may keep them.
std::unique_ptr<PagineTenute> TenuteSePossibile(std::size_t byte) {
    if (byte == 0 || byte > LimiteTabella) {
        return nullptr;
    }
    if (gByteTenuti.fetch_add(byte) + byte > LimiteTenute) {
        gByteTenuti.fetch_sub(byte);
        return nullptr;
    }
    auto t = std::make_unique<PagineTenute>();
    t->byte = byte;
    t->elencate.resize(byte);
    return t;
}

constexpr std::size_t PaginaGrande = std::size_t{2} << 20;

} // namespace

PagineTenute::~PagineTenute() {
    gByteTenuti.fetch_sub(byte);
}

// Large blocks in 2 MB pages, where the system has them: fewer faults to fill
// them.
void* MemoriaColonna(std::size_t byte) {
    if (byte >= 2 * PaginaGrande) {
        const std::size_t arrotondato = (byte + PaginaGrande - 1) / PaginaGrande * PaginaGrande;
        void* p = std::aligned_alloc(PaginaGrande, arrotondato);
        if (p == nullptr) {
            throw std::bad_alloc();
        }
#ifdef MADV_HUGEPAGE
        ::madvise(p, arrotondato, MADV_HUGEPAGE);
#endif
        return p;
    }
    return ::operator new(byte);
}

void LiberaColonna(void* p, std::size_t byte) noexcept {
    if (byte >= 2 * PaginaGrande) {
        std::free(p);
    } else {
        ::operator delete(p);
    }
}

void InParallelo(std::size_t parti, const std::function<void(std::size_t)>& fai) {
    std::vector<std::exception_ptr> errori(parti);
    const auto parte = [&](std::size_t p) {
        try {
            fai(p);
        } catch (...) {
            errori[p] = std::current_exception();
        }
    };
    // A part whose thread cannot be started is done on this thread.
    std::vector<std::thread> fili;
    std::vector<std::size_t> qui = {0};
    for (std::size_t p = 1; p < parti; ++p) {
        try {
            fili.emplace_back(parte, p);
        } catch (const std::system_error&) {
            qui.push_back(p);
        }
    }
    for (const std::size_t p : qui) {
        parte(p);
    }
    for (std::thread& f : fili) {
        f.join();
    }
    for (const std::exception_ptr& e : errori) {
        if (e) {
            std::rethrow_exception(e);
        }
    }
}

std::size_t RighePerParte(const DefinizioneTabella& d, std::size_t parti) {
    // A row pointer names at most 256 rows on a page, and a page holds fewer
    // than 128 rows of a few fields; a table of more rows grows as it is read.
    return std::min(d.righe, d.pagine.size() * 128) / parti + 1;
}

std::size_t PartiPer(std::size_t pagine) {
    static const unsigned nuclei = std::thread::hardware_concurrency();
    return nuclei >= 2 && pagine >= 4 * PagineInBlocco ? (pagine >= 64 * PagineInBlocco ? 4 : 2)
                                                       : 1;
}

// What one thread gathers while the table is first read.
struct RigheTabella::Parte {
    struct Spostata {
        std::size_t indice;      // in the part
        std::uint32_t puntatore; // where its row now is
    };
    VettoreColonna<std::uint32_t> posti;
    std::vector<std::uint32_t> primaRiga;
    std::vector<Spostata> spostate;
    Riga riga;
};

std::shared_ptr<const RigheTabella> RigheTabella::Leggi(DefinizioneTabella definizione,
                                                        LavoroRighe* lavoro) {
    std::shared_ptr<RigheTabella> t(new RigheTabella(std::move(definizione)));
    const DefinizioneTabella& d = t->def_;
    t->impronte_.assign(d.piano.pagineFile, 0);
    // Long values are read from pages of their own, whose fingerprints are
    // taken as they come: one thread reads such a table.
    const bool lunghi =
        std::any_of(d.piano.colonne.begin(), d.piano.colonne.end(), [](const PianoColonna& c) {
            return c.controllata && (c.tipo == MDB_MEMO || c.tipo == MDB_OLE);
        });
    const std::size_t n = d.pagine.size();
    const std::size_t parti = lunghi ? 1 : PartiPer(n);
    if (!lunghi) {
        t->tenute_ = TenuteSePossibile(n * d.piano.dimPagina);
    }
    if (lavoro != nullptr) {
        lavoro->Inizia(parti, RighePerParte(d, 1), {});
    }
    std::vector<Parte> risultati(parti);
    for (Parte& r : risultati) {
        r.posti.reserve(RighePerParte(d, parti));
    }
    InParallelo(parti, [&](std::size_t p) {
        t->LeggiParte(n * p / parti, n * (p + 1) / parti, p, risultati[p], lavoro);
    });
    t->Unisci(risultati, lavoro);
    if (t->posti_.size() != d.righe) {
        throw Danno{};
    }
    if (t->tenute_) {
        for (std::size_t q = 0; q < n; ++q) {
            t->tenute_->dove.emplace(d.pagine[q],
                                     t->tenute_->elencate.data() + q * d.piano.dimPagina);
        }
    }
    t->controllo_ = std::make_unique<Accesso>(t->def_, t->impronte_, t->tenute_.get(), false);
    if (lavoro != nullptr) {
        lavoro->Finisci();
    }
    return t;
}

void RigheTabella::LeggiParte(std::size_t prima, std::size_t fine, std::size_t parte, Parte& out,
                              LavoroRighe* lavoro) {
    std::vector<unsigned char> blocco;
    const std::size_t dim = def_.piano.dimPagina;
    PerBlocchi(def_, prima, fine, nullptr, blocco, [&](const unsigned char* pg, std::size_t q) {
        const std::uint32_t pagina = def_.pagine[q];
        impronte_[pagina] = ImprontaPagina(pg, dim); // its own pages only
        if (tenute_) {
            std::memcpy(tenute_->elencate.data() + q * dim, pg, dim);
        }
        LeggiPagina(pg, pagina, parte, out, lavoro);
    });
}

void RigheTabella::LeggiPagina(const unsigned char* pg, std::uint32_t pagina, std::size_t parte,
                               Parte& out, LavoroRighe* lavoro) {
    const PianoRiga& piano = def_.piano;
    const Accesso accesso(def_, impronte_, tenute_.get(), true);
    if (pg[0] != 0x01 || U32(pg + 4) != def_.pagina) {
        throw Danno{}; // not a data page of this table
    }
    const std::size_t quante = U16(pg + piano.OffsetRighe());
    if (piano.OffsetRighe() + 2 + 2 * quante > piano.dimPagina) {
        throw Danno{};
    }
    out.primaRiga.push_back(static_cast<std::uint32_t>(out.posti.size()));
    for (std::size_t i = 0; i < quante; ++i) {
        const auto posto = PostoDiRiga(pg, piano, i);
        if (!posto || posto->cancellata) {
            continue;
        }
        if (!posto->integra || i > 0xFF) {
            throw Danno{}; // a row a row pointer cannot name is no row of Access
        }
        if (posto->spostata) {
            if (posto->fine - posto->inizio < 4) {
                throw Danno{};
            }
            out.spostate.push_back({out.posti.size(), U32(pg + posto->inizio)});
            out.posti.push_back(0);
            continue;
        }
        out.riga.Scomponi(piano, pg + posto->inizio, posto->fine - posto->inizio, &accesso);
        if (!piano.altriControllati.empty()) {
            out.riga.ControllaValori();
        }
        out.posti.push_back(pagina << 8 | static_cast<std::uint32_t>(i));
        if (lavoro != nullptr) {
            lavoro->ConsegnaRiga(parte, out.posti.size() - 1, out.riga);
        }
    }
}

// Where a moved row now is: at most a few steps away, on a data page of the
// table, at a row slot marked deleted.
std::pair<std::uint32_t, PostoRiga> RigheTabella::Destinazione(std::uint32_t puntatore) {
    const Accesso accesso(def_, impronte_, tenute_.get(), true);
    for (int passi = 0;; ++passi) {
        const std::uint32_t pagina = puntatore >> 8;
        if (passi > 8 || pagina == 0 || pagina >= def_.piano.pagineFile) {
            throw Danno{};
        }
        const unsigned char* pg = accesso.Pagina(pagina);
        const auto r = pg[0] == 0x01 ? PostoDiRiga(pg, def_.piano, puntatore & 0xFF) : std::nullopt;
        if (!r || U32(pg + 4) != def_.pagina || !r->integra) {
            throw Danno{};
        }
        if (!r->spostata) {
            return {puntatore, *r};
        }
        if (r->fine - r->inizio < 4) {
            throw Danno{};
        }
        puntatore = U32(pg + r->inizio);
    }
}

void RigheTabella::Unisci(std::vector<Parte>& parti, LavoroRighe* lavoro) {
    std::size_t base = 0;
    for (Parte& p : parti) {
        for (const std::uint32_t r : p.primaRiga) {
            primaRiga_.push_back(static_cast<std::uint32_t>(base + r));
        }
        posti_.insert(posti_.end(), p.posti.begin(), p.posti.end());
        base += p.posti.size();
    }
    primaRiga_.push_back(static_cast<std::uint32_t>(base));
    const Accesso accesso(def_, impronte_, tenute_.get(), true);
    Riga riga;
    base = 0;
    for (std::size_t parte = 0; parte < parti.size(); ++parte) {
        for (const Parte::Spostata& s : parti[parte].spostate) {
            const auto [puntatore, posto] = Destinazione(s.puntatore);
            const unsigned char* pg = accesso.Pagina(puntatore >> 8);
            riga.Copia(def_.piano, pg + posto.inizio, posto.fine - posto.inizio, &accesso);
            riga.ControllaValori();
            posti_[base + s.indice] = puntatore;
            if (lavoro != nullptr) {
                lavoro->ConsegnaRiga(parte, s.indice, riga);
            }
        }
        base += parti[parte].posti.size();
    }
}

void RigheTabella::Passa(LavoroRighe& lavoro) const {
    const std::size_t n = def_.pagine.size();
    const std::size_t parti = PartiPer(n);
    // The parts split the rows in halves, at a page's first row.
    std::vector<std::size_t> confini = {0};
    for (std::size_t p = 1; p < parti; ++p) {
        const auto meta = static_cast<std::uint32_t>(posti_.size() * p / parti);
        confini.push_back(static_cast<std::size_t>(
            std::lower_bound(primaRiga_.begin(), primaRiga_.end() - 1, meta) - primaRiga_.begin()));
    }
    confini.push_back(n);
    std::vector<std::size_t> basi;
    for (std::size_t p = 0; p < parti; ++p) {
        basi.push_back(primaRiga_[confini[p]]);
    }
    lavoro.Inizia(parti, posti_.size(), basi);
    InParallelo(parti, [&](std::size_t p) { PassaParte(confini[p], confini[p + 1], p, lavoro); });
    lavoro.Finisci();
}

void RigheTabella::PassaParte(std::size_t prima, std::size_t fine, std::size_t parte,
                              LavoroRighe& lavoro) const {
    const PianoRiga& piano = def_.piano;
    const std::size_t base = primaRiga_[prima];
    std::vector<unsigned char> blocco;
    Riga riga;
    PerBlocchi(def_, prima, fine, tenute_.get(), blocco,
               [&](const unsigned char* pg, std::size_t q) {
                   const std::uint32_t pagina = def_.pagine[q];
                   if (!tenute_ && ImprontaPagina(pg, piano.dimPagina) != impronte_[pagina]) {
                       throw Danno{}; // the file has changed since the table was read
                   }
                   for (std::size_t r = primaRiga_[q]; r < primaRiga_[q + 1]; ++r) {
                       if (posti_[r] >> 8 == pagina) {
                           const auto posto = PostoDiRiga(pg, piano, posti_[r] & 0xFF);
                           if (!posto || !posto->integra) {
                               throw Danno{};
                           }
                           riga.Scomponi(piano, pg + posto->inizio, posto->fine - posto->inizio,
                                         controllo_.get(), false);
                       } else {
                           Carica(r, riga); // a row Access moved to another page
                       }
                       lavoro.ConsegnaRiga(parte, r - base, riga);
                   }
               });
}

namespace {

// Pages no more than this far apart are read in one read with the pages
// between them: on a network share, cheaper than a round trip more.
constexpr std::size_t SaltoMassimo = 8;
// The most pages one gathering reads, so that what it reads stays in the
// thread's cache until it is used.
constexpr std::size_t RaccoltaMassima = 256;

struct Tratto {
    std::uint32_t prima;
    std::uint32_t ultima;
};

// The stretches of file that hold `pagine` (sorted, each once), at most
// RaccoltaMassima pages in all.
std::vector<Tratto> Tratti(const std::vector<std::uint32_t>& pagine) {
    std::vector<Tratto> tratti;
    std::size_t totale = 0;
    for (const std::uint32_t p : pagine) {
        if (!tratti.empty() && p - tratti.back().ultima <= SaltoMassimo + 1) {
            totale += p - tratti.back().ultima;
            tratti.back().ultima = p;
        } else {
            totale += 1;
            tratti.push_back({p, p});
        }
        if (totale >= RaccoltaMassima) {
            break;
        }
    }
    return tratti;
}

} // namespace

// The pages after those a search gathered, read in the background: the
// next search of a table whose rows lie in the order it is searched in
// (a room's guest cards after the room before's) finds them read.
struct RigheTabella::LetturaAvanti {
    std::mutex mutex;
    std::uint32_t prima = 0;
    std::future<std::vector<unsigned char>> dati;
    bool serve = true; // false once a reading ahead served no search
};

RigheTabella::RigheTabella(DefinizioneTabella d)
    : def_(std::move(d)), avanti_(std::make_unique<LetturaAvanti>()) {}

RigheTabella::~RigheTabella() = default;

// The pages of `pagine` the last reading ahead brought: into the cache, and
// out of `pagine`.
void RigheTabella::PrendiLettaAvanti(std::vector<std::uint32_t>& pagine) const {
    std::future<std::vector<unsigned char>> dati;
    std::uint32_t prima = 0;
    {
        const std::lock_guard<std::mutex> blocco(avanti_->mutex);
        if (!avanti_->dati.valid()) {
            return;
        }
        dati = std::move(avanti_->dati);
        prima = avanti_->prima;
    }
    const std::vector<unsigned char> letti = dati.get();
    const std::size_t dim = def_.piano.dimPagina;
    const std::size_t quante = letti.size() / dim;
    const auto fuori = std::remove_if(pagine.begin(), pagine.end(), [&](std::uint32_t p) {
        if (p < prima || p - prima >= quante) {
            return false;
        }
        MettiInCache(*def_.sorgente, p, impronte_[p], letti.data() + (p - prima) * dim, dim);
        return true;
    });
    if (fuori == pagine.end()) {
        const std::lock_guard<std::mutex> blocco(avanti_->mutex);
        avanti_->serve = false; // the rows are not read in the order they lie
    }
    pagine.erase(fuori, pagine.end());
}

void RigheTabella::LeggiAvanti(std::uint32_t prima, std::size_t quante) const {
    const std::lock_guard<std::mutex> blocco(avanti_->mutex);
    const std::size_t pagineFile = def_.piano.pagineFile;
    if (!avanti_->serve || avanti_->dati.valid() || prima >= pagineFile) {
        return;
    }
    quante = std::min({quante, pagineFile - prima, std::size_t{64}});
    avanti_->prima = prima;
    avanti_->dati = std::async(std::launch::async, [this, prima, quante] {
        const std::size_t byte = quante * def_.piano.dimPagina;
        std::vector<unsigned char> letti(byte);
        if (!def_.sorgente->Leggi(std::uint64_t{prima} * def_.piano.dimPagina, byte,
                                  letti.data())) {
            letti.clear(); // read again when asked for
        }
        ContaPagineSingole(letti.size());
        return letti;
    });
}

void RigheTabella::Raccogli(const std::uint32_t* righe, std::size_t n) const {
    const Sorgente& s = *def_.sorgente;
    if (tenute_ || s.Memoria() != nullptr) {
        return;
    }
    std::vector<std::uint32_t> pagine;
    for (std::size_t i = 0; i < n; ++i) {
        const std::uint32_t p = posti_.at(righe[i]) >> 8;
        if (impronte_[p] != 0 && !PaginaInCache(s, p, impronte_[p])) {
            pagine.push_back(p);
        }
    }
    std::sort(pagine.begin(), pagine.end());
    pagine.erase(std::unique(pagine.begin(), pagine.end()), pagine.end());
    if (pagine.empty()) {
        return;
    }
    const std::uint32_t ultima = pagine.back();
    const std::size_t ampiezza = ultima - pagine.front() + 1;
    PrendiLettaAvanti(pagine);
    LeggiAvanti(ultima + 1, ampiezza);
    if (pagine.size() < 2) {
        return; // one page: read when asked for
    }
    const std::vector<Tratto> tratti = Tratti(pagine);
    const std::size_t dim = def_.piano.dimPagina;
    std::vector<std::vector<unsigned char>> letti(tratti.size());
    // Up to four reads at once: on a network share each waits for its
    // round trip, not for the processor.
    const std::size_t parti = std::min<std::size_t>(tratti.size(), 4);
    InParallelo(parti, [&](std::size_t parte) {
        for (std::size_t k = parte; k < tratti.size(); k += parti) {
            const std::size_t byte = (tratti[k].ultima - tratti[k].prima + 1) * dim;
            letti[k].resize(byte);
            if (!s.Leggi(std::uint64_t{tratti[k].prima} * dim, byte, letti[k].data())) {
                throw Danno{};
            }
            ContaPagineSingole(byte);
        }
    });
    std::size_t j = 0;
    for (std::size_t k = 0; k < tratti.size(); ++k) {
        for (; j < pagine.size() && pagine[j] <= tratti[k].ultima; ++j) {
            MettiInCache(s, pagine[j], impronte_[pagine[j]],
                         letti[k].data() + (pagine[j] - tratti[k].prima) * dim, dim);
        }
    }
}

void RigheTabella::Carica(std::size_t indice, Riga& r) const {
    const std::uint32_t pagina = posti_[indice] >> 8;
    const unsigned char* pg = controllo_->Pagina(pagina);
    const auto posto = PostoDiRiga(pg, def_.piano, posti_[indice] & 0xFF);
    if (!posto || !posto->integra) {
        throw Danno{};
    }
    r.Copia(def_.piano, pg + posto->inizio, posto->fine - posto->inizio, controllo_.get(), false);
}

} // namespace vdx::jet
