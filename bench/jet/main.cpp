// bench-jet [FILE.mdb TABLE]
//
// Reads a table of a million rows (by default one it writes itself, shaped
// like the guest cards: hotel, room, serial number, name, dates, flag, amount)
// and prints:
//   - the load rate: rows per second from opening the file to the record set
//     whose rows are read (the rows are read when first needed: here, by
//     counting them);
//   - the time of 10,000 FindFirst/FindNext calls on "NumeroHotel = h and
//     NumeroProgressivo = n" (one record each) through the equality index and
//     by scanning, and their ratio; scanning 10,000 times a million rows takes
//     minutes, so it is timed on fewer calls and scaled to 10,000;
//   - the same for a room's guest cards ("NumeroHotel = h and NumeroCamera =
//     'r' and DataPartenza >= 'd'"), which match many records each.
// The criteria name values of records picked at random from the table.
// Finds are timed in processor time of this process.
// With FILE.mdb TABLE (for instance the large table of vdx-demo --large) the
// load rate is measured on that table; the finds need the guest-card fields.

#include "ScrittoreMdb.h"
#include "jet/Database.h"
#include "shared/Error.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <functional>
#include <random>
#include <string>
#include <sys/resource.h>
#include <unistd.h>

namespace {

using Orologio = std::chrono::steady_clock;

double secondiDa(Orologio::time_point t0) {
    return std::chrono::duration<double>(Orologio::now() - t0).count();
}

// Processor time of this process: on a machine shared with other work the
// wall clock says more about the neighbours than about this code.
double cpu() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) / 1e9;
}

constexpr int kRighe = 1'000'000;
constexpr int kCamere = 400;

std::string camera(int i) {
    return std::to_string(100 + i % kCamere);
}

void scriviTabella(const std::filesystem::path& file) {
    using namespace vdx::jet;
    ScrittoreMdb mdb(file);
    mdb.iniziaTabella("Scheda_Cliente",
                      {ColonnaDa("NumeroHotel:Integer"), ColonnaDa("NumeroCamera:Text(10)"),
                       ColonnaDa("NumeroProgressivo:Long"), ColonnaDa("NomeCliente:Text(50)"),
                       ColonnaDa("DataArrivo:Text(8)"), ColonnaDa("DataPartenza:Text(8)"),
                       ColonnaDa("Partito:Text(1)"), ColonnaDa("ImportoTotale:Currency")});
    std::mt19937 caso(42);
    char data[16];
    for (int i = 0; i < kRighe; ++i) {
        const int giorno = static_cast<int>(caso() % 3650);
        std::snprintf(data, sizeof data, "%04d%02d%02d", 2016 + giorno / 365,
                      1 + (giorno % 365) / 31 % 12, 1 + giorno % 28);
        mdb.intero(0, 1 + i % 3)
            .testo(1, camera(static_cast<int>(caso())))
            .intero(2, i + 1)
            .testo(3, "Ospite numero " + std::to_string(i))
            .testo(4, data)
            .testo(5, data)
            .testo(6, i % 4 == 0 ? "S" : "N")
            .denaro(7, static_cast<std::int64_t>(caso() % 10'000'000));
        mdb.aggiungiRiga();
    }
    mdb.chiudiTabella();
    mdb.chiudi();
}

// Seconds for `chiamate` finds: FindFirst and FindNext in turn, each pair on
// one criterion.
template <typename Criterio>
double cronometra(vdx::jet::Recordset& rs, int chiamate, Criterio criterio, long& trovati) {
    const double t0 = cpu();
    for (int i = 0; i < chiamate; i += 2) {
        const std::string c = criterio(i / 2);
        trovati += rs.FindFirst(c) ? 1 : 0;
        trovati += rs.FindNext(c) ? 1 : 0;
    }
    return cpu() - t0;
}

} // namespace

int main(int argc, char** argv) {
    try {
        std::filesystem::path file;
        std::string tabella = "Scheda_Cliente";
        std::filesystem::path temporanea;
        if (argc == 3) {
            file = argv[1];
            tabella = argv[2];
        } else {
            temporanea = std::filesystem::temp_directory_path() /
                         ("bench-jet-" + std::to_string(::getpid()));
            std::filesystem::create_directories(temporanea);
            file = temporanea / "Scheda_Cliente.mdb";
            const auto t0 = Orologio::now();
            scriviTabella(file);
            std::printf("written: %d rows, %.1f MB in %.2f s\n", kRighe,
                        static_cast<double>(std::filesystem::file_size(file)) / 1e6, secondiDa(t0));
        }
        auto cartella =
            file.parent_path().empty() ? std::filesystem::path(".") : file.parent_path();

        const auto t0 = Orologio::now();
        const double c0 = cpu();
        auto db = vdx::jet::Database::OpenDatabase(cartella, file.filename().string());
        const double apertura = secondiDa(t0);
        const double aperturaCpu = cpu() - c0;
        auto rs = db->OpenRecordset(tabella);
        const auto righe = static_cast<double>(rs.RecordCount()); // the rows' first reading
        const double totale = secondiDa(t0);
        const double totaleCpu = cpu() - c0;
        rusage uso{};
        getrusage(RUSAGE_SELF, &uso);
        std::printf("load: %.0f rows; wall %.3f s (file read and opened %.3f s) = %.0f rows/s; "
                    "processor %.3f s (file %.3f s) = %.0f rows/s; peak memory %.0f MB\n",
                    righe, totale, apertura, righe / totale, totaleCpu, aperturaCpu,
                    righe / totaleCpu, static_cast<double>(uso.ru_maxrss) / 1024.0);

        const auto nomi = rs.NomiCampi();
        if (std::find(nomi.begin(), nomi.end(), "NumeroProgressivo") == nomi.end()) {
            std::printf("finds: skipped, the table has no guest-card fields\n");
            return 0;
        }
        // The criteria name records that exist: one in a hundred, picked
        // by walking the set once.
        struct Campione {
            std::string hotel, progressivo, camera, partenza;
        };
        std::vector<Campione> campioni;
        std::mt19937 caso(7);
        for (rs.MoveFirst(); !rs.Fine(); rs.MoveNext()) {
            if (caso() % 100 == 0) {
                campioni.push_back({rs.Testo("NumeroHotel"), rs.Testo("NumeroProgressivo"),
                                    rs.Testo("NumeroCamera"), rs.Testo("DataPartenza")});
            }
        }
        std::shuffle(campioni.begin(), campioni.end(), caso);
        auto chiave = [&](int k) {
            const Campione& c = campioni[static_cast<std::size_t>(k) % campioni.size()];
            return "NumeroHotel = " + c.hotel + " and NumeroProgressivo = " + c.progressivo;
        };
        auto stanza = [&](int k) {
            const Campione& c = campioni[static_cast<std::size_t>(k) % campioni.size()];
            return "NumeroHotel = " + c.hotel + " and NumeroCamera = '" + c.camera +
                   "' and DataPartenza >= '" + c.partenza + "'";
        };

        const int chiamate = 10'000;
        const int chiamateScansione = 40;
        for (const auto& [nome, criterio] :
             {std::pair<const char*, std::function<std::string(int)>>{"one record per key", chiave},
              std::pair<const char*, std::function<std::string(int)>>{"a room's cards", stanza}}) {
            long trovatiIndice = 0;
            long trovatiScansione = 0;
            rs.UsaIndici(true);
            const double tIndice = cpu();
            rs.FindFirst(criterio(0)); // builds the index once
            const double costruzione = cpu() - tIndice;
            const double indice = cronometra(rs, chiamate, criterio, trovatiIndice);
            rs.UsaIndici(false);
            const double scansione = cronometra(rs, chiamateScansione, criterio, trovatiScansione) *
                                     chiamate / chiamateScansione;
            std::printf("finds, %s: index built in %.3f s; %d calls with the index %.4f s (%.2f us "
                        "each, %ld found); "
                        "scanning %.1f s (scaled from %d calls); index %.0fx faster\n",
                        nome, costruzione, chiamate, indice, indice / chiamate * 1e6, trovatiIndice,
                        scansione, chiamateScansione, scansione / indice);
        }
        db->Close();
        if (!temporanea.empty()) {
            std::filesystem::remove_all(temporanea);
        }
        return 0;
    } catch (const vdx::Error& e) {
        std::fprintf(stderr, "bench-jet: error %d: %s\n", e.number(), e.what());
        return 1;
    }
}
