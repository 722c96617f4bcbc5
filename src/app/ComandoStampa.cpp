#include "app/Comandi.h"
#include "jet/Database.h"
#include "report/Elenchi.h"
#include "shared/Cp1252.h"
#include "shared/DatiSuite.h"
#include "shared/Errore.h"
#include "shared/Opzioni.h"

#include <ostream>

namespace vdx {

namespace {

const DescrizioneComando Stampa{
    "vdx print",
    "",
    0,
    "Stampa il tableau della postazione (FD<pclocal>) come il tasto di stampa del menu di\n"
    "stampa: sulla prima destinazione dell'hotel 1 o su quella indicata. Una destinazione che\n"
    "stampa tramite il driver va al sistema di stampa (CUPS), o nel PDF quando la sua uscita è\n"
    "un nome .pdf; le altre ricevono i byte del tableau con i codici della stampante, scritti\n"
    "nel file o nel dispositivo indicato.",
    {
        {"--destination", "NOME", "la destinazione di stampa (predefinita: la prima dell'hotel 1)"},
        {"--pdf", "", "l'ultima destinazione il cui nome contiene \"PDF\""},
        {"--printer", "NOME", "una stampante del sistema al posto dell'uscita della destinazione"},
        {"--normal", "", "stampa normale invece che compressa (Stampa Compressa tolta)"},
        {"--landscape", "", "Stampa orizzontale"},
        {"--duplex", "", "Stampa fronte / retro"},
    },
    0,
    true};

// The destination asked for: --pdf, --destination, or the first of hotel 1;
// nullopt, with the reason on `err`, when there is none.
std::optional<std::string> Destinazione(const Scelte& s, jet::Archivi& archivi, std::ostream& err) {
    if (const auto nome = s.Valore("--destination")) {
        return Cp1252DaUtf8(*nome);
    }
    const auto destinazioni = DestinazioniDiStampa(archivi);
    if (s.Ha("--pdf")) {
        const auto pdf = DestinazionePdf(destinazioni);
        if (!pdf) {
            err << RigaErrore(Stampa, "Nessuna stampante PDF impostata!");
        }
        return pdf;
    }
    if (destinazioni.empty()) {
        err << RigaErrore(Stampa, std::string("nessuna destinazione di stampa per l'hotel 1 in ") +
                                      suite::Stampanti.file);
        return std::nullopt;
    }
    return destinazioni.front();
}

} // namespace

int EseguiStampa(const std::vector<std::string>& argomenti, std::ostream& out, std::ostream& err,
                 const std::filesystem::path& cartellaCorrente, const std::string& postazione,
                 const FabbricaStampante& fabbrica) {
    int esito = 0;
    const auto scelte = LeggiOUso(Stampa, argomenti, out, err, esito);
    if (!scelte) {
        return esito;
    }
    if (scelte->Ha("--pdf") && scelte->Ha("--destination")) {
        ScriviUsoErrato(Stampa, "--pdf e --destination si escludono", err);
        return EsitoUsoErrato;
    }
    const std::filesystem::path cartella = scelte->Cartella(cartellaCorrente);
    try {
        SceltaStampa scelta;
        scelta.stampanteSistema = Cp1252DaUtf8(scelte->Valore("--printer").value_or(""));
        scelta.compressa = !scelte->Ha("--normal");
        scelta.orizzontale = scelte->Ha("--landscape");
        scelta.fronteRetro = scelte->Ha("--duplex");
        scelta.hotel = 1;
        // One reading of the suite's files for the whole run.
        jet::Archivi archivi(cartella);
        scelta.codiceAssistenza = CodiceAssistenza(archivi, 1);
        const auto nome = Destinazione(*scelte, archivi, err);
        if (!nome) {
            return 1;
        }
        scelta.destinazione = *nome;

        const RisultatoStampa risultato = StampaReport(archivi, postazione, scelta, fabbrica);
        switch (risultato.esito) {
        case EsitoStampa::Stampata:
            out << "Stampato su " << Utf8DaCp1252(scelta.destinazione) << ": "
                << Utf8DaCp1252(risultato.dove) << "\n";
            return 0;
        case EsitoStampa::DestinazioneSconosciuta:
            err << RigaErrore(Stampa,
                              "destinazione sconosciuta: " + Utf8DaCp1252(scelta.destinazione));
            return 1;
        case EsitoStampa::ReportMancante:
            err << RigaErrore(Stampa, "nessun tableau da stampare in " + cartella.string());
            return 1;
        case EsitoStampa::ReportVuoto:
            err << RigaErrore(Stampa, "il tableau in " + cartella.string() +
                                          " è vuoto: non c'è niente da stampare");
            return 1;
        }
    } catch (const Errore& e) {
        err << RigaErroreNumerato(Stampa, e.Numero(), e.what());
    } catch (const std::filesystem::filesystem_error& e) {
        err << RigaErroreNumerato(Stampa, errore::AccessoPercorso, DescrizioneErroreFile(e));
    }
    return 2;
}

} // namespace vdx
