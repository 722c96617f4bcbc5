#include "report/Elenchi.h"

#include "jet/Criteri.h"

#include <cstdio>

namespace vdx {

namespace {

int numeroIntero(const jet::Valore& v) {
    return static_cast<int>(v.numero());
}

} // namespace

std::string VoceElenco::testo() const {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%3d ", numero);
    return buf + nome;
}

std::vector<VoceElenco> ElencoHotel(jet::Recordset& hotels) {
    std::vector<VoceElenco> elenco;
    for (bool trovato = hotels.FindFirst("Numero > 0"); trovato;
         trovato = hotels.FindNext("Numero > 0")) {
        elenco.push_back({numeroIntero(hotels.Campo("Numero")), hotels.Testo("RagioneSociale")});
    }
    return elenco;
}

std::vector<VoceElenco> ElencoHotel(const std::filesystem::path& cartella) {
    auto db = jet::Database::OpenDatabase(cartella, "AnagraficaHotels.mdb");
    auto hotels = db->OpenRecordset("AnagraficaHotels");
    auto elenco = ElencoHotel(hotels);
    db->Close();
    return elenco;
}

std::string CodiceAssistenza(jet::Recordset& hotels, int hotel) {
    if (!hotels.FindFirst("Numero = " + std::to_string(hotel))) {
        return " ";
    }
    const jet::Valore codice = hotels.Campo("CodiceAssistenza");
    return codice.nullo() ? std::string(" ") : codice.testo();
}

std::string CodiceAssistenza(const std::filesystem::path& cartella, int hotel) {
    auto db = jet::Database::OpenDatabase(cartella, "AnagraficaHotels.mdb");
    auto hotels = db->OpenRecordset("AnagraficaHotels");
    auto codice = CodiceAssistenza(hotels, hotel);
    db->Close();
    return codice;
}

std::vector<VoceElenco> ElencoTableau(jet::Recordset& tableaux, int hotel) {
    const std::string criterio = "NumeroHotel = " + std::to_string(hotel) + " and Codice > 0";
    std::vector<VoceElenco> elenco;
    for (bool trovato = tableaux.FindFirst(criterio); trovato;
         trovato = tableaux.FindNext(criterio)) {
        elenco.push_back({numeroIntero(tableaux.Campo("Codice")), tableaux.Testo("Descrizione")});
    }
    return elenco;
}

std::vector<VoceElenco> ElencoTableau(const std::filesystem::path& cartella, int hotel) {
    auto db = jet::Database::OpenDatabase(cartella, "Tableau.mdb");
    auto tableaux = db->OpenRecordset("Tableau");
    auto elenco = ElencoTableau(tableaux, hotel);
    db->Close();
    return elenco;
}

Intervallo IntervalloCamere(jet::Recordset& camere, jet::Recordset& tipiCamere, int hotel,
                            int tableau) {
    Intervallo intervallo{std::string(1, '\xFF'), std::string()};
    std::string criterio = "NumeroHotel = " + std::to_string(hotel);
    if (tableau != 0) {
        criterio += " and NumeroTableau = " + std::to_string(tableau);
    }
    for (bool trovato = camere.FindFirst(criterio); trovato; trovato = camere.FindNext(criterio)) {
        const std::string tipo = camere.Testo("TipoCamera");
        if (!tipiCamere.FindFirst("Sigla = '" + jet::TestoTraApici(tipo) + "'") ||
            tipiCamere.Testo("Tipologia") != "C") {
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

Intervallo IntervalloCamere(const std::filesystem::path& cartella, int hotel, int tableau) {
    auto dbCamere = jet::Database::OpenDatabase(cartella, "NumeriCamere.mdb");
    auto dbTipi = jet::Database::OpenDatabase(cartella, "TipiCamere.mdb");
    auto camere = dbCamere->OpenRecordset("NumeriCamere");
    auto tipi = dbTipi->OpenRecordset("TipiCamere");
    auto intervallo = IntervalloCamere(camere, tipi, hotel, tableau);
    dbTipi->Close();
    dbCamere->Close();
    return intervallo;
}

} // namespace vdx
