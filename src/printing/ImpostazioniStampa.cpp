#include "printing/ImpostazioniStampa.h"

#include "jet/Criteri.h"
#include "jet/Database.h"
#include "report/Elenchi.h"
#include "shared/Ambiente.h"
#include "shared/DatiSuite.h"
#include "shared/FileTesto.h"
#include "shared/NomiFile.h"
#include "shared/Numeri.h"
#include "shared/Testo.h"

#include <limits>

namespace vdx {

namespace {

// A text value inside a criterion: quotes are doubled so a name holding one
// cannot end the text early.
std::string TestoCriterio(std::string_view testo) {
    return "'" + jet::TestoTraApici(testo) + "'";
}

} // namespace

std::array<double, 12> DividiGruppi(std::string_view testo) {
    std::array<double, 12> valori{};
    for (std::size_t k = 0; k < valori.size(); ++k) {
        const std::size_t inizio = 3 * k;
        if (inizio < testo.size()) {
            valori[k] = LeggiNumero(testo.substr(inizio, 3));
        }
    }
    return valori;
}

std::string LeggiFontStampa(const std::filesystem::path& cartella) {
    const auto file = TrovaFile(cartella, "FontStp.txt");
    if (!file) {
        return "Courier New";
    }
    LettoreRighe lettore(*file);
    const auto prima = lettore.Leggi();
    if (!prima) {
        return "Courier New"; // the file is there but holds no line
    }
    // An empty first line names no font: the usual one stays.
    const std::string_view nome = TrimSpazi(*prima);
    return nome.empty() ? "Courier New" : std::string(nome);
}

std::optional<ImpostazioniStampa> LeggiImpostazioni(const std::filesystem::path& cartella,
                                                    const SceltaStampa& scelta) {
    jet::Archivi archivi(cartella);
    return LeggiImpostazioni(archivi, scelta);
}

std::optional<ImpostazioniStampa> LeggiImpostazioni(jet::Archivi& archivi,
                                                    const SceltaStampa& scelta) {
    ImpostazioniStampa s;
    s.fontStampa = LeggiFontStampa(archivi.Cartella());

    {
        auto contatori = ApriTabellaSuite(archivi, suite::Contatori);
        if (contatori.FindFirst("NumeroHotel = " + std::to_string(scelta.hotel))) {
            s.lunghezzaPagina =
                InteroCorto(contatori.Numero(scelta.compressa ? "LungPagComp" : "LungPagNoComp"));
        }
    }

    auto stampanti = ApriTabellaSuite(archivi, suite::Stampanti);
    auto setStampa = ApriTabellaSuite(archivi, suite::SetStampa);
    if (!stampanti.FindFirst("Destinazione = " + TestoCriterio(scelta.destinazione))) {
        return std::nullopt;
    }
    const short tipo = InteroCorto(stampanti.Numero("TipoStampa"));
    if (setStampa.FindFirst("TipoStampa = " + std::to_string(tipo))) {
        s.valoriCompresso = DividiGruppi(setStampa.Testo("Compresso"));
        const auto grassetto = DividiGruppi(setStampa.Testo("Grassetto"));
        for (std::size_t k = 0; k < grassetto.size(); ++k) {
            s.valoriGrassetto[k] = InteroCorto(grassetto[k]);
        }
        s.righeFoglio = s.Grassetto(scelta.compressa ? 7 : 8);
        s.righeIniziali = s.Grassetto(6);
    }

    const std::string destinazione = stampanti.Testo("Destinazione");
    const auto ambiente = VariabileAmbiente(destinazione);
    if (ambiente && !ambiente->empty()) {
        s.uscitaStampa = *ambiente;
    } else {
        s.uscitaStampa = stampanti.Testo("Linea");
    }

    if (!TrimSpazi(scelta.stampanteSistema).empty()) {
        s.uscitaStampa = scelta.stampanteSistema;
    }
    return s;
}

} // namespace vdx
