#include "report/GeneraTableau.h"

#include "jet/Criteri.h"
#include "jet/Database.h"
#include "report/Elenchi.h"
#include "report/Righe.h"
#include "shared/Ambiente.h"
#include "shared/DatiSuite.h"
#include "shared/Errore.h"
#include "shared/FileTesto.h"
#include "shared/NomiFile.h"

#include <array>
#include <cmath>
#include <memory>
#include <optional>
#include <vector>

namespace vdx {

namespace fs = std::filesystem;

int RigheVuoteDaMarcatore(const fs::path& cartella) {
    std::optional<std::string> primo;
    std::error_code ec;
    for (fs::directory_iterator it(cartella, ec), fine; !ec && it != fine; it.increment(ec)) {
        const std::string nome = it->path().filename().string();
        if (CorrispondeModello(nome, "VDX_*.txt") && (!primo || nome < *primo)) {
            primo = nome;
        }
    }
    if (!primo || primo->size() < 5) {
        return 0;
    }
    const char quinto = (*primo)[4];
    return quinto >= '0' && quinto <= '9' ? quinto - '0' : 0;
}

namespace {

constexpr std::size_t SlotNomi = 10;

// What one room shows: gathered from its guest cards, then from its booking.
struct DatiCamera {
    long long persone = 0;
    std::array<std::string, SlotNomi> nomi;
    std::string ditta;
    std::string agenzia;
    std::string arrivo;   // stored yyyymmdd
    std::string partenza; // stored yyyymmdd
    std::string commento;
    std::string arrangiamento;
    std::int64_t importo = 0; // ten-thousandths
    std::string tipoCliente;
    bool bloccoScritto = false; // the occupancy block's first line went out

    // Back to the empty state; the block-written flag only at a new room.
    void Azzera(bool ancheBlocco) {
        const bool scritto = bloccoScritto;
        *this = DatiCamera{};
        bloccoScritto = ancheBlocco ? false : scritto;
    }
};

void PrendiSeVuoto(std::string& campo, std::string valore) {
    if (campo.empty()) {
        campo = std::move(valore);
    }
}

class Generatore {
public:
    Generatore(const OpzioniTableau& o, jet::Archivi& archivi)
        : o_(o), hotel_(std::to_string(o.hotel)), segni_(SegniDelLocale()), archivi_(archivi) {}

    fs::path Esegui();

private:
    jet::Recordset ApriTabella(const suite::TabellaSuite& tabella,
                               const std::string& selezione = {}) {
        return ApriTabellaSuite(archivi_, tabella, selezione);
    }
    void ApriArchivi();
    std::string Titolo();
    void Camera(const std::string& numero, const std::string& tipo);
    void Occupazione(const std::string& numero);
    void SchedaContata();
    void BloccoPrenotazione();
    void LavoroDaCapo();
    void RiempiPrimaRiga();
    bool ScrivereOccupazione() const {
        return (!o_.soloUtilizzate || d_.persone != 0) && !(o_.soloLibere && d_.persone > 0);
    }
    bool ScriverePrenotazione() const {
        return (!o_.soloUtilizzate || d_.persone != 0) && !d_.bloccoScritto;
    }
    void ScriviRiga(const std::string& riga) { out_->ScriviRiga(riga); }
    void ChiudiBlocco(const std::string& seconda) {
        ScriviRiga(seconda);
        for (int i = 0; i < righeVuote_; ++i) {
            ScriviRiga(righe_[9]);
        }
        ScriviRiga(righe_[6]);
    }

    const OpzioniTableau& o_;
    const std::string hotel_;
    const SegniNumerici segni_;
    std::string chiave_; // DataChiave, yyyymmdd
    std::string chiaveQuotata_;
    int righeVuote_ = 0;
    Righe righe_;

    jet::Archivi& archivi_;
    jet::Recordset ospitiPrenotazione_, camere_, hotels_, tableaux_, schede_, ditte_,
        camerePrenotate_, prenotazioni_, agenzie_, arrangiamenti_, tipiCamere_;

    std::unique_ptr<ScrittoreAtomico> out_;
    DatiCamera d_;
    std::string numeroCamera_; // as stored, for the criteria
    std::string tipoCamera_;
    long long presenzeAttuali_ = 0;
    long long totalePartenze_ = 0;
    long long camerePresenti_ = 0;
    long long totalePresenze_ = 0;
};

void Generatore::ApriArchivi() {
    using namespace suite;
    // Every file first, in one order, so a file missing or damaged is told
    // the same way whatever the options.
    for (const TabellaSuite& tabella : TabelleDelTableau) {
        archivi_.Apri(tabella.file);
    }
    const std::string dataChiave = "'" + chiaveQuotata_ + "'";
    ospitiPrenotazione_ = ApriTabella(ListaClienti_Prenotazione, " Order by NumeroCliente;");
    // The rooms whose type goes on a tableau (TipoSulTableau).
    camere_ = ApriTabella(NumeriCamere, std::string(" Where TipoCamera In (Select Sigla From ") +
                                            TipiCamere.nome + " In '" + TipiCamere.file +
                                            "' Where Tipologia = '" + std::string(TipologiaCamera) +
                                            "');");
    hotels_ = ApriTabella(AnagraficaHotels);
    tableaux_ = ApriTabella(Tableau);
    if (o_.soloArrivi) {
        schede_ = ApriTabella(Scheda_Cliente, " Where DataArrivo = " + dataChiave);
    } else if (o_.soloPartenze) {
        schede_ = ApriTabella(Scheda_Cliente, " Where DataPartenza = " + dataChiave);
    } else {
        schede_ = ApriTabella(Scheda_Cliente);
    }
    ditte_ = ApriTabella(Ditta_Intestataria);
    // The day's booked rooms of the chosen hotel (not always hotel 1).
    if (o_.soloArrivi) {
        camerePrenotate_ = ApriTabella(Camere_Prenotazione, " Where NumeroHotel = " + hotel_ +
                                                                " and DataArrivo = " + dataChiave);
    } else if (o_.soloPartenze) {
        camerePrenotate_ =
            ApriTabella(Camere_Prenotazione,
                        " Where NumeroHotel = " + hotel_ + " and DataPartenza = " + dataChiave);
    } else {
        camerePrenotate_ = ApriTabella(Camere_Prenotazione);
    }
    prenotazioni_ = ApriTabella(Scheda_Prenotazione);
    agenzie_ = ApriTabella(AgenzieAbituali);
    arrangiamenti_ = ApriTabella(Arrangiamento, " Where DataInizio <= " + dataChiave +
                                                    " and DataFine >= " + dataChiave);
    tipiCamere_ = ApriTabella(TipiCamere);

    camere_.Sort("[NumeroCamera]");
    camere_ = camere_.OpenRecordset();
}

std::string Generatore::Titolo() {
    std::optional<std::string> ragioneSociale;
    std::optional<std::string> descrizione;
    if (hotels_.FindFirst("Numero = " + hotel_)) {
        ragioneSociale = hotels_.Testo("RagioneSociale");
        if (tableaux_.FindFirst("NumeroHotel = " + hotel_ +
                                " and Codice = " + std::to_string(o_.tableau))) {
            descrizione = tableaux_.Testo("Descrizione");
        }
    }
    return RigaTitolo(ragioneSociale, descrizione, o_.data, o_.orologio());
}

fs::path Generatore::Esegui() {
    ControllaPostazione(o_.postazione);
    righeVuote_ = RigheVuoteDaMarcatore(o_.cartella);
    chiave_ = ChiaveDaData(o_.data);
    chiaveQuotata_ = jet::TestoTraApici(chiave_);
    ApriArchivi();
    righe_ = CostruisciRighe(Titolo(), o_.arrangiamento);

    const fs::path report = RisolviNome(o_.cartella, NomeReport(o_.postazione));
    out_ = std::make_unique<ScrittoreAtomico>(report);
    for (int i = 1; i <= 6; ++i) {
        ScriviRiga(righe_[i]);
    }

    // Tableau 0 ("<tutti>") is every room of the hotel, whatever its tableau.
    std::string criterio = "NumeroHotel = " + hotel_;
    if (o_.tableau != 0) {
        criterio += " and NumeroTableau = " + std::to_string(o_.tableau);
    }
    criterio += " and NumeroCamera >= '" + jet::TestoTraApici(o_.primaCamera) + "'";
    for (bool trovata = camere_.FindFirst(criterio); trovata;
         trovata = camere_.FindNext(criterio)) {
        std::string numero = camere_.Testo("NumeroCamera");
        if (numero > o_.ultimaCamera) {
            break;
        }
        std::string tipo = camere_.Testo("TipoCamera");
        if (!TipoSulTableau(tipiCamere_, tipo)) {
            continue;
        }
        Camera(numero, tipo);
    }

    ScriviRiga(righe_[8]);
    ScriviRiga("Presenze attuali: " + std::to_string(presenzeAttuali_) +
               "      Totale Partenze : " + std::to_string(totalePartenze_));
    ScriviRiga("");
    ScriviRiga("Camere presenti : " + std::to_string(camerePresenti_));
    ScriviRiga("Totale presenze : " + std::to_string(totalePresenze_));
    if (o_.codiceAssistenzaHotel.find('U') == std::string::npos) {
        ScriviRiga("\f");
    }
    out_->Conferma();
    return report;
}

void Generatore::LavoroDaCapo() {
    righe_[7] = righe_[9];
    ScriviCodice(righe_[7], 1, numeroCamera_);
    ScriviCodice(righe_[7], 2, tipoCamera_);
}

void Generatore::Camera(const std::string& numero, const std::string& tipo) {
    numeroCamera_ = numero;
    tipoCamera_ = tipo;
    d_.Azzera(true);
    LavoroDaCapo();
    Occupazione(numero);
    BloccoPrenotazione();
}

void Generatore::RiempiPrimaRiga() {
    std::string& riga = righe_[7];
    ScriviFisso(riga, 3, TestoPersone(d_.persone));
    ScriviFisso(riga, 4, TestoDataCella(d_.arrivo));
    ScriviFisso(riga, 5, TestoDataCella(d_.partenza));
    ScriviTesto(riga, 6, d_.nomi[0]);
    ScriviTesto(riga, 7, d_.nomi[1]);
    ScriviTesto(riga, 8, d_.ditta);
    if (o_.arrangiamento) {
        ScriviFisso(riga, 9, TestoArrangiamento(d_.arrangiamento, d_.importo, segni_));
    } else {
        ScriviTesto(riga, 9, d_.commento);
    }
}

void Generatore::Occupazione(const std::string& numero) {
    const std::string criterio =
        "NumeroHotel = " + hotel_ + " and NumeroCamera = '" + jet::TestoTraApici(numero) + "'";
    for (bool trovata = schede_.FindFirst(criterio); trovata;
         trovata = schede_.FindNext(criterio)) {
        SchedaContata();
    }

    if (TrimSpazi(d_.nomi[0]).empty()) {
        return;
    }
    RiempiPrimaRiga();
    if (ScrivereOccupazione()) {
        ScriviRiga(righe_[7]);
        d_.bloccoScritto = true;
    }
    std::string seconda = righe_[9];
    if (!o_.soloPartenze && d_.partenza == chiave_) {
        ScriviFisso(seconda, 7, EtichettaPartenza);
    }
    ScriviTesto(seconda, 8, d_.agenzia);
    ScriviTesto(seconda, 9, d_.tipoCliente);
    if (ScrivereOccupazione()) {
        ChiudiBlocco(seconda);
    }
    LavoroDaCapo();
    d_.Azzera(false);
}

// One guest card of the room, if it counts for the date.
void Generatore::SchedaContata() {
    const std::string partito = schede_.Testo("Partito");
    const std::string partenzaReale = schede_.Testo("DataPartenzaReale");
    if (partito == "S" && !(partenzaReale > chiave_)) {
        return;
    }
    const std::string partenza = schede_.Testo("DataPartenza");
    d_.persone += 1;
    if (partenza == chiave_ || partenzaReale == chiave_) {
        totalePartenze_ += 1;
    }
    if (partenzaReale > chiave_ || (partenza > chiave_ && partito != "S")) {
        presenzeAttuali_ += 1;
        totalePresenze_ += 1;
    }
    PrendiSeVuoto(d_.arrivo, schede_.Testo("DataArrivo"));
    PrendiSeVuoto(d_.partenza, partenza);
    PrendiSeVuoto(d_.tipoCliente, schede_.Testo("TipoCliente"));
    PrendiSeVuoto(d_.commento, schede_.Testo("Commento"));

    const std::optional<std::string> progressivo =
        jet::NumeroCriterio(schede_.Campo("NumeroProgressivo"));
    if (schede_.Numero("NumeroComponente") == 1) {
        camerePresenti_ += 1;
        d_.importo = 0;
        if (progressivo) {
            const std::string criterio =
                "NumeroHotel = " + hotel_ + " and CodiceCliente = " + *progressivo;
            for (bool trovato = arrangiamenti_.FindFirst(criterio); trovato;
                 trovato = arrangiamenti_.FindNext(criterio)) {
                PrendiSeVuoto(d_.arrangiamento, arrangiamenti_.Testo("Arrangiamento"));
                d_.importo += arrangiamenti_.Denaro("ImportoTotale");
            }
        }
    }
    // Names beyond the tenth are never shown; the counting goes on.
    if (d_.persone >= 1 && d_.persone <= static_cast<long long>(SlotNomi)) {
        d_.nomi[static_cast<std::size_t>(d_.persone - 1)] = schede_.Testo("NomeCliente");
    }
    if (progressivo && ditte_.FindLast("NumeroHotel = " + hotel_ + " and CodiceCliente = " +
                                       *progressivo + " and NumeroConto = 1")) {
        d_.ditta = ditte_.Testo("RagioneSociale");
    }
    const std::optional<std::string> agenzia = jet::NumeroCriterio(schede_.Campo("CodiceAgenzia"));
    if (agenzia && agenzie_.FindFirst("NumeroHotel = " + hotel_ + " and Codice = " + *agenzia)) {
        d_.agenzia = agenzie_.Testo("RagioneSociale");
    }
}

void Generatore::BloccoPrenotazione() {
    std::string criterio =
        "NumeroHotel = " + hotel_ + " and NumeroCamera = '" + jet::TestoTraApici(numeroCamera_);
    if (o_.soloArrivi) {
        criterio += "' and DataArrivo = '" + chiaveQuotata_;
    } else if (o_.soloPartenze) {
        criterio += "' and DataPartenza = '" + chiaveQuotata_;
    } else {
        criterio +=
            "' and DataArrivo <= '" + chiaveQuotata_ + "' and DataPartenza > '" + chiaveQuotata_;
    }
    criterio += "' and NumeroPersone > 0 and TipoPrenotazione <> 'A' and TipoPrenotazione <> 'I' "
                "and TipoPrenotazione <> 'W'";

    if (camerePrenotate_.FindFirst(criterio)) {
        const std::optional<std::string> numeroPren =
            jet::NumeroCriterio(camerePrenotate_.Campo("NumeroPrenotazione"));
        if (numeroPren && prenotazioni_.FindFirst("NumeroHotel = " + hotel_ +
                                                  " and NumeroPrenotazione = " + *numeroPren)) {
            const std::string tipo = prenotazioni_.Testo("TipoPrenotazione");
            if (tipo == "C" || tipo == "O" || tipo == "D") {
                PrendiSeVuoto(d_.arrivo, camerePrenotate_.Testo("DataArrivo"));
                d_.persone = std::llround(camerePrenotate_.Numero("NumeroPersone"));
                totalePresenze_ += d_.persone;
                camerePresenti_ += std::llround(camerePrenotate_.Numero("Quantit\xE0"
                                                                        "Camere"));
                PrendiSeVuoto(d_.partenza, camerePrenotate_.Testo("DataPartenza"));

                const std::string criterioOspiti =
                    "NumeroHotel = " + hotel_ + " and NumeroPrenotazione = " + *numeroPren +
                    " and NumeroCamera = '" +
                    jet::TestoTraApici(camerePrenotate_.Testo("NumeroCamera")) + "'";
                if (ospitiPrenotazione_.FindFirst(criterioOspiti)) {
                    d_.nomi[0] = ospitiPrenotazione_.Testo("NomeCliente");
                    d_.nomi[1] = ospitiPrenotazione_.FindNext(criterioOspiti)
                                     ? ospitiPrenotazione_.Testo("NomeCliente")
                                     : std::string();
                } else {
                    // No guest named for the room: the person who booked it.
                    d_.nomi[0] = prenotazioni_.Testo("NomeCliente");
                    d_.nomi[1].clear();
                }
                PrendiSeVuoto(d_.ditta, prenotazioni_.Testo("Ditta"));
                PrendiSeVuoto(d_.agenzia, prenotazioni_.Testo("Agenzia"));
                PrendiSeVuoto(d_.commento, camerePrenotate_.Testo("Note"));
                PrendiSeVuoto(d_.arrangiamento, camerePrenotate_.Testo("Trattamento"));
                PrendiSeVuoto(d_.tipoCliente, prenotazioni_.Testo("TipoCliente"));
                if (d_.importo == 0) {
                    d_.importo = camerePrenotate_.Denaro("Prezzo");
                }
            }
        }
    }
    if (d_.arrivo.empty()) {
        d_.arrivo = std::string(10, ' ');
    }
    if (d_.partenza.empty()) {
        d_.partenza = std::string(10, ' ');
    }

    RiempiPrimaRiga();
    const bool scrivere = ScriverePrenotazione();
    if (scrivere) {
        ScriviRiga(righe_[7]);
    }
    std::string seconda = righe_[9];
    if (d_.arrivo == chiave_) {
        ScriviFisso(seconda, 7, EtichettaArrivo);
    } else if (!TrimSpazi(d_.nomi[0]).empty()) {
        ScriviFisso(seconda, 7, EtichettaPrenotazione);
    }
    if (!o_.soloPartenze && d_.partenza == chiave_) {
        ScriviFisso(seconda, 7, EtichettaPartenza);
    }
    ScriviTesto(seconda, 8, d_.agenzia);
    ScriviTesto(seconda, 9, d_.tipoCliente);
    if (scrivere) {
        ChiudiBlocco(seconda);
    }
}

} // namespace

fs::path GeneraTableau(const OpzioniTableau& opzioni) {
    jet::Archivi archivi(opzioni.cartella);
    return GeneraTableau(opzioni, archivi);
}

fs::path GeneraTableau(const OpzioniTableau& opzioni, jet::Archivi& archivi) {
    Generatore generatore(opzioni, archivi);
    return generatore.Esegui();
}

} // namespace vdx
