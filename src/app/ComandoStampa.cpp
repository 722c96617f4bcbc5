#include "app/Comandi.h"

#include "report/Elenchi.h"
#include "shared/Cp1252.h"
#include "shared/Error.h"

#include <ostream>

namespace vdx {

namespace {

constexpr const char* kUso =
    "uso: vdx print [--destination NOME | --pdf] [--printer NOME] [--normal] [--landscape] "
    "[--duplex]\n";

struct Opzioni {
    std::string destinazione; // UTF-8 as typed
    std::string stampante;
    bool pdf = false;
    bool normale = false;
    bool orizzontale = false;
    bool fronteRetro = false;
    bool aiuto = false;
};

// nullopt on a word that is not understood.
std::optional<Opzioni> Leggi(const std::vector<std::string>& args, std::ostream& err) {
    Opzioni o;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        const bool conValore = a == "--destination" || a == "--printer";
        if (conValore) {
            if (i + 1 >= args.size()) {
                err << "vdx print: " << a << ": manca il nome\n" << kUso;
                return std::nullopt;
            }
            (a == "--destination" ? o.destinazione : o.stampante) = args[++i];
        } else if (a == "--help" || a == "-h") {
            o.aiuto = true;
        } else if (a == "--pdf") {
            o.pdf = true;
        } else if (a == "--normal") {
            o.normale = true;
        } else if (a == "--landscape") {
            o.orizzontale = true;
        } else if (a == "--duplex") {
            o.fronteRetro = true;
        } else {
            err << "vdx print: opzione sconosciuta: " << a << "\n" << kUso;
            return std::nullopt;
        }
    }
    if (o.pdf && !o.destinazione.empty()) {
        err << "vdx print: --pdf e --destination si escludono\n" << kUso;
        return std::nullopt;
    }
    return o;
}

} // namespace

int EseguiStampa(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                 const std::filesystem::path& cartella, const FabbricaStampante& fabbrica) {
    const auto opzioni = Leggi(args, err);
    if (!opzioni) {
        return 2;
    }
    if (opzioni->aiuto) {
        out << kUso;
        return 0;
    }
    try {
        SceltaStampa scelta;
        scelta.stampanteSistema = Cp1252DaUtf8(opzioni->stampante);
        scelta.compressa = !opzioni->normale;
        scelta.orizzontale = opzioni->orizzontale;
        scelta.fronteRetro = opzioni->fronteRetro;
        scelta.hotel = 1;
        scelta.codiceAssistenza = CodiceAssistenza(cartella, 1);

        const auto destinazioni = DestinazioniHotel1(cartella);
        if (opzioni->pdf) {
            const auto pdf = DestinazionePdf(destinazioni);
            if (!pdf) {
                err << "Nessuna stampante PDF impostata!\n";
                return 1;
            }
            scelta.destinazione = *pdf;
        } else if (!opzioni->destinazione.empty()) {
            scelta.destinazione = Cp1252DaUtf8(opzioni->destinazione);
        } else if (!destinazioni.empty()) {
            scelta.destinazione = destinazioni.front();
        } else {
            err << "vdx print: nessuna destinazione di stampa per l'hotel 1 in Stampanti.mdb\n";
            return 1;
        }

        switch (StampaReport(cartella, scelta, fabbrica)) {
        case EsitoStampa::Stampata:
            out << "Stampato su " << Utf8DaCp1252(scelta.destinazione) << "\n";
            return 0;
        case EsitoStampa::DestinazioneSconosciuta:
            err << "vdx print: destinazione sconosciuta: " << Utf8DaCp1252(scelta.destinazione)
                << "\n";
            return 1;
        case EsitoStampa::ReportMancante:
            err << "vdx print: nessun report da stampare in " << cartella.string() << "\n";
            return 1;
        case EsitoStampa::ReportVuoto:
            err << "vdx print: il report in " << cartella.string()
                << " e' vuoto: non c'e' niente da stampare\n";
            return 1;
        }
    } catch (const Error& e) {
        err << "vdx print: errore " << e.number() << ": " << TestoPerTerminale(e.what()) << "\n";
        return 2;
    }
    return 2;
}

} // namespace vdx
