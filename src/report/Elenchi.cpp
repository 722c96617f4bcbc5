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

// A dynaset over a table of the suite, among the run's files.
struct Archivio {
    Archivio(jet::Archivi& archivi, const suite::TabellaSuite& tabella)
        : righe(archivi.Apri(tabella.file)->OpenRecordset(tabella.nome)) {}
    jet::Recordset righe;
};

} // namespace

std::string VoceElenco::Testo() const {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%3d ", numero);
    return buf + nome;
}

std::vector<VoceElenco> ElencoHotel(const std::filesystem::path& cartella) {
    jet::Archivi archivi(cartella);
    return ElencoHotel(archivi);
}

std::vector<VoceElenco> ElencoHotel(jet::Archivi& archivi) {
    Archivio hotels(archivi, suite::AnagraficaHotels);
    std::vector<VoceElenco> elenco;
    for (bool trovato = hotels.righe.FindFirst("Numero > 0"); trovato;
         trovato = hotels.righe.FindNext("Numero > 0")) {
        elenco.push_back(
            {NumeroIntero(hotels.righe.Campo("Numero")), hotels.righe.Testo("RagioneSociale")});
    }
    return elenco;
}

std::string CodiceAssistenza(const std::filesystem::path& cartella, int hotel) {
    jet::Archivi archivi(cartella);
    return CodiceAssistenza(archivi, hotel);
}

std::string CodiceAssistenza(jet::Archivi& archivi, int hotel) {
    Archivio hotels(archivi, suite::AnagraficaHotels);
    if (!hotels.righe.FindFirst("Numero = " + std::to_string(hotel))) {
        return " ";
    }
    const jet::Valore codice = hotels.righe.Campo("CodiceAssistenza");
    return codice.Nullo() ? std::string(" ") : codice.ComeTesto();
}

std::vector<VoceElenco> ElencoTableau(const std::filesystem::path& cartella, int hotel) {
    jet::Archivi archivi(cartella);
    return ElencoTableau(archivi, hotel);
}

std::vector<VoceElenco> ElencoTableau(jet::Archivi& archivi, int hotel) {
    Archivio tableaux(archivi, suite::Tableau);
    const std::string criterio = "NumeroHotel = " + std::to_string(hotel) + " and Codice > 0";
    std::vector<VoceElenco> elenco;
    for (bool trovato = tableaux.righe.FindFirst(criterio); trovato;
         trovato = tableaux.righe.FindNext(criterio)) {
        elenco.push_back(
            {NumeroIntero(tableaux.righe.Campo("Codice")), tableaux.righe.Testo("Descrizione")});
    }
    return elenco;
}

Intervallo IntervalloCamere(const std::filesystem::path& cartella, int hotel, int tableau) {
    jet::Archivi archivi(cartella);
    return IntervalloCamere(archivi, hotel, tableau);
}

Intervallo IntervalloCamere(jet::Archivi& archivi, int hotel, int tableau) {
    Archivio camere(archivi, suite::NumeriCamere);
    Archivio tipi(archivi, suite::TipiCamere);
    Intervallo intervallo{std::string(1, '\xFF'), std::string()};
    std::string criterio = "NumeroHotel = " + std::to_string(hotel);
    if (tableau != 0) {
        criterio += " and NumeroTableau = " + std::to_string(tableau);
    }
    for (bool trovato = camere.righe.FindFirst(criterio); trovato;
         trovato = camere.righe.FindNext(criterio)) {
        const std::string tipo = camere.righe.Testo("TipoCamera");
        if (!TipoSulTableau(tipi.righe, tipo)) {
            continue;
        }
        const std::string camera = camere.righe.Testo("NumeroCamera");
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
    Archivio stampanti(archivi, suite::Stampanti);
    std::vector<std::string> voci;
    for (bool trovato = stampanti.righe.FindFirst("NumeroHotel = 1"); trovato;
         trovato = stampanti.righe.FindNext("NumeroHotel = 1")) {
        voci.push_back(stampanti.righe.Testo("Destinazione"));
    }
    return voci;
}

} // namespace vdx
