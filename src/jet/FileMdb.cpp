#include "jet/FileMdb.h"

#include "shared/Cp1252.h"
#include "shared/Error.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <mdbtools.h>
#include <mutex>
#include <optional>
#include <sys/mman.h>
#include <thread>

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

// The bytes a fixed column of a kind takes in a row; 0 for the kinds whose
// width the definition gives (Boolean has none: its value is the null bit);
// -1 for a kind libmdb does not know.
int larghezzaFissa(int tipoMdb) {
    switch (tipoMdb) {
    case MDB_BOOL:
    case MDB_TEXT:
    case MDB_BINARY:
    case MDB_OLE:
    case MDB_MEMO:
        return 0;
    case MDB_BYTE:
        return 1;
    case MDB_INT:
        return 2;
    case MDB_LONGINT:
    case MDB_FLOAT:
    case MDB_COMPLEX:
        return 4;
    case MDB_MONEY:
    case MDB_DOUBLE:
    case MDB_DATETIME:
        return 8;
    case MDB_REPID:
        return 16;
    case MDB_NUMERIC:
        return 17;
    default:
        return -1;
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
// a 0x00 switching between one- and two-byte characters). Appended to `out`;
// false for two-byte text of an odd length (a compressed text whose mark is
// damaged, say).
bool decodificaTesto4(const unsigned char* p, std::size_t n, VettoreColonna<char>& out) {
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
    return n % 2 == 0 || (n >= 2 && p[0] == 0xFF && p[1] == 0xFE);
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

// libmdb 1.0.0 tells what it finds wrong in a file with fprintf(stderr, ...)
// and goes on. While it works for the reader, the C stream stderr points at a
// buffer in memory: what libmdb says never reaches the terminal, and any of it
// is taken as damage. Only the stream is swapped, not file descriptor 2, so
// that the sanitizers' reports, written straight to the descriptor, still
// show. One reader at a time holds the stream.
std::mutex gStderrLibmdb;

class MessaggiLibmdb {
public:
    MessaggiLibmdb() : blocco_(gStderrLibmdb) {
        memoria_ = ::open_memstream(&testo_, &lunghezza_);
        if (memoria_ == nullptr) {
            throw std::bad_alloc();
        }
        std::fflush(stderr);
        originale_ = stderr;
        stderr = memoria_;
    }
    ~MessaggiLibmdb() {
        stderr = originale_;
        std::fclose(memoria_);
        std::free(testo_);
    }
    MessaggiLibmdb(const MessaggiLibmdb&) = delete;
    MessaggiLibmdb& operator=(const MessaggiLibmdb&) = delete;

    // Whether libmdb has said anything since the capture began.
    bool detto() {
        std::fflush(memoria_);
        return lunghezza_ > 0;
    }

private:
    std::unique_lock<std::mutex> blocco_;
    FILE* originale_ = nullptr;
    FILE* memoria_ = nullptr;
    char* testo_ = nullptr;
    std::size_t lunghezza_ = 0;
};

std::function<void()>& attesaRilettura() {
    static std::function<void()> attesa;
    return attesa;
}

void attendiPrimaDiRileggere() {
    if (attesaRilettura()) {
        attesaRilettura()();
        return;
    }
    long millisecondi = 500;
    if (const char* v = std::getenv("VDX_PAUSA_RILETTURA_MS"); v != nullptr && *v != '\0') {
        char* fine = nullptr;
        const long n = std::strtol(v, &fine, 10);
        if (*fine == '\0' && n >= 0 && n <= 60000) {
            millisecondi = n;
        }
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(millisecondi));
}

} // namespace

Error ErroreTabellaDanneggiata(const std::string& file, const std::string& tabella) {
    return Error(err::UnrecognizedFormat, "The table '" + tabella + "' in '" + file +
                                              "' cannot be read: the file is damaged.");
}

bool NomeAlterato(std::string_view chiesto, std::string_view trovato) {
    if (chiesto.size() != trovato.size() || UgualiSenzaMaiuscole(chiesto, trovato)) {
        return false;
    }
    std::size_t diversi = 0;
    for (std::size_t i = 0; i < chiesto.size(); ++i) {
        const auto a = static_cast<unsigned char>(chiesto[i]);
        const auto b = static_cast<unsigned char>(trovato[i]);
        if (MaiuscolaCp1252(a) == MaiuscolaCp1252(b)) {
            continue;
        }
        const unsigned x = a ^ b;
        if ((x & (x - 1)) != 0 && b != '?') {
            return false;
        }
        ++diversi;
    }
    return diversi == 1;
}

void ImpostaAttesaRilettura(std::function<void()> attesa) {
    attesaRilettura() = std::move(attesa);
}

bool NomeAccessValido(std::string_view nome) {
    if (nome.empty() || nome.size() > 64 || nome.front() == ' ') {
        return false;
    }
    return std::none_of(nome.begin(), nome.end(), [](char c) {
        const auto b = static_cast<unsigned char>(c);
        return b < 0x20 || c == '.' || c == '!' || c == '`' || c == '[' || c == ']';
    });
}

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

// The stream libmdb reads the pages of table definitions from: the file in
// memory, with a budget of page reads for each piece of work. Past the budget
// the stream looks empty and libmdb stops; a read at or past the end of the
// file (which libmdb 1.0.0 would take as a page of zeros) is remembered. Both
// make the work damage.
struct Flusso {
    const unsigned char* dati = nullptr;
    std::size_t dimensione = 0;
    off64_t posizione = 0;
    std::size_t letture = 0; // positionings on a page, one per page read
    std::size_t limite = 0;
    bool esaurito = false;
    bool oltreLaFine = false;

    void budget(std::size_t pagine) {
        letture = 0;
        limite = pagine;
        esaurito = false;
        oltreLaFine = false;
    }
    bool guasto() const { return esaurito || oltreLaFine; }

    static ssize_t leggi(void* cookie, char* buf, size_t n) {
        auto* f = static_cast<Flusso*>(cookie);
        if (f->esaurito || f->posizione < 0) {
            return 0;
        }
        const auto pos = static_cast<std::size_t>(f->posizione);
        if (pos >= f->dimensione) {
            f->oltreLaFine = true;
            return 0;
        }
        const std::size_t k = std::min(n, f->dimensione - pos);
        std::memcpy(buf, f->dati + pos, k);
        f->posizione += static_cast<off64_t>(k);
        return static_cast<ssize_t>(k);
    }

    static int cerca(void* cookie, off64_t* pos, int da) {
        auto* f = static_cast<Flusso*>(cookie);
        const auto fine = static_cast<off64_t>(f->esaurito ? 0 : f->dimensione);
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

// Raised inside a table's reading when its bytes do not hold together;
// turned into the message of the table, or of the file for the list of tables.
struct Danno {};

// A row of a data page: its bytes and its flags.
struct PostoRiga {
    std::size_t inizio = 0;
    std::size_t fine = 0;
    bool cancellata = false; // deleted; also the far end of a moved row
    bool spostata = false;   // the row holds only where the row now is
    bool integra = false;    // inside the page, after the row offsets, not empty
};

// A column of a table definition, as stored.
struct Descrittore {
    int tipo = 0;
    unsigned numero = 0;
    bool fissa = false;
    std::size_t offset = 0;     // of a fixed column, from the row's fixed area
    std::size_t dimensione = 0; // bytes
    std::string nome;           // code page 1252
};

// What a table definition declares.
struct Dichiarazione {
    std::vector<Descrittore> colonne;
    std::size_t massimo = 0; // max_cols: the most columns a row may have
};

} // namespace

struct FileMdb::Stato {
    std::unique_ptr<unsigned char[], void (*)(unsigned char*)> dati{nullptr, [](unsigned char*) {}};
    // the whole file, deciphered: libmdb reads its pages from here
    std::size_t dimensione = 0;
    std::size_t dimPagina = 4096;
    bool jet3 = false;
    std::filesystem::path percorso;
    Flusso flusso;
    MdbHandle* mdb = nullptr;

    struct Voce {
        std::string nome;                      // code page 1252
        std::unique_ptr<MdbCatalogEntry> voce; // what libmdb reads a table by
        std::shared_ptr<const Tabella> righe;  // once read
    };
    std::vector<Voce> voci;

    ~Stato() { rilascia(); }

    std::size_t pagine() const { return dimensione / dimPagina; }
    const unsigned char* pagina(std::size_t n) const { return dati.get() + n * dimPagina; }
    std::size_t offsetRighe() const { return jet3 ? 8 : 12; }

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

    Voce* trova(std::string_view nome) {
        for (auto& v : voci) {
            if (UgualiSenzaMaiuscole(v.nome, nome)) {
                return &v;
            }
        }
        return nullptr;
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

    // Opening, in order: the bytes, libmdb, the list of tables.
    void carica(const std::filesystem::path& file);
    void apriLibmdb(const std::filesystem::path& file);
    void decifra();
    void leggiElenco(const std::filesystem::path& file);

    // A row of page `n` (a data page of the file), if it has that row.
    std::optional<PostoRiga> riga(std::size_t n, std::size_t indice) const;
    // The definition of the table on page `n`, its pages joined; Danno when
    // it is not one.
    std::vector<unsigned char> definizione(std::size_t n) const;
    Dichiarazione descrittori(const std::vector<unsigned char>& d) const;
    static void controllaColonne(const std::vector<Descrittore>& colonne);
    // The data pages the table's map of used pages names, each checked.
    std::vector<std::uint32_t> pagineDati(const MdbTableDef* t) const;
    // The bytes of a long value (memo or OLE) whose 12-byte field is at `p`.
    bool valoreLungo(const unsigned char* p, std::size_t siz, std::string& out) const;

    // Every row of the table `voce` defines; with `soloCampi`, the other
    // fields are left NULL without being read. Danno when the table does not
    // read whole.
    std::shared_ptr<const Tabella> leggi(MdbCatalogEntry* voce, const std::string& nome,
                                         const std::vector<std::string>* soloCampi);

    // As leggi(), with libmdb's messages kept from the terminal and a
    // damaged table reported as such, naming it and the file.
    std::shared_ptr<const Tabella> leggiTabella(Voce& voce, const std::filesystem::path& file);

    static std::unique_ptr<Stato> apri(const std::filesystem::path& file);
};

namespace {

Error nonRiconosciuto(const std::filesystem::path& file, const std::string& perche) {
    return Error(err::UnrecognizedFormat,
                 "Unrecognized database format '" + NomeNelMessaggio(file) + "': " + perche + ".");
}

Error tabellaDanneggiata(const std::filesystem::path& file, const std::string& tabella) {
    return ErroreTabellaDanneggiata(NomeNelMessaggio(file), tabella);
}

} // namespace

void FileMdb::Stato::carica(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        throw nonRiconosciuto(file, std::string("the file cannot be read (") +
                                        std::strerror(errno) + ")");
    }
    in.seekg(0, std::ios::end);
    const std::streamoff n = in.tellg();
    in.seekg(0, std::ios::beg);
    if (n < 0) {
        throw nonRiconosciuto(file, "the file cannot be read");
    }
    dati = Memoria(static_cast<std::size_t>(n));
    dimensione = static_cast<std::size_t>(n);
    if (n > 0 && !in.read(reinterpret_cast<char*>(dati.get()), n)) {
        throw nonRiconosciuto(file, "the file cannot be read");
    }
    const std::string difetto = ControllaIntestazione(dati.get(), dimensione);
    if (!difetto.empty()) {
        throw nonRiconosciuto(file, difetto);
    }
    jet3 = dati[0x14] == MDB_VER_JET3;
    dimPagina = jet3 ? 2048 : 4096;
}

void FileMdb::Stato::apriLibmdb(const std::filesystem::path& file) {
    mdb = mdb_open_buffer(dati.get(), dimensione, MDB_NOFLAGS);
    if (mdb == nullptr) {
        throw nonRiconosciuto(file, "the database engine cannot open it");
    }
    // From here libmdb reads its pages through the stream with a budget.
    flusso.dati = dati.get();
    flusso.dimensione = dimensione;
    FILE* f = fopencookie(&flusso, "r",
                          cookie_io_functions_t{&Flusso::leggi, nullptr, &Flusso::cerca, nullptr});
    if (f == nullptr) {
        throw nonRiconosciuto(file, "the database engine cannot open it");
    }
    std::fclose(mdb->f->stream);
    mdb->f->stream = f;
    mdb->cur_pg = 0; // no page is taken as already read
    decifra();
}

// An enciphered file (a key in its header) is deciphered once, page by page
// through libmdb, so that every check reads the pages as they are meant.
void FileMdb::Stato::decifra() {
    if (mdb->f->db_key == 0) {
        return;
    }
    flusso.budget(pagine() + 16);
    for (std::size_t n = 1; n < pagine(); ++n) {
        if (mdb_read_alt_pg(mdb, static_cast<unsigned long>(n)) != mdb->fmt->pg_size) {
            throw Danno{};
        }
        std::memcpy(dati.get() + n * dimPagina, mdb->alt_pg_buf, dimPagina);
    }
    mdb->f->db_key = 0;
    mdb->cur_pg = 0;
}

// The list of tables is the system table on page 2, read here like any other
// table: libmdb's own catalog reading also parses the objects' properties,
// and a damaged property record can keep it going for ever.
void FileMdb::Stato::leggiElenco(const std::filesystem::path& file) {
    auto sistema = nuovaVoce("MSysObjects", 2);
    const std::vector<std::string> campi = {"Id", "Name", "Type", "Flags"};
    std::shared_ptr<const Tabella> oggetti;
    try {
        oggetti = leggi(sistema.get(), "MSysObjects", &campi);
    } catch (const Danno&) {
        throw nonRiconosciuto(file, "its list of tables is damaged");
    }
    const int id = oggetti->campo("Id");
    const int nomeOggetto = oggetti->campo("Name");
    const int tipo = oggetti->campo("Type");
    const int flag = oggetti->campo("Flags");
    if (id < 0 || nomeOggetto < 0 || tipo < 0 || flag < 0) {
        throw nonRiconosciuto(file, "its list of tables has not the usual fields");
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
        if (!NomeAccessValido(n)) {
            throw nonRiconosciuto(file, "its list of tables is damaged");
        }
        auto voce =
            nuovaVoce(n, static_cast<unsigned long>(static_cast<std::int64_t>(pagina.numero())) &
                             0x00FFFFFFul);
        voci.push_back({std::move(n), std::move(voce), nullptr});
    }
}

std::unique_ptr<FileMdb::Stato> FileMdb::Stato::apri(const std::filesystem::path& file) {
    auto s = std::make_unique<Stato>();
    s->percorso = file;
    s->carica(file);
    MessaggiLibmdb messaggi;
    try {
        s->apriLibmdb(file);
    } catch (const Danno&) {
        throw nonRiconosciuto(file, "the database engine cannot open it");
    }
    s->leggiElenco(file);
    if (messaggi.detto()) {
        throw nonRiconosciuto(file, "its list of tables is damaged");
    }
    return s;
}

std::optional<PostoRiga> FileMdb::Stato::riga(std::size_t n, std::size_t indice) const {
    if (n == 0 || n >= pagine() || pagina(n)[0] != 0x01) {
        return std::nullopt;
    }
    const unsigned char* pg = pagina(n);
    const std::size_t rco = offsetRighe();
    const std::size_t quante = u16(pg + rco);
    const std::size_t testata = rco + 2 + 2 * quante;
    if (indice >= quante || testata > dimPagina) {
        return std::nullopt;
    }
    const std::uint16_t grezzo = u16(pg + rco + 2 + 2 * indice);
    PostoRiga r;
    r.inizio = grezzo & 0x1FFF;
    r.fine = indice == 0 ? dimPagina : (u16(pg + rco + 2 * indice) & 0x1FFFu);
    r.cancellata = (grezzo & 0x8000) != 0;
    r.spostata = (grezzo & 0x4000) != 0;
    r.integra = r.inizio >= testata && r.inizio < r.fine && r.fine <= dimPagina;
    return r;
}

// The definition's pages are a chain (each names the next at offset 4); the
// chain must stay inside the file, on definition pages, and never loop.
std::vector<unsigned char> FileMdb::Stato::definizione(std::size_t n) const {
    std::vector<unsigned char> d;
    std::vector<char> vista(pagine(), 0);
    for (bool prima = true; n != 0; prima = false) {
        if (n >= pagine() || vista[n] != 0 || pagina(n)[0] != 0x02) {
            throw Danno{};
        }
        vista[n] = 1;
        const unsigned char* pg = pagina(n);
        d.insert(d.end(), pg + (prima ? 0 : 8), pg + dimPagina);
        n = u32(pg + 4);
    }
    if (d.empty()) {
        throw Danno{};
    }
    return d;
}

// The columns a definition declares: known kinds, widths that fit their kind
// and the page, names Access allows, all of it inside the definition's stated
// length; then each number and name once, no two fixed columns on the same
// bytes.
Dichiarazione FileMdb::Stato::descrittori(const std::vector<unsigned char>& d) const {
    const MdbFormatConstants& f = *mdb->fmt;
    const unsigned char* b = d.data();
    // Deleted columns keep their places: a row may have more columns, and
    // more variable ones, than the definition lists, never more than max_cols.
    Dichiarazione dich;
    dich.massimo = u16(b + f.tab_num_cols_offset - 4);
    const std::size_t nVar = u16(b + f.tab_num_cols_offset - 2);
    const std::size_t nCol = u16(b + f.tab_num_cols_offset);
    const std::size_t nReali = u32(b + f.tab_num_ridxs_offset);
    const std::size_t lunghezza = u32(b + 8);
    if (nCol == 0 || nCol > dich.massimo || dich.massimo > MDB_MAX_COLS || nVar > dich.massimo ||
        nReali > 1000 || lunghezza > d.size()) {
        throw Danno{};
    }
    std::size_t pos = f.tab_cols_start_offset + nReali * f.tab_ridx_entry_size;
    std::size_t nomi = pos + nCol * f.tab_col_entry_size;
    dich.colonne.resize(nCol);
    for (Descrittore& c : dich.colonne) {
        if (nomi + (jet3 ? 1 : 2) > lunghezza) {
            throw Danno{};
        }
        const unsigned char* e = b + pos;
        c.tipo = e[0];
        c.numero = e[f.col_num_offset];
        c.fissa = (e[f.col_flags_offset] & 0x01) != 0;
        c.offset = u16(e + f.tab_col_offset_fixed);
        c.dimensione = u16(e + f.col_size_offset);
        const int larghezza = larghezzaFissa(c.tipo);
        if (c.numero >= dich.massimo) {
            throw Danno{}; // a column's number counts the deleted ones too
        }
        // Numbers are fixed columns of their kind's width; long values never
        // are; a yes/no column takes no room in the row (size 1 or 0 stated).
        if (c.tipo == MDB_BOOL) {
            if (c.dimensione > 1) {
                throw Danno{};
            }
            c.dimensione = 0;
        }
        if (larghezza < 0 ||
            (larghezza > 0 && (!c.fissa || c.dimensione != static_cast<std::size_t>(larghezza))) ||
            (c.fissa && (c.tipo == MDB_MEMO || c.tipo == MDB_OLE)) ||
            (c.fissa && c.offset + c.dimensione > dimPagina)) {
            throw Danno{};
        }
        const std::size_t n = jet3 ? b[nomi] : u16(b + nomi);
        nomi += jet3 ? 1 : 2;
        if (nomi + n > lunghezza || (!jet3 && n % 2 != 0)) {
            throw Danno{};
        }
        for (std::size_t i = 0; i < n; i += jet3 ? 1 : 2) {
            c.nome += jet3 ? static_cast<char>(b[nomi + i]) : carattere1252(u16(b + nomi + i));
        }
        nomi += n;
        pos += f.tab_col_entry_size;
    }
    controllaColonne(dich.colonne);
    return dich;
}

void FileMdb::Stato::controllaColonne(const std::vector<Descrittore>& colonne) {
    std::vector<std::pair<std::size_t, std::size_t>> fisse; // offset, end
    for (std::size_t i = 0; i < colonne.size(); ++i) {
        const Descrittore& c = colonne[i];
        if (!NomeAccessValido(c.nome)) {
            throw Danno{};
        }
        for (std::size_t j = 0; j < i; ++j) {
            if (colonne[j].numero == c.numero || UgualiSenzaMaiuscole(colonne[j].nome, c.nome)) {
                throw Danno{};
            }
        }
        if (c.fissa && c.dimensione > 0) {
            fisse.emplace_back(c.offset, c.offset + c.dimensione);
        }
    }
    std::sort(fisse.begin(), fisse.end());
    for (std::size_t i = 1; i < fisse.size(); ++i) {
        if (fisse[i].first < fisse[i - 1].second) {
            throw Danno{};
        }
    }
}

// Map type 0 holds the bitmap itself (bit i: page start + i); type 1 names
// bitmap pages (type 0x05), each covering the pages of its own stretch of the
// file. Every page named must be inside the file, a data page, and the
// table's own.
std::vector<std::uint32_t> FileMdb::Stato::pagineDati(const MdbTableDef* t) const {
    const unsigned char* m = t->usage_map;
    const std::size_t n = t->map_sz;
    std::vector<std::uint32_t> elenco;
    auto aggiungi = [&](std::uint64_t p) {
        if (p >= pagine() || pagina(p)[0] != 0x01 || u32(pagina(p) + 4) != t->entry->table_pg) {
            throw Danno{};
        }
        elenco.push_back(static_cast<std::uint32_t>(p));
    };
    auto bitmap = [&](const unsigned char* bit, std::size_t byte, std::uint64_t primo) {
        for (std::size_t i = 0; i < byte * 8; ++i) {
            if ((bit[i / 8] & (1u << (i % 8))) != 0) {
                aggiungi(primo + i);
            }
        }
    };
    if (m == nullptr || n < 5 || n > dimPagina) {
        throw Danno{};
    }
    if (m[0] == 0) {
        bitmap(m + 5, n - 5, u32(m + 1));
    } else if (m[0] == 1) {
        const std::size_t perPagina = (dimPagina - 4) * 8;
        for (std::size_t k = 0; 1 + 4 * k + 4 <= n; ++k) {
            const std::uint32_t p = u32(m + 1 + 4 * k);
            if (p == 0) {
                continue;
            }
            if (p >= pagine() || pagina(p)[0] != 0x05) {
                throw Danno{};
            }
            bitmap(pagina(p) + 4, dimPagina - 4, std::uint64_t{k} * perPagina);
        }
    } else {
        throw Danno{};
    }
    std::vector<std::uint32_t> ordinate = elenco;
    std::sort(ordinate.begin(), ordinate.end());
    if (std::adjacent_find(ordinate.begin(), ordinate.end()) != ordinate.end()) {
        throw Danno{};
    }
    return elenco;
}

// A long value is kept in the row (flag 0x80), in one long-value row (0x40)
// or in a chain of them, each beginning with the pointer to the next. The
// pieces must add up to the length the field states.
bool FileMdb::Stato::valoreLungo(const unsigned char* p, std::size_t siz, std::string& out) const {
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
    if (lunghezza > dimensione) {
        return false; // no value is longer than its file
    }
    const bool unaRiga = (testa & 0x40000000u) != 0;
    std::uint32_t puntatore = u32(p + 4);
    for (std::size_t giri = 0; puntatore != 0 && out.size() < lunghezza; ++giri) {
        const auto r = riga(puntatore >> 8, puntatore & 0xFF);
        if (giri > pagine() || !r || !r->integra) {
            return false;
        }
        const unsigned char* b = pagina(puntatore >> 8) + r->inizio;
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

namespace {

// The reading of one table: its columns, then its data pages row by row.
class Lettura {
public:
    Lettura(const FileMdb::Stato& s, MdbHandle* mdb, MdbTableDef* t) : s_(s), mdb_(mdb), t_(t) {}

    void preparaColonne(const Dichiarazione& dichiarazione,
                        const std::vector<std::string>* soloCampi, std::size_t righeMassime);
    void leggiPagina(std::uint32_t pagina);
    std::size_t righe() const { return righe_; }
    std::vector<ColonnaLetta> colonne() { return std::move(colonne_); }

private:
    void carica(std::uint32_t pagina);
    // Where the row of slot `indice` of page `pagina` really is: a moved
    // row leads to its new place (at most a few steps away).
    std::pair<std::uint32_t, PostoRiga> destinazione(std::uint32_t pagina, PostoRiga r);
    void leggiRiga(const PostoRiga& r);
    void leggiCampo(ColonnaLetta& c, const MdbColumn* mc, const MdbField& f, const PostoRiga& r);
    void leggiFisso(ColonnaLetta& c, const MdbColumn* mc, const unsigned char* p, std::size_t siz);

    const FileMdb::Stato& s_;
    MdbHandle* mdb_;
    MdbTableDef* t_;
    std::vector<ColonnaLetta> colonne_;
    std::vector<MdbColumn*> mdbCol_;
    std::vector<char> letta_;
    std::vector<MdbField> campi_;
    std::string lungo_;
    std::uint32_t caricata_ = 0; // the page in libmdb's page buffer
    std::size_t righe_ = 0;
    std::size_t testo_ = 0;   // bytes of text read, never more than the file
    std::size_t massimo_ = 0; // the most columns a row may have
};

// libmdb's columns (in the order of their numbers) must be the columns the
// definition declares: same kinds, same names.
void Lettura::preparaColonne(const Dichiarazione& dichiarazione,
                             const std::vector<std::string>* soloCampi, std::size_t righeMassime) {
    const std::vector<Descrittore>& dichiarate = dichiarazione.colonne;
    massimo_ = dichiarazione.massimo;
    const unsigned nc = t_->num_cols;
    if (t_->columns == nullptr || t_->columns->len != nc || nc != dichiarate.size()) {
        throw Danno{};
    }
    colonne_.resize(nc);
    mdbCol_.resize(nc);
    letta_.assign(nc, 1);
    campi_.resize(nc);
    for (unsigned i = 0; i < nc; ++i) {
        MdbColumn* mc = static_cast<MdbColumn*>(g_ptr_array_index(t_->columns, i));
        const auto d =
            std::find_if(dichiarate.begin(), dichiarate.end(), [&](const Descrittore& x) {
                return x.numero == static_cast<unsigned>(mc->col_num);
            });
        if (d == dichiarate.end() || d->tipo != mc->col_type || Cp1252DaUtf8(mc->name) != d->nome) {
            throw Danno{};
        }
        mdbCol_[i] = mc;
        colonne_[i].nome = d->nome;
        colonne_[i].tipo = tipoDi(mc->col_type);
        colonne_[i].riserva(righeMassime);
        if (soloCampi != nullptr) {
            letta_[i] =
                std::any_of(soloCampi->begin(), soloCampi->end(),
                            [&](const std::string& n) { return UgualiSenzaMaiuscole(n, d->nome); });
        }
    }
}

void Lettura::carica(std::uint32_t pagina) {
    if (caricata_ != pagina) {
        std::memcpy(mdb_->pg_buf, s_.pagina(pagina), s_.dimPagina);
        mdb_->cur_pg = pagina;
        caricata_ = pagina;
    }
}

std::pair<std::uint32_t, PostoRiga> Lettura::destinazione(std::uint32_t pagina, PostoRiga r) {
    for (int passi = 0; r.spostata; ++passi) {
        if (passi > 8 || r.fine - r.inizio < 4) {
            throw Danno{};
        }
        const std::uint32_t puntatore = u32(s_.pagina(pagina) + r.inizio);
        pagina = puntatore >> 8;
        const auto nuova = s_.riga(pagina, puntatore & 0xFF);
        if (!nuova || u32(s_.pagina(pagina) + 4) != t_->entry->table_pg) {
            throw Danno{};
        }
        r = *nuova; // the far end of a moved row is always marked deleted
        if (!r.integra) {
            throw Danno{};
        }
    }
    return {pagina, r};
}

void Lettura::leggiPagina(std::uint32_t pagina) {
    const std::size_t quante = u16(s_.pagina(pagina) + s_.offsetRighe());
    for (std::size_t i = 0; i < quante; ++i) {
        const auto posto = s_.riga(pagina, i);
        if (!posto) {
            throw Danno{};
        }
        if (posto->cancellata) {
            continue;
        }
        if (!posto->integra) {
            throw Danno{};
        }
        const auto [dove, r] = destinazione(pagina, *posto);
        carica(dove);
        leggiRiga(r);
    }
}

// A Jet 4 row holds together: its count of columns, then from its end the
// null mask, the count of variable columns and, before it, their offsets and
// the end of their data, in order and inside the row.
bool rigaCoerente(const unsigned char* r, std::size_t n, std::size_t massimo, bool variabili) {
    if (n < 3) {
        return false;
    }
    const std::size_t colonne = u16(r);
    const std::size_t maschera = (colonne + 7) / 8;
    if (colonne == 0 || colonne > massimo || 2 + maschera > n) {
        return false;
    }
    if (!variabili) {
        return true;
    }
    if (2 + maschera + 2 > n) {
        return false;
    }
    const std::size_t nVar = u16(r + n - maschera - 2);
    if (nVar > massimo || 2 + maschera + 2 + 2 * (nVar + 1) > n) {
        return false;
    }
    const std::size_t tabella = n - maschera - 2 - 2 * (nVar + 1);
    std::size_t prima = 2;
    for (std::size_t i = 0; i <= nVar; ++i) { // the offsets stand last first
        const std::size_t o = u16(r + n - maschera - 4 - 2 * i);
        if (o < prima || o > tabella) {
            return false;
        }
        prima = o;
    }
    return true;
}

void Lettura::leggiRiga(const PostoRiga& r) {
    const unsigned nc = t_->num_cols;
    if (!s_.jet3 &&
        !rigaCoerente(mdb_->pg_buf + r.inizio, r.fine - r.inizio, massimo_, t_->num_var_cols > 0)) {
        throw Danno{};
    }
    if (mdb_crack_row(t_, static_cast<int>(r.inizio), r.fine - r.inizio, campi_.data()) < 0) {
        throw Danno{};
    }
    for (unsigned i = 0; i < nc; ++i) {
        const MdbField& f = campi_[i];
        const unsigned k =
            static_cast<unsigned>(f.colnum) < nc ? static_cast<unsigned>(f.colnum) : i;
        if (!letta_[k]) {
            colonne_[k].aggiungiNullo();
        } else {
            leggiCampo(colonne_[k], mdbCol_[k], f, r);
        }
    }
    // Text is never more than the file holds (a damaged pointer could repeat
    // a long value row after row).
    if (testo_ > s_.dimensione) {
        throw Danno{};
    }
    ++righe_;
}

void Lettura::leggiCampo(ColonnaLetta& c, const MdbColumn* mc, const MdbField& f,
                         const PostoRiga& r) {
    if (mc->col_type == MDB_BOOL) {
        c.aggiungiIntero(f.is_null ? 0 : -1); // a yes/no field is its null bit: set is True
        return;
    }
    if (f.is_null) {
        c.aggiungiNullo();
        return;
    }
    if (f.start < 0 || f.siz < 0 || static_cast<std::size_t>(f.start) < r.inizio ||
        static_cast<std::size_t>(f.start) + static_cast<std::size_t>(f.siz) > r.fine) {
        throw Danno{}; // a value outside its row
    }
    const unsigned char* p = mdb_->pg_buf + f.start;
    const auto siz = static_cast<std::size_t>(f.siz);
    switch (mc->col_type) {
    case MDB_TEXT:
        if (s_.jet3) {
            c.testi.insert(c.testi.end(), p, p + siz);
        } else if (!decodificaTesto4(p, siz, c.testi)) {
            throw Danno{};
        }
        c.chiudiTesto();
        testo_ += siz;
        return;
    case MDB_MEMO:
    case MDB_OLE:
        if (!s_.valoreLungo(p, siz, lungo_)) {
            throw Danno{};
        }
        if (mc->col_type == MDB_MEMO && !s_.jet3) {
            if (!decodificaTesto4(reinterpret_cast<const unsigned char*>(lungo_.data()),
                                  lungo_.size(), c.testi)) {
                throw Danno{};
            }
            c.chiudiTesto();
        } else {
            c.aggiungiTesto(lungo_);
        }
        testo_ += lungo_.size();
        return;
    default:
        leggiFisso(c, mc, p, siz);
        return;
    }
}

// Values of the fixed kinds, read natively; other kinds keep their bytes.
void Lettura::leggiFisso(ColonnaLetta& c, const MdbColumn* mc, const unsigned char* p,
                         std::size_t siz) {
    const int larghezza = larghezzaFissa(mc->col_type);
    if (larghezza > 0 && siz < static_cast<std::size_t>(larghezza)) {
        throw Danno{};
    }
    switch (mc->col_type) {
    case MDB_BYTE:
        c.aggiungiIntero(p[0]);
        return;
    case MDB_INT:
        c.aggiungiIntero(static_cast<std::int16_t>(u16(p)));
        return;
    case MDB_LONGINT:
        c.aggiungiIntero(static_cast<std::int32_t>(u32(p)));
        return;
    case MDB_MONEY: {
        std::int64_t v;
        std::memcpy(&v, p, 8);
        c.aggiungiIntero(v);
        return;
    }
    case MDB_FLOAT: {
        float v;
        std::memcpy(&v, p, 4);
        c.aggiungiReale(v);
        return;
    }
    case MDB_DOUBLE:
    case MDB_DATETIME: {
        double v;
        std::memcpy(&v, p, 8);
        c.aggiungiReale(v);
        return;
    }
    case MDB_NUMERIC:
        // libmdb 1.0.0 holds the precision in col_scale and the scale in
        // col_prec; the scale is never the larger of the two.
        c.aggiungiReale(leggiNumeric(p, std::min(mc->col_prec, mc->col_scale)));
        return;
    default:
        c.aggiungiTesto(std::string_view(reinterpret_cast<const char*>(p), siz));
        testo_ += siz;
        return;
    }
}

struct LiberaDefinizione {
    void operator()(MdbTableDef* t) const { mdb_free_tabledef(t); }
};

} // namespace

std::shared_ptr<const Tabella> FileMdb::Stato::leggi(MdbCatalogEntry* voce,
                                                     const std::string& nomeTabella,
                                                     const std::vector<std::string>* soloCampi) {
    const std::vector<unsigned char> d = definizione(voce->table_pg);
    const Dichiarazione dichiarate = descrittori(d);
    // The maps' rows must be inside the file before libmdb looks for them.
    for (const std::uint16_t offset :
         {mdb->fmt->tab_usage_map_offset, mdb->fmt->tab_free_map_offset}) {
        if ((u32(d.data() + offset) >> 8) >= pagine()) {
            throw Danno{};
        }
    }
    flusso.budget(pagine() + 1024);
    std::unique_ptr<MdbTableDef, LiberaDefinizione> t(mdb_read_table(voce));
    if (!t || mdb_read_columns(t.get()) == nullptr || flusso.guasto()) {
        throw Danno{};
    }
    const std::vector<std::uint32_t> elenco = pagineDati(t.get());
    // The rows counted cannot be more than the pages have room for.
    std::size_t posti = 0;
    for (const std::uint32_t p : elenco) {
        const std::size_t n = u16(pagina(p) + offsetRighe());
        if (offsetRighe() + 2 + 2 * n > dimPagina) {
            throw Danno{};
        }
        posti += n;
    }
    if (t->num_rows > posti) {
        throw Danno{};
    }
    Lettura lettura(*this, mdb, t.get());
    lettura.preparaColonne(dichiarate, soloCampi, t->num_rows);
    for (const std::uint32_t p : elenco) {
        lettura.leggiPagina(p);
    }
    if (lettura.righe() != t->num_rows) {
        throw Danno{};
    }
    return std::make_shared<const Tabella>(nomeTabella, lettura.colonne(), lettura.righe(),
                                           NomeNelMessaggio(percorso));
}

std::shared_ptr<const Tabella> FileMdb::Stato::leggiTabella(Voce& voce,
                                                            const std::filesystem::path& file) {
    MessaggiLibmdb messaggi;
    std::shared_ptr<const Tabella> t;
    try {
        t = leggi(voce.voce.get(), voce.nome, nullptr);
    } catch (const Danno&) {
        throw tabellaDanneggiata(file, voce.nome);
    }
    if (messaggi.detto()) {
        throw tabellaDanneggiata(file, voce.nome);
    }
    return t;
}

FileMdb::FileMdb(const std::filesystem::path& file) : percorso_(file) {
    try {
        stato_ = Stato::apri(file);
    } catch (const Error& e) {
        if (e.number() != err::UnrecognizedFormat) {
            throw;
        }
        attendiPrimaDiRileggere(); // the suite may be in the middle of a write
        stato_ = Stato::apri(file);
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
    Stato::Voce* voce = stato_->trova(nome);
    const bool alterato =
        std::any_of(stato_->voci.begin(), stato_->voci.end(),
                    [&](const Stato::Voce& v) { return NomeAlterato(nome, v.nome); });
    if (voce == nullptr && alterato) {
        throw tabellaDanneggiata(percorso_, std::string(nome));
    }
    if (voce == nullptr) {
        throw Error(err::TableNotFound, "Could not find the table '" + std::string(nome) +
                                            "' in '" + NomeNelMessaggio(percorso_) + "'.");
    }
    if (!voce->righe) {
        try {
            voce->righe = stato_->leggiTabella(*voce, percorso_);
        } catch (const Error& e) {
            if (e.number() != err::UnrecognizedFormat) {
                throw;
            }
            const std::string n = voce->nome;
            rileggi(n);
            voce = stato_->trova(n);
        }
        const bool tutte = std::all_of(stato_->voci.begin(), stato_->voci.end(),
                                       [](const Stato::Voce& v) { return v.righe != nullptr; });
        if (tutte) {
            stato_->rilascia();
        }
    }
    return voce->righe;
}

// A table found damaged: after a pause the whole file is read again, and the
// table from the new bytes. The tables already read stay as they were read.
void FileMdb::rileggi(const std::string& nome) {
    attendiPrimaDiRileggere();
    std::unique_ptr<Stato> nuovo = Stato::apri(percorso_);
    Stato::Voce* voce = nuovo->trova(nome);
    if (voce == nullptr) {
        throw tabellaDanneggiata(percorso_, nome); // it was in the list a moment ago
    }
    voce->righe = nuovo->leggiTabella(*voce, percorso_);
    for (const Stato::Voce& v : stato_->voci) {
        if (Stato::Voce* w = nuovo->trova(v.nome); w != nullptr && v.righe && !w->righe) {
            w->righe = v.righe;
        }
    }
    stato_ = std::move(nuovo);
}

} // namespace vdx::jet
