#include "jet/FileMdb.h"

#include "jet/FileLeggibile.h"
#include "jet/InteriPagina.h"
#include "jet/LetturaTabella.h"
#include "jet/Pagine.h"
#include "jet/Riga.h"
#include "shared/Cp1252.h"
#include "shared/Errore.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mdbtools.h>
#include <mutex>
#include <optional>
#include <system_error>
#include <thread>

namespace vdx::jet {

namespace {

constexpr unsigned char Firma[4] = {0x00, 0x01, 0x00, 0x00};

TipoCampo TipoDi(int tipoMdb) {
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
int LarghezzaFissa(int tipoMdb) {
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
    bool HaScritto() {
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

std::function<void()>& AttesaRilettura() {
    static std::function<void()> attesa;
    return attesa;
}

void AttendiPrimaDiRileggere() {
    if (AttesaRilettura()) {
        AttesaRilettura()();
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

Errore ErroreTabellaDanneggiata(const std::string& file, const std::string& tabella) {
    return Errore(errore::FormatoNonRiconosciuto,
                  "La tabella '" + tabella + "' di '" + file +
                      "' non si pu\xF2 leggere: il file \xE8 danneggiato.");
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
    AttesaRilettura() = std::move(attesa);
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

std::string NomeNelMessaggio(const std::filesystem::path& file) {
    return Cp1252DaUtf8(file.string());
}

std::string ControllaIntestazione(const unsigned char* dati, std::size_t dimensione) {
    if (dimensione < 2048) {
        return "\xE8 troppo corto per un database Access";
    }
    if (std::memcmp(dati, Firma, sizeof Firma) != 0 ||
        (std::memcmp(dati + 4, "Standard Jet DB", 16) != 0 &&
         std::memcmp(dati + 4, "Standard ACE DB", 16) != 0)) {
        return "non comincia come un database Access";
    }
    const unsigned versione = dati[0x14];
    if (versione > MDB_VER_ACCDB_2016) {
        return "la versione " + std::to_string(versione) + " del database non \xE8 conosciuta";
    }
    const std::size_t pagina = versione == MDB_VER_JET3 ? 2048 : 4096;
    if (dimensione % pagina != 0 || dimensione < 3 * pagina) {
        return "non \xE8 fatto di pagine intere (danneggiato o troncato)";
    }
    return {};
}

namespace {

// The first bytes of a file, read with one read when it is opened: what
// libmdb and the list of tables read, on a network share, in one round trip.
constexpr std::size_t ByteTesta = 64 * 1024;

// `n` bytes from `offset` of the file: from `testa` (its first bytes) when
// they are there, else from the file.
bool LeggiConTesta(const Sorgente& s, const std::vector<unsigned char>& testa, std::uint64_t offset,
                   std::size_t n, unsigned char* dst) {
    if (offset <= testa.size() && n <= testa.size() - offset) {
        std::memcpy(dst, testa.data() + offset, n);
        return true;
    }
    return s.Leggi(offset, n, dst);
}

// The stream libmdb reads the pages of table definitions from: the file,
// through its Sorgente, with a limit of page reads for each piece of work. Past the limit
// the stream looks empty and libmdb stops; a read at or past the end of the
// file (which libmdb 1.0.0 would take as a page of zeros) is remembered. Both
// make the work damage.
struct Flusso {
    const Sorgente* sorgente = nullptr;
    const std::vector<unsigned char>* testa = nullptr;
    std::size_t dimensione = 0;
    off64_t posizione = 0;
    std::size_t letture = 0; // positionings on a page, one per page read
    std::size_t limite = 0;
    bool esaurito = false;
    bool oltreLaFine = false;

    // A new piece of work, of at most `pagine` page reads.
    void LimitaLetture(std::size_t pagine) {
        letture = 0;
        limite = pagine;
        esaurito = false;
        oltreLaFine = false;
    }
    bool Guasto() const { return esaurito || oltreLaFine; }

    static ssize_t Leggi(void* cookie, char* buf, size_t n) {
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
        if (!LeggiConTesta(*f->sorgente, *f->testa, pos, k,
                           reinterpret_cast<unsigned char*>(buf))) {
            f->oltreLaFine = true; // the file has become shorter
            return 0;
        }
        f->posizione += static_cast<off64_t>(k);
        return static_cast<ssize_t>(k);
    }

    static int Cerca(void* cookie, off64_t* pos, int da) {
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

// A column of a table definition, as stored.
struct Descrittore {
    int tipo = 0;
    unsigned numero = 0;
    unsigned variabile = 0; // a variable column: its place among the row's variable fields
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
    // The file, read by pages; the tables read from it keep it open.
    std::shared_ptr<Sorgente> sorgente;
    std::vector<unsigned char> testa; // its first bytes (libmdb opens the file from them)
    std::size_t dimensione = 0;
    std::size_t dimPagina = 4096;
    bool jet3 = false;
    std::filesystem::path percorso;
    Flusso flusso;
    MdbHandle* mdb = nullptr;

    struct Voce {
        std::string nome;                      // code page 1252
        std::unique_ptr<MdbCatalogEntry> voce; // what libmdb reads a table by
        std::shared_ptr<const Tabella> righe;  // once its definition is read
    };
    std::vector<Voce> voci;

    ~Stato() { Rilascia(); }

    std::size_t NumeroPagine() const { return dimensione / dimPagina; }
    // Page `n` of the file (Danno when it cannot be read).
    std::vector<unsigned char> Pagina(std::size_t n) const {
        std::vector<unsigned char> pg(dimPagina);
        if (n >= NumeroPagine() ||
            !LeggiConTesta(*sorgente, testa, std::uint64_t{n} * dimPagina, dimPagina, pg.data())) {
            throw Danno{};
        }
        return pg;
    }

    // Once every table's definition is read libmdb is no longer needed.
    void Rilascia() {
        if (mdb != nullptr) {
            mdb_close(mdb);
            mdb = nullptr;
        }
        for (auto& v : voci) {
            v.voce.reset();
        }
    }

    Voce* Trova(std::string_view nome) {
        for (auto& v : voci) {
            if (UgualiSenzaMaiuscole(v.nome, nome)) {
                return &v;
            }
        }
        return nullptr;
    }

    std::unique_ptr<MdbCatalogEntry> NuovaVoce(const std::string& nome,
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

    // Opening, in order: the file, libmdb, the list of tables.
    void Carica(const std::filesystem::path& file);
    void ApriLibmdb(const std::filesystem::path& file);
    void Decifra();
    void LeggiElenco(const std::filesystem::path& file);

    // The definition of the table on page `n`, its pages joined; Danno when
    // it is not one.
    std::vector<unsigned char> Definizione(std::size_t n) const;
    Dichiarazione Descrittori(const std::vector<unsigned char>& d) const;
    static void ControllaColonne(const std::vector<Descrittore>& colonne);
    // The data pages the table's map of used pages names: inside the file,
    // each once.
    std::vector<std::uint32_t> PagineDati(const MdbTableDef* t) const;
    // How the rows of the table libmdb read lie; its fields into `campi`.
    PianoRiga Piano(const Dichiarazione& dichiarazione, const MdbTableDef* t,
                    const std::vector<std::string>* soloCampi,
                    std::vector<CampoTabella>& campi) const;

    // What the rows of the table `voce` defines are read by; with
    // `soloCampi`, the values of the other fields are not checked. Danno
    // when the definition does not hold together, or is not of the kind
    // (user or system table, `sistema`) the list of tables says.
    DefinizioneTabella Leggi(MdbCatalogEntry* voce, bool sistema,
                             const std::vector<std::string>* soloCampi,
                             std::vector<CampoTabella>& campi);

    // As Leggi(), with libmdb's messages kept from the terminal and a
    // damaged definition reported as such, naming the table and the file.
    DefinizioneTabella DefinizioneDi(Voce& voce, const std::filesystem::path& file,
                                     std::vector<CampoTabella>& campi);
    std::shared_ptr<const Tabella> LeggiTabella(Voce& voce, const std::filesystem::path& file);

    static std::unique_ptr<Stato> Apri(const std::filesystem::path& file);
};

namespace {

Errore NonRiconosciuto(const std::filesystem::path& file, const std::string& perche) {
    return Errore(errore::FormatoNonRiconosciuto,
                  "Il file '" + NomeNelMessaggio(file) +
                      "' \xE8 danneggiato o non \xE8 un database Access: " + perche + ".");
}

Errore TabellaDanneggiata(const std::filesystem::path& file, const std::string& tabella) {
    return ErroreTabellaDanneggiata(NomeNelMessaggio(file), tabella);
}

} // namespace

void FileMdb::Stato::Carica(const std::filesystem::path& file) {
    std::unique_ptr<FileLeggibile> aperto;
    try {
        aperto = ApriFileLeggibile(file);
    } catch (const std::system_error& e) {
        const int codice = e.code().value();
        // No pause and no second reading would change a permission.
        if (codice == EACCES || codice == EPERM) {
            throw Errore(errore::PermessoNegato, "Il file '" + NomeNelMessaggio(file) +
                                                     "' non si pu\xF2 aprire: manca il permesso "
                                                     "di leggerlo.");
        }
        throw NonRiconosciuto(file, std::string("non si pu\xF2 leggere (") +
                                        DescrizioneErrno(codice) + ")");
    }
    dimensione = aperto->Dimensione();
    sorgente = std::make_shared<Sorgente>(std::move(aperto));
    testa.resize(std::min(dimensione, ByteTesta));
    if (!sorgente->Leggi(0, testa.size(), testa.data())) {
        throw NonRiconosciuto(file, "non si pu\xF2 leggere");
    }
    const std::string difetto = ControllaIntestazione(testa.data(), dimensione);
    if (!difetto.empty()) {
        throw NonRiconosciuto(file, difetto);
    }
    jet3 = testa[0x14] == MDB_VER_JET3;
    dimPagina = jet3 ? 2048 : 4096;
}

void FileMdb::Stato::ApriLibmdb(const std::filesystem::path& file) {
    mdb = mdb_open_buffer(testa.data(), std::min<std::size_t>(testa.size(), 4096), MDB_NOFLAGS);
    if (mdb == nullptr) {
        throw NonRiconosciuto(file, "il motore del database non riesce ad aprirlo");
    }
    // From here libmdb reads its pages through the stream, a limited number.
    flusso.sorgente = sorgente.get();
    flusso.testa = &testa;
    flusso.dimensione = dimensione;
    FILE* f = fopencookie(&flusso, "r",
                          cookie_io_functions_t{&Flusso::Leggi, nullptr, &Flusso::Cerca, nullptr});
    if (f == nullptr) {
        throw NonRiconosciuto(file, "il motore del database non riesce ad aprirlo");
    }
    std::setvbuf(f, nullptr, _IOFBF, dimPagina); // a page read is one read, no more
    std::fclose(mdb->f->stream);
    mdb->f->stream = f;
    mdb->cur_pg = 0; // no page is taken as already read
    Decifra();
}

// An enciphered file is deciphered once, page by page through libmdb, into
// memory, so that every check reads the pages as they are meant.
void FileMdb::Stato::Decifra() {
    if (mdb->f->db_key == 0) {
        return;
    }
    std::unique_ptr<unsigned char[]> chiaro(new unsigned char[dimensione]);
    if (!sorgente->Leggi(0, dimPagina, chiaro.get())) {
        throw Danno{};
    }
    flusso.LimitaLetture(NumeroPagine() + 16);
    for (std::size_t n = 1; n < NumeroPagine(); ++n) {
        if (mdb_read_alt_pg(mdb, static_cast<unsigned long>(n)) != mdb->fmt->pg_size) {
            throw Danno{};
        }
        std::memcpy(chiaro.get() + n * dimPagina, mdb->alt_pg_buf, dimPagina);
    }
    sorgente->TieniInMemoria(std::move(chiaro));
    mdb->f->db_key = 0;
    mdb->cur_pg = 0;
}

// The list of tables is the system table on page 2, read here like any other
// table: libmdb's own catalog reading also parses the objects' properties,
// and a damaged property record can keep it going for ever.
void FileMdb::Stato::LeggiElenco(const std::filesystem::path& file) {
    auto sistema = NuovaVoce("MSysObjects", 2);
    const std::vector<std::string> soloCampi = {"Id", "Name", "Type", "Flags"};
    std::vector<CampoTabella> campi;
    std::shared_ptr<const RigheTabella> oggetti;
    try {
        oggetti = RigheTabella::Leggi(Leggi(sistema.get(), true, &soloCampi, campi), nullptr);
    } catch (const Danno&) {
        throw NonRiconosciuto(file, "il suo elenco delle tabelle \xE8 danneggiato");
    }
    std::size_t colonne[4] = {};
    for (std::size_t k = 0; k < 4; ++k) {
        const auto c = std::find_if(campi.begin(), campi.end(), [&](const CampoTabella& x) {
            return UgualiSenzaMaiuscole(x.nome, soloCampi[k]);
        });
        if (c == campi.end()) {
            throw NonRiconosciuto(file, "il suo elenco delle tabelle non ha i campi soliti");
        }
        colonne[k] = static_cast<std::size_t>(c - campi.begin());
    }
    Riga riga;
    const auto valore = [&](std::size_t k) {
        return Tabella::ValoreDi(riga, colonne[k], campi[colonne[k]].tipo);
    };
    for (std::size_t r = 0; r < oggetti->NumeroRighe(); ++r) {
        Valore pagina, nome, tipo, bandiere;
        try {
            oggetti->Carica(r, riga);
            pagina = valore(0);
            nome = valore(1);
            tipo = valore(2);
            bandiere = valore(3);
        } catch (const Danno&) {
            throw NonRiconosciuto(file, "il suo elenco delle tabelle \xE8 danneggiato");
        }
        // A user table: type 1, neither of the system flags.
        if (tipo.Nullo() || (static_cast<std::int64_t>(tipo.ComeNumero()) & 0x7F) != MDB_TABLE ||
            pagina.Nullo() ||
            (static_cast<std::uint32_t>(static_cast<std::int64_t>(bandiere.ComeNumero())) &
             0x80000002u) != 0) {
            continue;
        }
        std::string n = nome.ComeTesto();
        if (!NomeAccessValido(n)) {
            throw NonRiconosciuto(file, "il suo elenco delle tabelle \xE8 danneggiato");
        }
        auto voce = NuovaVoce(
            n, static_cast<unsigned long>(static_cast<std::int64_t>(pagina.ComeNumero())) &
                   0x00FFFFFFul);
        voci.push_back({std::move(n), std::move(voce), nullptr});
    }
}

std::unique_ptr<FileMdb::Stato> FileMdb::Stato::Apri(const std::filesystem::path& file) {
    auto s = std::make_unique<Stato>();
    s->percorso = file;
    s->Carica(file);
    MessaggiLibmdb messaggi;
    try {
        s->ApriLibmdb(file);
    } catch (const Danno&) {
        throw NonRiconosciuto(file, "il motore del database non riesce ad aprirlo");
    }
    s->LeggiElenco(file);
    if (messaggi.HaScritto()) {
        throw NonRiconosciuto(file, "il suo elenco delle tabelle \xE8 danneggiato");
    }
    return s;
}

// The definition's pages are a chain (each names the next at offset 4); the
// chain must stay inside the file, on definition pages, and never loop.
std::vector<unsigned char> FileMdb::Stato::Definizione(std::size_t n) const {
    std::vector<unsigned char> d;
    std::vector<char> vista(NumeroPagine(), 0);
    for (bool prima = true; n != 0; prima = false) {
        if (n >= NumeroPagine() || vista[n] != 0) {
            throw Danno{};
        }
        const std::vector<unsigned char> pg = Pagina(n);
        if (pg[0] != 0x02) {
            throw Danno{};
        }
        vista[n] = 1;
        d.insert(d.end(), pg.begin() + (prima ? 0 : 8), pg.end());
        n = U32(pg.data() + 4);
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
Dichiarazione FileMdb::Stato::Descrittori(const std::vector<unsigned char>& d) const {
    const MdbFormatConstants& f = *mdb->fmt;
    const unsigned char* b = d.data();
    // Deleted columns keep their places: a row may have more columns, and
    // more variable ones, than the definition lists, never more than max_cols.
    Dichiarazione dich;
    dich.massimo = U16(b + f.tab_num_cols_offset - 4);
    const std::size_t nVar = U16(b + f.tab_num_cols_offset - 2);
    const std::size_t nCol = U16(b + f.tab_num_cols_offset);
    const std::size_t nReali = U32(b + f.tab_num_ridxs_offset);
    const std::size_t lunghezza = U32(b + 8);
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
        c.variabile = U16(e + f.tab_col_offset_var);
        c.fissa = (e[f.col_flags_offset] & 0x01) != 0;
        c.offset = U16(e + f.tab_col_offset_fixed);
        c.dimensione = U16(e + f.col_size_offset);
        const int larghezza = LarghezzaFissa(c.tipo);
        // A column's number, and a variable column's place among the
        // variable fields, count the deleted columns too, never more.
        if (c.numero >= dich.massimo || (!c.fissa && c.variabile >= nVar + dich.massimo - nCol)) {
            throw Danno{};
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
        const std::size_t n = jet3 ? b[nomi] : U16(b + nomi);
        nomi += jet3 ? 1 : 2;
        if (nomi + n > lunghezza || (!jet3 && n % 2 != 0)) {
            throw Danno{};
        }
        for (std::size_t i = 0; i < n; i += jet3 ? 1 : 2) {
            c.nome += jet3 ? static_cast<char>(b[nomi + i]) : Carattere1252(U16(b + nomi + i));
        }
        nomi += n;
        pos += f.tab_col_entry_size;
    }
    // The count of variable columns includes the deleted ones, never fewer
    // than the columns there are.
    const auto variabili = static_cast<std::size_t>(std::count_if(
        dich.colonne.begin(), dich.colonne.end(), [](const Descrittore& c) { return !c.fissa; }));
    if (variabili > nVar || nVar > variabili + dich.massimo - nCol) {
        throw Danno{};
    }
    ControllaColonne(dich.colonne);
    return dich;
}

void FileMdb::Stato::ControllaColonne(const std::vector<Descrittore>& colonne) {
    std::vector<std::pair<std::size_t, std::size_t>> fisse; // offset, end
    for (std::size_t i = 0; i < colonne.size(); ++i) {
        const Descrittore& c = colonne[i];
        if (!NomeAccessValido(c.nome)) {
            throw Danno{};
        }
        for (std::size_t j = 0; j < i; ++j) {
            const Descrittore& altra = colonne[j];
            if (altra.numero == c.numero || UgualiSenzaMaiuscole(altra.nome, c.nome) ||
                (!c.fissa && !altra.fissa && altra.variabile == c.variabile)) {
                throw Danno{}; // two columns on one number, name or variable field
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
// file. Every page named must be inside the file, and named once; that it is
// a data page of the table is checked when the rows are read.
std::vector<std::uint32_t> FileMdb::Stato::PagineDati(const MdbTableDef* t) const {
    const unsigned char* m = t->usage_map;
    const std::size_t n = t->map_sz;
    std::vector<std::uint32_t> elenco;
    auto aggiungi = [&](std::uint64_t p) {
        if (p == 0 || p >= NumeroPagine()) {
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
        bitmap(m + 5, n - 5, U32(m + 1));
    } else if (m[0] == 1) {
        const std::size_t perPagina = (dimPagina - 4) * 8;
        for (std::size_t k = 0; 1 + 4 * k + 4 <= n; ++k) {
            const std::uint32_t p = U32(m + 1 + 4 * k);
            if (p == 0) {
                continue;
            }
            const std::vector<unsigned char> pg = Pagina(p);
            if (pg[0] != 0x05) {
                throw Danno{};
            }
            bitmap(pg.data() + 4, dimPagina - 4, std::uint64_t{k} * perPagina);
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

// libmdb's columns (in the order of their numbers) must be the columns the
// definition declares: same kinds, same names.
PianoRiga FileMdb::Stato::Piano(const Dichiarazione& dichiarazione, const MdbTableDef* t,
                                const std::vector<std::string>* soloCampi,
                                std::vector<CampoTabella>& campi) const {
    const std::vector<Descrittore>& dichiarate = dichiarazione.colonne;
    const unsigned nc = t->num_cols;
    if (t->columns == nullptr || t->columns->len != nc || nc != dichiarate.size()) {
        throw Danno{};
    }
    PianoRiga piano;
    piano.massimo = dichiarazione.massimo;
    piano.variabili = t->num_var_cols > 0;
    piano.jet3 = jet3;
    piano.dimPagina = dimPagina;
    piano.pagineFile = NumeroPagine();
    campi.clear();
    unsigned fisse = 0;
    for (unsigned i = 0; i < nc; ++i) {
        const auto* mc = static_cast<const MdbColumn*>(g_ptr_array_index(t->columns, i));
        const auto d =
            std::find_if(dichiarate.begin(), dichiarate.end(), [&](const Descrittore& x) {
                return x.numero == static_cast<unsigned>(mc->col_num);
            });
        if (d == dichiarate.end() || d->tipo != mc->col_type || Cp1252DaUtf8(mc->name) != d->nome ||
            mc->col_size < 0 || mc->fixed_offset < 0) {
            throw Danno{};
        }
        PianoColonna c;
        c.tipo = mc->col_type;
        c.numero = static_cast<unsigned>(mc->col_num);
        c.variabile = mc->var_col_num;
        c.fissa = mc->is_fixed != 0;
        c.offset = static_cast<unsigned>(mc->fixed_offset);
        c.dimensione = static_cast<unsigned>(mc->col_size);
        c.ordineFisso = c.fissa ? fisse++ : 0;
        // libmdb 1.0.0 holds the precision in col_scale and the scale in
        // col_prec; the scale is never the larger of the two.
        c.scala = std::min(mc->col_prec, mc->col_scale);
        if (soloCampi != nullptr) {
            c.controllata =
                std::any_of(soloCampi->begin(), soloCampi->end(),
                            [&](const std::string& n) { return UgualiSenzaMaiuscole(n, d->nome); });
        }
        piano.colonne.push_back(c);
        campi.push_back({d->nome, TipoDi(mc->col_type)});
    }
    piano.Prepara();
    return piano;
}

DefinizioneTabella FileMdb::Stato::Leggi(MdbCatalogEntry* voce, bool sistema,
                                         const std::vector<std::string>* soloCampi,
                                         std::vector<CampoTabella>& campi) {
    const std::vector<unsigned char> d = Definizione(voce->table_pg);
    // The definition says what kind of table it is, just before its counts
    // of columns: 'N' a user table, 'S' a system one.
    if (d.size() <= mdb->fmt->tab_num_cols_offset ||
        d[mdb->fmt->tab_num_cols_offset - 5] != (sistema ? 'S' : 'N')) {
        throw Danno{};
    }
    const Dichiarazione dichiarate = Descrittori(d);
    // The maps' rows must be inside the file before libmdb looks for them.
    for (const std::uint16_t offset :
         {mdb->fmt->tab_usage_map_offset, mdb->fmt->tab_free_map_offset}) {
        if ((U32(d.data() + offset) >> 8) >= NumeroPagine()) {
            throw Danno{};
        }
    }
    flusso.LimitaLetture(NumeroPagine() + 1024);
    std::unique_ptr<MdbTableDef, void (*)(MdbTableDef*)> t(mdb_read_table(voce),
                                                           &mdb_free_tabledef);
    if (!t || mdb_read_columns(t.get()) == nullptr || flusso.Guasto()) {
        throw Danno{};
    }
    DefinizioneTabella def;
    def.sorgente = sorgente;
    def.pagina = static_cast<std::uint32_t>(voce->table_pg);
    def.piano = Piano(dichiarate, t.get(), soloCampi, campi);
    def.pagine = PagineDati(t.get());
    def.righe = t->num_rows;
    return def;
}

DefinizioneTabella FileMdb::Stato::DefinizioneDi(Voce& voce, const std::filesystem::path& file,
                                                 std::vector<CampoTabella>& campi) {
    MessaggiLibmdb messaggi;
    DefinizioneTabella d;
    try {
        d = Leggi(voce.voce.get(), false, nullptr, campi);
    } catch (const Danno&) {
        throw TabellaDanneggiata(file, voce.nome);
    }
    if (messaggi.HaScritto()) {
        throw TabellaDanneggiata(file, voce.nome);
    }
    return d;
}

std::shared_ptr<const Tabella> FileMdb::Stato::LeggiTabella(Voce& voce,
                                                            const std::filesystem::path& file) {
    std::vector<CampoTabella> campi;
    DefinizioneTabella d = DefinizioneDi(voce, file, campi);
    // Rows found damaged are read once more, after a pause, from the file
    // opened anew: the suite may have been writing it.
    auto rileggi = [file, nome = voce.nome]() {
        AttendiPrimaDiRileggere();
        std::unique_ptr<Stato> nuovo = Stato::Apri(file);
        Voce* v = nuovo->Trova(nome);
        if (v == nullptr) {
            throw TabellaDanneggiata(file, nome); // it was in the list a moment ago
        }
        std::vector<CampoTabella> c;
        return nuovo->DefinizioneDi(*v, file, c);
    };
    return std::make_shared<const Tabella>(voce.nome, std::move(campi), std::move(d),
                                           std::move(rileggi), NomeNelMessaggio(file));
}

FileMdb::FileMdb(const std::filesystem::path& file) : percorso_(file) {
    try {
        stato_ = Stato::Apri(file);
    } catch (const Errore& e) {
        if (e.Numero() != errore::FormatoNonRiconosciuto) {
            throw;
        }
        AttendiPrimaDiRileggere(); // the suite may be in the middle of a write
        stato_ = Stato::Apri(file);
    }
}

FileMdb::~FileMdb() = default;

std::vector<std::string> FileMdb::Tabelle() const {
    std::vector<std::string> v;
    for (const auto& voce : stato_->voci) {
        v.push_back(voce.nome);
    }
    return v;
}

std::shared_ptr<const Tabella> FileMdb::Leggi(std::string_view nome) {
    Stato::Voce* voce = stato_->Trova(nome);
    const bool alterato =
        std::any_of(stato_->voci.begin(), stato_->voci.end(),
                    [&](const Stato::Voce& v) { return NomeAlterato(nome, v.nome); });
    if (voce == nullptr && alterato) {
        throw TabellaDanneggiata(percorso_, std::string(nome));
    }
    if (voce == nullptr) {
        throw Errore(errore::TabellaNonTrovata, "Impossibile trovare la tabella '" +
                                                    std::string(nome) + "' in '" +
                                                    NomeNelMessaggio(percorso_) + "'.");
    }
    if (!voce->righe) {
        try {
            voce->righe = stato_->LeggiTabella(*voce, percorso_);
        } catch (const Errore& e) {
            if (e.Numero() != errore::FormatoNonRiconosciuto) {
                throw;
            }
            const std::string n = voce->nome;
            Rileggi(n);
            voce = stato_->Trova(n);
        }
        const bool tutte = std::all_of(stato_->voci.begin(), stato_->voci.end(),
                                       [](const Stato::Voce& v) { return v.righe != nullptr; });
        if (tutte) {
            stato_->Rilascia();
        }
    }
    return voce->righe;
}

// A table found damaged: after a pause the whole file is read again, and the
// table from the new bytes. The tables already read stay as they were read.
void FileMdb::Rileggi(const std::string& nome) {
    AttendiPrimaDiRileggere();
    std::unique_ptr<Stato> nuovo = Stato::Apri(percorso_);
    Stato::Voce* voce = nuovo->Trova(nome);
    if (voce == nullptr) {
        throw TabellaDanneggiata(percorso_, nome); // it was in the list a moment ago
    }
    voce->righe = nuovo->LeggiTabella(*voce, percorso_);
    for (const Stato::Voce& v : stato_->voci) {
        if (Stato::Voce* w = nuovo->Trova(v.nome); w != nullptr && v.righe && !w->righe) {
            w->righe = v.righe;
        }
    }
    stato_ = std::move(nuovo);
}

} // namespace vdx::jet
