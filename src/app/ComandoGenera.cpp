#include "app/Comandi.h"
#include "jet/Database.h"
#include "report/Elenchi.h"
#include "report/GeneraTableau.h"
#include "request/CampiRichiesta.h"
#include "request/ControlloRichiesta.h"
#include "shared/Cp1252.h"
#include "shared/DatiSuite.h"
#include "shared/Errore.h"
#include "shared/Opzioni.h"

#include <algorithm>
#include <optional>

namespace vdx {

namespace {

const DescrizioneComando Genera{
    "vdx generate",
    "",
    0,
    "Scrive il tableau del giorno nel file FD<pclocal> della cartella, come \"Stampa\" della\n"
    "finestra di richiesta; senza opzioni: il primo hotel, il suo primo tableau, le sue camere,\n"
    "la data di oggi.",
    {
        {"--hotel", "N", "l'hotel"},
        {"--tableau", "N", "il tableau dell'hotel; 0 per <tutti>: ogni camera dell'hotel"},
        {"--from", "CAMERA", "la prima camera (predefinita: la prima del tableau)"},
        {"--to", "CAMERA", "l'ultima camera (predefinita: l'ultima del tableau)"},
        {"--date", "DATA",
         "la data di riferimento (050326, 05032026, 5/3/26, 05/03/2026) o i\n"
         "                         giorni da oggi (+1, -1)"},
        {"--arrangement", "", "Aggiungere arrangiamento"},
        {"--arrivals", "", "Solo arrivi del giorno"},
        {"--departures", "", "Solo partenze del giorno"},
        {"--free", "", "Solo camere libere"},
        {"--used-only", "", "risponde Si a \"Stampo solo le camere utilizzate?\""},
    },
    0,
    true};

// A wrong request: the window's message on stderr, exit status 2.
struct RichiestaErrata {
    std::string messaggio;
};
// A fact of the data files the request cannot do without.
struct DatoMancante {
    std::string messaggio;
};

std::optional<int> NumeroOpzione(const Scelte& s, std::string_view opzione, int minimo) {
    const auto valore = s.Valore(opzione);
    if (!valore) {
        return std::nullopt;
    }
    const bool cifre =
        !valore->empty() && valore->size() <= 5 &&
        std::all_of(valore->begin(), valore->end(), [](char c) { return c >= '0' && c <= '9'; });
    if (!cifre || std::stoi(*valore) < minimo || std::stoi(*valore) > 32767) {
        throw UsoErrato("valore non valido per " + std::string(opzione) + ": \"" + *valore + "\"");
    }
    return std::stoi(*valore);
}

// Any form the date field takes (050326, 05032026, 5/3/26, 05/03/2026, blanks
// around it dropped), completed as Enter in the field completes it, or +N / -N
// days from today.
std::string DataRichiesta(const std::optional<std::string>& data, const Orologio& orologio) {
    if (!data) {
        return DataOdierna(orologio);
    }
    const std::string testo(Cp1252DaUtf8(*data));
    const auto primo = testo.find_first_not_of(' ');
    if (primo == std::string::npos) {
        return {};
    }
    const std::string pulito = testo.substr(primo, testo.find_last_not_of(' ') - primo + 1);
    const std::string giorni = pulito.substr(1);
    if ((pulito[0] == '+' || pulito[0] == '-') && !giorni.empty() && giorni.size() <= 6 &&
        std::all_of(giorni.begin(), giorni.end(), [](char c) { return c >= '0' && c <= '9'; })) {
        const int n = std::stoi(giorni);
        return TestoData(SpostaGiorni(orologio(), pulito[0] == '-' ? -n : n));
    }
    return CompletaData(pulito, orologio().anno);
}

// The hotel and tableau as the window chooses them: the first of each unless
// named; a name that is not there is an error of the data.
void ScegliHotelETableau(const Scelte& s, OpzioniTableau& o, jet::Archivi& archivi) {
    const auto hotels = ElencoHotel(archivi);
    const auto hotel = NumeroOpzione(s, "--hotel", 1);
    if (!hotel && hotels.empty()) {
        throw DatoMancante{std::string("nessun hotel con Numero maggiore di 0 in ") +
                           suite::AnagraficaHotels.file};
    }
    if (hotel && std::none_of(hotels.begin(), hotels.end(),
                              [&](const VoceElenco& h) { return h.numero == *hotel; })) {
        throw DatoMancante{"l'hotel " + std::to_string(*hotel) + " non esiste in " +
                           suite::AnagraficaHotels.file};
    }
    o.hotel = static_cast<short>(hotel.value_or(hotels.front().numero));
    o.codiceAssistenzaHotel = CodiceAssistenza(archivi, o.hotel);

    const auto tableaux = ElencoTableau(archivi, o.hotel);
    const auto tableau = NumeroOpzione(s, "--tableau", 0);
    if (tableau && *tableau != 0 &&
        std::none_of(tableaux.begin(), tableaux.end(),
                     [&](const VoceElenco& t) { return t.numero == *tableau; })) {
        throw DatoMancante{"il tableau " + std::to_string(*tableau) + " dell'hotel " +
                           std::to_string(o.hotel) + " non esiste in " + suite::Tableau.file};
    }
    o.tableau =
        static_cast<short>(tableau.value_or(tableaux.empty() ? 0 : tableaux.front().numero));
}

// The room range and the date: the tableau's range and today unless given.
void ScegliCamereEData(const Scelte& s, OpzioniTableau& o, jet::Archivi& archivi) {
    const auto prima = s.Valore("--from");
    const auto ultima = s.Valore("--to");
    const Intervallo intervallo =
        prima && ultima ? Intervallo{} : IntervalloCamere(archivi, o.hotel, o.tableau);
    o.primaCamera = prima ? Cp1252DaUtf8(*prima) : intervallo.prima;
    o.ultimaCamera = ultima ? Cp1252DaUtf8(*ultima) : intervallo.ultima;
    o.data = DataRichiesta(s.Valore("--date"), o.orologio);
    // The window's check of "Stampa", with its message.
    Calendario calendario;
    auto esito = ControllaRichiesta(o, calendario);
    if (const auto* rifiuto = std::get_if<Rifiuto>(&esito)) {
        throw RichiestaErrata{rifiuto->titolo + "\n" + rifiuto->testo};
    }
}

} // namespace

std::string UsoGenera() {
    return Genera.Uso();
}

int EseguiGenera(const std::vector<std::string>& argomenti, std::ostream& out, std::ostream& err,
                 const std::filesystem::path& cartella, const std::string& postazione,
                 const Orologio& orologio) {
    int esito = EsitoRiuscito;
    const auto scelte = LeggiOUso(Genera, argomenti, out, err, esito);
    if (!scelte) {
        return esito;
    }
    OpzioniTableau o;
    o.cartella = scelte->Cartella(cartella);
    o.orologio = orologio;
    o.postazione = postazione;
    try {
        // Every step of the run reads the files once, the same reading.
        jet::Archivi archivi(o.cartella);
        ScegliHotelETableau(*scelte, o, archivi);
        ScegliCamereEData(*scelte, o, archivi);
        o.arrangiamento = scelte->Ha("--arrangement");
        o.soloArrivi = scelte->Ha("--arrivals");
        o.soloPartenze = scelte->Ha("--departures");
        o.soloLibere = scelte->Ha("--free");
        // "Stampo solo le camere utilizzate?" is not asked for free rooms.
        o.soloUtilizzate = !o.soloLibere && scelte->Ha("--used-only");
        out << GeneraTableau(o, archivi).string() << "\n";
        return EsitoRiuscito;
    } catch (const UsoErrato& e) {
        ScriviUsoErrato(Genera, e.what(), err);
        return EsitoRichiestaErrata;
    } catch (const RichiestaErrata& e) {
        err << RigaErrore(Genera, TestoPerTerminale(e.messaggio));
        return EsitoRichiestaErrata;
    } catch (const DatoMancante& e) {
        err << RigaErrore(Genera, e.messaggio);
        return EsitoErroreDati;
    } catch (const Errore& e) {
        err << RigaErroreNumerato(Genera, e.Numero(), e.what());
        return EsitoErroreDati;
    } catch (const std::filesystem::filesystem_error& e) {
        err << RigaErroreNumerato(Genera, errore::AccessoPercorso, DescrizioneErroreFile(e));
        return EsitoErroreDati;
    }
}

} // namespace vdx
