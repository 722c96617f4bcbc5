#include "app/Comandi.h"

#include "report/Elenchi.h"
#include "report/GeneraTableau.h"
#include "request/Routines.h"
#include "shared/Cp1252.h"
#include "shared/Environment.h"
#include "shared/Error.h"

#include <algorithm>
#include <optional>
#include <stdexcept>

namespace vdx {

namespace {

struct Argomenti {
    std::optional<int> hotel;
    std::optional<int> tableau;
    std::optional<std::string> prima; // code page 1252
    std::optional<std::string> ultima;
    std::optional<std::string> data; // as given (UTF-8 digits and signs)
    bool arrangiamento = false;
    bool arrivi = false;
    bool partenze = false;
    bool libere = false;
    bool soloUtilizzate = false;
    bool aiuto = false;
};

// A usage mistake: the message goes to stderr with the usage text.
struct UsoErrato : std::runtime_error {
    using std::runtime_error::runtime_error;
};

bool soloCifre(std::string_view s) {
    return !s.empty() && s.size() <= 9 &&
           std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

int numeroOpzione(const std::string& opzione, const std::string& valore, int minimo) {
    if (!soloCifre(valore) || std::stol(valore) < minimo || std::stol(valore) > 32767) {
        throw UsoErrato("valore non valido per " + opzione + ": \"" + valore + "\"");
    }
    return static_cast<int>(std::stol(valore));
}

Argomenti leggiArgomenti(const std::vector<std::string>& argomenti) {
    Argomenti a;
    for (std::size_t i = 0; i < argomenti.size(); ++i) {
        std::string opzione = argomenti[i];
        std::optional<std::string> valoreUnito;
        if (const auto uguale = opzione.find('=');
            opzione.rfind("--", 0) == 0 && uguale != std::string::npos) {
            valoreUnito = opzione.substr(uguale + 1);
            opzione.resize(uguale);
        }
        auto valore = [&]() -> std::string {
            if (valoreUnito) {
                return *valoreUnito;
            }
            if (i + 1 >= argomenti.size()) {
                throw UsoErrato("manca il valore di " + opzione);
            }
            return argomenti[++i];
        };
        auto interruttore = [&](bool& campo) {
            if (valoreUnito) {
                throw UsoErrato(opzione + " non vuole un valore");
            }
            campo = true;
        };
        if (opzione == "--hotel") {
            a.hotel = numeroOpzione(opzione, valore(), 1);
        } else if (opzione == "--tableau") {
            a.tableau = numeroOpzione(opzione, valore(), 0);
        } else if (opzione == "--from") {
            a.prima = Cp1252DaUtf8(valore());
        } else if (opzione == "--to") {
            a.ultima = Cp1252DaUtf8(valore());
        } else if (opzione == "--date") {
            a.data = valore();
        } else if (opzione == "--arrangement") {
            interruttore(a.arrangiamento);
        } else if (opzione == "--arrivals") {
            interruttore(a.arrivi);
        } else if (opzione == "--departures") {
            interruttore(a.partenze);
        } else if (opzione == "--free") {
            interruttore(a.libere);
        } else if (opzione == "--used-only") {
            interruttore(a.soloUtilizzate);
        } else if (opzione == "--help" || opzione == "-h") {
            a.aiuto = true;
        } else {
            throw UsoErrato("opzione sconosciuta: " + opzione);
        }
    }
    return a;
}

// Any form the date field takes (050326, 05032026, 5/3/26, 05/03/2026, blanks
// around it dropped), completed as Enter in the field completes it, or +N / -N
// days from today.
std::string dataRichiesta(const std::optional<std::string>& data, const Orologio& orologio) {
    if (!data) {
        return DataOdierna(orologio);
    }
    const std::string testo(Cp1252DaUtf8(*data));
    const auto primo = testo.find_first_not_of(' ');
    if (primo == std::string::npos) {
        return {};
    }
    const std::string pulito = testo.substr(primo, testo.find_last_not_of(' ') - primo + 1);
    if ((pulito[0] == '+' || pulito[0] == '-') && soloCifre(pulito.substr(1)) &&
        pulito.size() <= 7) {
        const int giorni = std::stoi(pulito.substr(1));
        return TestoData(SpostaGiorni(orologio(), pulito[0] == '-' ? -giorni : giorni));
    }
    return CompletaData(pulito, orologio().anno);
}

} // namespace

std::string UsoGenera() {
    return "Uso: vdx generate [--hotel N] [--tableau N] [--from CAMERA] [--to CAMERA]\n"
           "                  [--date gg/mm/aaaa|ggmmaa|+N|-N] [--arrangement] [--arrivals]\n"
           "                  [--departures] [--free] [--used-only]\n"
           "Scrive il tableau del giorno nel file FD<pclocal> della cartella corrente.\n"
           "  --hotel N        hotel (predefinito: il primo)\n"
           "  --tableau N      tableau, 0 per <tutti> (predefinito: il primo dell'hotel)\n"
           "  --from, --to     prima e ultima camera (predefinito: quelle del tableau)\n"
           "  --date           data di riferimento, o giorni da oggi (+1, -1)\n"
           "  --arrangement    Aggiungere arrangiamento\n"
           "  --arrivals       Solo arrivi del giorno\n"
           "  --departures     Solo partenze del giorno\n"
           "  --free           Solo camere libere\n"
           "  --used-only      stampa solo le camere utilizzate\n";
}

int EseguiGenera(const std::vector<std::string>& argomenti, std::ostream& out, std::ostream& err,
                 const std::filesystem::path& cartella, const Orologio& orologio) {
    Argomenti a;
    try {
        a = leggiArgomenti(argomenti);
    } catch (const UsoErrato& e) {
        err << "vdx generate: " << e.what() << "\n" << UsoGenera();
        return EsitoRichiestaErrata;
    }
    if (a.aiuto) {
        out << UsoGenera();
        return EsitoRiuscito;
    }
    std::string postazione;
    try {
        postazione = Postazione();
    } catch (const Error& e) {
        err << "vdx generate: " << e.what() << "\n";
        return EsitoRichiestaErrata;
    }

    try {
        OpzioniTableau o;
        o.cartella = cartella;
        o.orologio = orologio;
        o.pclocal = postazione;

        const auto hotels = ElencoHotel(cartella);
        if (!a.hotel) {
            if (hotels.empty()) {
                err << "vdx generate: nessun hotel con Numero maggiore di 0 in "
                       "AnagraficaHotels.mdb\n";
                return EsitoErroreDati;
            }
            a.hotel = hotels.front().numero;
        } else if (std::none_of(hotels.begin(), hotels.end(),
                                [&](const VoceElenco& h) { return h.numero == *a.hotel; })) {
            err << "vdx generate: l'hotel " << *a.hotel << " non esiste in AnagraficaHotels.mdb\n";
            return EsitoErroreDati;
        }
        o.hotel = static_cast<short>(*a.hotel);
        o.codiceAssistenzaHotel = CodiceAssistenza(cartella, o.hotel);

        const auto tableaux = ElencoTableau(cartella, o.hotel);
        if (!a.tableau) {
            a.tableau = tableaux.empty() ? 0 : tableaux.front().numero;
        } else if (*a.tableau != 0 &&
                   std::none_of(tableaux.begin(), tableaux.end(),
                                [&](const VoceElenco& t) { return t.numero == *a.tableau; })) {
            err << "vdx generate: il tableau " << *a.tableau << " dell'hotel " << o.hotel
                << " non esiste in Tableau.mdb\n";
            return EsitoErroreDati;
        }
        o.tableau = static_cast<short>(*a.tableau);

        if (!a.prima || !a.ultima) {
            const Intervallo intervallo = IntervalloCamere(cartella, o.hotel, o.tableau);
            o.primaCamera = a.prima.value_or(intervallo.prima);
            o.ultimaCamera = a.ultima.value_or(intervallo.ultima);
        } else {
            o.primaCamera = *a.prima;
            o.ultimaCamera = *a.ultima;
        }
        // The checks of "&Stampa": the range first, then the date.
        if (o.ultimaCamera < o.primaCamera) {
            err << "Camere errate!\nControllare l'intervallo di camere richiesto!\n";
            return EsitoRichiestaErrata;
        }
        o.data = dataRichiesta(a.data, orologio);
        if (!ControllaData(o.data)) {
            err << "Data errata!\nLa data deve essere inserita \nnel formato gg/mm/aaaa\n";
            return EsitoRichiestaErrata;
        }

        o.arrangiamento = a.arrangiamento;
        o.soloArrivi = a.arrivi;
        o.soloPartenze = a.partenze;
        o.soloLibere = a.libere;
        // "Stampo solo le camere utilizzate?" is not asked for free rooms.
        o.soloUtilizzate = !a.libere && a.soloUtilizzate;

        const std::filesystem::path report = GeneraTableau(o);
        out << report.string() << "\n";
        return EsitoRiuscito;
    } catch (const Error& e) {
        err << "vdx generate: errore " << e.number() << ": " << TestoPerTerminale(e.what()) << "\n";
        return EsitoErroreDati;
    } catch (const std::exception& e) {
        err << "vdx generate: " << e.what() << "\n";
        return EsitoErroreDati;
    }
}

} // namespace vdx
