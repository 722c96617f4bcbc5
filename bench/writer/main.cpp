// bench-writer [FOLDER]
//
// Prints:
//   - a million guest-card rows written through ScrittoreMdb: seconds (wall
//     and processor), rows per second, file size;
//   - the same file read back row by row through libmdb: seconds, and whether
//     every row came back;
//   - the large demo hotel (vdx-demo --large): seconds and size of its files.
// Files go to FOLDER (default: a new folder under the temporary folder,
// removed at the end).

#include "AlbergoDemo.h"
#include "ScrittoreMdb.h"
#include "shared/Date.h"

#include <chrono>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <mdbtools.h>
#include <string>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;
using Orologio = std::chrono::steady_clock;

struct Tempo {
    Orologio::time_point muro = Orologio::now();
    std::clock_t cpu = std::clock();
    void Stampa(const char* cosa, double quanti, const char* unita) const {
        const double s = std::chrono::duration<double>(Orologio::now() - muro).count();
        const double c = static_cast<double>(std::clock() - cpu) / CLOCKS_PER_SEC;
        std::printf("%-34s %8.2f s wall %8.2f s cpu %12.0f %s/s (cpu)\n", cosa, s, c,
                    c > 0 ? quanti / c : 0.0, unita);
    }
};

long RigheLibmdb(const fs::path& file, const char* tabella) {
    MdbHandle* mdb = mdb_open(file.c_str(), MDB_NOFLAGS);
    if (mdb == nullptr) {
        return -1;
    }
    mdb_read_catalog(mdb, MDB_TABLE);
    MdbTableDef* t = mdb_read_table_by_name(mdb, const_cast<gchar*>(tabella), MDB_TABLE);
    long n = -1;
    if (t != nullptr) {
        mdb_read_columns(t);
        mdb_rewind_table(t);
        n = 0;
        while (mdb_fetch_row(t)) {
            ++n;
        }
        mdb_free_tabledef(t);
    }
    mdb_close(mdb);
    return n;
}

} // namespace

int main(int argc, char** argv) {
    fs::path cartella;
    bool temporanea = false;
    if (argc > 1) {
        cartella = argv[1];
        fs::create_directories(cartella);
    } else {
        std::string modello = (fs::temp_directory_path() / "bench-writer-XXXXXX").string();
        if (::mkdtemp(modello.data()) == nullptr) {
            std::perror("mkdtemp");
            return 1;
        }
        cartella = modello;
        temporanea = true;
    }

    const long righe = 1000000;
    const fs::path file = cartella / "Schede.mdb";
    {
        Tempo t;
        vdx::jet::ScrittoreMdb mdb(file);
        using vdx::jet::ColonnaDa;
        mdb.IniziaTabella("Scheda_Cliente",
                          {ColonnaDa("NumeroHotel:Integer"), ColonnaDa("NumeroCamera:Text(10)"),
                           ColonnaDa("NumeroProgressivo:Long"), ColonnaDa("NomeCliente:Text(50)"),
                           ColonnaDa("DataArrivo:Text(8)"), ColonnaDa("DataPartenza:Text(8)"),
                           ColonnaDa("Partito:Text(1)"), ColonnaDa("Importo:Currency")});
        std::string camera, nome;
        for (long i = 0; i < righe; ++i) {
            camera = std::to_string(101 + i % 1000);
            nome = "Ospite n\xB0 " + std::to_string(i);
            mdb.ScriviIntero(0, 1)
                .ScriviTesto(1, camera)
                .ScriviIntero(2, i)
                .ScriviTesto(3, nome)
                .ScriviTesto(4, "20260101")
                .ScriviTesto(5, "20260108");
            mdb.ScriviTesto(6, i % 3 ? "S" : "").ScriviDenaro(7, i * 125).AggiungiRiga();
        }
        mdb.ChiudiTabella();
        mdb.Chiudi();
        t.Stampa("write 1,000,000 rows", righe, "rows");
        std::printf("%-34s %8.1f MB\n", "  file size",
                    static_cast<double>(fs::file_size(file)) / 1e6);
    }
    {
        Tempo t;
        const long lette = RigheLibmdb(file, "Scheda_Cliente");
        t.Stampa("read back through libmdb", static_cast<double>(lette), "rows");
        std::printf("%-34s %ld of %ld\n", "  rows read", lette, righe);
    }
    {
        Tempo t;
        const auto r = vdx::fixture::ScriviDemoGrande(cartella / "grande", vdx::OraLocale());
        t.Stampa("large demo hotel", static_cast<double>(r.schede), "guest cards");
        std::printf("  %s\n", r.Testo(cartella / "grande", vdx::OraLocale()).c_str());
    }
    if (temporanea) {
        fs::remove_all(cartella);
    }
    return 0;
}
