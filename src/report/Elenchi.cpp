#include "report/Elenchi.h"

#include "jet/Criteri.h"
#include "jet/Database.h"
#include "shared/DatiSuite.h"

#include <cstdio>

namespace vdx {

namespace {

int NumeroIntero(const jet::Valore& v) {
    return static_cast<int>(v.ComeNumero());
}

} // namespace

std::string VoceElenco::Testo() const {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%3d ", numero);
    return buf + nome;
}

jet::Recordset ApriTabellaSuite(jet::Archivi& archivi, const suite::TabellaSuite& tabella,
                                const std::string& selezione) {
    const auto db = archivi.Apri(tabella.file);
    return selezione.empty()
               ? db->OpenRecordset(tabella.nome)
               : db->OpenRecordset(std::string("Select * From ") + tabella.nome + selezione);
}

std::vector<VoceElenco> ElencoHotel(const std::filesystem::path& cartella) {
    jet::Archivi archivi(cartella);
    return ElencoHotel(archivi);
}

std::vector<VoceElenco> ElencoHotel(jet::Archivi& archivi) {
    jet::Recordset hotels = ApriTabellaSuite(archivi, suite::AnagraficaHotels);
    std::vector<VoceElenco> elenco;
    for (bool trovato = hotels.FindFirst("Numero > 0"); trovato;
         trovato = hotels.FindNext("Numero > 0")) {
        elenco.push_back({NumeroIntero(hotels.Campo("Numero")), hotels.Testo("RagioneSociale")});
    }
    return elenco;
}

std::string CodiceAssistenza(const std::filesystem::path& cartella, int hotel) {
    jet::Archivi archivi(cartella);
    return CodiceAssistenza(archivi, hotel);
}

std::string CodiceAssistenza(jet::Archivi& archivi, int hotel) {
    jet::Recordset hotels = ApriTabellaSuite(archivi, suite::AnagraficaHotels);
    if (!hotels.FindFirst("Numero = " + std::to_string(hotel))) {
        return " ";
    }
    const jet::Valore codice = hotels.Campo("CodiceAssistenza");
    return codice.Nullo() ? std::string(" ") : codice.ComeTesto();
}

std::vector<VoceElenco> ElencoTableau(const std::filesystem::path& cartella, int hotel) {
    jet::Archivi archivi(cartella);
    return ElencoTableau(archivi, hotel);
}

std::vector<VoceElenco> ElencoTableau(jet::Archivi& archivi, int hotel) {
    jet::Recordset tableaux = ApriTabellaSuite(archivi, suite::Tableau);
    const std::string criterio = "NumeroHotel = " + std::to_string(hotel) + " and Codice > 0";
    std::vector<VoceElenco> elenco;
    for (bool trovato = tableaux.FindFirst(criterio); trovato;
         trovato = tableaux.FindNext(criterio)) {
        elenco.push_back({NumeroIntero(tableaux.Campo("Codice")), tableaux.Testo("Descrizione")});
    }
    return elenco;
}

Intervallo IntervalloCamere(const std::filesystem::path& cartella, int hotel, int tableau) {
    jet::Archivi archivi(cartella);
    return IntervalloCamere(archivi, hotel, tableau);
}

Intervallo IntervalloCamere(jet::Archivi& archivi, int hotel, int tableau) {
    jet::Recordset camere = ApriTabellaSuite(archivi, suite::NumeriCamere);
    jet::Recordset tipi = ApriTabellaSuite(archivi, suite::TipiCamere);
    Intervallo intervallo{std::string(1, '\xFF'), std::string()};
    std::string criterio = "NumeroHotel = " + std::to_string(hotel);
    if (tableau != 0) {
        criterio += " and NumeroTableau = " + std::to_string(tableau);
    }
    for (bool trovato = camere.FindFirst(criterio); trovato; trovato = camere.FindNext(criterio)) {
        const std::string tipo = camere.Testo("TipoCamera");
        if (!TipoSulTableau(tipi, tipo)) {
            continue;
        }
        const std::string camera = camere.Testo("NumeroCamera");
        if (intervallo.prima > camera) {
            intervallo.prima = camera;
        }
        if (intervallo.ultima < camera) {
            intervallo.ultima = camera;
        }
    }
    return intervallo;
}

bool TipoSulTableau(jet::Recordset& tipiCamere, const std::string& tipo) {
    return tipiCamere.FindFirst("Sigla = '" + jet::TestoTraApici(tipo) + "'") &&
           tipiCamere.Testo("Tipologia") == suite::TipologiaCamera;
}

std::vector<std::string> DestinazioniDiStampa(const std::filesystem::path& cartella) {
    jet::Archivi archivi(cartella);
    return DestinazioniDiStampa(archivi);
}

std::vector<std::string> DestinazioniDiStampa(jet::Archivi& archivi) {
    jet::Recordset stampanti = ApriTabellaSuite(archivi, suite::Stampanti);
    std::vector<std::string> voci;
    for (bool trovato = stampanti.FindFirst("NumeroHotel = 1"); trovato;
         trovato = stampanti.FindNext("NumeroHotel = 1")) {
        voci.push_back(stampanti.Testo("Destinazione"));
    }
    return voci;
}

} // namespace vdx
