// bench-report [FOLDER] [--hotel N] [--tableau N] [--date dd/mm/yyyy] [--runs N]
//              [--only export|run]
// bench-report FOLDER --write ROOMS CARDS
//
// Times, on the data files of FOLDER (the output of `vdx-demo --large`):
//  - the reference: mdbtools' `mdb-export Scheda_Cliente.mdb Scheda_Cliente`,
//    its output thrown away;
//  - whole runs of GeneraTableau over every room: one run per tableau of the
//    hotel (a run covers one tableau), or the one tableau asked for;
// each the best of --runs (3) on the wall clock, and prints each run against
// the reference (aim: at most 0.10), the bytes it read from the files (of
// them, the pages read one at a time for single records) and the peak
// memory (aim: at most 150 MiB). The date is today's unless given. With
// --write it only writes a data set of ROOMS rooms (one tableau) and CARDS
// guest cards, dated around today, into FOLDER.

#include "Albergo.h"
#include "jet/Database.h"
#include "report/Elenchi.h"
#include "report/GeneraTableau.h"
#include "shared/Date.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <iostream>
#include <spawn.h>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <time.h>
#include <vector>

namespace fs = std::filesystem;
namespace fx = vdx::fixture;
using Orologio = std::chrono::steady_clock;

namespace {

double SecondiDa(Orologio::time_point inizio) {
    return std::chrono::duration<double>(Orologio::now() - inizio).count();
}

// Processor time of the process (user and system): steadier than the wall
// clock on a machine shared with other work.
double SecondiCpu() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) / 1e9;
}

long PiccoMemoriaKiB() {
    rusage uso{};
    getrusage(RUSAGE_SELF, &uso);
    return uso.ru_maxrss;
}

// The stored date `giorni` days from today.
std::string Chiave(int giorni) {
    const vdx::DataOra d = vdx::SpostaGiorni(vdx::OraLocale(), giorni);
    char buf[16];
    std::snprintf(buf, sizeof buf, "%04d%02d%02d", d.anno % 10000, d.mese, d.giorno);
    return buf;
}

using fx::N;
using fx::T;

// A hotel of `Camere` rooms whose `schede` guest cards are mostly of past
// stays, two parties still in each room, bookings for a tenth of the rooms.
void ScriviDati(const fs::path& cartella, int camere, long long schede) {
    fx::Albergo a;
    a.TabellaDiNome("AnagraficaHotels")
        .Record(
            {{"Numero", N(1)}, {"RagioneSociale", T("Hotel Prova")}, {"CodiceAssistenza", T("K")}});
    a.TabellaDiNome("Tableau").Record(
        {{"NumeroHotel", N(1)}, {"Codice", N(1)}, {"Descrizione", T("Tutte")}});
    a.TabellaDiNome("TipiCamere")
        .Record({{"Sigla", T("DBL")}, {"Tipologia", T("C")}, {"Descrizione", T("Doppia")}});
    for (int i = 0; i < 50; ++i) {
        a.TabellaDiNome("AgenzieAbituali")
            .Record({{"NumeroHotel", N(1)},
                     {"Codice", N(i)},
                     {"RagioneSociale", T("Agenzia " + std::to_string(i))}});
    }
    auto& schedeT = a.TabellaDiNome("Scheda_Cliente");
    auto& arr = a.TabellaDiNome("Arrangiamento");
    auto& ditte = a.TabellaDiNome("Ditta_Intestataria");
    const long long perCamera = std::max<long long>(1, schede / camere);
    long long progressivo = 0;
    for (int c = 1; c <= camere; ++c) {
        char numero[16];
        std::snprintf(numero, sizeof numero, "%04d", c);
        a.TabellaDiNome("NumeriCamere")
            .Record({{"NumeroHotel", N(1)},
                     {"NumeroTableau", N(1)},
                     {"NumeroCamera", T(numero)},
                     {"TipoCamera", T("DBL")}});
        for (long long k = 0; k < perCamera; ++k) {
            ++progressivo;
            const bool presente = k >= perCamera - 2;
            const int giorno = -3000 + static_cast<int>(k % 2900);
            const std::string arrivo = presente ? Chiave(-4) : Chiave(giorno);
            const std::string partenza = presente ? Chiave(3) : Chiave(giorno + 2);
            schedeT.Record({{"NumeroHotel", N(1)},
                            {"NumeroCamera", T(numero)},
                            {"NumeroProgressivo", N(progressivo)},
                            {"NumeroComponente", N(k % 2 == 0 ? 1 : 2)},
                            {"NomeCliente", T("Ospite " + std::to_string(progressivo))},
                            {"DataArrivo", T(arrivo)},
                            {"DataPartenza", T(partenza)},
                            {"DataPartenzaReale", T(presente ? "" : partenza)},
                            {"Partito", T(presente ? "" : "S")},
                            {"TipoCliente", T("Privato")},
                            {"Commento", T("")},
                            {"CodiceAgenzia", N(progressivo % 50)}});
            if (k % 2 == 0) {
                arr.Record({{"NumeroHotel", N(1)},
                            {"CodiceCliente", N(progressivo)},
                            {"DataInizio", T(arrivo)},
                            {"DataFine", T(partenza)},
                            {"Arrangiamento", T("HB")},
                            {"ImportoTotale", fx::Cella(fx::Denaro{850000})}});
            }
            if (k % 10 == 0) {
                ditte.Record({{"NumeroHotel", N(1)},
                              {"CodiceCliente", N(progressivo)},
                              {"NumeroConto", N(1)},
                              {"RagioneSociale", T("Ditta " + std::to_string(progressivo))}});
            }
        }
        if (c % 10 == 0) {
            a.TabellaDiNome("Camere_Prenotazione")
                .Record({{"NumeroHotel", N(1)},
                         {"NumeroPrenotazione", N(c)},
                         {"NumeroCamera", T(numero)},
                         {"DataArrivo", T(Chiave(0))},
                         {"DataPartenza", T(Chiave(4))},
                         {"NumeroPersone", N(2)},
                         {"TipoPrenotazione", T("C")},
                         {"QuantitàCamere", N(1)},
                         {"Trattamento", T("BB")},
                         {"Prezzo", fx::Cella(fx::Denaro{1000000})},
                         {"Note", T("")}});
            a.TabellaDiNome("Scheda_Prenotazione")
                .Record({{"NumeroHotel", N(1)},
                         {"NumeroPrenotazione", N(c)},
                         {"TipoPrenotazione", T("C")},
                         {"NomeCliente", T("Prenotante")},
                         {"Ditta", T("")},
                         {"Agenzia", T("")},
                         {"TipoCliente", T("")}});
            a.TabellaDiNome("ListaClienti_Prenotazione")
                .Record({{"NumeroHotel", N(1)},
                         {"NumeroPrenotazione", N(c)},
                         {"NumeroCamera", T(numero)},
                         {"NumeroCliente", N(1)},
                         {"NomeCliente", T("Arrivo")}});
        }
    }
    a.Scrivi(cartella);
}

// One `mdb-export FILE TABLE` with its output thrown away: its seconds, or a
// negative number when it cannot be run.
double Esporta(const fs::path& file, const char* tabella) {
    posix_spawn_file_actions_t azioni;
    posix_spawn_file_actions_init(&azioni);
    posix_spawn_file_actions_addopen(&azioni, 1, "/dev/null", O_WRONLY, 0);
    const std::string percorso = file.string();
    char* argomenti[] = {const_cast<char*>("mdb-export"), const_cast<char*>(percorso.c_str()),
                         const_cast<char*>(tabella), nullptr};
    const auto inizio = Orologio::now();
    pid_t pid = 0;
    const int errore = posix_spawnp(&pid, "mdb-export", &azioni, nullptr, argomenti, environ);
    posix_spawn_file_actions_destroy(&azioni);
    int stato = 0;
    if (errore != 0 || waitpid(pid, &stato, 0) != pid || !WIFEXITED(stato) ||
        WEXITSTATUS(stato) != 0) {
        return -1;
    }
    return SecondiDa(inizio);
}

struct Giro {
    double secondi = 1e30;
    double cpu = 1e30;
    vdx::jet::ByteLettiDaiFile letti; // by the last run
    std::uintmax_t byteReport = 0;
};

// The best of `volte` whole runs over one tableau.
Giro Giri(const vdx::OpzioniTableau& o, int volte) {
    Giro g;
    for (int r = 0; r < volte; ++r) {
        const auto prima = vdx::jet::ByteLetti();
        const auto inizio = Orologio::now();
        const double cpu = SecondiCpu();
        const fs::path report = vdx::GeneraTableau(o);
        g.secondi = std::min(g.secondi, SecondiDa(inizio));
        g.cpu = std::min(g.cpu, SecondiCpu() - cpu);
        const auto dopo = vdx::jet::ByteLetti();
        g.letti.totale = dopo.totale - prima.totale;
        g.letti.pagineSingole = dopo.pagineSingole - prima.pagineSingole;
        g.byteReport = fs::file_size(report);
        fs::remove(report);
    }
    return g;
}

double Mega(std::uint64_t byte) {
    return static_cast<double>(byte) / 1e6;
}

} // namespace

int main(int argc, char** argv) {
    fs::path cartella = fs::current_path();
    int hotel = 0;
    int tableau = -1;
    int ripetizioni = 3;
    int scriviCamere = 0;
    long long scriviSchede = 0;
    std::string data = vdx::DataOdierna(vdx::OrologioDiSistema());
    std::string solo; // "export" or "run": only that half, for a profiler
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--hotel" && i + 1 < argc) {
            hotel = std::atoi(argv[++i]);
        } else if (a == "--tableau" && i + 1 < argc) {
            tableau = std::atoi(argv[++i]);
        } else if (a == "--date" && i + 1 < argc) {
            data = argv[++i];
        } else if (a == "--only" && i + 1 < argc) {
            solo = argv[++i];
        } else if (a == "--runs" && i + 1 < argc) {
            ripetizioni = std::max(1, std::atoi(argv[++i]));
        } else if (a == "--write" && i + 2 < argc) {
            scriviCamere = std::atoi(argv[++i]);
            scriviSchede = std::atoll(argv[++i]);
        } else {
            cartella = a;
        }
    }
    try {
        if (scriviCamere > 0) {
            fs::create_directories(cartella);
            const auto t = Orologio::now();
            ScriviDati(cartella, scriviCamere, scriviSchede);
            std::printf("data set written: %d rooms, %lld guest cards, %.2f s\n", scriviCamere,
                        scriviSchede, SecondiDa(t));
            return 0; // measure in a fresh process, so the peak is the run's own
        }

        vdx::OpzioniTableau o;
        o.cartella = cartella;
        o.hotel = static_cast<short>(hotel > 0 ? hotel : vdx::ElencoHotel(cartella).at(0).numero);
        std::vector<int> tableaux;
        if (tableau >= 0) {
            tableaux.push_back(tableau);
        } else {
            for (const auto& t : vdx::ElencoTableau(cartella, o.hotel)) {
                tableaux.push_back(t.numero);
            }
            if (tableaux.empty()) {
                tableaux.push_back(0);
            }
        }
        // Every room of each tableau: from the lowest text to the highest.
        o.primaCamera = std::string();
        o.ultimaCamera = std::string(8, '\xFF');
        o.data = data;
        o.arrangiamento = true;
        o.codiceAssistenzaHotel = vdx::CodiceAssistenza(cartella, o.hotel);
        o.pclocal = "999";

        double esportazione = -1;
        if (solo != "run") {
            for (int r = 0; r < ripetizioni; ++r) {
                const double t = Esporta(cartella / "Scheda_Cliente.mdb", "Scheda_Cliente");
                esportazione = t < 0 ? t : (esportazione < 0 ? t : std::min(esportazione, t));
            }
            if (esportazione < 0) {
                std::printf("mdb-export Scheda_Cliente.mdb Scheda_Cliente: non eseguibile "
                            "(mdbtools installato?)\n");
            } else {
                std::printf("mdb-export Scheda_Cliente.mdb Scheda_Cliente: %.3f s (migliore di "
                            "%d)\n",
                            esportazione, ripetizioni);
            }
            std::fflush(stdout);
        }
        double peggiore = 0;
        for (int t : tableaux) {
            if (solo == "export") {
                break;
            }
            o.tableau = static_cast<short>(t);
            const Giro g = Giri(o, ripetizioni);
            peggiore = std::max(peggiore, g.secondi);
            std::printf("tableau %3d: %.3f s (processore %.3f s)", t, g.secondi, g.cpu);
            if (esportazione > 0) {
                std::printf(", %.3f di mdb-export", g.secondi / esportazione);
            }
            std::printf("; letti %.1f MB (%.1f MB in pagine singole); report %ju byte\n",
                        Mega(g.letti.totale), Mega(g.letti.pagineSingole), g.byteReport);
            std::fflush(stdout);
        }
        if (peggiore > 0 && esportazione > 0) {
            std::printf("giro più lento / mdb-export: %.3f (obiettivo: al massimo 0.10)\n",
                        peggiore / esportazione);
        }
        std::printf("picco di memoria: %.1f MiB (obiettivo: al massimo 150)\n",
                    PiccoMemoriaKiB() / 1024.0);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "bench-report: %s\n", e.what());
        return 1;
    }
    return 0;
}
