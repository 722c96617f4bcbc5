#include "jet/Database.h"

#include "jet/AnalisiCriteri.h"
#include "jet/FileMdb.h"
#include "jet/Tabella.h"
#include "jet/Vista.h"
#include "shared/Cp1252.h"
#include "shared/Errore.h"
#include "shared/NomiFile.h"

#include <map>

namespace vdx::jet {

namespace {

std::string SenzaSpazi(std::string_view s) {
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

std::unique_ptr<FileMdb> ApriFile(const std::filesystem::path& cartella, std::string_view nome) {
    const auto trovato = TrovaFile(cartella, nome);
    if (!trovato || !std::filesystem::is_regular_file(*trovato)) {
        throw Errore(errore::DatabaseNonTrovato,
                     "Impossibile trovare il file '" +
                         NomeNelMessaggio(cartella / std::string(nome)) + "'.");
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

    const CriterioRisolto& Risolvi(std::string_view testo);
    bool Trova(std::string_view testo, std::size_t da, bool avanti);
    int IndiceColonna(std::string_view nome) const;
};

// ---------------------------------------------------------------- Database

struct Archivi::Stato {
    std::filesystem::path cartella;
    std::map<std::string, std::shared_ptr<Database>> aperti; // by upper-case file name
};

struct Database::Impl {
    std::filesystem::path cartella;
    std::filesystem::path percorso;
    std::unique_ptr<FileMdb> file;
    std::weak_ptr<Archivi::Stato> archivi;                     // the run it belongs to, if any
    std::map<std::string, std::shared_ptr<const Vista>> viste; // by upper-case table name

    FileMdb& Aperto() {
        if (!file) {
            throw Errore(errore::ChiamataNonValida,
                         "Il database '" + NomeNelMessaggio(percorso) + "' \xE8 stato chiuso.");
        }
        return *file;
    }

    // Every row of a table, as stored; read from the file once.
    std::shared_ptr<const Vista> VistaDi(std::string_view tabella) {
        const std::string chiave = MaiuscoleCp1252(tabella);
        auto it = viste.find(chiave);
        if (it != viste.end()) {
            return it->second;
        }
        auto v = std::make_shared<const Vista>(Aperto().Leggi(tabella));
        viste.emplace(chiave, v);
        return v;
    }

    std::shared_ptr<const Vista> ApriSelezione(const Selezione& s);
};

std::shared_ptr<const Vista> Database::Impl::ApriSelezione(const Selezione& s) {
    std::shared_ptr<const Vista> intera = VistaDi(s.tabella);
    const Tabella& t = intera->Base();
    std::shared_ptr<const Vista> risultato = intera;
    if (!s.dove.termini.empty() || !s.dove.sottoSelezioni.empty()) {
        CriterioRisolto c(s.dove.termini, t);
        for (const SottoSelezione& sotto : s.dove.sottoSelezioni) {
            const int colonna = t.IndiceCampoRichiesto(sotto.campo);
            // The inner select reads its own file (or this one): the run's
            // reading of it, or the file as it is now.
            std::unique_ptr<FileMdb> altro;
            std::shared_ptr<const Vista> interna;
            const std::shared_ptr<Archivi::Stato> corsa = archivi.lock();
            if (sotto.file.empty()) {
                interna = VistaDi(sotto.tabella);
            } else if (corsa) {
                interna = Archivi::ApriIn(corsa, sotto.file)->impl_->VistaDi(sotto.tabella);
            } else {
                altro = ApriFile(cartella, sotto.file);
                interna = std::make_shared<const Vista>(altro->Leggi(sotto.tabella));
            }
            const Tabella& ti = interna->Base();
            const int colonnaInterna = ti.IndiceCampoRichiesto(sotto.colonna);
            const CriterioRisolto ci(sotto.criteri, ti);
            std::vector<Valore> valori;
            for (std::uint32_t r : interna->Filtra(ci)) {
                valori.push_back(ti.ValoreCella(r, colonnaInterna));
            }
            c.AggiungiAppartenenza(t, colonna, valori);
        }
        risultato = std::make_shared<const Vista>(intera->BaseCondivisa(), intera->Filtra(c));
    }
    if (!s.ordine.empty() && risultato == intera) {
        // Every row in order: worked out when first needed.
        risultato = std::make_shared<const Vista>(intera->BaseCondivisa(), s.ordine);
    } else if (!s.ordine.empty()) {
        risultato =
            std::make_shared<const Vista>(intera->BaseCondivisa(), risultato->Ordina(s.ordine));
    }
    return risultato;
}

Database::Database(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}

Database::~Database() = default;

std::shared_ptr<Database> Database::OpenDatabase(const std::filesystem::path& cartella,
                                                 std::string_view nome) {
    auto impl = std::make_unique<Impl>();
    impl->cartella = cartella;
    impl->file = ApriFile(cartella, nome);
    impl->percorso = impl->file->Percorso();
    return std::shared_ptr<Database>(new Database(std::move(impl)));
}

Recordset Database::OpenRecordset(std::string_view origine) {
    impl_->Aperto();
    std::shared_ptr<const Vista> v;
    if (DiSelezione(origine)) {
        v = impl_->ApriSelezione(AnalizzaSelezione(origine));
    } else {
        std::string nome = SenzaSpazi(origine);
        if (nome.size() >= 2 && nome.front() == '[' && nome.back() == ']') {
            nome = nome.substr(1, nome.size() - 2);
        }
        if (nome.empty() || nome.find_first_of("'\"=<>()*,") != std::string::npos) {
            throw Errore(
                errore::SintassiSelezione,
                "Il testo di selezione non \xE8 compreso: non \xE8 il nome di una tabella n\xE9 "
                "\"Select * From ...\". Il testo \xE8: " +
                    std::string(origine));
        }
        v = impl_->VistaDi(nome);
    }
    auto r = std::make_unique<Recordset::Impl>();
    r->vista = std::move(v);
    // The first record, if any: the rows are read when first needed.
    r->posizione = 0;
    return Recordset(std::move(r));
}

std::vector<std::string> Database::NomiTabelle() const {
    return impl_->Aperto().Tabelle();
}

const std::filesystem::path& Database::Percorso() const {
    return impl_->percorso;
}

void Database::Close() {
    impl_->file.reset();
    impl_->viste.clear();
}

// ---------------------------------------------------------------- Archivi

Archivi::Archivi(std::filesystem::path cartella) : stato_(std::make_shared<Stato>()) {
    stato_->cartella = std::move(cartella);
}

Archivi::~Archivi() = default;

std::shared_ptr<Database> Archivi::ApriIn(const std::shared_ptr<Stato>& stato,
                                          std::string_view nome) {
    const std::string chiave = MaiuscoleCp1252(nome);
    auto it = stato->aperti.find(chiave);
    if (it == stato->aperti.end()) {
        auto impl = std::make_unique<Database::Impl>();
        impl->cartella = stato->cartella;
        impl->file = ApriFile(stato->cartella, nome);
        impl->percorso = impl->file->Percorso();
        impl->archivi = stato;
        it = stato->aperti.emplace(chiave, std::shared_ptr<Database>(new Database(std::move(impl))))
                 .first;
    }
    return it->second;
}

std::shared_ptr<Database> Archivi::Apri(std::string_view nome) {
    return ApriIn(stato_, nome);
}

const std::filesystem::path& Archivi::Cartella() const {
    return stato_->cartella;
}

// ---------------------------------------------------------------- Recordset

Recordset::Recordset() = default;
Recordset::~Recordset() = default;
Recordset::Recordset(Recordset&&) noexcept = default;
Recordset& Recordset::operator=(Recordset&&) noexcept = default;
Recordset::Recordset(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}

Recordset::Impl& Recordset::Vivo() const {
    if (!impl_) {
        throw Errore(errore::ChiamataNonValida, "Il recordset non \xE8 aperto.");
    }
    return *impl_;
}

const CriterioRisolto& Recordset::Impl::Risolvi(std::string_view testo) {
    // The same criterion is often given again (FindFirst, then FindNext):
    // parse it once.
    if (!ultimo || testo != ultimoTesto) {
        const Criterio c = AnalizzaCriterio(testo);
        ultimo = std::make_unique<CriterioRisolto>(c.termini, vista->Base());
        ultimoTesto.assign(testo);
        segno = {};
    }
    return *ultimo;
}

int Recordset::Impl::IndiceColonna(std::string_view nome) const {
    for (const auto& [n, c] : campi) {
        if (n == nome) {
            return c;
        }
    }
    const int c = vista->Base().IndiceCampoRichiesto(nome);
    if (campi.size() < 32) {
        campi.emplace_back(std::string(nome), c);
    }
    return c;
}

bool Recordset::Impl::Trova(std::string_view testo, std::size_t da, bool avanti) {
    const CriterioRisolto& c = Risolvi(testo);
    const std::size_t pos = vista->Trova(c, da, avanti, usaIndici, &segno);
    noMatch = pos == Vista::nessuna;
    if (!noMatch) {
        posizione = pos;
    }
    return !noMatch;
}

bool Recordset::FindFirst(std::string_view criterio) {
    return Vivo().Trova(criterio, 0, true);
}

bool Recordset::FindNext(std::string_view criterio) {
    Impl& i = Vivo();
    const bool corrente = i.posizione != Vista::nessuna && i.posizione < i.vista->NumeroRighe();
    return i.Trova(criterio, corrente ? i.posizione + 1 : 0, true);
}

bool Recordset::FindLast(std::string_view criterio) {
    return Vivo().Trova(criterio, Vista::nessuna, false); // from the last record
}

bool Recordset::NoMatch() const {
    return Vivo().noMatch;
}

Valore Recordset::Campo(std::string_view nome) const {
    const Impl& i = Vivo();
    const Tabella& t = i.vista->Base();
    const int colonna = i.IndiceColonna(nome);
    if (i.posizione == Vista::nessuna || i.posizione >= i.vista->NumeroRighe()) {
        throw Errore(errore::NessunRecordCorrente, "Nessun record corrente: il campo '" +
                                                       std::string(nome) + "' di '" + t.Nome() +
                                                       "' non si pu\xF2 leggere.");
    }
    const std::size_t riga = i.vista->RigaNumero(i.posizione);
    if (i.rigaLetta != riga) {
        i.rigaLetta = Vista::nessuna;
        t.LeggiRiga(riga, i.riga);
        i.rigaLetta = riga;
    }
    const auto c = static_cast<std::size_t>(colonna);
    try {
        return Tabella::ValoreDi(i.riga, c, t.Colonne()[c].tipo);
    } catch (const Danno&) {
        t.Danneggiata();
    }
}

void Recordset::Sort(std::string_view ordine) {
    Impl& i = Vivo();
    i.ordinamento = AnalizzaOrdinamento(ordine);
    for (const Ordinamento& o : i.ordinamento) {
        i.vista->Base().IndiceCampoRichiesto(o.campo);
    }
}

Recordset Recordset::OpenRecordset() const {
    const Impl& i = Vivo();
    auto r = std::make_unique<Impl>();
    if (i.ordinamento.empty()) {
        r->vista = i.vista;
    } else {
        r->vista =
            std::make_shared<const Vista>(i.vista->BaseCondivisa(), i.vista->Ordina(i.ordinamento));
    }
    r->usaIndici = i.usaIndici;
    r->posizione = 0;
    return Recordset(std::move(r));
}

std::size_t Recordset::RecordCount() const {
    return Vivo().vista->NumeroRighe();
}

void Recordset::MoveFirst() {
    Vivo().posizione = 0;
}

void Recordset::MoveNext() {
    Impl& i = Vivo();
    if (i.posizione == Vista::nessuna) {
        i.posizione = i.vista->NumeroRighe();
    } else if (i.posizione < i.vista->NumeroRighe()) {
        ++i.posizione;
    }
}

bool Recordset::Fine() const {
    const Impl& i = Vivo();
    return i.posizione == Vista::nessuna || i.posizione >= i.vista->NumeroRighe();
}

std::vector<std::string> Recordset::NomiCampi() const {
    std::vector<std::string> v;
    for (const CampoTabella& c : Vivo().vista->Base().Colonne()) {
        v.push_back(c.nome);
    }
    return v;
}

std::vector<TipoCampo> Recordset::TipiCampi() const {
    std::vector<TipoCampo> v;
    for (const CampoTabella& c : Vivo().vista->Base().Colonne()) {
        v.push_back(c.tipo);
    }
    return v;
}

void Recordset::UsaIndici(bool si) {
    Vivo().usaIndici = si;
}

bool Recordset::Aperto() const {
    return impl_ != nullptr;
}

void Recordset::Close() {
    impl_.reset();
}

} // namespace vdx::jet
