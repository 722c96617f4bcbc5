#pragma once

// Reading back what the writer wrote, the way every other program will: through
// libmdb's C API (native values, NULL from the row's null mask) and through
// the mdb-tables / mdb-count / mdb-export programs. Whatever libmdb prints on
// stderr meanwhile is kept, so a test can require it to be empty.

#include <filesystem>
#include <string>
#include <vector>

namespace vdx::test {

struct ValoreLetto {
    bool nullo = true;
    std::string testo;  // as libmdb binds it (UTF-8); booleans "0"/"1"
    std::string grezzo; // fixed columns: the stored bytes
    bool vero = false;  // Boolean columns
};

struct TabellaLetta {
    std::vector<std::string> colonne; // UTF-8
    std::vector<int> tipi;            // Jet type codes
    std::vector<int> dimensioni;      // column sizes in bytes
    unsigned righeDichiarate = 0;     // the row count of the table definition
    std::vector<std::vector<ValoreLetto>> righe;
    std::string stderrTesto; // what libmdb printed meanwhile
};

// The user tables of a file, as libmdb's catalog lists them.
std::vector<std::string> TabelleLibmdb(const std::filesystem::path& file);

// A whole table read with libmdb; throws std::runtime_error when libmdb
// cannot open the file or the table. Without `memo` the memo columns are
// left unread (their text stays empty).
TabellaLetta LeggiLibmdb(const std::filesystem::path& file, const std::string& tabella,
                         bool memo = true);

// A column descriptor as stored in the table definition page.
struct Descrittore {
    int tipo = 0;
    int numero = 0;
    int variabile = 0;
    int bandiera = 0;
    int offsetFisso = 0;
    int dimensione = 0;
    bool operator==(const Descrittore&) const = default;
};

// The column descriptors of a table, read straight from its definition page
// (found through libmdb's catalog).
std::vector<Descrittore> DescrittoriTdef(const std::filesystem::path& file,
                                         const std::string& tabella);

struct EsitoComando {
    int codice = -1;
    std::string out;
    std::string err;
};

// Runs a command line (sh -c) and collects its output.
EsitoComando Esegui(const std::string& comando);

// A file name quoted for sh.
std::string Quota(const std::filesystem::path& p);

// Little-endian numbers out of stored bytes (one byte is unsigned, as Byte is).
long long IntLE(const std::string& bytes);
double DoubleLE(const std::string& bytes);
float SingleLE(const std::string& bytes);

} // namespace vdx::test
