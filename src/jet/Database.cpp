#include "jet/Database.h"

#include "jet/Criteri.h"
#include "jet/FileMdb.h"
#include "jet/Tabella.h"
#include "jet/Vista.h"
#include "shared/Cp1252.h"
#include "shared/Error.h"
#include "shared/FileNames.h"

#include <map>

namespace vdx::jet {

namespace {

std::string senzaSpazi(std::string_view s) {
    std::size_t a = 0;
    std::size_t b = s.size();
    while (a < b && (s[a] == ' ' || s[a] == '\t' || s[a] == '\r' || s[a] == '\n')) {
        ++a;
    }
    while (b > a && (s[b - 1] == ' ' || s[b - 1] == '\t' || s[b - 1] == '\r' || s[b - 1] == '\n' ||
                     s[b - 1] == ';')) {
        --b;
    }
    return std::string(s.substr(a, b - a));
}

std::unique_ptr<FileMdb> apriFile(const std::filesystem::path& cartella, std::string_view nome) {
    const auto trovato = TrovaFile(cartella, nome);
    if (!trovato || !std::filesystem::is_regular_file(*trovato)) {
        throw Error(err::DatabaseNotFound, "Impossibile trovare il file '" +
                                               NomeNelMessaggio(cartella / std::string(nome)) +
                                               "'.");
    }
    return std::make_unique<FileMdb>(*trovato);
}

} // namespace

struct Recordset::Impl {
    std::shared_ptr<const Vista> vista;
    std::size_t posizione = 0; // current record, in set order (past the end: none)
    bool noMatch = false;
    bool usaIndici = true;
    std::vector<Ordinamento> ordinamento; // for the next OpenRecordset()
    std::string ultimoTesto;
    std::unique_ptr<CriterioRisolto> ultimo;
    Vista::Segno segno; // where the last search by `ultimo` ended
    // The current record's row, once a field of it is read, and the fields
    // asked for by name.
    mutable Riga riga;
    mutable std::size_t rigaLetta = Vista::nessuna;
    mutable std::vector<std::pair<std::string, int>> campi;

    const CriterioRisolto& criterio(std::string_view testo);
    bool trova(std::string_view testo, std::size_t da, bool avanti);
    int colonna(std::string_view nome) const;
};

// ---------------------------------------------------------------- Database

struct Database::Impl {
    std::filesystem::path cartella;
    std::filesystem::path percorso;
    std::unique_ptr<FileMdb> file;
    std::map<std::string, std::shared_ptr<const Vista>> viste; // by upper-case table name

    FileMdb& aperto() {
        if (!file) {
            throw Error(err::InvalidCall,
                        "Il database '" + NomeNelMessaggio(percorso) + "' e' stato chiuso.");
        }
        return *file;
    }

    // Every row of a table, as stored; read from the file once.
    std::shared_ptr<const Vista> vista(std::string_view tabella) {
        const std::string chiave = MaiuscoleCp1252(tabella);
        auto it = viste.find(chiave);
        if (it != viste.end()) {
            return it->second;
        }
        auto v = std::make_shared<const Vista>(aperto().leggi(tabella));
        viste.emplace(chiave, v);
        return v;
    }

    std::shared_ptr<const Vista> selezione(const Selezione& s);
};

std::shared_ptr<const Vista> Database::Impl::selezione(const Selezione& s) {
    std::shared_ptr<const Vista> base = vista(s.tabella);
    const Tabella& t = base->tabella();
    std::shared_ptr<const Vista> risultato = base;
    if (!s.dove.termini.empty() || !s.dove.sottoSelezioni.empty()) {
        CriterioRisolto c(s.dove.termini, t);
        for (const SottoSelezione& sotto : s.dove.sottoSelezioni) {
            const int colonna = t.campoRichiesto(sotto.campo);
            // The inner select reads its own file (or this one), as it is now.
            std::unique_ptr<FileMdb> altro;
            std::shared_ptr<const Vista> interna;
            if (sotto.file.empty()) {
                interna = vista(sotto.tabella);
            } else {
                altro = apriFile(cartella, sotto.file);
                interna = std::make_shared<const Vista>(altro->leggi(sotto.tabella));
            }
            const Tabella& ti = interna->tabella();
            const int colonnaInterna = ti.campoRichiesto(sotto.colonna);
            const CriterioRisolto ci(sotto.criteri, ti);
            std::vector<Valore> valori;
            for (std::uint32_t r : interna->filtra(ci)) {
                valori.push_back(ti.valore(r, colonnaInterna));
            }
            c.aggiungiAppartenenza(t, colonna, valori);
        }
        risultato = std::make_shared<const Vista>(base->condivisa(), base->filtra(c));
    }
    if (!s.ordine.empty() && risultato == base) {
        // Every row in order: worked out when first needed.
        risultato = std::make_shared<const Vista>(base->condivisa(), s.ordine);
    } else if (!s.ordine.empty()) {
        risultato = std::make_shared<const Vista>(base->condivisa(), risultato->ordina(s.ordine));
    }
    return risultato;
}

Database::Database(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}

Database::~Database() = default;

std::shared_ptr<Database> Database::OpenDatabase(const std::filesystem::path& folder,
                                                 std::string_view name) {
    auto impl = std::make_unique<Impl>();
    impl->cartella = folder;
    impl->file = apriFile(folder, name);
    impl->percorso = impl->file->percorso();
    return std::shared_ptr<Database>(new Database(std::move(impl)));
}

Recordset Database::OpenRecordset(std::string_view source) {
    impl_->aperto();
    std::shared_ptr<const Vista> v;
    if (ESelezione(source)) {
        v = impl_->selezione(AnalizzaSelezione(source));
    } else {
        std::string nome = senzaSpazi(source);
        if (nome.size() >= 2 && nome.front() == '[' && nome.back() == ']') {
            nome = nome.substr(1, nome.size() - 2);
        }
        if (nome.empty() || nome.find_first_of("'\"=<>()*,") != std::string::npos) {
            throw Error(err::QuerySyntax,
                        "Il testo di selezione non e' compreso: non e' il nome di una tabella ne' "
                        "\"Select * From ...\". Il testo e': " +
                            std::string(source));
        }
        v = impl_->vista(nome);
    }
    auto r = std::make_unique<Recordset::Impl>();
    r->vista = std::move(v);
    // The first record, if any: the rows are read when first needed.
    r->posizione = 0;
    return Recordset(std::move(r));
}

std::vector<std::string> Database::NomiTabelle() const {
    return impl_->aperto().tabelle();
}

const std::filesystem::path& Database::percorso() const {
    return impl_->percorso;
}

void Database::Close() {
    impl_->file.reset();
    impl_->viste.clear();
}

// ---------------------------------------------------------------- Recordset

Recordset::Recordset() = default;
Recordset::~Recordset() = default;
Recordset::Recordset(Recordset&&) noexcept = default;
Recordset& Recordset::operator=(Recordset&&) noexcept = default;
Recordset::Recordset(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}

Recordset::Impl& Recordset::vivo() const {
    if (!impl_) {
        throw Error(err::InvalidCall, "Il recordset non e' aperto.");
    }
    return *impl_;
}

const CriterioRisolto& Recordset::Impl::criterio(std::string_view testo) {
    // The same criterion is often given again (FindFirst, then FindNext):
    // parse it once.
    if (!ultimo || testo != ultimoTesto) {
        const Criterio c = AnalizzaCriterio(testo);
        ultimo = std::make_unique<CriterioRisolto>(c.termini, vista->tabella());
        ultimoTesto.assign(testo);
        segno = {};
    }
    return *ultimo;
}

int Recordset::Impl::colonna(std::string_view nome) const {
    for (const auto& [n, c] : campi) {
        if (n == nome) {
            return c;
        }
    }
    const int c = vista->tabella().campoRichiesto(nome);
    if (campi.size() < 32) {
        campi.emplace_back(std::string(nome), c);
    }
    return c;
}

bool Recordset::Impl::trova(std::string_view testo, std::size_t da, bool avanti) {
    const CriterioRisolto& c = criterio(testo);
    const std::size_t pos = vista->trova(c, da, avanti, usaIndici, &segno);
    noMatch = pos == Vista::nessuna;
    if (!noMatch) {
        posizione = pos;
    }
    return !noMatch;
}

bool Recordset::FindFirst(std::string_view criteria) {
    return vivo().trova(criteria, 0, true);
}

bool Recordset::FindNext(std::string_view criteria) {
    Impl& i = vivo();
    const bool corrente = i.posizione != Vista::nessuna && i.posizione < i.vista->size();
    return i.trova(criteria, corrente ? i.posizione + 1 : 0, true);
}

bool Recordset::FindLast(std::string_view criteria) {
    return vivo().trova(criteria, Vista::nessuna, false); // from the last record
}

bool Recordset::NoMatch() const {
    return vivo().noMatch;
}

Valore Recordset::Campo(std::string_view name) const {
    const Impl& i = vivo();
    const Tabella& t = i.vista->tabella();
    const int colonna = i.colonna(name);
    if (i.posizione == Vista::nessuna || i.posizione >= i.vista->size()) {
        throw Error(err::NoCurrentRecord, "Nessun record corrente: il campo '" + std::string(name) +
                                              "' di '" + t.nome() + "' non si puo' leggere.");
    }
    const std::size_t riga = i.vista->riga(i.posizione);
    if (i.rigaLetta != riga) {
        i.rigaLetta = Vista::nessuna;
        t.riga(riga, i.riga);
        i.rigaLetta = riga;
    }
    const auto c = static_cast<std::size_t>(colonna);
    try {
        return Tabella::ValoreDi(i.riga, c, t.colonne()[c].tipo);
    } catch (const Danno&) {
        t.danneggiata();
    }
}

void Recordset::Sort(std::string_view sortText) {
    Impl& i = vivo();
    i.ordinamento = AnalizzaOrdinamento(sortText);
    for (const Ordinamento& o : i.ordinamento) {
        i.vista->tabella().campoRichiesto(o.campo);
    }
}

Recordset Recordset::OpenRecordset() const {
    const Impl& i = vivo();
    auto r = std::make_unique<Impl>();
    if (i.ordinamento.empty()) {
        r->vista = i.vista;
    } else {
        r->vista =
            std::make_shared<const Vista>(i.vista->condivisa(), i.vista->ordina(i.ordinamento));
    }
    r->usaIndici = i.usaIndici;
    r->posizione = 0;
    return Recordset(std::move(r));
}

std::size_t Recordset::RecordCount() const {
    return vivo().vista->size();
}

void Recordset::MoveFirst() {
    vivo().posizione = 0;
}

void Recordset::MoveNext() {
    Impl& i = vivo();
    if (i.posizione == Vista::nessuna) {
        i.posizione = i.vista->size();
    } else if (i.posizione < i.vista->size()) {
        ++i.posizione;
    }
}

bool Recordset::Fine() const {
    const Impl& i = vivo();
    return i.posizione == Vista::nessuna || i.posizione >= i.vista->size();
}

std::vector<std::string> Recordset::NomiCampi() const {
    std::vector<std::string> v;
    for (const CampoTabella& c : vivo().vista->tabella().colonne()) {
        v.push_back(c.nome);
    }
    return v;
}

std::vector<TipoCampo> Recordset::TipiCampi() const {
    std::vector<TipoCampo> v;
    for (const CampoTabella& c : vivo().vista->tabella().colonne()) {
        v.push_back(c.tipo);
    }
    return v;
}

void Recordset::UsaIndici(bool si) {
    vivo().usaIndici = si;
}

bool Recordset::aperto() const {
    return impl_ != nullptr;
}

void Recordset::Close() {
    impl_.reset();
}

} // namespace vdx::jet
