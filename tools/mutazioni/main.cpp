// vdx-mutazioni --programmi DIR [--campioni DIR] [--seme N] [--file N]
//               [--scadenza SECONDI] [--conserva DIR] [--dettagli]
//
// Damaged copies of the demo hotel's files and of genuine Access files, read
// through the programs as a night-audit script would: each copy with
// `vdx-query FILE TABLE` for every table of the file, and, for the demo
// files `vdx generate` reads, `vdx generate` in a copy of the demo folder
// holding the damaged file. The damage is drawn from the seed: bit flips,
// boundary integers at the offsets of the pages' structures, the file cut at
// a page boundary, a page copied over another, two pages swapped, a page
// zeroed, junk appended.
//
// A run fails on a crash (a signal, or a status the programs never give,
// such as a sanitizer's), a run longer than the time limit (a hang), any
// text on stderr but the program's one error line, a table read with
// status 0 but fewer rows than the undamaged file, or, when the damage hit
// no page of rows (a definition, a map page, the header, pages added), a
// table or a report read with status 0 but other than the undamaged file's.
// It prints the figures, and with --conserva keeps each failing copy (and
// each refused with an error other than damage).
//
// With --concorrente N it also runs `vdx generate` N times in a demo folder
// while a writer swaps five of its files (hotels, tableaux, rooms, room
// types, guest cards) whole, by renaming, between two versions of each: each
// report must be the report of one combination of the files' versions, or
// the run a clean error. Exit status 0 when no run failed.

#include "AlbergoDemo.h"
#include "jet/Database.h"
#include "shared/Date.h"
#include "shared/DatiSuite.h"
#include "shared/Opzioni.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <map>
#include <poll.h>
#include <random>
#include <set>
#include <signal.h>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;
using Orologio = std::chrono::steady_clock;

namespace {

struct Opzioni {
    fs::path programmi;
    fs::path campioni;
    std::uint64_t seme = 1;
    int file = 300;
    int scadenza = 30; // seconds a run may take: a hang detector, not a speed target
    fs::path conserva;
    bool dettagli = false;
    int concorrenti = 0; // runs of the concurrent mode
};

std::string LeggiFile(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

void ScriviFile(const fs::path& p, const std::string& byte) {
    std::ofstream(p, std::ios::binary | std::ios::trunc) << byte;
}

// ------------------------------------------------------------------ runs

struct Uscita {
    int stato = -1;  // exit status, -1 when ended by a signal
    int segnale = 0; // the signal that ended it
    bool scaduta = false;
    std::string out;
    std::string err;
};

// Runs `argomenti` (the program first) in `cartella`, killed past `scadenza`.
Uscita Esegui(const std::vector<std::string>& argomenti, const fs::path& cartella, int scadenza) {
    int o[2];
    int e[2];
    if (::pipe(o) != 0 || ::pipe(e) != 0) {
        std::perror("pipe");
        std::exit(2);
    }
    const pid_t figlio = ::fork();
    if (figlio == 0) {
        ::dup2(o[1], 1);
        ::dup2(e[1], 2);
        ::close(o[0]);
        ::close(e[0]);
        ::close(o[1]);
        ::close(e[1]);
        if (::chdir(cartella.c_str()) != 0) {
            ::_exit(127);
        }
        std::vector<char*> argv;
        for (const std::string& a : argomenti) {
            argv.push_back(const_cast<char*>(a.c_str()));
        }
        argv.push_back(nullptr);
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    ::close(o[1]);
    ::close(e[1]);
    Uscita u;
    const auto limite = Orologio::now() + std::chrono::seconds(scadenza);
    pollfd fd[2] = {{o[0], POLLIN, 0}, {e[0], POLLIN, 0}};
    int aperti = 2;
    while (aperti > 0) {
        const auto resta =
            std::chrono::duration_cast<std::chrono::milliseconds>(limite - Orologio::now());
        if (resta.count() <= 0) {
            u.scaduta = true;
            ::kill(figlio, SIGKILL);
            break;
        }
        if (::poll(fd, 2, static_cast<int>(std::min<long long>(resta.count(), 1000))) < 0) {
            continue;
        }
        for (int i = 0; i < 2; ++i) {
            if (fd[i].fd >= 0 && (fd[i].revents & (POLLIN | POLLHUP)) != 0) {
                char buf[8192];
                const ssize_t n = ::read(fd[i].fd, buf, sizeof buf);
                if (n > 0) {
                    (i == 0 ? u.out : u.err).append(buf, static_cast<std::size_t>(n));
                } else {
                    ::close(fd[i].fd);
                    fd[i].fd = -1;
                    --aperti;
                }
            }
        }
    }
    for (const pollfd& f : fd) {
        if (f.fd >= 0) {
            ::close(f.fd);
        }
    }
    int s = 0;
    ::waitpid(figlio, &s, 0);
    if (WIFEXITED(s)) {
        u.stato = WEXITSTATUS(s);
    } else if (WIFSIGNALED(s)) {
        u.segnale = WTERMSIG(s);
    }
    return u;
}

// Records in vdx-query's CSV (CR LF after each, quotes around fields that
// hold line ends), less the header.
std::size_t RecordCsv(const std::string& csv) {
    std::size_t n = 0;
    bool virgolette = false;
    for (std::size_t i = 0; i < csv.size(); ++i) {
        if (csv[i] == '"') {
            virgolette = !virgolette;
        } else if (!virgolette && csv[i] == '\n') {
            ++n;
        }
    }
    return n == 0 ? 0 : n - 1;
}

// ------------------------------------------------------------------ damage

struct Originale {
    fs::path percorso;
    std::string byte;
    std::size_t pagina = 4096;
    std::map<std::string, std::size_t> righe; // table -> rows of the undamaged file
    std::map<std::string, std::string> letto; // table -> what vdx-query prints of it
    bool demo = false;
};

// Whether the damaged copy `b` of `o` differs from it on a page of rows (a
// data page, before or after the damage) or lacks one: then what is read
// may differ without any damage to see.
bool ToccaRighe(const Originale& o, const std::string& b) {
    const std::size_t n = std::max(o.byte.size(), b.size());
    for (std::size_t p = 0; p * o.pagina < n; ++p) {
        const std::size_t inizio = p * o.pagina;
        const auto pagina = [&](const std::string& x) {
            return inizio < x.size() ? std::string_view(x).substr(inizio, o.pagina)
                                     : std::string_view();
        };
        const std::string_view prima = pagina(o.byte);
        const std::string_view dopo = pagina(b);
        if (prima == dopo) {
            continue;
        }
        if ((!prima.empty() && prima[0] == 0x01) || (!dopo.empty() && dopo[0] == 0x01)) {
            return true;
        }
    }
    return false;
}

// A report with its time stamp (the end of its first line) blanked: two runs
// of the same files give the same text.
std::string SenzaOra(std::string report) {
    const std::size_t fine = report.find("\r\n");
    if (fine != std::string::npos && fine >= 16) {
        report.replace(fine - 16, 16, 16, ' ');
    }
    return report;
}

std::uint32_t U32(const std::string& b, std::size_t at) {
    std::uint32_t v = 0;
    std::memcpy(&v, b.data() + at, 4);
    return v;
}

// The offsets of the structures of a page, by its kind (Jet 4 layout; Jet 3
// pages get the same offsets scaled by nothing: they are still structure).
std::vector<std::pair<std::size_t, int>> CampiDellaPagina(const std::string& b, std::size_t inizio,
                                                          std::size_t pagina) {
    std::vector<std::pair<std::size_t, int>> v; // offset in the page, width
    const auto tipo = static_cast<unsigned char>(b[inizio]);
    if (inizio == 0) {
        v = {{0x14, 1}, {0x3C, 2}, {0x3E, 4}, {0x18, 4}};
    } else if (tipo == 0x01) {
        v = {{2, 2}, {4, 4}, {8, 4}, {12, 2}};
        const std::size_t righe =
            std::min<std::size_t>(static_cast<unsigned char>(b[inizio + 12]), 40);
        for (std::size_t r = 0; r < righe; ++r) {
            v.push_back({14 + 2 * r, 2});
        }
    } else if (tipo == 0x02) {
        v = {{4, 4},  {8, 4},  {16, 4}, {41, 2}, {43, 2},
             {45, 2}, {47, 4}, {51, 4}, {55, 4}, {59, 4}};
        const std::size_t reali = std::min<std::size_t>(U32(b, inizio + 51), 8);
        const std::size_t colonne =
            std::min<std::size_t>(static_cast<unsigned char>(b[inizio + 45]), 30);
        for (std::size_t c = 0; c < colonne; ++c) {
            const std::size_t d = 63 + 12 * reali + 25 * c;
            for (const auto& [o, w] :
                 {std::pair<std::size_t, int>{0, 1}, {5, 2}, {7, 2}, {15, 1}, {21, 2}, {23, 2}}) {
                v.push_back({d + o, w});
            }
        }
    } else if (tipo == 0x05) {
        v = {{4, 4}, {8, 4}};
    } else {
        v = {{0, 1}, {4, 4}};
    }
    v.erase(std::remove_if(v.begin(), v.end(),
                           [&](const auto& c) {
                               return c.first + static_cast<std::size_t>(c.second) > pagina;
                           }),
            v.end());
    return v;
}

class Danneggiatore {
public:
    Danneggiatore(std::uint64_t seme) : caso_(seme) {}

    // A damaged copy of `o`, and what was done to it.
    std::pair<std::string, std::string> Danneggia(const Originale& o) {
        std::string b = o.byte;
        const std::size_t pagine = b.size() / o.pagina;
        std::ostringstream d;
        switch (Tra(0, 6)) {
        case 0: {
            const int colpi = 1 << Tra(0, 4);
            d << colpi << " bit flips";
            for (int i = 0; i < colpi; ++i) {
                b[Tra(0, b.size() - 1)] ^= static_cast<char>(1 << Tra(0, 7));
            }
            break;
        }
        case 1: {
            const std::size_t p = Tra(0, pagine - 1);
            const auto campi = CampiDellaPagina(b, p * o.pagina, o.pagina);
            const auto [offset, larghezza] = campi[Tra(0, campi.size() - 1)];
            std::uint32_t ora = 0;
            std::memcpy(&ora, b.data() + p * o.pagina + offset,
                        static_cast<std::size_t>(larghezza));
            const std::uint64_t v = Limite(larghezza, ora, pagine);
            std::memcpy(b.data() + p * o.pagina + offset, &v, static_cast<std::size_t>(larghezza));
            d << "page " << p << " offset " << offset << " = " << v;
            break;
        }
        case 2: {
            const std::size_t resta = Tra(1, pagine - 1);
            b.resize(resta * o.pagina);
            d << "cut to " << resta << " pages";
            break;
        }
        case 3:
        case 4: {
            const std::size_t a = Tra(1, pagine - 1);
            const std::size_t c = Tra(1, pagine - 1);
            const std::string pa = b.substr(a * o.pagina, o.pagina);
            if (Tra(0, 1) == 0) {
                b.replace(c * o.pagina, o.pagina, pa);
                d << "page " << a << " copied over page " << c;
            } else {
                b.replace(a * o.pagina, o.pagina, b.substr(c * o.pagina, o.pagina));
                b.replace(c * o.pagina, o.pagina, pa);
                d << "pages " << a << " and " << c << " swapped";
            }
            break;
        }
        case 5: {
            const std::size_t p = Tra(1, pagine - 1);
            std::fill_n(b.begin() + static_cast<std::ptrdiff_t>(p * o.pagina), o.pagina, '\0');
            d << "page " << p << " zeroed";
            break;
        }
        default: {
            const std::size_t n = Tra(0, 1) == 0 ? o.pagina : Tra(1, 3 * o.pagina);
            for (std::size_t i = 0; i < n; ++i) {
                b.push_back(static_cast<char>(Tra(0, 255)));
            }
            d << n << " junk bytes appended";
            break;
        }
        }
        return {std::move(b), d.str()};
    }

    std::size_t Tra(std::size_t a, std::size_t b) {
        return std::uniform_int_distribution<std::size_t>(a, b)(caso_);
    }

private:
    // A boundary value for a field of `larghezza` bytes now holding `ora`.
    std::uint64_t Limite(int larghezza, std::uint32_t ora, std::size_t pagine) {
        const std::uint64_t massimo =
            larghezza == 4 ? 0xFFFFFFFFull : (1ull << (8 * larghezza)) - 1;
        const std::uint64_t alto = massimo >> 1;
        const std::uint64_t valori[] = {0,          1,          alto,   alto + 1,   massimo,
                                        ora + 1ull, ora - 1ull, pagine, pagine + 1, pagine - 1};
        return valori[Tra(0, std::size(valori) - 1)] & massimo;
    }
    std::mt19937_64 caso_;
};

// ------------------------------------------------------------------ checks

struct Conti {
    int file = 0;
    int letti = 0;       // every table read, whole
    int rifiutati = 0;   // refused as damage (3343)
    int altriErrori = 0; // refused with another error
    int caduta = 0;
    int blocchi = 0;
    int testoEstraneo = 0;
    int perdite = 0;
    int diversi = 0; // read at status 0, other than the undamaged file, no row touched
    int esecuzioni = 0;
};

enum class Esito { Letto, Danneggiato, AltroErrore, Crash, Blocco, Estraneo, Perdita, Diverso };

// A program may end with one error line of its own (status 1), or, for
// `vdx generate`, with the request window's messages on one line (status 2,
// when a damaged value makes the room range or date wrong); any other text
// on stderr is stray.
Esito Classifica(const Uscita& u, const std::string& prefisso) {
    if (u.scaduta) {
        return Esito::Blocco;
    }
    if (u.segnale != 0 || (u.stato != 0 && u.stato != 1 && u.stato != 2)) {
        return Esito::Crash;
    }
    if (u.stato == 0) {
        return u.err.empty() ? Esito::Letto : Esito::Estraneo;
    }
    const std::size_t fine = u.err.find('\n');
    if (u.err.rfind(prefisso, 0) != 0 || fine + 1 != u.err.size()) {
        return Esito::Estraneo;
    }
    if (u.stato == 2) {
        const std::string finestra = u.err.substr(prefisso.size());
        return finestra.rfind("Camere errate! ", 0) == 0 || finestra.rfind("Data errata! ", 0) == 0
                   ? Esito::AltroErrore
                   : Esito::Estraneo;
    }
    return u.err.find(" 3343: ") != std::string::npos ? Esito::Danneggiato : Esito::AltroErrore;
}

class Campagna {
public:
    Campagna(Opzioni o, fs::path lavoro) : o_(std::move(o)), lavoro_(std::move(lavoro)) {}

    void Prepara();
    void Esegui();
    const Conti& ContiEsiti() const { return conti_; }
    bool Fallita() const {
        return conti_.caduta + conti_.blocchi + conti_.testoEstraneo + conti_.perdite +
                   conti_.diversi >
               0;
    }

private:
    Esito ProvaQuery(const Originale& o, const fs::path& copia, bool toccaRighe, std::string& nota);
    Esito ProvaGenera(const Originale& o, const std::string& byte, bool righe, std::string& nota);
    void Annota(Esito peggiore, const Originale& o, const std::string& byte,
                const std::string& descrizione, const std::string& nota, int numero);

    Opzioni o_;
    fs::path lavoro_;
    std::vector<Originale> originali_;
    std::string report_; // of the undamaged demo folder, without its time stamp
    Conti conti_;
};

void Campagna::Prepara() {
    const fs::path demo = lavoro_ / "demo";
    const Uscita u = ::Esegui({(o_.programmi / "vdx-demo").string(), demo.string()}, lavoro_, 120);
    if (u.stato != 0) {
        std::cerr << "vdx-mutazioni: vdx-demo non riesce: " << u.err;
        std::exit(2);
    }
    std::vector<std::pair<fs::path, bool>> file;
    for (const auto& e : fs::directory_iterator(demo)) {
        if (e.path().extension() == ".mdb") {
            file.push_back({e.path(), true});
        }
    }
    if (!o_.campioni.empty() && fs::is_directory(o_.campioni)) {
        fs::create_directories(lavoro_ / "campioni");
        for (const auto& e : fs::directory_iterator(o_.campioni)) {
            const auto est = e.path().extension();
            if (est == ".mdb" || est == ".accdb") {
                fs::copy_file(e.path(), lavoro_ / "campioni" / e.path().filename());
                file.push_back({lavoro_ / "campioni" / e.path().filename(), false});
            }
        }
    }
    std::sort(file.begin(), file.end());
    for (const auto& [p, demoFile] : file) {
        Originale originale;
        originale.percorso = p;
        originale.byte = LeggiFile(p);
        originale.pagina = originale.byte.size() > 0x14 && originale.byte[0x14] == 0 ? 2048 : 4096;
        originale.demo = demoFile;
        auto db = vdx::jet::Database::OpenDatabase(p.parent_path(), p.filename().string());
        for (const std::string& t : db->NomiTabelle()) {
            originale.righe[t] = db->OpenRecordset(t).RecordCount();
            originale.letto[t] = ::Esegui({(o_.programmi / "vdx-query").string(), p.string(), t},
                                          p.parent_path(), o_.scadenza)
                                     .out;
        }
        originali_.push_back(std::move(originale));
    }
    // The undamaged demo folder gives its report.
    const Uscita g = ::Esegui({(o_.programmi / "vdx").string(), "generate"}, demo, o_.scadenza);
    if (g.stato != 0 || !g.err.empty()) {
        std::cerr << "vdx-mutazioni: vdx generate non riesce sull'hotel di prova integro: "
                  << g.err;
        std::exit(2);
    }
    report_ = SenzaOra(LeggiFile(demo / "FD1"));
}

Esito Campagna::ProvaQuery(const Originale& o, const fs::path& copia, bool toccaRighe,
                           std::string& nota) {
    Esito peggiore = Esito::Letto;
    for (const auto& [tabella, righe] : o.righe) {
        const Uscita u = ::Esegui({(o_.programmi / "vdx-query").string(), copia.string(), tabella},
                                  copia.parent_path(), o_.scadenza);
        ++conti_.esecuzioni;
        Esito e = Classifica(u, "vdx-query: errore ");
        if (e == Esito::Letto && RecordCsv(u.out) < righe) {
            e = Esito::Perdita;
        } else if (e == Esito::Letto && !toccaRighe && u.out != o.letto.at(tabella)) {
            e = Esito::Diverso;
        }
        if (e != Esito::Letto) {
            nota += "vdx-query " + tabella + ": status " + std::to_string(u.stato) + " signal " +
                    std::to_string(u.segnale) + (u.scaduta ? " (timed out)" : "") + ", " +
                    std::to_string(RecordCsv(u.out)) + " of " + std::to_string(righe) +
                    (e == Esito::Diverso ? " rows, other than the undamaged ones" : " rows") +
                    "; stderr: " + u.err.substr(0, 400) + "\n";
        }
        peggiore = std::max(peggiore, e);
    }
    return peggiore;
}

Esito Campagna::ProvaGenera(const Originale& o, const std::string& byte, bool righe,
                            std::string& nota) {
    const std::string nome = o.percorso.filename().string();
    // Only the files `vdx generate` reads (not the print menu's).
    if (!o.demo ||
        std::none_of(vdx::suite::TabelleDelTableau.begin(), vdx::suite::TabelleDelTableau.end(),
                     [&](const vdx::suite::TabellaSuite& t) { return nome == t.file; })) {
        return Esito::Letto;
    }
    const fs::path cartella = lavoro_ / "genera";
    fs::remove_all(cartella);
    fs::copy(lavoro_ / "demo", cartella);
    ScriviFile(cartella / nome, byte);
    const Uscita u = ::Esegui({(o_.programmi / "vdx").string(), "generate"}, cartella, o_.scadenza);
    ++conti_.esecuzioni;
    Esito e = Classifica(u, "vdx: ");
    if (e == Esito::Letto && !righe && SenzaOra(LeggiFile(cartella / "FD1")) != report_) {
        e = Esito::Diverso;
    }
    if (e != Esito::Letto) {
        nota += "vdx generate: status " + std::to_string(u.stato) + " signal " +
                std::to_string(u.segnale) + (u.scaduta ? " (timed out)" : "") +
                (e == Esito::Diverso ? ", a report other than the undamaged one" : "") +
                "; stderr: " + u.err.substr(0, 400) + "\n";
    }
    return e;
}

void Campagna::Annota(Esito peggiore, const Originale& o, const std::string& byte,
                      const std::string& descrizione, const std::string& nota, int numero) {
    switch (peggiore) {
    case Esito::Letto:
        ++conti_.letti;
        return;
    case Esito::Danneggiato:
        ++conti_.rifiutati;
        break;
    case Esito::AltroErrore:
        ++conti_.altriErrori;
        break;
    case Esito::Crash:
        ++conti_.caduta;
        break;
    case Esito::Blocco:
        ++conti_.blocchi;
        break;
    case Esito::Estraneo:
        ++conti_.testoEstraneo;
        break;
    case Esito::Perdita:
        ++conti_.perdite;
        break;
    case Esito::Diverso:
        ++conti_.diversi;
        break;
    }
    const bool guasto = peggiore > Esito::AltroErrore;
    if (guasto || (o_.dettagli && peggiore == Esito::AltroErrore)) {
        std::cerr << (guasto ? "GUASTO " : "altro errore ") << numero << " "
                  << o.percorso.filename().string() << " (" << descrizione << ")\n"
                  << nota;
    }
    if ((guasto || peggiore == Esito::AltroErrore) && !o_.conserva.empty()) {
        fs::create_directories(o_.conserva);
        ScriviFile(o_.conserva / (std::to_string(numero) + "-" + o.percorso.filename().string()),
                   byte);
    }
}

void Campagna::Esegui() {
    Danneggiatore danni(o_.seme);
    const fs::path copie = lavoro_ / "copie";
    fs::create_directories(copie);
    for (int i = 0; i < o_.file; ++i) {
        const Originale& o = originali_[danni.Tra(0, originali_.size() - 1)];
        auto [byte, descrizione] = danni.Danneggia(o);
        const fs::path copia = copie / o.percorso.filename();
        ScriviFile(copia, byte);
        std::string nota;
        const bool righe = ToccaRighe(o, byte);
        Esito peggiore = ProvaQuery(o, copia, righe, nota);
        peggiore = std::max(peggiore, ProvaGenera(o, byte, righe, nota));
        ++conti_.file;
        Annota(peggiore, o, byte, descrizione, nota, i);
    }
}

// ------------------------------------------------------------------ concurrent runs

namespace fx = vdx::fixture;

// How version B of a file of the demo hotel differs from version A: a change
// to each of its rows.
struct Variante {
    const char* tabella;
    void (*cambia)(const std::function<std::string*(const char*)>& campo);
};

const Variante Varianti[] = {
    {"AnagraficaHotels", [](const auto& campo) { *campo("RagioneSociale") += " B"; }},
    {"Tableau", [](const auto& campo) { *campo("Descrizione") += " B"; }},
    {"NumeriCamere", [](const auto& campo) { *campo("NumeroCamera") += "B"; }},
    {"TipiCamere",
     [](const auto& campo) {
         if (*campo("Sigla") == "DUS") {
             *campo("Tipologia") = "A"; // its rooms leave the tableau
         }
     }},
    {"Scheda_Cliente", [](const auto& campo) { *campo("NomeCliente") += " B"; }},
};

fx::TabellaProva TabellaB(const fx::TabellaProva& a, const Variante& v) {
    fx::TabellaProva b(a.Nome(), a.Colonne());
    for (std::vector<fx::Cella> riga : a.RigheScritte()) {
        v.cambia([&](const char* nome) -> std::string* {
            for (std::size_t c = 0; c < a.Colonne().size(); ++c) {
                if (a.Colonne()[c].rfind(std::string(nome) + ":", 0) == 0) {
                    return std::get_if<std::string>(&riga[c]);
                }
            }
            static std::string nessuno;
            return &nessuno;
        });
        b.ConRiga(riga);
    }
    return b;
}

struct ContiConcorrenti {
    int esecuzioni = 0;
    int uguali = 0; // the report of one combination of the versions (or its refusal)
    int errori = 0; // a clean error of its own
    int guasti = 0; // anything else
    int scambi = 0; // files swapped meanwhile
    int combinazioni = 0;
    int tableau = 0; // the different outcomes of the combinations
};

// The outcome of a run as a text to compare: its status and report, or its
// status and error line.
std::string EsitoDi(const Uscita& u, const fs::path& cartella) {
    if (u.stato == 0 && u.err.empty()) {
        return "0\n" + SenzaOra(LeggiFile(cartella / "FD1"));
    }
    return std::to_string(u.stato) + "\n" + u.err;
}

ContiConcorrenti Concorrenti(const Opzioni& o, const fs::path& lavoro) {
    ContiConcorrenti k;
    const vdx::DataOra oggi = vdx::OraLocale();
    const fs::path a = lavoro / "versione-a";
    const fs::path b = lavoro / "versione-b";
    fx::Albergo albergo = fx::AlbergoDemo(oggi, a);
    albergo.Scrivi(a);
    for (const Variante& v : Varianti) {
        albergo.Sostituisci(TabellaB(albergo.TabellaDiNome(v.tabella), v));
    }
    albergo.Scrivi(b);
    const std::size_t n = std::size(Varianti);
    std::vector<std::string> versioni[2];
    for (const Variante& v : Varianti) {
        versioni[0].push_back(LeggiFile(a / (std::string(v.tabella) + ".mdb")));
        versioni[1].push_back(LeggiFile(b / (std::string(v.tabella) + ".mdb")));
    }
    // What each combination of the versions gives, the files still.
    const fs::path cartella = lavoro / "concorrente";
    const std::vector<std::string> vdx = {(o.programmi / "vdx").string(), "generate"};
    std::set<std::string> attesi;
    for (std::size_t scelta = 0; scelta < (std::size_t{1} << n); ++scelta) {
        fs::remove_all(cartella);
        fs::copy(a, cartella);
        for (std::size_t i = 0; i < n; ++i) {
            ScriviFile(cartella / (std::string(Varianti[i].tabella) + ".mdb"),
                       versioni[(scelta >> i) & 1][i]);
        }
        attesi.insert(EsitoDi(::Esegui(vdx, cartella, o.scadenza), cartella));
    }
    k.combinazioni = 1 << n;
    k.tableau = static_cast<int>(attesi.size());
    // The runs while a writer swaps the files, each whole, by renaming.
    fs::remove_all(cartella);
    fs::copy(a, cartella);
    std::atomic<bool> fine{false};
    std::thread scrittore([&] {
        std::mt19937_64 caso(o.seme);
        std::vector<int> versione(n, 0);
        while (!fine) {
            const std::size_t i = caso() % n;
            versione[i] ^= 1;
            ScriviFile(cartella / ".scambio", versioni[versione[i]][i]);
            fs::rename(cartella / ".scambio",
                       cartella / (std::string(Varianti[i].tabella) + ".mdb"));
            ++k.scambi;
            std::this_thread::sleep_for(std::chrono::microseconds(caso() % 3000));
        }
    });
    for (int r = 0; r < o.concorrenti; ++r) {
        const Uscita u = ::Esegui(vdx, cartella, o.scadenza);
        ++k.esecuzioni;
        const Esito e = Classifica(u, "vdx: ");
        if (attesi.count(EsitoDi(u, cartella)) > 0) {
            ++k.uguali;
        } else if (e == Esito::Danneggiato || e == Esito::AltroErrore) {
            ++k.errori;
        } else {
            ++k.guasti;
            std::cerr << "GUASTO concorrente " << r << ": status " << u.stato << " signal "
                      << u.segnale << (e == Esito::Letto ? ", a report of no combination" : "")
                      << "; stderr: " << u.err.substr(0, 400) << "\n";
        }
    }
    fine = true;
    scrittore.join();
    return k;
}

const vdx::DescrizioneComando Mutazioni{
    "vdx-mutazioni",
    "",
    0,
    "Danneggia copie dei file dell'hotel di prova (e dei campioni Access) con semi fissi e\n"
    "le fa leggere a vdx-query e a vdx generate: fallisce se un programma si blocca o va in\n"
    "crash, se scrive testo estraneo o se una tabella perde righe senza un errore.",
    {{"--programmi", "CARTELLA", "dove sono vdx, vdx-query e vdx-demo (obbligatoria)"},
     {"--campioni", "CARTELLA", "i campioni Access da danneggiare anche"},
     {"--seme", "N", "il seme dei danni (predefinito 1)"},
     {"--file", "N", "quanti file danneggiati (predefinito 300)"},
     {"--scadenza", "SECONDI", "quanto può durare una lettura prima di dirla bloccata"},
     {"--conserva", "CARTELLA", "dove tenere le copie che danno un guasto o un altro errore"},
     {"--dettagli", "", "descrive anche i file rifiutati con un altro errore"},
     {"--concorrente", "N", "anche N esecuzioni di vdx generate mentre i file cambiano versione"}}};

// The options, or a usage mistake.
Opzioni LeggiOpzioni(const vdx::Scelte& s) {
    Opzioni o;
    const auto numero = [&](const char* nome, auto predefinito) {
        const auto v = s.Valore(nome);
        if (!v) {
            return predefinito;
        }
        try {
            return static_cast<decltype(predefinito)>(std::stoull(*v));
        } catch (const std::exception&) {
            throw vdx::UsoErrato(std::string("valore non valido per ") + nome + ": " + *v);
        }
    };
    o.programmi = s.Valore("--programmi").value_or("");
    o.campioni = s.Valore("--campioni").value_or("");
    o.conserva = s.Valore("--conserva").value_or("");
    o.seme = numero("--seme", o.seme);
    o.file = numero("--file", o.file);
    o.scadenza = numero("--scadenza", o.scadenza);
    o.dettagli = s.Ha("--dettagli");
    o.concorrenti = numero("--concorrente", o.concorrenti);
    if (o.programmi.empty() || o.file <= 0) {
        throw vdx::UsoErrato("servono --programmi e almeno un file");
    }
    return o;
}

} // namespace

int main(int argc, char** argv) {
    int esito = 0;
    const auto scelte = vdx::LeggiOUso(Mutazioni, std::vector<std::string>(argv + 1, argv + argc),
                                       std::cout, std::cerr, esito);
    if (!scelte) {
        return esito;
    }
    Opzioni o;
    try {
        o = LeggiOpzioni(*scelte);
    } catch (const vdx::UsoErrato& e) {
        vdx::ScriviUsoErrato(Mutazioni, e.what(), std::cerr);
        return vdx::EsitoUsoErrato;
    }
    o.programmi = fs::absolute(o.programmi);
    char modello[] = "/tmp/vdx-mutazioni-XXXXXX";
    const fs::path lavoro = ::mkdtemp(modello);
    // Read without waiting: the second reading of a damaged file still
    // happens, the half second before it would only make the campaign long.
    ::setenv("VDX_PAUSA_RILETTURA_MS", "0", 1);
    ::setenv("pclocal", "1", 1);
    const auto inizio = Orologio::now();
    Campagna c(o, lavoro);
    c.Prepara();
    c.Esegui();
    const Conti& k = c.ContiEsiti();
    std::printf(
        "vdx-mutazioni: seme %llu, %d file danneggiati, %d esecuzioni in %.0f s: %d letti "
        "interi, %d rifiutati come danneggiati, %d rifiutati con un altro errore; %d crash, "
        "%d blocchi, %d con testo estraneo su stderr, %d perdite silenziose, %d letti diversi "
        "dal file integro senza che fossero toccate righe\n",
        static_cast<unsigned long long>(o.seme), k.file, k.esecuzioni,
        std::chrono::duration<double>(Orologio::now() - inizio).count(), k.letti, k.rifiutati,
        k.altriErrori, k.caduta, k.blocchi, k.testoEstraneo, k.perdite, k.diversi);
    int guasti = 0;
    if (o.concorrenti > 0) {
        const auto t = Orologio::now();
        const ContiConcorrenti cc = Concorrenti(o, lavoro);
        std::printf("vdx-mutazioni, modo concorrente: %d esecuzioni di vdx generate in %.0f s "
                    "mentre %d scambi di file tra due versioni: %d uguali al tableau di una "
                    "combinazione delle versioni (%d combinazioni, %d tableau diversi), %d "
                    "errori puliti, %d guasti\n",
                    cc.esecuzioni, std::chrono::duration<double>(Orologio::now() - t).count(),
                    cc.scambi, cc.uguali, cc.combinazioni, cc.tableau, cc.errori, cc.guasti);
        guasti = cc.guasti;
    }
    fs::remove_all(lavoro);
    return c.Fallita() || guasti > 0 ? 1 : 0;
}
