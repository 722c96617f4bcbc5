// bench-report [FOLDER] [--hotel N] [--tableau N] [--date dd/mm/yyyy] [--runs N]
//              [--only export|run|share] [--share MBIT,RTT_MS]
// bench-report FOLDER --write ROOMS CARDS
//
// Times, on the data files of FOLDER (the output of `vdx-demo --large`):
//  - the reference: mdbtools' `mdb-export Scheda_Cliente.mdb Scheda_Cliente`,
//    its output thrown away;
//  - whole runs of GeneraTableau over every room: one run per tableau of the
//    hotel (a run covers one tableau), or the one tableau asked for;
//  - `vdx generate --hotel N --tableau N` for the same tableaux, its files
//    read through a model of a network share (a link of MBIT Mbit/s, 1000
//    unless given, that every read shares, each read paying a round trip of
//    RTT_MS, 0.3 unless given, and no cache on this side);
// each the best of --runs (3) on the wall clock, and prints each run against
// the reference (aim: at most 0.10), the bytes it read from the files (of
// them, the pages read one at a time for single records), the run on the
// share against the time its bytes take on the link (aim: at most 1.5),
// and the peak memory (aim: at most 150 MiB). The date is today's unless
// given. With --write it only writes a data set of ROOMS rooms (one tableau)
// and CARDS guest cards, dated around today, into FOLDER.

#include "Albergo.h"
#include "app/Comandi.h"
#include "jet/Database.h"
#include "jet/FileLeggibile.h"
#include "report/Elenchi.h"
#include "report/GeneraTableau.h"
#include "shared/Date.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <iostream>
#include <mutex>
#include <spawn.h>
#include <sstream>
#include <string>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <thread>
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

// A network share: one link that every read shares, its bytes crossing it
// at `byteAlSecondo_` one read after the other, then a round trip `rtt_`
// before the read returns; nothing is kept on this side. A read of more
// than 128 KiB goes as requests of 128 KiB one after the other, as the
// kernel sends it to a network file system.
class Rete {
public:
    Rete(double mbit, double rttMs) : byteAlSecondo_(mbit * 1e6 / 8), rtt_(rttMs / 1000) {}

    // Waits as long as the share takes to serve `n` bytes.
    void Servi(std::size_t n) {
        constexpr std::size_t Richiesta = 128 * 1024;
        for (std::size_t fatto = 0; fatto < n; fatto += Richiesta) {
            const std::size_t k = std::min(Richiesta, n - fatto);
            Orologio::time_point fine;
            {
                const std::lock_guard<std::mutex> blocco(mutex_);
                const auto inizio = std::max(Orologio::now(), liberoDa_);
                liberoDa_ = inizio + std::chrono::duration_cast<Orologio::duration>(
                                         std::chrono::duration<double>(k / byteAlSecondo_));
                fine = liberoDa_ + std::chrono::duration_cast<Orologio::duration>(
                                       std::chrono::duration<double>(rtt_));
            }
            std::this_thread::sleep_until(fine);
            byte_ += k;
            ++richieste_;
        }
    }
    std::uint64_t Byte() const { return byte_; }
    std::uint64_t Richieste() const { return richieste_; }
    double SecondiCollegamento(std::uint64_t byte) const {
        return static_cast<double>(byte) / byteAlSecondo_;
    }
    void Azzera() {
        byte_ = 0;
        richieste_ = 0;
    }

private:
    double byteAlSecondo_;
    double rtt_;
    std::mutex mutex_;
    Orologio::time_point liberoDa_{};
    std::atomic<std::uint64_t> byte_{0};
    std::atomic<std::uint64_t> richieste_{0};
};

class FileInRete : public vdx::jet::FileLeggibile {
public:
    FileInRete(std::unique_ptr<vdx::jet::FileLeggibile> file, Rete& rete)
        : file_(std::move(file)), rete_(rete) {}
    std::size_t Dimensione() const override { return file_->Dimensione(); }
    bool Leggi(std::uint64_t offset, std::size_t n, unsigned char* dst) const override {
        rete_.Servi(n);
        return file_->Leggi(offset, n, dst);
    }

private:
    std::unique_ptr<vdx::jet::FileLeggibile> file_;
    Rete& rete_;
};

struct GiroInRete {
    double secondi = 1e30;
    std::uint64_t byte = 0;
    std::uint64_t richieste = 0;
};

// The best of `volte` runs of `vdx generate --hotel H --tableau T` on the
// share: its files opened through the model.
GiroInRete GiriInRete(const fs::path& cartella, int hotel, int tableau, int volte, Rete& rete) {
    vdx::jet::ImpostaAperturaFile([&rete](const fs::path& file) {
        return std::make_unique<FileInRete>(vdx::jet::ApriFileDiSistema(file), rete);
    });
    GiroInRete g;
    for (int r = 0; r < volte; ++r) {
        rete.Azzera();
        std::ostringstream out;
        std::ostringstream err;
        const auto inizio = Orologio::now();
        const int esito = vdx::EseguiGenera(
            {"--hotel", std::to_string(hotel), "--tableau", std::to_string(tableau)}, out, err,
            cartella, "999", vdx::OrologioDiSistema());
        const double secondi = SecondiDa(inizio);
        if (esito != 0) {
            vdx::jet::ImpostaAperturaFile(nullptr);
            throw std::runtime_error("vdx generate in rete: " + err.str());
        }
        fs::remove(out.str().substr(0, out.str().size() - 1));
        if (secondi < g.secondi) {
            g = {secondi, rete.Byte(), rete.Richieste()};
        }
    }
    vdx::jet::ImpostaAperturaFile(nullptr);
    return g;
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
    std::string solo; // "export", "run" or "share": only that part, for a profiler
    double mbit = 1000;
    double rttMs = 0.3;
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
        } else if (a == "--share" && i + 1 < argc) {
            char virgola = 0;
            std::istringstream(argv[++i]) >> mbit >> virgola >> rttMs;
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
        o.postazione = "999";

        double esportazione = -1;
        if (solo.empty() || solo == "export") {
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
            if (!solo.empty() && solo != "run") {
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
        // The command's whole run, its files on the share.
        ::prctl(PR_SET_TIMERSLACK, 1UL); // wake from the model's waits on time
        Rete rete(mbit, rttMs);
        for (int t : tableaux) {
            if (!solo.empty() && solo != "share") {
                break;
            }
            const GiroInRete g = GiriInRete(cartella, o.hotel, t, ripetizioni, rete);
            const double collegamento = rete.SecondiCollegamento(g.byte);
            std::printf("in rete (%.0f Mbit/s, %.2f ms): vdx generate --tableau %d: %.3f s, letti "
                        "%.1f MB in %llu letture, %.3f s sul collegamento: %.2f volte "
                        "(obiettivo: al massimo 1.5)\n",
                        mbit, rttMs, t, g.secondi, Mega(g.byte),
                        static_cast<unsigned long long>(g.richieste), collegamento,
                        g.secondi / collegamento);
            std::fflush(stdout);
        }
        std::printf("picco di memoria: %.1f MiB (obiettivo: al massimo 150)\n",
                    PiccoMemoriaKiB() / 1024.0);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "bench-report: %s\n", e.what());
        return 1;
    }
    return 0;
}
