#include "RiletturaLibmdb.h"

#include <cstdio>
#include <cstring>
#include <fstream>
#include <mdbtools.h>
#include <memory>
#include <sstream>
#include <stdexcept>
#include <unistd.h>

namespace vdx::test {

namespace {

std::string LeggiFile(const std::filesystem::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

// Sends this process's stderr to a file for as long as it lives.
class CatturaStderr {
public:
    CatturaStderr() {
        char modello[] = "/tmp/vdx-stderr-XXXXXX";
        const int fd = ::mkstemp(modello);
        percorso_ = modello;
        std::fflush(stderr);
        salvato_ = ::dup(2);
        ::dup2(fd, 2);
        ::close(fd);
    }
    ~CatturaStderr() { Fine(); }
    std::string Fine() {
        if (salvato_ >= 0) {
            std::fflush(stderr);
            ::dup2(salvato_, 2);
            ::close(salvato_);
            salvato_ = -1;
            testo_ = LeggiFile(percorso_);
            std::filesystem::remove(percorso_);
        }
        return testo_;
    }

private:
    std::filesystem::path percorso_;
    int salvato_ = -1;
    std::string testo_;
};

} // namespace

std::vector<std::string> TabelleLibmdb(const std::filesystem::path& file) {
    MdbHandle* mdb = mdb_open(file.c_str(), MDB_NOFLAGS);
    if (mdb == nullptr) {
        throw std::runtime_error("libmdb cannot open " + file.string());
    }
    std::vector<std::string> nomi;
    if (mdb_read_catalog(mdb, MDB_TABLE) != nullptr) {
        for (unsigned i = 0; i < mdb->num_catalog; ++i) {
            auto* voce = static_cast<MdbCatalogEntry*>(g_ptr_array_index(mdb->catalog, i));
            if (voce->object_type == MDB_TABLE && !mdb_is_system_table(voce)) {
                nomi.emplace_back(voce->object_name);
            }
        }
    }
    mdb_close(mdb);
    return nomi;
}

TabellaLetta LeggiLibmdb(const std::filesystem::path& file, const std::string& tabella, bool memo) {
    TabellaLetta letta;
    CatturaStderr cattura;
    MdbHandle* mdb = mdb_open(file.c_str(), MDB_NOFLAGS);
    if (mdb == nullptr) {
        throw std::runtime_error("libmdb cannot open " + file.string());
    }
    const std::size_t misura = 1 << 19; // the longest memo of the tests, in UTF-8
    mdb_set_bind_size(mdb, misura);
    mdb_read_catalog(mdb, MDB_TABLE);
    MdbTableDef* t = mdb_read_table_by_name(mdb, const_cast<gchar*>(tabella.c_str()), MDB_TABLE);
    if (t == nullptr) {
        mdb_close(mdb);
        throw std::runtime_error("libmdb finds no table " + tabella + " in " + file.string());
    }
    mdb_read_columns(t);
    mdb_rewind_table(t);
    letta.righeDichiarate = t->num_rows;
    const unsigned n = t->num_cols;
    std::vector<std::unique_ptr<char[]>> legami;
    for (unsigned i = 0; i < n; ++i) {
        legami.emplace_back(new char[misura + 1]);
    }
    std::vector<int> lunghezze(n);
    for (unsigned i = 0; i < n; ++i) {
        auto* c = static_cast<MdbColumn*>(g_ptr_array_index(t->columns, i));
        letta.colonne.emplace_back(c->name);
        letta.tipi.push_back(c->col_type);
        letta.dimensioni.push_back(c->col_size);
        if (memo || c->col_type != MDB_MEMO) {
            mdb_bind_column(t, static_cast<int>(i + 1), legami[i].get(), &lunghezze[i]);
        }
    }
    std::vector<MdbField> campi(n);
    while (mdb_fetch_row(t)) {
        int inizio = 0;
        size_t lunghezza = 0;
        mdb_find_row(mdb, static_cast<int>(t->cur_row - 1), &inizio, &lunghezza);
        mdb_crack_row(t, inizio & 0x1FFF, lunghezza, campi.data());
        std::vector<ValoreLetto> riga(n);
        for (unsigned i = 0; i < n; ++i) {
            auto* c = static_cast<MdbColumn*>(g_ptr_array_index(t->columns, i));
            ValoreLetto& v = riga[i];
            v.nullo = campi[i].is_null != 0;
            v.testo.assign(legami[i].get(), static_cast<std::size_t>(lunghezze[i]));
            if (c->col_type == MDB_BOOL) {
                v.vero = c->cur_value_len == 0;
                v.nullo = false;
            } else if (c->is_fixed && c->cur_value_len > 0) {
                v.grezzo.assign(reinterpret_cast<const char*>(mdb->pg_buf) + c->cur_value_start,
                                static_cast<std::size_t>(c->cur_value_len));
            }
        }
        letta.righe.push_back(std::move(riga));
    }
    mdb_free_tabledef(t);
    mdb_close(mdb);
    letta.stderrTesto = cattura.Fine();
    return letta;
}

std::vector<Descrittore> DescrittoriTdef(const std::filesystem::path& file,
                                         const std::string& tabella) {
    MdbHandle* mdb = mdb_open(file.c_str(), MDB_NOFLAGS);
    if (mdb == nullptr) {
        throw std::runtime_error("libmdb cannot open " + file.string());
    }
    long pagina = -1;
    if (mdb_read_catalog(mdb, MDB_TABLE) != nullptr) {
        for (unsigned i = 0; i < mdb->num_catalog; ++i) {
            auto* voce = static_cast<MdbCatalogEntry*>(g_ptr_array_index(mdb->catalog, i));
            if (voce->object_type == MDB_TABLE && tabella == voce->object_name) {
                pagina = static_cast<long>(voce->table_pg);
            }
        }
    }
    mdb_close(mdb);
    if (pagina < 0) {
        throw std::runtime_error("no table " + tabella + " in " + file.string());
    }
    const std::string byte = LeggiFile(file).substr(static_cast<std::size_t>(pagina) * 4096, 4096);
    auto u16 = [&](std::size_t at) {
        return static_cast<int>(static_cast<unsigned char>(byte[at]) |
                                (static_cast<unsigned char>(byte[at + 1]) << 8));
    };
    const int colonne = u16(45);
    const int indici = u16(51);
    std::vector<Descrittore> d;
    for (int i = 0; i < colonne; ++i) {
        const std::size_t at =
            63 + 12 * static_cast<std::size_t>(indici) + 25 * static_cast<std::size_t>(i);
        d.push_back({static_cast<unsigned char>(byte[at]), u16(at + 5), u16(at + 7),
                     static_cast<unsigned char>(byte[at + 15]), u16(at + 21), u16(at + 23)});
    }
    return d;
}

EsitoComando Esegui(const std::string& comando) {
    char modello[] = "/tmp/vdx-cmd-XXXXXX";
    const std::filesystem::path cartella = ::mkdtemp(modello);
    const auto out = cartella / "out";
    const auto err = cartella / "err";
    EsitoComando esito;
    const int rc = std::system((comando + " >" + Quota(out) + " 2>" + Quota(err)).c_str());
    esito.codice = WIFEXITED(rc) ? WEXITSTATUS(rc) : -1;
    esito.out = LeggiFile(out);
    esito.err = LeggiFile(err);
    std::filesystem::remove_all(cartella);
    return esito;
}

std::string Quota(const std::filesystem::path& p) {
    std::string q = "'";
    for (char c : p.string()) {
        if (c == '\'') {
            q += "'\\''";
        } else {
            q += c;
        }
    }
    return q + "'";
}

long long IntLE(const std::string& bytes) {
    unsigned long long v = 0;
    for (std::size_t i = bytes.size(); i-- > 0;) {
        v = (v << 8) | static_cast<unsigned char>(bytes[i]);
    }
    if (bytes.size() > 1 && bytes.size() < 8 && (static_cast<unsigned char>(bytes.back()) & 0x80)) {
        v |= ~0ULL << (8 * bytes.size());
    }
    return static_cast<long long>(v);
}

double DoubleLE(const std::string& bytes) {
    double d = 0;
    if (bytes.size() == 8) {
        std::memcpy(&d, bytes.data(), 8);
    }
    return d;
}

float SingleLE(const std::string& bytes) {
    float f = 0;
    if (bytes.size() == 4) {
        std::memcpy(&f, bytes.data(), 4);
    }
    return f;
}

} // namespace vdx::test
