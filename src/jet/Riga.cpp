#include "jet/Riga.h"

#include "shared/Cp1252.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <mdbtools.h>

namespace vdx::jet {

namespace {

std::uint16_t u16(const unsigned char* p) {
    return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}

std::uint32_t u32(const unsigned char* p) {
    return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
           (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

// A NUMERIC value: a sign byte, then a 128-bit magnitude as four 32-bit
// little-endian words, the most significant first; divided by 10^scale.
double leggiNumeric(const unsigned char* p, int scala) {
    long double v = 0;
    for (int k = 0; k < 4; ++k) {
        v = v * 4294967296.0L + static_cast<long double>(u32(p + 1 + 4 * k));
    }
    v /= std::pow(10.0L, scala);
    return static_cast<double>((p[0] & 0x80) != 0 ? -v : v);
}

// A compressed text that is its code page 1252 bytes as they stand: FF FE,
// then no switch to two-byte characters and no byte that code page 1252 and
// Unicode read differently.
bool testoComeScritto(const unsigned char* p, std::size_t n) {
    if (n < 2 || p[0] != 0xFF || p[1] != 0xFE) {
        return false;
    }
    for (std::size_t i = 2; i < n; ++i) {
        if (p[i] == 0x00 || (p[i] >= 0x80 && p[i] < 0xA0)) {
            return false;
        }
    }
    return true;
}

// A long value is kept in the row (flag 0x80), in one long-value row (0x40)
// or in a chain of them, each beginning with the pointer to the next. The
// pieces must add up to the length the field states.
bool valoreLungo(const unsigned char* p, std::size_t siz, const PianoRiga& piano,
                 const AccessoPagine* accesso, std::string& out) {
    out.clear();
    if (siz < MDB_MEMO_OVERHEAD) {
        return false;
    }
    const std::uint32_t testa = u32(p);
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
    std::uint32_t puntatore = u32(p + 4);
    for (std::size_t giri = 0; puntatore != 0 && out.size() < lunghezza; ++giri) {
        const std::uint32_t n = puntatore >> 8;
        if (giri > piano.pagineFile || n == 0 || n >= piano.pagineFile) {
            return false;
        }
        const unsigned char* pg = accesso->pagina(n);
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
        puntatore = u32(b);
        out.append(reinterpret_cast<const char*>(b + 4), len - 4);
    }
    if (out.size() > lunghezza) {
        out.resize(lunghezza);
    }
    return out.size() == lunghezza;
}

bool lungo(int tipo) {
    return tipo == MDB_MEMO || tipo == MDB_OLE;
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
                *w++ = Carattere1252(u16(p + i));
                i += 2;
            }
        }
    } else {
        for (std::size_t i = 0; i + 1 < n; i += 2) {
            *w++ = Carattere1252(u16(p + i));
        }
    }
    out.resize(static_cast<std::size_t>(w - out.data()));
    return n % 2 == 0 || compresso;
}

std::optional<PostoRiga> PostoDiRiga(const unsigned char* pg, const PianoRiga& piano,
                                     std::size_t indice) {
    const std::size_t rco = piano.offsetRighe();
    const std::size_t quante = u16(pg + rco);
    const std::size_t testata = rco + 2 + 2 * quante;
    if (indice >= quante || testata > piano.dimPagina) {
        return std::nullopt;
    }
    const std::uint16_t grezzo = u16(pg + rco + 2 + 2 * indice);
    PostoRiga r;
    r.inizio = grezzo & 0x1FFF;
    r.fine = indice == 0 ? piano.dimPagina : (u16(pg + rco + 2 * indice) & 0x1FFFu);
    r.cancellata = (grezzo & 0x8000) != 0;
    r.spostata = (grezzo & 0x4000) != 0;
    r.integra = r.inizio >= testata && r.inizio < r.fine && r.fine <= piano.dimPagina;
    return r;
}

void Riga::scomponi(const PianoRiga& piano, const unsigned char* dati, std::size_t n,
                    const AccessoPagine* lunghi) {
    piano_ = &piano;
    dati_ = dati;
    n_ = n;
    lunghi_ = lunghi;
    if (piano.jet3) {
        scomponi3();
    } else {
        scomponi4();
    }
    // The fields a row holds end inside it (Jet 4 variable fields do, by
    // their offsets).
    const std::size_t area = piano.jet3 ? 1 : 2;
    for (const PianoColonna& c : piano.colonne) {
        if (c.fissa ? c.ordineFisso < fissePresenti_ && area + c.offset + c.dimensione > n
                    : piano.jet3 && c.variabile < variabili_ &&
                          offsets3_[c.variabile + 1] > static_cast<long>(n)) {
            throw Danno{};
        }
    }
}

void Riga::copia(const PianoRiga& piano, const unsigned char* dati, std::size_t n,
                 const AccessoPagine* lunghi) {
    copia_.assign(dati, dati + n);
    scomponi(piano, copia_.data(), n, lunghi);
}

// A Jet 4 row: its count of columns, then from its end the null mask, the
// count of variable fields and, before it, their offsets and the end of
// their data, last first, in order and inside the row.
void Riga::scomponi4() {
    const unsigned char* r = dati_;
    const std::size_t n = n_;
    if (n < 3) {
        throw Danno{};
    }
    colonne_ = u16(r);
    maschera_ = (colonne_ + 7) / 8;
    if (colonne_ == 0 || colonne_ > piano_->massimo || 2 + maschera_ > n) {
        throw Danno{};
    }
    variabili_ = 0;
    if (piano_->variabili) {
        if (2 + maschera_ + 2 > n) {
            throw Danno{};
        }
        variabili_ = u16(r + n - maschera_ - 2);
        if (variabili_ > piano_->massimo || 2 + maschera_ + 2 + 2 * (variabili_ + 1) > n) {
            throw Danno{};
        }
        const std::size_t tabella = n - maschera_ - 2 - 2 * (variabili_ + 1);
        std::size_t prima = 2;
        for (std::size_t i = 0; i <= variabili_; ++i) {
            const std::size_t o = u16(r + n - maschera_ - 4 - 2 * i);
            if (o < prima || o > tabella) {
                throw Danno{};
            }
            prima = o;
        }
    }
    // As the engine reads it, a row whose variable fields outnumber its
    // columns holds every fixed field.
    fissePresenti_ = colonne_ >= variabili_ ? colonne_ - variabili_
                                            : std::numeric_limits<std::size_t>::max();
}

// A Jet 3 row: one byte for its count of columns and for each offset of its
// variable fields, whose high bytes come from a table of "jumps" (one entry
// for each 256 bytes of row) before the count of variable fields.
void Riga::scomponi3() {
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
    fissePresenti_ = colonne_ >= variabili_ ? colonne_ - variabili_
                                            : std::numeric_limits<std::size_t>::max();
}

Riga::Posto Riga::posto(std::size_t c) const {
    const PianoColonna& k = piano_->colonne[c];
    Posto p;
    if (k.fissa) {
        p.presente = k.ordineFisso < fissePresenti_;
        p.inizio = static_cast<long>((piano_->jet3 ? 1 : 2) + k.offset);
        p.lunghezza = k.dimensione;
    } else if (k.variabile < variabili_) {
        p.presente = true;
        if (piano_->jet3) {
            p.inizio = offsets3_[k.variabile];
            p.lunghezza = offsets3_[k.variabile + 1] - offsets3_[k.variabile];
        } else {
            const unsigned char* t = dati_ + n_ - maschera_ - 4;
            p.inizio = u16(t - 2 * k.variabile);
            p.lunghezza = static_cast<long>(u16(t - 2 * (k.variabile + 1))) - p.inizio;
        }
    }
    return p;
}

bool Riga::nullo(std::size_t c) const {
    if (piano_->colonne[c].tipo == MDB_BOOL) {
        return false;
    }
    return valore(c, 0) == nullptr;
}

// The bytes of column `c`, at least `larghezza` of them, with their count in
// `lunghezza`; nullptr for NULL (a field the row does not hold is NULL).
const unsigned char* Riga::valore(std::size_t c, std::size_t larghezza, std::size_t* lunghezza) const {
    const PianoColonna& k = piano_->colonne[c];
    const Posto p = posto(c);
    if (k.numero >= colonne_ || !p.presente ||
        (dati_[n_ - maschera_ + k.numero / 8] & (1u << (k.numero % 8))) == 0) {
        return nullptr;
    }
    if (p.lunghezza < static_cast<long>(larghezza) || p.inizio < 0 ||
        p.inizio + p.lunghezza > static_cast<long>(n_)) {
        throw Danno{};
    }
    if (lunghezza != nullptr) {
        *lunghezza = static_cast<std::size_t>(p.lunghezza);
    }
    return dati_ + p.inizio;
}

std::int64_t Riga::intero(std::size_t c) const {
    const PianoColonna& k = piano_->colonne[c];
    if (k.tipo == MDB_BOOL) {
        // A yes/no field is its null bit: set is True.
        return valore(c, 0) != nullptr ? -1 : 0;
    }
    const std::size_t larghezza = k.tipo == MDB_BYTE ? 1 : k.tipo == MDB_INT ? 2
                                  : k.tipo == MDB_LONGINT ? 4 : 8;
    const unsigned char* p = valore(c, larghezza);
    if (p == nullptr) {
        return 0;
    }
    switch (k.tipo) {
    case MDB_BYTE:
        return p[0];
    case MDB_INT:
        return static_cast<std::int16_t>(u16(p));
    case MDB_LONGINT:
        return static_cast<std::int32_t>(u32(p));
    default: {
        std::int64_t v;
        std::memcpy(&v, p, 8);
        return v;
    }
    }
}

double Riga::reale(std::size_t c) const {
    const PianoColonna& k = piano_->colonne[c];
    const std::size_t larghezza = k.tipo == MDB_FLOAT ? 4 : k.tipo == MDB_NUMERIC ? 17 : 8;
    const unsigned char* p = valore(c, larghezza);
    if (p == nullptr) {
        return 0;
    }
    if (k.tipo == MDB_FLOAT) {
        float v;
        std::memcpy(&v, p, 4);
        return v;
    }
    if (k.tipo == MDB_NUMERIC) {
        return leggiNumeric(p, k.scala);
    }
    double v;
    std::memcpy(&v, p, 8);
    return v;
}

std::string_view Riga::testo(std::size_t c, std::string& buffer) const {
    const PianoColonna& k = piano_->colonne[c];
    std::size_t siz = 0;
    const unsigned char* p = valore(c, 0, &siz);
    if (p == nullptr) {
        return {};
    }
    if (k.tipo == MDB_TEXT && !piano_->jet3) {
        if (testoComeScritto(p, siz)) {
            return std::string_view(reinterpret_cast<const char*>(p + 2), siz - 2);
        }
        buffer.clear();
        if (!DecodificaTesto4(p, siz, buffer)) {
            throw Danno{};
        }
        return buffer;
    }
    if (lungo(k.tipo)) {
        std::string grezzo;
        if (!valoreLungo(p, siz, *piano_, lunghi_, grezzo)) {
            throw Danno{};
        }
        if (k.tipo == MDB_OLE || piano_->jet3) {
            buffer = std::move(grezzo);
            return buffer;
        }
        buffer.clear();
        if (!DecodificaTesto4(reinterpret_cast<const unsigned char*>(grezzo.data()), grezzo.size(),
                              buffer)) {
            throw Danno{};
        }
        return buffer;
    }
    return std::string_view(reinterpret_cast<const char*>(p), siz);
}

int Riga::confrontaTesto(std::size_t c, std::string_view valore, std::string& buffer) const {
    const int r = testo(c, buffer).compare(valore); // char_traits<char> compares as unsigned
    return r < 0 ? -1 : (r > 0 ? 1 : 0);
}

void Riga::controllaValori() const {
    std::string buffer;
    for (std::size_t c = 0; c < piano_->colonne.size(); ++c) {
        const PianoColonna& k = piano_->colonne[c];
        if (!k.controllata || k.tipo == MDB_BOOL) {
            continue;
        }
        std::size_t siz = 0;
        const unsigned char* p = valore(c, 0, &siz); // a value outside its row: Danno
        if (p == nullptr) {
            continue;
        }
        if (k.tipo == MDB_TEXT && !piano_->jet3 && siz % 2 != 0 &&
            (siz < 2 || p[0] != 0xFF || p[1] != 0xFE)) {
            throw Danno{}; // two-byte text of an odd length
        }
        if (lungo(k.tipo)) {
            testo(c, buffer);
        }
    }
}

} // namespace vdx::jet
