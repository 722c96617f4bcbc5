#include "jet/FileMdb.h"

#include "shared/Cp1252.h"
#include "shared/Error.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <mdbtools.h>
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
void decodificaTesto4(const unsigned char* p, std::size_t n, VettoreColonna<char>& out) {
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

namespace {

// The stream libmdb reads the pages from: the file in memory, with a budget
// of page reads for each piece of work. A damaged file can send libmdb round
// a loop of pages; past the budget the stream looks empty, libmdb stops, and
// the work is reported as damage instead of never ending.
struct Flusso {
    const unsigned char* dati = nullptr;
    std::size_t dimensione = 0;
    off64_t posizione = 0;
    std::size_t letture = 0; // positionings on a page, one per page read
    std::size_t limite = 0;
    bool esaurito = false;

    void budget(std::size_t pagine) {
        letture = 0;
        limite = pagine;
        esaurito = false;
    }

    // Past the end of the file the stream reads zeros (pages of no kind,
    // which libmdb passes over quietly) until the budget is spent.
    static constexpr off64_t kFineVirtuale = off64_t{1} << 50;

    static ssize_t leggi(void* cookie, char* buf, size_t n) {
        auto* f = static_cast<Flusso*>(cookie);
        if (f->esaurito || f->posizione < 0 || f->posizione >= kFineVirtuale) {
            return 0;
        }
        const auto pos = static_cast<std::size_t>(f->posizione);
        const std::size_t k = pos < f->dimensione ? std::min(n, f->dimensione - pos) : n;
        if (pos < f->dimensione) {
            std::memcpy(buf, f->dati + pos, k);
        } else {
            std::memset(buf, 0, k);
        }
        f->posizione += static_cast<off64_t>(k);
        return static_cast<ssize_t>(k);
    }

    static int cerca(void* cookie, off64_t* pos, int da) {
        auto* f = static_cast<Flusso*>(cookie);
        const off64_t fine = f->esaurito ? 0 : kFineVirtuale;
        off64_t nuova = *pos;
        if (da == SEEK_CUR) {
            nuova += f->posizione;
        } else if (da == SEEK_END) {
            nuova += fine;
        } else if (++f->letture > f->limite) {
            f->esaurito = true;
        }
        if (nuova < 0) {
            return -1;
        }
        f->posizione = nuova;
        *pos = nuova;
        return 0;
    }
};

// Whether a table-definition page looks like one: its type byte, and column
// kinds libmdb knows. Checked before libmdb reads it, so that a damaged
// definition is reported instead of read with warnings.
bool definizioneValida(const unsigned char* pg, std::size_t dimPagina, bool jet3) {
    if (pg[0] != 0x02) {
        return false;
    }
    const std::size_t nCol = u16(pg + (jet3 ? 25 : 45));
    const std::size_t nIndici = u32(pg + (jet3 ? 31 : 51));
    if (nCol == 0 || nCol > 255 * 4 || nIndici > 1000) {
        return false;
    }
    const std::size_t voce = jet3 ? 18 : 25;
    std::size_t inizio = (jet3 ? 43 : 63) + nIndici * (jet3 ? 8 : 12);
    for (std::size_t i = 0; i < nCol && inizio + voce <= dimPagina; ++i, inizio += voce) {
        switch (pg[inizio]) {
        case MDB_BOOL:
        case MDB_BYTE:
        case MDB_INT:
        case MDB_LONGINT:
        case MDB_MONEY:
        case MDB_FLOAT:
        case MDB_DOUBLE:
        case MDB_DATETIME:
        case MDB_BINARY:
        case MDB_TEXT:
        case MDB_OLE:
        case MDB_MEMO:
        case MDB_REPID:
        case MDB_NUMERIC:
        case MDB_COMPLEX:
            break;
        default:
            return false;
        }
    }
    return true;
}

} // namespace

struct FileMdb::Stato {
    std::unique_ptr<unsigned char[], void (*)(unsigned char*)> dati{nullptr, [](unsigned char*) {}};
    // the whole file: libmdb reads its pages from here
    std::size_t dimensione = 0;
    std::size_t dimPagina = 4096;
    bool jet3 = false;
    Flusso flusso;
    MdbHandle* mdb = nullptr;

    std::size_t pagine() const { return dimensione / dimPagina; }

    // Whether page `n` can be checked as stored (not enciphered) and is a
    // table definition.
    bool definizione(std::size_t n) const {
        if (n == 0 || n >= pagine()) {
            return false;
        }
        if (mdb->f->db_key != 0) {
            return true; // enciphered pages: libmdb deciphers and checks them
        }
        return definizioneValida(dati.get() + n * dimPagina, dimPagina, jet3);
    }
    struct Voce {
        std::string nome;                      // code page 1252
        std::unique_ptr<MdbCatalogEntry> voce; // what libmdb reads a table by
        std::shared_ptr<const Tabella> righe;  // once read
    };
    std::vector<Voce> voci;

    ~Stato() { rilascia(); }

    // Once every table is read the file's bytes and libmdb are no longer
    // needed: a large file is not kept twice in memory.
    void rilascia() {
        if (mdb != nullptr) {
            mdb_close(mdb);
            mdb = nullptr;
        }
        for (auto& v : voci) {
            v.voce.reset();
        }
        dati.reset();
    }

    std::unique_ptr<MdbCatalogEntry> nuovaVoce(const std::string& nome,
                                               unsigned long pagina) const {
        auto v = std::make_unique<MdbCatalogEntry>();
        std::memset(v.get(), 0, sizeof(MdbCatalogEntry));
        v->mdb = mdb;
        const std::string utf8 = Utf8DaCp1252(nome).substr(0, MDB_MAX_OBJ_NAME);
        std::memcpy(v->object_name, utf8.data(), utf8.size());
        v->object_type = MDB_TABLE;
        v->table_pg = pagina;
        return v;
    }

    // Whether the table's map of used pages can be walked: libmdb 1.0.0
    // trusts its size and its page numbers.
    bool mappaValida(const MdbTableDef* t) const {
        const unsigned char* m = t->usage_map;
        const std::size_t n = t->map_sz;
        if (m == nullptr || n < 5 || n > dimPagina) {
            return false;
        }
        if (m[0] == 0) {
            // pages start, start + 1, ... for the bits set after byte 5
            const std::size_t inizio = u32(m + 1);
            for (std::size_t i = 0; i < (n - 5) * 8; ++i) {
                if ((m[5 + i / 8] & (1u << (i % 8))) != 0 && inizio + i >= pagine()) {
                    return false;
                }
            }
            return true;
        }
        if (m[0] == 1) {
            // the numbers of the bitmap pages
            for (std::size_t i = 1; i + 4 <= n; i += 4) {
                const std::size_t pagina = u32(m + i);
                if (pagina >= pagine()) {
                    return false;
                }
            }
            return true;
        }
        return false;
    }

    // Every row of the table `voce` defines; with `soloCampi`, the other
    // fields are left NULL without being read.
    std::shared_ptr<const Tabella> leggi(MdbCatalogEntry* voce, const std::string& nome,
                                         const std::filesystem::path& percorso,
                                         const std::vector<std::string>* soloCampi);
};

FileMdb::FileMdb(const std::filesystem::path& file)
    : percorso_(file), stato_(std::make_unique<Stato>()) {
    const std::string nome = NomeNelMessaggio(file);
    auto nonRiconosciuto = [&](const std::string& perche) {
        return Error(err::UnrecognizedFormat,
                     "Unrecognized database format '" + nome + "': " + perche + ".");
    };
    {
        std::ifstream in(file, std::ios::binary);
        if (!in) {
            throw nonRiconosciuto(std::string("the file cannot be read (") + std::strerror(errno) +
                                  ")");
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
    stato_->jet3 = stato_->dati[0x14] == MDB_VER_JET3;
    stato_->dimPagina = stato_->jet3 ? 2048 : 4096;
    stato_->mdb = mdb_open_buffer(stato_->dati.get(), stato_->dimensione, MDB_NOFLAGS);
    if (stato_->mdb == nullptr) {
        throw nonRiconosciuto("the database engine cannot open it");
    }
    // From here libmdb reads its pages through the stream with a budget.
    Flusso& f = stato_->flusso;
    f.dati = stato_->dati.get();
    f.dimensione = stato_->dimensione;
    FILE* flusso = fopencookie(
        &f, "r", cookie_io_functions_t{&Flusso::leggi, nullptr, &Flusso::cerca, nullptr});
    if (flusso == nullptr) {
        throw nonRiconosciuto("the database engine cannot open it");
    }
    std::fclose(stato_->mdb->f->stream);
    stato_->mdb->f->stream = flusso;
    stato_->mdb->cur_pg = 0; // no page is taken as already read

    // The list of tables is the system table on page 2, read here like any
    // other table: libmdb's own catalog reading also parses the objects'
    // properties, and a damaged property record can keep it going for ever.
    if (!stato_->definizione(2)) {
        throw nonRiconosciuto("its list of tables is damaged");
    }
    auto sistema = stato_->nuovaVoce("MSysObjects", 2);
    const std::vector<std::string> campi = {"Id", "Name", "Type", "Flags"};
    std::shared_ptr<const Tabella> oggetti;
    try {
        oggetti = stato_->leggi(sistema.get(), "MSysObjects", file, &campi);
    } catch (const Error&) {
        throw nonRiconosciuto("its list of tables cannot be read");
    }
    const int id = oggetti->campo("Id");
    const int nomeOggetto = oggetti->campo("Name");
    const int tipo = oggetti->campo("Type");
    const int flag = oggetti->campo("Flags");
    if (id < 0 || nomeOggetto < 0 || tipo < 0 || flag < 0) {
        throw nonRiconosciuto("its list of tables has not the usual fields");
    }
    for (std::size_t r = 0; r < oggetti->righe(); ++r) {
        const Valore t = oggetti->valore(r, tipo);
        const Valore bandiere = oggetti->valore(r, flag);
        const Valore pagina = oggetti->valore(r, id);
        // A user table: type 1, neither of the system flags.
        if (t.nullo() || (static_cast<std::int64_t>(t.numero()) & 0x7F) != MDB_TABLE ||
            pagina.nullo() ||
            (static_cast<std::uint32_t>(static_cast<std::int64_t>(bandiere.numero())) &
             0x80000002u) != 0) {
            continue;
        }
        std::string n = oggetti->valore(r, nomeOggetto).testo();
        auto voce = stato_->nuovaVoce(
            n,
            static_cast<unsigned long>(static_cast<std::int64_t>(pagina.numero())) & 0x00FFFFFFul);
        stato_->voci.push_back({std::move(n), std::move(voce)});
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
    for (auto& voce : stato_->voci) {
        if (UgualiSenzaMaiuscole(voce.nome, nome)) {
            if (!voce.righe) {
                voce.righe = stato_->leggi(voce.voce.get(), voce.nome, percorso_, nullptr);
                const bool tutte =
                    std::all_of(stato_->voci.begin(), stato_->voci.end(),
                                [](const Stato::Voce& v) { return v.righe != nullptr; });
                if (tutte) {
                    stato_->rilascia();
                }
            }
            return voce.righe;
        }
    }
    throw Error(err::TableNotFound, "Could not find the table '" + std::string(nome) + "' in '" +
                                        NomeNelMessaggio(percorso_) + "'.");
}

std::shared_ptr<const Tabella> FileMdb::Stato::leggi(MdbCatalogEntry* voce,
                                                     const std::string& nomeTabella,
                                                     const std::filesystem::path& percorso,
                                                     const std::vector<std::string>* soloCampi) {
    const std::string file = NomeNelMessaggio(percorso);
    auto danneggiata = [&] {
        return Error(err::UnrecognizedFormat, "The table '" + nomeTabella + "' in '" + file +
                                                  "' cannot be read: the file is damaged.");
    };

    if (!definizione(voce->table_pg)) {
        throw danneggiata();
    }
    flusso.budget(pagine() + 1024);
    MdbTableDef* t = mdb_read_table(voce);
    if (t == nullptr) {
        throw danneggiata();
    }
    struct Libera {
        MdbTableDef* t;
        ~Libera() { mdb_free_tabledef(t); }
    } libera{t};
    if (mdb_read_columns(t) == nullptr || flusso.esaurito || !mappaValida(t)) {
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
    // The fields to read: all, or those asked for.
    std::vector<char> letta(nc, 1);
    if (soloCampi != nullptr) {
        for (unsigned i = 0; i < nc; ++i) {
            letta[i] = std::any_of(soloCampi->begin(), soloCampi->end(), [&](const std::string& n) {
                return UgualiSenzaMaiuscole(n, colonne[i].nome);
            });
        }
    }

    const int offsetRighe = mdb->fmt->row_count_offset;
    const int lunghezzaPagina = static_cast<int>(dimPagina);
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
            const std::size_t n =
                std::min<std::size_t>(lunghezza, static_cast<std::size_t>(siz - MDB_MEMO_OVERHEAD));
            memo.assign(reinterpret_cast<const char*>(p + MDB_MEMO_OVERHEAD), n);
            return true;
        }
        if (lunghezza > dimensione) {
            return false; // no value is longer than its file
        }
        std::uint32_t puntatore = u32(p + 4);
        const bool unaRiga = (testa & 0x40000000u) != 0;
        std::size_t giri = 0;
        while (puntatore != 0 && memo.size() < lunghezza) {
            void* buf = nullptr;
            int inizio = 0;
            size_t len = 0;
            if (++giri > dimensione / 64 + 2 ||
                mdb_find_pg_row(mdb, static_cast<int>(puntatore), &buf, &inizio, &len) != 0 ||
                inizio < 0 ||
                static_cast<std::size_t>(inizio) + len >
                    static_cast<std::size_t>(lunghezzaPagina)) {
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

    // Each data page is read once, each long value's rows once.
    std::size_t colonneLunghe = 0;
    for (const MdbColumn* mc : mdbCol) {
        colonneLunghe += mc->col_type == MDB_MEMO || mc->col_type == MDB_OLE ? 1 : 0;
    }
    flusso.budget(2 * pagine() + static_cast<std::size_t>(t->num_rows) * colonneLunghe + 1024);
    mdb_rewind_table(t);
    while (mdb_read_next_dpg(t) != 0) {
        const unsigned char* pg = mdb->pg_buf;
        const int n = static_cast<int>(u16(pg + offsetRighe));
        for (int r = 0; r < n; ++r) {
            int inizio = 0;
            size_t lunghezza = 0;
            if (mdb_find_row(mdb, r, &inizio, &lunghezza) != 0 || lunghezza == 0) {
                continue;
            }
            if ((inizio & 0x4000) != 0) {
                continue; // deleted
            }
            inizio &= 0x1FFF;
            if (nc == 0 || mdb_crack_row(t, inizio, lunghezza, campi.data()) < 0) {
                continue;
            }
            for (unsigned i = 0; i < nc; ++i) {
                const MdbField& f = campi[i];
                const unsigned colonnaIdx =
                    static_cast<unsigned>(f.colnum) < nc ? static_cast<unsigned>(f.colnum) : i;
                ColonnaLetta& c = colonne[colonnaIdx];
                const MdbColumn* mc = mdbCol[colonnaIdx];
                if (!letta[colonnaIdx]) {
                    c.aggiungiNullo();
                    continue;
                }
                if (mc->col_type == MDB_BOOL) {
                    // A yes/no field is its null bit: set is True.
                    c.aggiungiIntero(f.is_null ? 0 : -1);
                    continue;
                }
                const bool dentro =
                    f.start >= 0 && f.siz >= 0 && f.start + f.siz <= lunghezzaPagina;
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
                    if (serve(1))
                        c.aggiungiIntero(p[0]);
                    break;
                case MDB_INT:
                    if (serve(2))
                        c.aggiungiIntero(static_cast<std::int16_t>(u16(p)));
                    break;
                case MDB_LONGINT:
                    if (serve(4))
                        c.aggiungiIntero(static_cast<std::int32_t>(u32(p)));
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
                        c.testi.insert(c.testi.end(), reinterpret_cast<const char*>(p),
                                       reinterpret_cast<const char*>(p) + siz);
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
                        decodificaTesto4(reinterpret_cast<const unsigned char*>(memo.data()),
                                         memo.size(), c.testi);
                        c.chiudiTesto();
                    } else {
                        c.aggiungiTesto(memo);
                    }
                    break;
                default:
                    c.aggiungiTesto(std::string_view(reinterpret_cast<const char*>(p),
                                                     static_cast<std::size_t>(siz)));
                    break;
                }
            }
            ++righe;
        }
        // Text ends are held in 32 bits: more than 4 GB of text is no file of ours.
        for (const ColonnaLetta& c : colonne) {
            if (c.testi.size() > 0xFFFFFFFFu) {
                throw danneggiata();
            }
        }
    }
    if (flusso.esaurito) {
        throw danneggiata();
    }
    return std::make_shared<const Tabella>(nomeTabella, std::move(colonne), righe);
}

} // namespace vdx::jet
