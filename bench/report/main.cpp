// bench-report [FOLDER] [--hotel N] [--tableau N] [--date dd/mm/yyyy] [--runs N]
//              [--only floor|run]
// bench-report FOLDER --write ROOMS CARDS
//
// Times, on the data files of FOLDER (the output of `vdx-demo --large`):
//  - the floor: opening the eleven files and the record sets a tableau run
//    opens, with the same selection texts and the rooms' sort;
//  - whole runs of GeneraTableau over every room: one run per tableau of the
//    hotel (a run covers one tableau), or the one tableau asked for;
// and prints both, their ratio and the peak memory. The date is today's
// unless given. With --write it only writes a data set of ROOMS rooms (one
// tableau) and CARDS guest cards, dated around today, into FOLDER.

#include "HotelFixture.h"
#include "jet/Database.h"
#include "report/Elenchi.h"
#include "report/GeneraTableau.h"
#include "shared/Dates.h"

#include <sys/resource.h>
#include <time.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

namespace fs = std::filesystem;
namespace fx = vdx::fixture;
using Orologio = std::chrono::steady_clock;

namespace {

double secondiDa(Orologio::time_point inizio) {
    return std::chrono::duration<double>(Orologio::now() - inizio).count();
}

// Processor time of the process (user and system): steadier than the wall
// clock on a machine shared with other work.
double secondiCpu() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) / 1e9;
}

long piccoMemoriaKiB() {
    rusage uso{};
    getrusage(RUSAGE_SELF, &uso);
    return uso.ru_maxrss;
}

// The stored date `giorni` days from today.
std::string chiave(int giorni) {
    const vdx::DataOra d = vdx::SpostaGiorni(vdx::OraLocale(), giorni);
    char buf[16];
    std::snprintf(buf, sizeof buf, "%04d%02d%02d", d.anno % 10000, d.mese, d.giorno);
    return buf;
}

fx::Cella N(long long v) { return fx::Cella(static_cast<std::int64_t>(v)); }
fx::Cella T(std::string s) { return fx::Cella(std::move(s)); }

// A hotel of `camere` rooms whose `schede` guest cards are mostly of past
// stays, two parties still in each room, bookings for a tenth of the rooms.
void scriviDati(const fs::path& cartella, int camere, long long schede) {
    fx::Albergo a;
    a.tabella("AnagraficaHotels").record({{"Numero", N(1)}, {"RagioneSociale", T("Hotel Prova")},
                                          {"CodiceAssistenza", T("K")}});
    a.tabella("Tableau").record({{"NumeroHotel", N(1)}, {"Codice", N(1)}, {"Descrizione", T("Tutte")}});
    a.tabella("TipiCamere").record({{"Sigla", T("DBL")}, {"Tipologia", T("C")}, {"Descrizione", T("Doppia")}});
    for (int i = 0; i < 50; ++i) {
        a.tabella("AgenzieAbituali").record({{"NumeroHotel", N(1)}, {"Codice", N(i)},
                                             {"RagioneSociale", T("Agenzia " + std::to_string(i))}});
    }
    auto& schedeT = a.tabella("Scheda_Cliente");
    auto& arr = a.tabella("Arrangiamento");
    auto& ditte = a.tabella("Ditta_Intestataria");
    const long long perCamera = std::max<long long>(1, schede / camere);
    long long progressivo = 0;
    for (int c = 1; c <= camere; ++c) {
        char numero[16];
        std::snprintf(numero, sizeof numero, "%04d", c);
        a.tabella("NumeriCamere").record({{"NumeroHotel", N(1)}, {"NumeroTableau", N(1)},
                                          {"NumeroCamera", T(numero)}, {"TipoCamera", T("DBL")}});
        for (long long k = 0; k < perCamera; ++k) {
            ++progressivo;
            const bool presente = k >= perCamera - 2;
            const int giorno = -3000 + static_cast<int>(k % 2900);
            const std::string arrivo = presente ? chiave(-4) : chiave(giorno);
            const std::string partenza = presente ? chiave(3) : chiave(giorno + 2);
            schedeT.record({{"NumeroHotel", N(1)}, {"NumeroCamera", T(numero)},
                            {"NumeroProgressivo", N(progressivo)},
                            {"NumeroComponente", N(k % 2 == 0 ? 1 : 2)},
                            {"NomeCliente", T("Ospite " + std::to_string(progressivo))},
                            {"DataArrivo", T(arrivo)}, {"DataPartenza", T(partenza)},
                            {"DataPartenzaReale", T(presente ? "" : partenza)},
                            {"Partito", T(presente ? "" : "S")}, {"TipoCliente", T("Privato")},
                            {"Commento", T("")}, {"CodiceAgenzia", N(progressivo % 50)}});
            if (k % 2 == 0) {
                arr.record({{"NumeroHotel", N(1)}, {"CodiceCliente", N(progressivo)},
                            {"DataInizio", T(arrivo)}, {"DataFine", T(partenza)},
                            {"Arrangiamento", T("HB")}, {"ImportoTotale", fx::Cella(fx::Denaro{850000})}});
            }
            if (k % 10 == 0) {
                ditte.record({{"NumeroHotel", N(1)}, {"CodiceCliente", N(progressivo)},
                              {"NumeroConto", N(1)}, {"RagioneSociale", T("Ditta " + std::to_string(progressivo))}});
            }
        }
        if (c % 10 == 0) {
            a.tabella("Camere_Prenotazione").record({{"NumeroHotel", N(1)}, {"NumeroPrenotazione", N(c)},
                {"NumeroCamera", T(numero)}, {"DataArrivo", T(chiave(0))},
                {"DataPartenza", T(chiave(4))}, {"NumeroPersone", N(2)},
                {"TipoPrenotazione", T("C")}, {"QuantitàCamere", N(1)}, {"Trattamento", T("BB")},
                {"Prezzo", fx::Cella(fx::Denaro{1000000})}, {"Note", T("")}});
            a.tabella("Scheda_Prenotazione").record({{"NumeroHotel", N(1)}, {"NumeroPrenotazione", N(c)},
                {"TipoPrenotazione", T("C")}, {"NomeCliente", T("Prenotante")}, {"Ditta", T("")},
                {"Agenzia", T("")}, {"TipoCliente", T("")}});
            a.tabella("ListaClienti_Prenotazione").record({{"NumeroHotel", N(1)}, {"NumeroPrenotazione", N(c)},
                {"NumeroCamera", T(numero)}, {"NumeroCliente", N(1)}, {"NomeCliente", T("Arrivo")}});
        }
    }
    a.scrivi(cartella);
}

// What the run's set-up reads: the eleven files, their record sets, the sort.
std::size_t leggiTabelle(const fs::path& cartella, const std::string& chiaveData) {
    using vdx::jet::Database;
    std::size_t righe = 0;
    const std::pair<const char*, std::string> fonti[] = {
        {"NumeriCamere.mdb", "Select * From NumeriCamere Where TipoCamera In (Select Sigla From "
                             "TipiCamere In 'TipiCamere.mdb' Where Tipologia = 'C');"},
        {"AnagraficaHotels.mdb", "AnagraficaHotels"},
        {"Tableau.mdb", "Tableau"},
        {"Scheda_Cliente.mdb", "Scheda_Cliente"},
        {"Ditta_Intestataria.mdb", "Ditta_Intestataria"},
        {"Camere_Prenotazione.mdb", "Camere_Prenotazione"},
        {"Scheda_Prenotazione.mdb", "Scheda_Prenotazione"},
        {"ListaClienti_Prenotazione.mdb",
         "Select * From ListaClienti_Prenotazione Order by NumeroCliente;"},
        {"Arrangiamento.mdb", "Select * From Arrangiamento Where DataInizio <= '" + chiaveData +
                                  "' and DataFine >= '" + chiaveData + "'"},
        {"AgenzieAbituali.mdb", "AgenzieAbituali"},
        {"TipiCamere.mdb", "TipiCamere"},
    };
    std::vector<std::shared_ptr<Database>> archivi;
    for (const auto& [file, fonte] : fonti) {
        auto db = Database::OpenDatabase(cartella, file);
        auto rs = db->OpenRecordset(fonte);
        if (std::strcmp(file, "NumeriCamere.mdb") == 0) {
            rs.Sort("[NumeroCamera]");
            rs = rs.OpenRecordset();
        }
        righe += rs.RecordCount();
        archivi.push_back(db);
    }
    for (auto& db : archivi) {
        db->Close();
    }
    return righe;
}

} // namespace

int main(int argc, char** argv) {
    fs::path cartella = fs::current_path();
    int hotel = 0;
    int tableau = -1;
    int ripetizioni = 1;
    int scriviCamere = 0;
    long long scriviSchede = 0;
    std::string data = vdx::DataOdierna(vdx::OrologioDiSistema());
    std::string solo; // "floor" or "run": only that half, for a profiler
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
            scriviDati(cartella, scriviCamere, scriviSchede);
            std::printf("data set written: %d rooms, %lld guest cards, %.2f s\n", scriviCamere,
                        scriviSchede, secondiDa(t));
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
        const std::string chiaveData = vdx::ChiaveDaData(data);

        double pavimento = 0;
        double giri = 0;
        double pavimentoCpu = 0;
        double giriCpu = 0;
        std::size_t righe = 0;
        std::uintmax_t byte = 0;
        for (int t : tableaux) {
            o.tableau = static_cast<short>(t);
            double minPavimento = 1e30;
            double minGiro = 1e30;
            double minPavimentoCpu = 1e30;
            double minGiroCpu = 1e30;
            for (int r = 0; r < ripetizioni; ++r) {
                auto inizio = Orologio::now();
                double cpu = secondiCpu();
                if (solo != "run") {
                    righe = leggiTabelle(cartella, chiaveData);
                }
                minPavimento = std::min(minPavimento, secondiDa(inizio));
                minPavimentoCpu = std::min(minPavimentoCpu, secondiCpu() - cpu);
                inizio = Orologio::now();
                cpu = secondiCpu();
                if (solo == "floor") {
                    continue;
                }
                const fs::path report = vdx::GeneraTableau(o);
                minGiro = std::min(minGiro, secondiDa(inizio));
                minGiroCpu = std::min(minGiroCpu, secondiCpu() - cpu);
                if (r + 1 == ripetizioni) {
                    byte += fs::file_size(report);
                    fs::remove(report);
                }
            }
            std::printf("tableau %3d: floor %.3f s, run %.3f s, ratio %.2f (processor time %.3f s, "
                        "%.3f s, ratio %.2f)\n",
                        t, minPavimento, minGiro, minGiro / minPavimento, minPavimentoCpu,
                        minGiroCpu, minGiroCpu / minPavimentoCpu);
            std::fflush(stdout);
            pavimento += minPavimento;
            giri += minGiro;
            pavimentoCpu += minPavimentoCpu;
            giriCpu += minGiroCpu;
        }
        std::printf("hotel %d, %zu tableau run(s) on %s, %zu records in the record sets, "
                    "%ju report bytes\n",
                    o.hotel, tableaux.size(), data.c_str(), righe, byte);
        std::printf("floor (read the tables the runs open): %.3f s%s\n", pavimento,
                    ripetizioni > 1 ? " (best runs)" : "");
        std::printf("whole runs over all rooms (GeneraTableau): %.3f s\n", giri);
        std::printf("ratio runs / floor: %.2f (aim: at most 1.30)\n", giri / pavimento);
        std::printf("processor time: floor %.3f s, runs %.3f s, ratio %.2f\n", pavimentoCpu,
                    giriCpu, giriCpu / pavimentoCpu);
        std::printf("peak memory: %.1f MiB (aim: under 2048)\n", piccoMemoriaKiB() / 1024.0);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "bench-report: %s\n", e.what());
        return 1;
    }
    return 0;
}
