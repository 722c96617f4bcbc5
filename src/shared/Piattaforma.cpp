#include "shared/Piattaforma.h"

#include "shared/Ambiente.h"
#include "shared/Cp1252.h"
#include "shared/Errore.h"

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace vdx::piattaforma {

namespace fs = std::filesystem;

namespace {

ApriFn& ApriSostituto() {
    static ApriFn fn;
    return fn;
}

AvviaFn& AvviaSostituto() {
    static AvviaFn fn;
    return fn;
}

// How a program started on its own went, as far as its start was watched.
enum class Avvio : char {
    NonEseguito, // it could not be run
    FinitoBene,  // it ended with status 0
    FinitoMale,  // it ended with another status, or by a signal
    InCorso      // still running when the watch ended
};

// Watches the child `programma` for up to `attesa`: how it ended, or that it
// still runs. Async-signal-safe, as it runs between fork and exit.
Avvio Osserva(pid_t programma, std::chrono::milliseconds attesa) {
    timespec inizio{};
    ::clock_gettime(CLOCK_MONOTONIC, &inizio);
    for (;;) {
        int stato = 0;
        const pid_t finito = ::waitpid(programma, &stato, WNOHANG);
        if (finito == programma) {
            return WIFEXITED(stato) && WEXITSTATUS(stato) == 0 ? Avvio::FinitoBene
                                                               : Avvio::FinitoMale;
        }
        if (finito < 0 && errno != EINTR) {
            return Avvio::InCorso;
        }
        timespec adesso{};
        ::clock_gettime(CLOCK_MONOTONIC, &adesso);
        const long trascorsi =
            (adesso.tv_sec - inizio.tv_sec) * 1000 + (adesso.tv_nsec - inizio.tv_nsec) / 1000000;
        if (trascorsi >= attesa.count()) {
            return Avvio::InCorso;
        }
        const timespec pausa{0, 10 * 1000 * 1000};
        ::nanosleep(&pausa, nullptr);
    }
}

// Starts argv in `cartella` on its own: in a session of its own and not our
// child (a double fork), so nobody is left to reap it and it outlives us.
// Watches it for up to `attesa`. Between fork and exec the children only
// make async-signal-safe calls: everything else is ready before the fork.
Avvio AvviaStaccato(const std::vector<std::string>& argv, const fs::path& cartella,
                    std::chrono::milliseconds attesa) {
    std::vector<char*> argomenti;
    for (const auto& a : argv) {
        argomenti.push_back(const_cast<char*>(a.c_str()));
    }
    argomenti.push_back(nullptr);
    const std::string percorsoCartella = cartella.string();
    int esito[2];
    if (::pipe2(esito, O_CLOEXEC) != 0) {
        return Avvio::NonEseguito;
    }
    const pid_t figlio = ::fork();
    if (figlio < 0) {
        ::close(esito[0]);
        ::close(esito[1]);
        return Avvio::NonEseguito;
    }
    if (figlio == 0) {
        ::close(esito[0]);
        ::setsid();
        Avvio avvio = Avvio::NonEseguito;
        int exec[2]; // the exec's errno, or nothing when it ran: close on exec
        if (::pipe2(exec, O_CLOEXEC) == 0) {
            const pid_t programma = ::fork();
            if (programma == 0) {
                ::close(exec[0]);
                if (percorsoCartella.empty() || ::chdir(percorsoCartella.c_str()) == 0) {
                    ::execv(argomenti[0], argomenti.data());
                }
                const int codice = errno;
                [[maybe_unused]] auto n = ::write(exec[1], &codice, sizeof codice);
                ::_exit(127);
            }
            ::close(exec[1]);
            int codice = 0;
            if (programma > 0 && ::read(exec[0], &codice, sizeof codice) <= 0) {
                avvio = Osserva(programma, attesa);
            }
            ::close(exec[0]);
        }
        [[maybe_unused]] auto n = ::write(esito[1], &avvio, sizeof avvio);
        ::_exit(0);
    }
    ::close(esito[1]);
    int stato = 0;
    while (::waitpid(figlio, &stato, 0) < 0 && errno == EINTR) {
    }
    Avvio avvio = Avvio::NonEseguito;
    if (::read(esito[0], &avvio, sizeof avvio) != sizeof avvio) {
        avvio = Avvio::NonEseguito;
    }
    ::close(esito[0]);
    return avvio;
}

// How long the desktop's opener is watched: it ends at once when no program
// takes the file, and may run as long as the program it started.
constexpr std::chrono::milliseconds AttesaApertura{3000};

} // namespace

bool SchermoDisponibile() {
    const auto presente = [](const char* nome) {
        const char* v = std::getenv(nome);
        return v != nullptr && *v != '\0';
    };
    return presente("DISPLAY") || presente("WAYLAND_DISPLAY") || presente("QT_QPA_PLATFORM");
}

std::string_view SenzaExe(std::string_view programma) {
    if (programma.size() > 4 &&
        UgualiSenzaMaiuscole(programma.substr(programma.size() - 4), ".exe")) {
        programma.remove_suffix(4);
    }
    return programma;
}

fs::path CercaProgramma(std::string_view programma) {
    if (programma.find('/') != std::string_view::npos) {
        return ::access(std::string(programma).c_str(), X_OK) == 0 ? fs::path(programma)
                                                                   : fs::path();
    }
    // A program of the suite's workstations is named with ".exe"
    // ("Recapito.exe"); here it may be installed without it ("Recapito").
    const std::string_view senzaExe = SenzaExe(programma);
    const auto corrisponde = [&](const std::string& nome) {
        return UgualiSenzaMaiuscole(nome, programma) || UgualiSenzaMaiuscole(nome, senzaExe);
    };
    const std::string percorsi = VariabileAmbiente("PATH").value_or("/usr/local/bin:/usr/bin:/bin");
    std::size_t inizio = 0;
    while (inizio <= percorsi.size()) {
        const std::size_t fine = std::min(percorsi.find(':', inizio), percorsi.size());
        const fs::path cartella = percorsi.substr(inizio, fine - inizio).empty()
                                      ? fs::path(".")
                                      : fs::path(percorsi.substr(inizio, fine - inizio));
        std::error_code ec;
        for (fs::directory_iterator it(cartella, ec), stop; !ec && it != stop; it.increment(ec)) {
            if (corrisponde(it->path().filename().string()) &&
                ::access(it->path().c_str(), X_OK) == 0 && !fs::is_directory(it->path(), ec)) {
                return it->path();
            }
        }
        inizio = fine + 1;
    }
    return {};
}

bool ApriConProgramma(const fs::path& file) {
    if (ApriSostituto()) {
        return ApriSostituto()(file);
    }
    const fs::path apritore = CercaProgramma("xdg-open");
    if (apritore.empty()) {
        return false;
    }
    // xdg-open says with its status whether a program took the file: 0, or
    // still running with it in the foreground (on a desktop it does not know).
    const Avvio avvio = AvviaStaccato({apritore.string(), fs::absolute(file).string()},
                                      fs::current_path(), AttesaApertura);
    return avvio == Avvio::FinitoBene || avvio == Avvio::InCorso;
}

void AvviaProgramma(std::string_view programma, const fs::path& cartella) {
    const fs::path trovato = ProgrammaDaAvviare(programma, cartella);
    if (!trovato.empty() && AvviaStaccato({trovato.string()}, cartella,
                                          std::chrono::milliseconds(0)) == Avvio::NonEseguito) {
        throw Errore(errore::FileNonTrovato,
                     "Impossibile avviare " + Cp1252DaUtf8(trovato.string()));
    }
}

fs::path ProgrammaDaAvviare(std::string_view programma, const fs::path& cartella) {
    if (AvviaSostituto()) {
        AvviaSostituto()(programma, cartella);
        return {};
    }
    const fs::path trovato = CercaProgramma(programma);
    if (trovato.empty()) {
        throw Errore(errore::FileNonTrovato, "File non trovato: " + std::string(programma) +
                                                 " (non \xE8 nel percorso dei programmi)");
    }
    return trovato;
}

void ImpostaApri(ApriFn fn) {
    ApriSostituto() = std::move(fn);
}

void ImpostaAvvia(AvviaFn fn) {
    AvviaSostituto() = std::move(fn);
}

} // namespace vdx::piattaforma
