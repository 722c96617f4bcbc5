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
#include "shared/Errore.h"

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

double SecondiDa(Orologio::time_point t0) {
    return std::chrono::duration<double>(Orologio::now() - t0).count();
}

// Processor time of this process: on a machine shared with other work the
// wall clock says more about the neighbours than about this code.
double Cpu() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) / 1e9;
}

constexpr int RigheProva = 1'000'000;
constexpr int Camere = 400;

std::string Camera(int i) {
    return std::to_string(100 + i % Camere);
}

void ScriviTabella(const std::filesystem::path& file) {
    using namespace vdx::jet;
    ScrittoreMdb mdb(file);
    mdb.IniziaTabella("Scheda_Cliente",
                      {ColonnaDa("NumeroHotel:Integer"), ColonnaDa("NumeroCamera:Text(10)"),
                       ColonnaDa("NumeroProgressivo:Long"), ColonnaDa("NomeCliente:Text(50)"),
                       ColonnaDa("DataArrivo:Text(8)"), ColonnaDa("DataPartenza:Text(8)"),
                       ColonnaDa("Partito:Text(1)"), ColonnaDa("ImportoTotale:Currency")});
    std::mt19937 caso(42);
    char data[16];
    for (int i = 0; i < RigheProva; ++i) {
        const int giorno = static_cast<int>(caso() % 3650);
        std::snprintf(data, sizeof data, "%04d%02d%02d", 2016 + giorno / 365,
                      1 + (giorno % 365) / 31 % 12, 1 + giorno % 28);
        mdb.ScriviIntero(0, 1 + i % 3)
            .ScriviTesto(1, Camera(static_cast<int>(caso())))
            .ScriviIntero(2, i + 1)
            .ScriviTesto(3, "Ospite numero " + std::to_string(i))
            .ScriviTesto(4, data)
            .ScriviTesto(5, data)
            .ScriviTesto(6, i % 4 == 0 ? "S" : "N")
            .ScriviDenaro(7, static_cast<std::int64_t>(caso() % 10'000'000));
        mdb.AggiungiRiga();
    }
    mdb.ChiudiTabella();
    mdb.Chiudi();
}

// Seconds for `chiamate` finds: FindFirst and FindNext in turn, each pair on
// one criterion.
template <typename Criterio>
double Cronometra(vdx::jet::Recordset& rs, int chiamate, Criterio criterio, long& trovati) {
    const double t0 = Cpu();
    for (int i = 0; i < chiamate; i += 2) {
        const std::string c = criterio(i / 2);
        trovati += rs.FindFirst(c) ? 1 : 0;
        trovati += rs.FindNext(c) ? 1 : 0;
    }
    return Cpu() - t0;
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
            ScriviTabella(file);
            std::printf("written: %d rows, %.1f MB in %.2f s\n", RigheProva,
                        static_cast<double>(std::filesystem::file_size(file)) / 1e6, SecondiDa(t0));
        }
        auto cartella =
            file.parent_path().empty() ? std::filesystem::path(".") : file.parent_path();

        const auto t0 = Orologio::now();
        const double c0 = Cpu();
        auto db = vdx::jet::Database::OpenDatabase(cartella, file.filename().string());
        const double apertura = SecondiDa(t0);
        const double aperturaCpu = Cpu() - c0;
        auto rs = db->OpenRecordset(tabella);
        const auto righe = static_cast<double>(rs.RecordCount()); // the rows' first reading
        const double totale = SecondiDa(t0);
        const double totaleCpu = Cpu() - c0;
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
            const double tIndice = Cpu();
            rs.FindFirst(criterio(0)); // builds the index once
            const double costruzione = Cpu() - tIndice;
            const double indice = Cronometra(rs, chiamate, criterio, trovatiIndice);
            rs.UsaIndici(false);
            const double scansione = Cronometra(rs, chiamateScansione, criterio, trovatiScansione) *
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
    } catch (const vdx::Errore& e) {
        std::fprintf(stderr, "bench-jet: error %d: %s\n", e.Numero(), e.what());
        return 1;
    }
}
