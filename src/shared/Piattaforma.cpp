#include "shared/Piattaforma.h"

#include "shared/Ambiente.h"
#include "shared/Cp1252.h"
#include "shared/Errore.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/wait.h>
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

// Starts argv in `folder`, detached (double fork, so no zombie is left and
// nobody waits). Returns false when the program could not be executed.
bool AvviaStaccato(const std::vector<std::string>& argv, const fs::path& folder) {
    int pipefd[2];
    if (::pipe2(pipefd, O_CLOEXEC) != 0) {
        return false;
    }
    const pid_t child = ::fork();
    if (child < 0) {
        ::close(pipefd[0]);
        ::close(pipefd[1]);
        return false;
    }
    if (child == 0) {
        ::close(pipefd[0]);
        ::setsid();
        const pid_t grandchild = ::fork();
        if (grandchild != 0) {
            ::_exit(grandchild < 0 ? 1 : 0);
        }
        if (!folder.empty() && ::chdir(folder.c_str()) != 0) {
            const int code = errno;
            [[maybe_unused]] auto n = ::write(pipefd[1], &code, sizeof code);
            ::_exit(127);
        }
        std::vector<char*> args;
        for (const auto& a : argv) {
            args.push_back(const_cast<char*>(a.c_str()));
        }
        args.push_back(nullptr);
        ::execv(args[0], args.data());
        const int code = errno;
        [[maybe_unused]] auto n = ::write(pipefd[1], &code, sizeof code);
        ::_exit(127);
    }
    ::close(pipefd[1]);
    int status = 0;
    ::waitpid(child, &status, 0);
    int code = 0;
    const auto got = ::read(pipefd[0], &code, sizeof code);
    ::close(pipefd[0]);
    return got <= 0 && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

} // namespace

bool SchermoDisponibile() {
    const auto presente = [](const char* nome) {
        const char* v = std::getenv(nome);
        return v != nullptr && *v != '\0';
    };
    return presente("DISPLAY") || presente("WAYLAND_DISPLAY") || presente("QT_QPA_PLATFORM");
}

fs::path CercaProgramma(std::string_view program) {
    if (program.find('/') != std::string_view::npos) {
        return ::access(std::string(program).c_str(), X_OK) == 0 ? fs::path(program) : fs::path();
    }
    // A program of the suite's workstations is named with ".exe"
    // ("Recapito.exe"); here it may be installed without it ("Recapito").
    std::string_view senzaExe = program;
    if (senzaExe.size() > 4 && UgualiSenzaMaiuscole(senzaExe.substr(senzaExe.size() - 4), ".exe")) {
        senzaExe.remove_suffix(4);
    }
    const auto corrisponde = [&](const std::string& nome) {
        return UgualiSenzaMaiuscole(nome, program) || UgualiSenzaMaiuscole(nome, senzaExe);
    };
    const std::string path = VariabileAmbiente("PATH").value_or("/usr/local/bin:/usr/bin:/bin");
    std::size_t start = 0;
    while (start <= path.size()) {
        const std::size_t end = std::min(path.find(':', start), path.size());
        const fs::path dir = path.substr(start, end - start).empty()
                                 ? fs::path(".")
                                 : fs::path(path.substr(start, end - start));
        std::error_code ec;
        for (fs::directory_iterator it(dir, ec), stop; !ec && it != stop; it.increment(ec)) {
            if (corrisponde(it->path().filename().string()) &&
                ::access(it->path().c_str(), X_OK) == 0 && !fs::is_directory(it->path(), ec)) {
                return it->path();
            }
        }
        start = end + 1;
    }
    return {};
}

bool ApriConProgramma(const fs::path& file) {
    if (ApriSostituto()) {
        return ApriSostituto()(file);
    }
    const fs::path opener = CercaProgramma("xdg-open");
    if (opener.empty()) {
        return false;
    }
    return AvviaStaccato({opener.string(), fs::absolute(file).string()}, fs::current_path());
}

void AvviaProgramma(std::string_view program, const fs::path& folder) {
    if (AvviaSostituto()) {
        AvviaSostituto()(program, folder);
        return;
    }
    const fs::path found = CercaProgramma(program);
    if (found.empty()) {
        throw Errore(errore::FileNonTrovato, "File non trovato: " + std::string(program) +
                                                 " (non e' nel percorso dei programmi)");
    }
    if (!AvviaStaccato({found.string()}, folder)) {
        throw Errore(errore::FileNonTrovato, "Impossibile avviare " + found.string());
    }
}

void ImpostaApri(ApriFn fn) {
    ApriSostituto() = std::move(fn);
}

void ImpostaAvvia(AvviaFn fn) {
    AvviaSostituto() = std::move(fn);
}

} // namespace vdx::piattaforma
