#pragma once

// The command lines of vdx, its commands and the project's tools: each
// describes its options once, and the same description reads the words and
// writes the usage text ("Uso: ...", one line per option).

#include <filesystem>
#include <map>
#include <optional>
#include <ostream>
#include <set>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace vdx {

struct DescrizioneOpzione {
    std::string nome;   // "--hotel"
    std::string valore; // what the option takes ("N"), "" for a switch
    std::string aiuto;  // one line, Italian
};

struct DescrizioneComando {
    std::string nome;      // "vdx generate"
    std::string argomenti; // words that are no option, for the usage ("[FILE]"); "" for none
    std::size_t massimoArgomenti = 0;
    std::string descrizione;                 // what the command does, a few lines
    std::vector<DescrizioneOpzione> opzioni; // --help is added to every command
    std::size_t minimoArgomenti = 0;
    bool cartella = false; // takes --folder CARTELLA, the folder to work in

    std::string Uso() const;
};

// What a command line says: the values of the options given, the switches
// given, the other words in order.
struct Scelte {
    std::map<std::string, std::string> valori;
    std::set<std::string> interruttori;
    std::vector<std::string> argomenti;

    bool Aiuto() const { return Ha("--help"); }
    bool Ha(std::string_view opzione) const;
    std::optional<std::string> Valore(std::string_view opzione) const;
    // The folder to work in: --folder (made absolute), else `corrente`.
    std::filesystem::path Cartella(const std::filesystem::path& corrente) const;
};

// A command line the command does not take: one line on stderr, and the
// exit status is 2.
struct UsoErrato : std::runtime_error {
    using std::runtime_error::runtime_error;
};
inline constexpr int EsitoUsoErrato = 2;

// An error of a command as the one line it is told in: the program's name
// ("vdx" for "vdx generate"), ": ", and `testo` with its lines (the
// windows' two-line messages) joined by one blank. With its line end.
std::string RigaErrore(const DescrizioneComando& comando, std::string_view testo);
// The same for an error with its number: "vdx: errore 3343: ...", the text
// (code page 1252 or UTF-8) as the terminal shows it.
std::string RigaErroreNumerato(const DescrizioneComando& comando, int numero,
                               std::string_view testo);

// A command line the command does not take: RigaErrore() of `perche`, then
// "Provare «<command> --help»".
void ScriviUsoErrato(const DescrizioneComando& comando, std::string_view perche, std::ostream& err);

// Reads `parole` (the words after the command's name): "--name value",
// "--name=value", switches, -h for --help, "--" ending the options. Throws
// UsoErrato for an unknown option, a missing or unwanted value, too many
// words, or a --folder that is no folder.
Scelte LeggiScelte(const DescrizioneComando& comando, const std::vector<std::string>& parole);

// Reads the command line; on a mistake writes it with ScriviUsoErrato() to
// `err` and returns nullopt; with --help writes the usage to `out` and
// returns nullopt. `esito` is then the exit status (2 or 0).
std::optional<Scelte> LeggiOUso(const DescrizioneComando& comando,
                                const std::vector<std::string>& parole, std::ostream& out,
                                std::ostream& err, int& esito);

} // namespace vdx
