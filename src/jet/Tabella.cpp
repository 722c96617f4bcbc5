#include "jet/Tabella.h"

#include "jet/FileMdb.h"
#include "shared/Cp1252.h"
#include "shared/Errore.h"
#include "shared/Numeri.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <new>
#include <sys/mman.h>

namespace vdx::jet {

// ---------------------------------------------------------------- Valore

Valore Valore::Testo(std::string bytes) {
    Valore v;
    v.tipo_ = TipoCampo::Text;
    v.nullo_ = false;
    v.testo_ = std::move(bytes);
    return v;
}

Valore Valore::Intero(std::int64_t n, TipoCampo tipo) {
    Valore v;
    v.tipo_ = tipo;
    v.nullo_ = false;
    v.intero_ = n;
    return v;
}

Valore Valore::Reale(double n, TipoCampo tipo) {
    Valore v;
    v.tipo_ = tipo;
    v.nullo_ = false;
    v.reale_ = n;
    return v;
}

Valore Valore::Denaro(std::int64_t decimillesimi) {
    return Intero(decimillesimi, TipoCampo::Currency);
}

Valore Valore::Data(double giorniDal1899) {
    return Reale(giorniDal1899, TipoCampo::DateTime);
}

Valore Valore::Booleano(bool b) {
    return Intero(b ? -1 : 0, TipoCampo::Boolean);
}

namespace {

bool ConIntero(TipoCampo t) {
    return t == TipoCampo::Boolean || t == TipoCampo::Byte || t == TipoCampo::Integer ||
           t == TipoCampo::Long || t == TipoCampo::Currency;
}

// Days since 30/12/1899 -> "dd/mm/yyyy" and, when the time is not midnight,
// " hh:mm:ss". Negative values count back from 30/12/1899 with the time of day
// taken as a positive fraction, as the engine stores them.
std::string TestoData(double giorni) {
    if (!std::isfinite(giorni) || std::fabs(giorni) > 3.0e6) {
        return TestoNumero(giorni);
    }
    double interi = std::trunc(giorni);
    double frazione = std::fabs(giorni - interi);
    long long secondiTotali = std::llround(frazione * 86400.0);
    if (secondiTotali >= 86400) {
        secondiTotali -= 86400;
        interi += giorni < 0 ? -1 : 1;
    }
    // Civil date from days since 1970-01-01 (30/12/1899 is day -25569).
    long long z = static_cast<long long>(interi) - 25569 + 719468;
    const long long era = (z >= 0 ? z : z - 146096) / 146097;
    const long long doe = z - era * 146097;
    const long long yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    long long y = yoe + era * 400;
    const long long doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const long long mp = (5 * doy + 2) / 153;
    const long long d = doy - (153 * mp + 2) / 5 + 1;
    const long long m = mp < 10 ? mp + 3 : mp - 9;
    if (m <= 2) {
        ++y;
    }
    char buf[128];
    if (secondiTotali == 0) {
        std::snprintf(buf, sizeof buf, "%02lld/%02lld/%04lld", d, m, y);
    } else {
        std::snprintf(buf, sizeof buf, "%02lld/%02lld/%04lld %02lld:%02lld:%02lld", d, m, y,
                      secondiTotali / 3600, (secondiTotali / 60) % 60, secondiTotali % 60);
    }
    return buf;
}

} // namespace

std::string TestoNumero(double v) {
    if (v == 0) {
        return "0";
    }
    std::array<char, 400> buf{};
    auto [end, ec] =
        std::to_chars(buf.data(), buf.data() + buf.size(), v, std::chars_format::fixed);
    if (ec != std::errc()) {
        return "0";
    }
    return std::string(buf.data(), end);
}

std::string TestoDecimillesimi(std::int64_t v) {
    const bool negativo = v < 0;
    const std::uint64_t a =
        negativo ? 0 - static_cast<std::uint64_t>(v) : static_cast<std::uint64_t>(v);
    std::string s = std::to_string(a / 10000);
    std::uint64_t frazione = a % 10000;
    if (frazione != 0) {
        char f[24];
        std::snprintf(f, sizeof f, "%04llu", static_cast<unsigned long long>(frazione));
        std::string cifre(f);
        while (!cifre.empty() && cifre.back() == '0') {
            cifre.pop_back();
        }
        s += "." + cifre;
    }
    return negativo ? "-" + s : s;
}

std::string Valore::ComeTesto() const {
    if (nullo_) {
        return {};
    }
    switch (tipo_) {
    case TipoCampo::Text:
    case TipoCampo::Memo:
    case TipoCampo::Other:
        return testo_;
    case TipoCampo::Boolean:
        return intero_ != 0 ? "True" : "False";
    case TipoCampo::Currency:
        return TestoDecimillesimi(intero_);
    case TipoCampo::Byte:
    case TipoCampo::Integer:
    case TipoCampo::Long:
        return std::to_string(intero_);
    case TipoCampo::Single: {
        // The shortest text of the single-precision value: 1.1, not 1.100000023841858.
        std::array<char, 64> buf{};
        const float f = static_cast<float>(reale_);
        if (f == 0) {
            return "0";
        }
        auto [end, ec] =
            std::to_chars(buf.data(), buf.data() + buf.size(), f, std::chars_format::fixed);
        return ec == std::errc() ? std::string(buf.data(), end) : TestoNumero(reale_);
    }
    case TipoCampo::Double:
        return TestoNumero(reale_);
    case TipoCampo::DateTime:
        return TestoData(reale_);
    }
    return testo_;
}

double Valore::ComeNumero() const {
    if (nullo_) {
        return 0;
    }
    if (tipo_ == TipoCampo::Currency) {
        return static_cast<double>(intero_) / 10000.0;
    }
    if (ConIntero(tipo_)) {
        return static_cast<double>(intero_);
    }
    if (tipo_ == TipoCampo::Text || tipo_ == TipoCampo::Memo || tipo_ == TipoCampo::Other) {
        return LeggiNumero(testo_);
    }
    return reale_;
}

std::int64_t Valore::ComeDenaro() const {
    if (nullo_) {
        return 0;
    }
    if (tipo_ == TipoCampo::Currency) {
        return intero_;
    }
    if (ConIntero(tipo_)) {
        return intero_ * 10000;
    }
    // Beyond the range of money the value is held at its ends.
    const double scalato = ComeNumero() * 10000.0;
    if (std::isnan(scalato)) {
        return 0;
    }
    if (scalato >= 9.2e18) {
        return std::numeric_limits<std::int64_t>::max();
    }
    if (scalato <= -9.2e18) {
        return std::numeric_limits<std::int64_t>::min();
    }
    return std::llround(scalato);
}

// ---------------------------------------------------------------- ColonnaLetta

bool ColonnaLetta::Intera() const {
    return ConIntero(tipo);
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
    return ConIntero(tipo);
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

// The rows, read the first time (with `Lavoro`, if any); later `Lavoro` is
// done in a pass of its own.
const RigheTabella& Tabella::Lette(LavoroRighe* lavoro) const {
    const RigheTabella* r = lette_.load(std::memory_order_acquire);
    if (r == nullptr) {
        std::lock_guard<std::mutex> blocco(mutex_);
        if (!righe_) {
            Leggi(lavoro);
            lette_.store(righe_.get(), std::memory_order_release);
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
    return Lette(nullptr).Size();
}

void Tabella::PerOgniRiga(LavoroRighe& lavoro) const {
    Lette(&lavoro);
}

void Tabella::LeggiRiga(std::size_t r, Riga& riga) const {
    const RigheTabella& righe = Lette(nullptr);
    try {
        righe.Carica(r, riga);
    } catch (const Danno&) {
        Danneggiata();
    }
}

void Tabella::Raccogli(const std::uint32_t* righe, std::size_t n) const {
    const RigheTabella& lette = Lette(nullptr);
    try {
        lette.Raccogli(righe, n);
    } catch (const Danno&) {
        Danneggiata();
    }
}

Valore Tabella::ValoreDi(const Riga& riga, std::size_t colonna, TipoCampo tipo) {
    if (riga.ENullo(colonna)) {
        Valore v;
        v.tipo_ = tipo;
        return v;
    }
    if (tipo == TipoCampo::Text || tipo == TipoCampo::Memo || tipo == TipoCampo::Other) {
        std::string buffer;
        Valore v = Valore::Testo(std::string(riga.Testo(colonna, buffer)));
        v.tipo_ = tipo;
        return v;
    }
    if (ConIntero(tipo)) {
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
    Lette(nullptr);
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
