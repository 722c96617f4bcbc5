#include "jet/Tabella.h"

#include "jet/FileMdb.h"
#include "shared/Cp1252.h"
#include "shared/Errore.h"

#include <algorithm>
#include <cstdlib>
#include <new>
#include <sys/mman.h>

namespace vdx::jet {

// ---------------------------------------------------------------- ColonnaLetta

bool ColonnaLetta::Intera() const {
    return TipoIntero(tipo);
}

void ColonnaLetta::Riserva(std::size_t righe) {
    presente.reserve(righe);
    if (Testuale()) {
        fine.reserve(righe);
        testi.reserve(righe * 8);
    } else if (Intera()) {
        interi.reserve(righe);
    } else {
        reali.reserve(righe);
    }
}

void ColonnaLetta::AggiungiNullo() {
    presente.push_back(0);
    if (Testuale()) {
        fine.push_back(static_cast<std::uint32_t>(testi.size()));
    } else if (Intera()) {
        interi.push_back(0);
    } else {
        reali.push_back(0);
    }
}

void ColonnaLetta::AggiungiIntero(std::int64_t v) {
    presente.push_back(1);
    interi.push_back(v);
}

void ColonnaLetta::AggiungiReale(double v) {
    presente.push_back(1);
    reali.push_back(v);
}

void ColonnaLetta::AggiungiTesto(std::string_view bytes) {
    presente.push_back(1);
    testi.insert(testi.end(), bytes.begin(), bytes.end());
    fine.push_back(static_cast<std::uint32_t>(testi.size()));
}

// ---------------------------------------------------------------- Tabella

bool CampoTabella::Intera() const {
    return TipoIntero(tipo);
}

Tabella::Tabella(std::string nome, std::vector<CampoTabella> colonne,
                 DefinizioneTabella definizione, std::function<DefinizioneTabella()> rileggi,
                 std::string file)
    : nome_(std::move(nome)), colonne_(std::move(colonne)), dichiarate_(definizione.righe),
      byteDelFile_(definizione.sorgente ? definizione.sorgente->Dimensione() : 0),
      file_(std::move(file)), definizione_(std::move(definizione)), rileggi_(std::move(rileggi)) {}

void Tabella::Danneggiata() const {
    throw ErroreTabellaDanneggiata(file_, nome_);
}

// The rows, read the first time (with `lavoro`, if any); later `lavoro` is
// done in a pass of its own.
const RigheTabella& Tabella::RigheLette(LavoroRighe* lavoro) const {
    const RigheTabella* r = righeLette_.load(std::memory_order_acquire);
    if (r == nullptr) {
        std::lock_guard<std::mutex> blocco(mutex_);
        if (!righe_) {
            Leggi(lavoro);
            righeLette_.store(righe_.get(), std::memory_order_release);
            return *righe_;
        }
        r = righe_.get();
    }
    if (lavoro != nullptr) {
        try {
            r->Passa(*lavoro);
        } catch (const Danno&) {
            Danneggiata();
        }
    }
    return *r;
}

// The first reading; damage makes the table be read once more from the file.
void Tabella::Leggi(LavoroRighe* lavoro) const {
    if (guasta_) {
        Danneggiata();
    }
    try {
        righe_ = RigheTabella::Leggi(definizione_, lavoro);
    } catch (const Danno&) {
        guasta_ = true;
        if (!rileggi_) {
            Danneggiata();
        }
        DefinizioneTabella nuova = std::exchange(rileggi_, nullptr)();
        const auto tipi = [](const DefinizioneTabella& d) {
            std::vector<int> v;
            for (const PianoColonna& c : d.piano.colonne) {
                v.push_back(c.tipo);
            }
            return v;
        };
        if (tipi(nuova) != tipi(definizione_)) {
            Danneggiata(); // not the table read a moment ago
        }
        try {
            righe_ = RigheTabella::Leggi(std::move(nuova), lavoro);
        } catch (const Danno&) {
            Danneggiata();
        }
        guasta_ = false;
    }
    definizione_ = DefinizioneTabella{};
}

std::size_t Tabella::NumeroRighe() const {
    return RigheLette(nullptr).NumeroRighe();
}

void Tabella::PerOgniRiga(LavoroRighe& lavoro) const {
    RigheLette(&lavoro);
}

void Tabella::LeggiRiga(std::size_t r, Riga& riga) const {
    const RigheTabella& righe = RigheLette(nullptr);
    try {
        righe.Carica(r, riga);
    } catch (const Danno&) {
        Danneggiata();
    }
}

void Tabella::Raccogli(const std::uint32_t* righe, std::size_t n) const {
    const RigheTabella& lette = RigheLette(nullptr);
    try {
        lette.Raccogli(righe, n);
    } catch (const Danno&) {
        Danneggiata();
    }
}

Valore Tabella::ValoreDi(const Riga& riga, std::size_t colonna, TipoCampo tipo) {
    if (riga.Nullo(colonna)) {
        return Valore::NulloDi(tipo);
    }
    if (tipo == TipoCampo::Text || tipo == TipoCampo::Memo || tipo == TipoCampo::Other) {
        std::string buffer;
        return Valore::Testo(std::string(riga.Testo(colonna, buffer)), tipo);
    }
    if (TipoIntero(tipo)) {
        return Valore::Intero(riga.Intero(colonna), tipo);
    }
    return Valore::Reale(riga.Reale(colonna), tipo);
}

Valore Tabella::ValoreCella(std::size_t r, int colonna) const {
    Riga letta;
    LeggiRiga(r, letta);
    try {
        return ValoreDi(letta, static_cast<std::size_t>(colonna),
                        colonne_[static_cast<std::size_t>(colonna)].tipo);
    } catch (const Danno&) {
        Danneggiata();
    }
}

int Tabella::IndiceCampo(std::string_view nome) const {
    // Names may be written between brackets, as in a sort text.
    if (nome.size() >= 2 && nome.front() == '[' && nome.back() == ']') {
        nome = nome.substr(1, nome.size() - 2);
    }
    for (std::size_t i = 0; i < colonne_.size(); ++i) {
        if (UgualiSenzaMaiuscole(colonne_[i].nome, nome)) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

int Tabella::IndiceCampoRichiesto(std::string_view nome) const {
    const int c = IndiceCampo(nome);
    if (c >= 0) {
        return c;
    }
    const bool alterato = std::any_of(colonne_.begin(), colonne_.end(), [&](const CampoTabella& k) {
        return NomeAlterato(nome, k.nome);
    });
    if (alterato && !file_.empty()) {
        throw ErroreTabellaDanneggiata(file_, nome_);
    }
    // A field missing from a table whose rows are damaged is damage: the
    // rows are read (if they were not) before the field is said missing.
    RigheLette(nullptr);
    throw Errore(errore::CampoNonTrovato, "Elemento non trovato nell'insieme: la tabella '" +
                                              nome_ + "' non ha il campo '" + std::string(nome) +
                                              "'.");
}

int ConfrontaCelle(const ColonnaLetta& c, std::size_t a, std::size_t b) {
    const bool na = c.presente[a] == 0;
    const bool nb = c.presente[b] == 0;
    if (na || nb) {
        return na == nb ? 0 : (na ? -1 : 1);
    }
    if (c.Testuale()) {
        const int r =
            c.Testo(a).compare(c.Testo(b)); // char_traits<char> compares as unsigned bytes
        return r < 0 ? -1 : (r > 0 ? 1 : 0);
    }
    if (c.Intera()) {
        return c.interi[a] < c.interi[b] ? -1 : (c.interi[a] > c.interi[b] ? 1 : 0);
    }
    return c.reali[a] < c.reali[b] ? -1 : (c.reali[a] > c.reali[b] ? 1 : 0);
}

} // namespace vdx::jet
