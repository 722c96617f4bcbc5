#include "jet/FileMdb.h"

#include "shared/Cp1252.h"
#include "shared/Error.h"

#include <mdbtools.h>

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>

#include <sys/mman.h>

namespace vdx::jet {

namespace {

constexpr unsigned char kFirma[4] = {0x00, 0x01, 0x00, 0x00};

std::uint16_t u16(const unsigned char* p) {
    return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}

std::uint32_t u32(const unsigned char* p) {
    return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
           (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

TipoCampo tipoDi(int tipoMdb) {
    switch (tipoMdb) {
    case MDB_BOOL:
        return TipoCampo::Boolean;
    case MDB_BYTE:
        return TipoCampo::Byte;
    case MDB_INT:
        return TipoCampo::Integer;
    case MDB_LONGINT:
        return TipoCampo::Long;
    case MDB_MONEY:
        return TipoCampo::Currency;
    case MDB_FLOAT:
        return TipoCampo::Single;
    case MDB_DOUBLE:
    case MDB_NUMERIC:
        return TipoCampo::Double;
    case MDB_DATETIME:
        return TipoCampo::DateTime;
    case MDB_TEXT:
        return TipoCampo::Text;
    case MDB_MEMO:
        return TipoCampo::Memo;
    default:
        return TipoCampo::Other; // OLE, binary, GUID: their raw bytes
    }
}

// A character of the file's two-byte text as a code page 1252 byte; "?" for
// the characters the code page lacks.
char carattere1252(std::uint16_t c) {
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) {
        return static_cast<char>(c);
    }
    const int b = Cp1252DaUnicode(c);
    return b < 0 ? '?' : static_cast<char>(b);
}

// Jet 4 text: UCS-2LE, or "compressed" (FF FE, then one byte per character,
// a 0x00 switching between one- and two-byte characters). Appended to `out`.
void decodificaTesto4(const unsigned char* p, std::size_t n, std::string& out) {
    const std::size_t base = out.size();
    out.resize(base + n); // never more characters than bytes
    char* w = out.data() + base;
    if (n >= 2 && p[0] == 0xFF && p[1] == 0xFE) {
        bool compresso = true;
        std::size_t i = 2;
        while (i < n) {
            if (p[i] == 0x00) {
                compresso = !compresso;
                ++i;
            } else if (compresso) {
                const unsigned char b = p[i++];
                *w++ = b < 0x80 || b >= 0xA0 ? static_cast<char>(b) : carattere1252(b);
            } else {
                if (i + 1 >= n) {
                    break;
                }
                *w++ = carattere1252(u16(p + i));
                i += 2;
            }
        }
    } else {
        for (std::size_t i = 0; i + 1 < n; i += 2) {
            *w++ = carattere1252(u16(p + i));
        }
    }
    out.resize(static_cast<std::size_t>(w - out.data()));
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

} // namespace

// Room for a whole file, not zero-filled (the read fills it). A large file
// goes in 2 MB pages where the system has them: a hundred megabytes in 4 kB
// pages costs more in page faults than in reading.
std::unique_ptr<unsigned char[], void (*)(unsigned char*)> Memoria(std::size_t n) {
    constexpr std::size_t grande = std::size_t{2} << 20;
    if (n >= 2 * grande) {
        const std::size_t arrotondato = (n + grande - 1) / grande * grande;
        if (void* p = std::aligned_alloc(grande, arrotondato)) {
#ifdef MADV_HUGEPAGE
            ::madvise(p, arrotondato, MADV_HUGEPAGE);
#endif
            return {static_cast<unsigned char*>(p), [](unsigned char* q) { std::free(q); }};
        }
    }
    return {new unsigned char[n + 1], [](unsigned char* q) { delete[] q; }};
}

std::string NomeNelMessaggio(const std::filesystem::path& file) {
    return Cp1252DaUtf8(file.string());
}

std::string ControllaIntestazione(const unsigned char* dati, std::size_t dimensione) {
    if (dimensione < 2048) {
        return "the file is too short for an Access database";
    }
    if (std::memcmp(dati, kFirma, sizeof kFirma) != 0 ||
        (std::memcmp(dati + 4, "Standard Jet DB", 16) != 0 &&
         std::memcmp(dati + 4, "Standard ACE DB", 16) != 0)) {
        return "the file does not begin as an Access database";
    }
    const unsigned versione = dati[0x14];
    if (versione > MDB_VER_ACCDB_2016) {
        return "the database version " + std::to_string(versione) + " is not known";
    }
    const std::size_t pagina = versione == MDB_VER_JET3 ? 2048 : 4096;
    if (dimensione % pagina != 0 || dimensione < 3 * pagina) {
        return "the file is not made of whole database pages (damaged or cut short)";
    }
    return {};
}

struct FileMdb::Stato {
    std::unique_ptr<unsigned char[], void (*)(unsigned char*)> dati{nullptr, [](unsigned char*) {}};
    // the whole file: libmdb reads its pages from here
    std::size_t dimensione = 0;
    MdbHandle* mdb = nullptr;
    struct Voce {
        std::string nome;
        MdbCatalogEntry* voce;
    };
    std::vector<Voce> voci;

    ~Stato() {
        if (mdb != nullptr) {
            mdb_close(mdb);
        }
    }
};

FileMdb::FileMdb(const std::filesystem::path& file) : percorso_(file), stato_(std::make_unique<Stato>()) {
    const std::string nome = NomeNelMessaggio(file);
    auto nonRiconosciuto = [&](const std::string& perche) {
        return Error(err::UnrecognizedFormat, "Unrecognized database format '" + nome + "': " + perche + ".");
    };
    {
        std::ifstream in(file, std::ios::binary);
        if (!in) {
            throw nonRiconosciuto(std::string("the file cannot be read (") + std::strerror(errno) + ")");
        }
        in.seekg(0, std::ios::end);
        const std::streamoff n = in.tellg();
        in.seekg(0, std::ios::beg);
        if (n < 0) {
            throw nonRiconosciuto("the file cannot be read");
        }
        stato_->dati = Memoria(static_cast<std::size_t>(n));
        stato_->dimensione = static_cast<std::size_t>(n);
        if (n > 0 && !in.read(reinterpret_cast<char*>(stato_->dati.get()), n)) {
            throw nonRiconosciuto("the file cannot be read");
        }
    }
    const std::string difetto = ControllaIntestazione(stato_->dati.get(), stato_->dimensione);
    if (!difetto.empty()) {
        throw nonRiconosciuto(difetto);
    }
    stato_->mdb = mdb_open_buffer(stato_->dati.get(), stato_->dimensione, MDB_NOFLAGS);
    if (stato_->mdb == nullptr) {
        throw nonRiconosciuto("the database engine cannot open it");
    }
    if (mdb_read_catalog(stato_->mdb, MDB_TABLE) == nullptr) {
        throw nonRiconosciuto("its list of tables cannot be read");
    }
    for (unsigned i = 0; i < stato_->mdb->num_catalog; ++i) {
        auto* voce = static_cast<MdbCatalogEntry*>(g_ptr_array_index(stato_->mdb->catalog, i));
        if (voce != nullptr && mdb_is_user_table(voce)) {
            stato_->voci.push_back({Cp1252DaUtf8(voce->object_name), voce});
        }
    }
}

FileMdb::~FileMdb() = default;

std::vector<std::string> FileMdb::tabelle() const {
    std::vector<std::string> v;
    for (const auto& voce : stato_->voci) {
        v.push_back(voce.nome);
    }
    return v;
}

std::shared_ptr<const Tabella> FileMdb::leggi(std::string_view nome) {
    const Stato::Voce* trovata = nullptr;
    for (const auto& voce : stato_->voci) {
        if (UgualiSenzaMaiuscole(voce.nome, nome)) {
            trovata = &voce;
            break;
        }
    }
    const std::string file = NomeNelMessaggio(percorso_);
    if (trovata == nullptr) {
        throw Error(err::TableNotFound,
                    "Could not find the table '" + std::string(nome) + "' in '" + file + "'.");
    }
    auto danneggiata = [&] {
        return Error(err::UnrecognizedFormat,
                     "The table '" + trovata->nome + "' in '" + file + "' cannot be read: the file is damaged.");
    };

    MdbHandle* mdb = stato_->mdb;
    MdbTableDef* t = mdb_read_table(trovata->voce);
    if (t == nullptr) {
        throw danneggiata();
    }
    struct Libera {
        MdbTableDef* t;
        ~Libera() { mdb_free_tabledef(t); }
    } libera{t};
    if (mdb_read_columns(t) == nullptr) {
        throw danneggiata();
    }

    const unsigned nc = t->num_cols;
    std::vector<ColonnaLetta> colonne(nc);
    std::vector<MdbColumn*> mdbCol(nc);
    for (unsigned i = 0; i < nc; ++i) {
        mdbCol[i] = static_cast<MdbColumn*>(g_ptr_array_index(t->columns, i));
        colonne[i].nome = Cp1252DaUtf8(mdbCol[i]->name);
        colonne[i].tipo = tipoDi(mdbCol[i]->col_type);
        colonne[i].riserva(t->num_rows);
    }

    const bool jet3 = mdb->f->jet_version == MDB_VER_JET3;
    const int offsetRighe = mdb->fmt->row_count_offset;
    const int dimPagina = static_cast<int>(mdb->fmt->pg_size);
    std::vector<MdbField> campi(nc == 0 ? 1 : nc);
    std::string memo;
    std::size_t righe = 0;

    // The bytes of a memo (or OLE) value: kept in the row, in one long-value
    // row, or in a chain of them. A chain that does not add up is damage.
    auto leggiMemo = [&](const unsigned char* p, int siz) -> bool {
        memo.clear();
        if (siz < MDB_MEMO_OVERHEAD) {
            return false;
        }
        const std::uint32_t testa = u32(p);
        const std::size_t lunghezza = testa & 0x3FFFFFFF;
        if ((testa & 0x80000000u) != 0) {
            const std::size_t n = std::min<std::size_t>(lunghezza, static_cast<std::size_t>(siz - MDB_MEMO_OVERHEAD));
            memo.assign(reinterpret_cast<const char*>(p + MDB_MEMO_OVERHEAD), n);
            return true;
        }
        std::uint32_t puntatore = u32(p + 4);
        const bool unaRiga = (testa & 0x40000000u) != 0;
        std::size_t giri = 0;
        while (puntatore != 0 && memo.size() < lunghezza) {
            void* buf = nullptr;
            int inizio = 0;
            size_t len = 0;
            if (++giri > stato_->dimensione / 64 + 2 ||
                mdb_find_pg_row(mdb, static_cast<int>(puntatore), &buf, &inizio, &len) != 0 ||
                inizio < 0 || static_cast<std::size_t>(inizio) + len > static_cast<std::size_t>(dimPagina)) {
                return false;
            }
            const auto* riga = static_cast<const unsigned char*>(buf) + inizio;
            if (unaRiga) {
                memo.append(reinterpret_cast<const char*>(riga), std::min(len, lunghezza));
                break;
            }
            if (len < 4) {
                return false;
            }
            puntatore = u32(riga);
            memo.append(reinterpret_cast<const char*>(riga + 4), len - 4);
        }
        if (memo.size() > lunghezza) {
            memo.resize(lunghezza);
        }
        return memo.size() == lunghezza;
    };

    mdb_rewind_table(t);
    while (mdb_read_next_dpg(t) != 0) {
        const unsigned char* pg = mdb->pg_buf;
        const int n = static_cast<int>(u16(pg + offsetRighe));
        for (int r = 0; r < n; ++r) {
            int inizio = 0;
            size_t dimensione = 0;
            if (mdb_find_row(mdb, r, &inizio, &dimensione) != 0 || dimensione == 0) {
                continue;
            }
            if ((inizio & 0x4000) != 0) {
                continue; // deleted
            }
            inizio &= 0x1FFF;
            if (nc == 0 || mdb_crack_row(t, inizio, dimensione, campi.data()) < 0) {
                continue;
            }
            for (unsigned i = 0; i < nc; ++i) {
                const MdbField& f = campi[i];
                const unsigned colonnaIdx = static_cast<unsigned>(f.colnum) < nc ? static_cast<unsigned>(f.colnum) : i;
                ColonnaLetta& c = colonne[colonnaIdx];
                const MdbColumn* mc = mdbCol[colonnaIdx];
                if (mc->col_type == MDB_BOOL) {
                    // A yes/no field is its null bit: set is True.
                    c.aggiungiIntero(f.is_null ? 0 : -1);
                    continue;
                }
                const bool dentro = f.start >= 0 && f.siz >= 0 && f.start + f.siz <= dimPagina;
                if (f.is_null || !dentro) {
                    c.aggiungiNullo();
                    continue;
                }
                const unsigned char* p = pg + f.start;
                const int siz = f.siz;
                auto serve = [&](int byte) {
                    if (siz < byte) {
                        c.aggiungiNullo();
                        return false;
                    }
                    return true;
                };
                switch (mc->col_type) {
                case MDB_BYTE:
                    if (serve(1)) c.aggiungiIntero(p[0]);
                    break;
                case MDB_INT:
                    if (serve(2)) c.aggiungiIntero(static_cast<std::int16_t>(u16(p)));
                    break;
                case MDB_LONGINT:
                    if (serve(4)) c.aggiungiIntero(static_cast<std::int32_t>(u32(p)));
                    break;
                case MDB_MONEY:
                    if (serve(8)) {
                        std::int64_t v;
                        std::memcpy(&v, p, 8);
                        c.aggiungiIntero(v);
                    }
                    break;
                case MDB_FLOAT:
                    if (serve(4)) {
                        float v;
                        std::memcpy(&v, p, 4);
                        c.aggiungiReale(v);
                    }
                    break;
                case MDB_DOUBLE:
                case MDB_DATETIME:
                    if (serve(8)) {
                        double v;
                        std::memcpy(&v, p, 8);
                        c.aggiungiReale(v);
                    }
                    break;
                case MDB_NUMERIC:
                    if (serve(17)) {
                        // libmdb 1.0.0 holds the precision in col_scale and the scale in
                        // col_prec; the scale is never the larger of the two.
                        c.aggiungiReale(leggiNumeric(p, std::min(mc->col_prec, mc->col_scale)));
                    }
                    break;
                case MDB_TEXT:
                    if (jet3) {
                        c.testi.append(reinterpret_cast<const char*>(p), static_cast<std::size_t>(siz));
                    } else {
                        decodificaTesto4(p, static_cast<std::size_t>(siz), c.testi);
                    }
                    c.chiudiTesto();
                    break;
                case MDB_MEMO:
                case MDB_OLE:
                    if (!leggiMemo(p, siz)) {
                        throw danneggiata();
                    }
                    if (mc->col_type == MDB_MEMO && !jet3) {
                        decodificaTesto4(reinterpret_cast<const unsigned char*>(memo.data()), memo.size(), c.testi);
                        c.chiudiTesto();
                    } else {
                        c.aggiungiTesto(memo);
                    }
                    break;
                default:
                    c.aggiungiTesto(std::string_view(reinterpret_cast<const char*>(p), static_cast<std::size_t>(siz)));
                    break;
                }
            }
            ++righe;
        }
    }
    return std::make_shared<const Tabella>(trovata->nome, std::move(colonne), righe);
}

} // namespace vdx::jet
