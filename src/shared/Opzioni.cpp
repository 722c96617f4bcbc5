#include "shared/Opzioni.h"

#include "shared/Cp1252.h"

#include <algorithm>
#include <cstdio>

namespace vdx {

namespace {

const DescrizioneOpzione OpzioneCartella{
    "--folder", "CARTELLA", "la cartella dei file dell'hotel (predefinita: quella corrente)"};
const DescrizioneOpzione OpzioneAiuto{"--help", "", "mostra questo aiuto"};

// The options of a command with --folder (when it works in a folder) and --help.
std::vector<DescrizioneOpzione> Tutte(const DescrizioneComando& comando) {
    std::vector<DescrizioneOpzione> opzioni = comando.opzioni;
    if (comando.cartella) {
        opzioni.push_back(OpzioneCartella);
    }
    opzioni.push_back(OpzioneAiuto);
    return opzioni;
}

const DescrizioneOpzione* Cerca(const std::vector<DescrizioneOpzione>& opzioni,
                                std::string_view nome) {
    const auto it = std::find_if(opzioni.begin(), opzioni.end(),
                                 [&](const DescrizioneOpzione& o) { return o.nome == nome; });
    return it == opzioni.end() ? nullptr : &*it;
}

} // namespace

std::string DescrizioneComando::Uso() const {
    std::string testo = "Uso: " + nome + " [opzioni]";
    if (!argomenti.empty()) {
        testo += " " + argomenti;
    }
    testo += "\n" + descrizione + "\nOpzioni:\n";
    for (const DescrizioneOpzione& o : Tutte(*this)) {
        const std::string voce = o.valore.empty() ? o.nome : o.nome + " " + o.valore;
        char riga[64];
        std::snprintf(riga, sizeof riga, "  %-22s ", voce.c_str());
        testo += riga + o.aiuto + "\n";
    }
    return testo;
}

bool Scelte::Ha(std::string_view opzione) const {
    return interruttori.count(std::string(opzione)) > 0 || valori.count(std::string(opzione)) > 0;
}

std::optional<std::string> Scelte::Valore(std::string_view opzione) const {
    const auto it = valori.find(std::string(opzione));
    if (it == valori.end()) {
        return std::nullopt;
    }
    return it->second;
}

std::filesystem::path Scelte::Cartella(const std::filesystem::path& corrente) const {
    const auto cartella = Valore("--folder");
    if (!cartella) {
        return corrente;
    }
    std::error_code ec;
    const std::filesystem::path assoluta = std::filesystem::absolute(*cartella, ec);
    return ec ? std::filesystem::path(*cartella) : assoluta;
}

Scelte LeggiScelte(const DescrizioneComando& comando, const std::vector<std::string>& parole) {
    const std::vector<DescrizioneOpzione> opzioni = Tutte(comando);
    Scelte scelte;
    bool soloArgomenti = false;
    for (std::size_t i = 0; i < parole.size(); ++i) {
        std::string parola = parole[i];
        if (soloArgomenti || parola.empty() || parola[0] != '-' || parola == "-") {
            if (scelte.argomenti.size() >= comando.massimoArgomenti) {
                throw UsoErrato("argomento di troppo: " + parola);
            }
            scelte.argomenti.push_back(parola);
            continue;
        }
        if (parola == "--") {
            soloArgomenti = true;
            continue;
        }
        if (parola == "-h") {
            parola = "--help";
        }
        std::optional<std::string> unito;
        if (const auto uguale = parola.find('='); uguale != std::string::npos) {
            unito = parola.substr(uguale + 1);
            parola.resize(uguale);
        }
        const DescrizioneOpzione* o = Cerca(opzioni, parola);
        if (o == nullptr) {
            throw UsoErrato("opzione sconosciuta: " + parola);
        }
        if (o->valore.empty()) {
            if (unito) {
                throw UsoErrato(parola + " non vuole un valore");
            }
            scelte.interruttori.insert(parola);
        } else if (unito) {
            scelte.valori[parola] = *unito;
        } else if (i + 1 < parole.size()) {
            scelte.valori[parola] = parole[++i];
        } else {
            throw UsoErrato("manca il valore di " + parola);
        }
    }
    if (!scelte.Aiuto() && scelte.argomenti.size() < comando.minimoArgomenti) {
        throw UsoErrato(scelte.argomenti.empty()
                            ? std::string("mancano gli argomenti")
                            : "mancano argomenti dopo " + scelte.argomenti.back());
    }
    if (const auto cartella = scelte.Valore("--folder")) {
        std::error_code ec;
        if (!std::filesystem::is_directory(*cartella, ec)) {
            throw UsoErrato("la cartella \"" + *cartella + "\" non esiste");
        }
    }
    return scelte;
}

std::string RigaErrore(const DescrizioneComando& comando, std::string_view testo) {
    std::string riga = comando.nome.substr(0, comando.nome.find(' ')) + ": ";
    // Each line end, with the blanks around it, becomes one blank.
    std::size_t inizio = 0;
    while (inizio <= testo.size()) {
        std::size_t fine = testo.find_first_of("\r\n", inizio);
        std::string_view pezzo = testo.substr(
            inizio, fine == std::string_view::npos ? std::string_view::npos : fine - inizio);
        if (inizio > 0) {
            pezzo.remove_prefix(std::min(pezzo.find_first_not_of(' '), pezzo.size()));
        }
        if (fine != std::string_view::npos) {
            pezzo.remove_suffix(pezzo.size() - (pezzo.find_last_not_of(' ') + 1));
        }
        if (!pezzo.empty()) {
            riga += (riga.back() == ' ' ? "" : " ") + std::string(pezzo);
        }
        if (fine == std::string_view::npos) {
            break;
        }
        inizio = fine + 1;
    }
    return riga + "\n";
}

std::string RigaErroreNumerato(const DescrizioneComando& comando, int numero,
                               std::string_view testo) {
    return RigaErrore(comando,
                      "errore " + std::to_string(numero) + ": " + TestoPerTerminale(testo));
}

void ScriviUsoErrato(const DescrizioneComando& comando, std::string_view perche,
                     std::ostream& err) {
    err << RigaErrore(comando, perche) << "Provare \u00AB" << comando.nome << " --help\u00BB\n";
}

std::optional<Scelte> LeggiOUso(const DescrizioneComando& comando,
                                const std::vector<std::string>& parole, std::ostream& out,
                                std::ostream& err, int& esito) {
    try {
        Scelte scelte = LeggiScelte(comando, parole);
        if (scelte.Aiuto()) {
            out << comando.Uso();
            esito = 0;
            return std::nullopt;
        }
        return scelte;
    } catch (const UsoErrato& e) {
        ScriviUsoErrato(comando, e.what(), err);
        esito = EsitoUsoErrato;
        return std::nullopt;
    }
}

} // namespace vdx
