#include "jet/Riga.h"

#include "jet/InteriPagina.h"
#include "shared/Cp1252.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <mdbtools.h>

namespace vdx::jet {

namespace {

// A NUMERIC value: a sign byte, then a 128-bit magnitude as four 32-bit
// little-endian words, the most significant first; divided by 10^scale.
double LeggiNumeric(const unsigned char* p, int scala) {
    long double v = 0;
    for (int k = 0; k < 4; ++k) {
        v = v * 4294967296.0L + static_cast<long double>(U32(p + 1 + 4 * k));
    }
    v /= std::pow(10.0L, scala);
    return static_cast<double>((p[0] & 0x80) != 0 ? -v : v);
}

// A long value is kept in the row (flag 0x80), in one long-value row (0x40)
// or in a chain of them, each beginning with the pointer to the next. The
// pieces must add up to the length the field states.
bool ValoreLungo(const unsigned char* p, std::size_t siz, const PianoRiga& piano,
                 const AccessoPagine* accesso, std::string& out) {
    out.clear();
    if (siz < MDB_MEMO_OVERHEAD) {
        return false;
    }
    const std::uint32_t testa = U32(p);
    const std::size_t lunghezza = testa & 0x3FFFFFFF;
    if ((testa & 0x80000000u) != 0) {
        const std::size_t n = std::min(lunghezza, siz - MDB_MEMO_OVERHEAD);
        out.assign(reinterpret_cast<const char*>(p + MDB_MEMO_OVERHEAD), n);
        return true;
    }
    if (accesso == nullptr || lunghezza > piano.pagineFile * piano.dimPagina) {
        return false; // no value is longer than its file
    }
    const bool unaRiga = (testa & 0x40000000u) != 0;
    std::uint32_t puntatore = U32(p + 4);
    for (std::size_t giri = 0; puntatore != 0 && out.size() < lunghezza; ++giri) {
        const std::uint32_t n = puntatore >> 8;
        if (giri > piano.pagineFile || n == 0 || n >= piano.pagineFile) {
            return false;
        }
        const unsigned char* pg = accesso->Pagina(n);
        const auto r = pg[0] == 0x01 ? PostoDiRiga(pg, piano, puntatore & 0xFF) : std::nullopt;
        if (!r || !r->integra) {
            return false;
        }
        const unsigned char* b = pg + r->inizio;
        const std::size_t len = r->fine - r->inizio;
        if (unaRiga) {
            out.append(reinterpret_cast<const char*>(b), std::min(len, lunghezza));
            break;
        }
        if (len < 4) {
            return false;
        }
        puntatore = U32(b);
        out.append(reinterpret_cast<const char*>(b + 4), len - 4);
    }
    if (out.size() > lunghezza) {
        out.resize(lunghezza);
    }
    return out.size() == lunghezza;
}

bool Lungo(int tipo) {
    return tipo == MDB_MEMO || tipo == MDB_OLE;
}

// The bytes a value of a number kind takes (0 for the other kinds).
unsigned LarghezzaNumero(int tipo) {
    switch (tipo) {
    case MDB_BYTE:
        return 1;
    case MDB_INT:
        return 2;
    case MDB_LONGINT:
    case MDB_FLOAT:
        return 4;
    case MDB_MONEY:
    case MDB_DOUBLE:
    case MDB_DATETIME:
        return 8;
    case MDB_NUMERIC:
        return 17;
    default:
        return 0;
    }
}

} // namespace

char Carattere1252(std::uint16_t c) {
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) {
        return static_cast<char>(c);
    }
    const int b = Cp1252DaUnicode(c);
    return b < 0 ? '?' : static_cast<char>(b);
}

bool DecodificaTesto4(const unsigned char* p, std::size_t n, std::string& out) {
    const std::size_t base = out.size();
    out.resize(base + n); // never more characters than bytes
    char* w = out.data() + base;
    const bool compresso = n >= 2 && p[0] == 0xFF && p[1] == 0xFE;
    if (compresso) {
        bool unByte = true;
        std::size_t i = 2;
        while (i < n) {
            if (p[i] == 0x00) {
                unByte = !unByte;
                ++i;
            } else if (unByte) {
                const unsigned char b = p[i++];
                *w++ = b < 0x80 || b >= 0xA0 ? static_cast<char>(b) : Carattere1252(b);
            } else {
                if (i + 1 >= n) {
                    break;
                }
                *w++ = Carattere1252(U16(p + i));
                i += 2;
            }
        }
    } else {
        for (std::size_t i = 0; i + 1 < n; i += 2) {
            *w++ = Carattere1252(U16(p + i));
        }
    }
    out.resize(static_cast<std::size_t>(w - out.data()));
    return n % 2 == 0 || compresso;
}

bool TestoEntra(const unsigned char* p, std::size_t n, std::size_t dimensione, bool jet3) {
    if (jet3 || n <= 2 || p[0] != 0xFF || p[1] != 0xFE) {
        return n <= dimensione; // as many bytes as characters, or two for each
    }
    if (n - 2 <= dimensione / 2) {
        return true; // compressed: never more characters than bytes
    }
    std::string testo;
    DecodificaTesto4(p, n, testo);
    return testo.size() <= dimensione / 2;
}

void PianoRiga::Prepara() {
    std::vector<std::pair<unsigned, std::size_t>> fisse; // (order, end)
    testiVariabili.clear();
    altriControllati.clear();
    const std::size_t area = jet3 ? 1 : 2;
    for (std::size_t c = 0; c < colonne.size(); ++c) {
        PianoColonna& k = colonne[c];
        k.booleana = k.tipo == MDB_BOOL;
        k.testo4 = k.tipo == MDB_TEXT && !jet3;
        k.larghezza = LarghezzaNumero(k.tipo);
        if (k.fissa) {
            fisse.emplace_back(k.ordineFisso, area + k.offset + k.dimensione);
        }
        if (!k.controllata || k.tipo == MDB_BOOL) {
            continue;
        }
        if (!jet3 && !k.fissa && k.tipo == MDB_TEXT) {
            if (testiVariabili.size() <= k.variabile) {
                testiVariabili.resize(k.variabile + 1);
            }
            testiVariabili[k.variabile] = {static_cast<int>(k.numero), k.dimensione};
        } else if (jet3 || Lungo(k.tipo) || (k.tipo == MDB_TEXT)) {
            altriControllati.push_back(c);
        }
    }
    std::sort(fisse.begin(), fisse.end());
    fineFisse.assign(1, 0);
    for (const auto& f : fisse) {
        fineFisse.push_back(std::max(fineFisse.back(), f.second));
    }
}

void Riga::Scomponi(const PianoRiga& piano, const unsigned char* dati, std::size_t n,
                    const AccessoPagine* lunghi, bool controlla) {
    piano_ = &piano;
    dati_ = dati;
    n_ = n;
    lunghi_ = lunghi;
    if (piano.jet3) {
        ScomponiJet3();
    } else {
        ScomponiJet4(controlla);
    }
    // The fixed fields a row holds end before its variable data begins (or
    // its null mask, without variable columns); Jet 4 variable fields end
    // inside the row, by their offsets.
    const std::size_t fisse = std::min(fissePresenti_, piano.fineFisse.size() - 1);
    std::size_t fineArea = n - maschera_;
    if (piano.variabili) {
        fineArea =
            piano.jet3 ? static_cast<std::size_t>(offsets3_.at(0)) : U16(dati + n - maschera_ - 4);
    }
    if (piano.fineFisse[fisse] > fineArea) {
        throw Danno{};
    }
    if (piano.jet3) {
        for (const PianoColonna& c : piano.colonne) {
            if (!c.fissa && c.variabile < variabili_ &&
                offsets3_[c.variabile + 1] > static_cast<long>(n)) {
                throw Danno{};
            }
        }
    }
}

void Riga::Copia(const PianoRiga& piano, const unsigned char* dati, std::size_t n,
                 const AccessoPagine* lunghi, bool controlla) {
    copia_.assign(dati, dati + n);
    Scomponi(piano, copia_.data(), n, lunghi, controlla);
}

// A Jet 4 row: its count of columns, then from its end the null mask, the
// count of variable fields and, before it, their offsets and the end of
// their data, last first, in order and inside the row.
void Riga::ScomponiJet4(bool controlla) {
    const unsigned char* r = dati_;
    const std::size_t n = n_;
    if (n < 3) {
        throw Danno{};
    }
    colonne_ = U16(r);
    maschera_ = (colonne_ + 7) / 8;
    if (colonne_ == 0 || colonne_ > piano_->massimo || 2 + maschera_ > n) {
        throw Danno{};
    }
    variabili_ = 0;
    if (piano_->variabili) {
        if (2 + maschera_ + 2 > n) {
            throw Danno{};
        }
        variabili_ = U16(r + n - maschera_ - 2);
        if (variabili_ > piano_->massimo || 2 + maschera_ + 2 + 2 * (variabili_ + 1) > n) {
            throw Danno{};
        }
        const std::size_t tabella = n - maschera_ - 2 - 2 * (variabili_ + 1);
        std::size_t prima = 2;
        for (std::size_t i = 0; controlla && i <= variabili_; ++i) {
            const std::size_t o = U16(r + n - maschera_ - 4 - 2 * i);
            if (o < prima || o > tabella) {
                throw Danno{};
            }
            if (i > 0) {
                ControllaTesto(i - 1, prima, o - prima);
            }
            prima = o;
        }
    }
    // As the engine reads it, a row whose variable fields outnumber its
    // columns holds every fixed field.
    fissePresenti_ =
        colonne_ >= variabili_ ? colonne_ - variabili_ : std::numeric_limits<std::size_t>::max();
}

// The field at place `v` among the variable fields, when it is the value of
// a text column whose values are checked: damage if it is stored two bytes a
// character (no FF FE mark) in an odd length, or longer than the column's
// declared size.
void Riga::ControllaTesto(std::size_t v, std::size_t inizio, std::size_t lunghezza) const {
    const std::vector<PianoRiga::TestoVariabile>& testi = piano_->testiVariabili;
    if (v >= testi.size() || testi[v].numero < 0 ||
        (lunghezza <= testi[v].massimo / 2 + 2 && (lunghezza & 1) == 0)) {
        return; // no checked text there, or short and of an even length
    }
    const auto numero = static_cast<std::size_t>(testi[v].numero);
    if (numero >= colonne_ || (dati_[n_ - maschera_ + numero / 8] & (1u << (numero % 8))) == 0) {
        return; // NULL
    }
    const unsigned char* b = dati_ + inizio;
    const bool compresso = lunghezza >= 2 && b[0] == 0xFF && b[1] == 0xFE;
    if ((!compresso && (lunghezza & 1) != 0) ||
        !TestoEntra(b, lunghezza, testi[v].massimo, false)) {
        throw Danno{}; // two-byte text of an odd length, or longer than its column
    }
}

// A Jet 3 row: one byte for its count of columns and for each offset of its
// variable fields, whose high bytes come from a table of "jumps" (one entry
// for each 256 bytes of row) before the count of variable fields.
void Riga::ScomponiJet3() {
    const unsigned char* r = dati_;
    const std::size_t n = n_;
    if (n < 2) {
        throw Danno{};
    }
    colonne_ = r[0];
    maschera_ = (colonne_ + 7) / 8;
    if (colonne_ == 0 || colonne_ > piano_->massimo || 1 + maschera_ >= n) {
        throw Danno{};
    }
    variabili_ = 0;
    offsets3_.clear();
    if (piano_->variabili) {
        const std::size_t fine = n - 1; // the row's last byte
        variabili_ = r[fine - maschera_];
        std::size_t salti = (n - 1) / 256;
        if (fine < maschera_ + salti + 1) {
            throw Danno{};
        }
        const std::size_t puntatore = fine - maschera_ - salti - 1;
        if (puntatore < variabili_ + 1) {
            throw Danno{};
        }
        if ((puntatore - variabili_) / 256 < salti) {
            --salti; // the last jump is a dummy
        }
        std::size_t usati = 0;
        for (std::size_t i = 0; i <= variabili_; ++i) {
            while (usati < salti && i == r[fine - maschera_ - usati - 1]) {
                ++usati;
            }
            offsets3_.push_back(static_cast<long>(r[puntatore - i] + usati * 256));
        }
    }
    fissePresenti_ =
        colonne_ >= variabili_ ? colonne_ - variabili_ : std::numeric_limits<std::size_t>::max();
}

std::int64_t Riga::Intero(std::size_t c) const {
    std::int64_t v = 0;
    LeggiIntero(c, v);
    return v;
}

double Riga::Reale(std::size_t c) const {
    double v = 0;
    LeggiReale(c, v);
    return v;
}

bool Riga::LeggiReale(std::size_t c, double& v) const {
    const PianoColonna& k = piano_->colonne[c];
    const unsigned char* p = ValoreDi(c);
    if (p == nullptr) {
        v = 0;
        return false;
    }
    if (k.tipo == MDB_FLOAT) {
        float f;
        std::memcpy(&f, p, 4);
        v = f;
    } else if (k.tipo == MDB_NUMERIC) {
        v = LeggiNumeric(p, k.scala);
    } else {
        std::memcpy(&v, p, 8);
    }
    return true;
}

std::string_view Riga::Testo(std::size_t c, std::string& buffer) const {
    std::string_view v;
    LeggiTesto(c, buffer, v);
    return v;
}

// A value of a text kind that is not stored as it stands: decoded into
// `buffer` (a long value read from its pages first).
bool Riga::TestoDecodificato(std::size_t c, const unsigned char* p, std::size_t siz,
                             std::string& buffer, std::string_view& v) const {
    const PianoColonna& k = piano_->colonne[c];
    if (k.testo4) {
        buffer.clear();
        if (!DecodificaTesto4(p, siz, buffer)) {
            throw Danno{};
        }
        v = buffer;
        return true;
    }
    if (Lungo(k.tipo)) {
        std::string grezzo;
        if (!ValoreLungo(p, siz, *piano_, lunghi_, grezzo)) {
            throw Danno{};
        }
        buffer.clear();
        if (k.tipo == MDB_OLE || piano_->jet3) {
            buffer = std::move(grezzo);
        } else if (!DecodificaTesto4(reinterpret_cast<const unsigned char*>(grezzo.data()),
                                     grezzo.size(), buffer)) {
            throw Danno{};
        }
        v = buffer;
        return true;
    }
    v = std::string_view(reinterpret_cast<const char*>(p), siz);
    return true;
}

void Riga::ControllaValori() const {
    // (Jet 4 variable text is checked by scomponi4: two-byte characters, or
    // compressed with FF FE.)
    std::string buffer;
    for (const std::size_t c : piano_->altriControllati) {
        const PianoColonna& k = piano_->colonne[c];
        std::size_t siz = 0;
        const unsigned char* p = ValoreDi(c, &siz); // a value outside its row: Danno
        if (p == nullptr) {
            continue;
        }
        if (k.tipo == MDB_TEXT && !piano_->jet3 && siz % 2 != 0 &&
            (siz < 2 || p[0] != 0xFF || p[1] != 0xFE)) {
            throw Danno{}; // two-byte text of an odd length
        }
        if (k.tipo == MDB_TEXT && !k.fissa && !TestoEntra(p, siz, k.dimensione, piano_->jet3)) {
            throw Danno{}; // longer than its column
        }
        if (Lungo(k.tipo)) {
            Testo(c, buffer);
        }
    }
}

} // namespace vdx::jet
