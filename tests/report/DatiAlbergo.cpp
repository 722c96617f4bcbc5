#include "DatiAlbergo.h"

#include "report/ConvertiBordi.h"
#include "shared/Cp1252.h"
#include "shared/FileTesto.h"

#include <cstdlib>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>

namespace vdx::test {

namespace fx = vdx::fixture;

using fx::N;
using fx::T;

DatiAlbergo& DatiAlbergo::Hotel(int numero, const std::string& nome, const std::string& codice) {
    albergo_.TabellaDiNome("AnagraficaHotels")
        .Record(
            {{"Numero", N(numero)}, {"RagioneSociale", T(nome)}, {"CodiceAssistenza", T(codice)}});
    return *this;
}

DatiAlbergo& DatiAlbergo::Tableau(int hotel, int codice, const std::string& descrizione) {
    albergo_.TabellaDiNome("Tableau").Record(
        {{"NumeroHotel", N(hotel)}, {"Codice", N(codice)}, {"Descrizione", T(descrizione)}});
    return *this;
}

DatiAlbergo& DatiAlbergo::Tipo(const std::string& sigla, const std::string& tipologia) {
    albergo_.TabellaDiNome("TipiCamere")
        .Record({{"Sigla", T(sigla)}, {"Tipologia", T(tipologia)}, {"Descrizione", T(sigla)}});
    return *this;
}

DatiAlbergo& DatiAlbergo::Camera(int hotel, int tableau, const std::string& numero,
                                 const std::string& tipo) {
    albergo_.TabellaDiNome("NumeriCamere")
        .Record({{"NumeroHotel", N(hotel)},
                 {"NumeroTableau", N(tableau)},
                 {"NumeroCamera", T(numero)},
                 {"TipoCamera", T(tipo)}});
    return *this;
}

DatiAlbergo& DatiAlbergo::ConOspite(const Ospite& o) {
    std::vector<std::pair<std::string, fx::Cella>> campi{
        {"NumeroHotel", N(o.hotel)},
        {"NumeroCamera", T(o.camera)},
        {"NumeroProgressivo", N(o.progressivo)},
        {"NumeroComponente", N(o.componente)},
        {"NomeCliente", T(o.nome)},
        {"DataArrivo", T(o.arrivo)},
        {"DataPartenza", T(o.partenza)},
        {"DataPartenzaReale", T(o.partenzaReale)},
        {"Partito", T(o.partito)},
        {"TipoCliente", T(o.tipoCliente)},
        {"Commento", T(o.commento)},
    };
    if (o.agenzia) {
        campi.emplace_back("CodiceAgenzia", N(*o.agenzia));
    }
    albergo_.TabellaDiNome("Scheda_Cliente").Record(campi);
    return *this;
}

DatiAlbergo& DatiAlbergo::Ditta(int hotel, long long cliente, int conto, const std::string& nome) {
    albergo_.TabellaDiNome("Ditta_Intestataria")
        .Record({{"NumeroHotel", N(hotel)},
                 {"CodiceCliente", N(cliente)},
                 {"NumeroConto", N(conto)},
                 {"RagioneSociale", T(nome)}});
    return *this;
}

DatiAlbergo& DatiAlbergo::Agenzia(int hotel, long long codice, const std::string& nome) {
    albergo_.TabellaDiNome("AgenzieAbituali")
        .Record({{"NumeroHotel", N(hotel)}, {"Codice", N(codice)}, {"RagioneSociale", T(nome)}});
    return *this;
}

DatiAlbergo& DatiAlbergo::Arrangiamento(int hotel, long long cliente, const std::string& inizio,
                                        const std::string& fine, const std::string& codice,
                                        long long importo) {
    albergo_.TabellaDiNome("Arrangiamento")
        .Record({{"NumeroHotel", N(hotel)},
                 {"CodiceCliente", N(cliente)},
                 {"DataInizio", T(inizio)},
                 {"DataFine", T(fine)},
                 {"Arrangiamento", T(codice)},
                 {"ImportoTotale", fx::Cella(fx::Denaro{importo})}});
    return *this;
}

DatiAlbergo& DatiAlbergo::Prenotata(const CameraPrenotata& c) {
    albergo_.TabellaDiNome("Camere_Prenotazione")
        .Record({{"NumeroHotel", N(c.hotel)},
                 {"NumeroPrenotazione", N(c.prenotazione)},
                 {"NumeroCamera", T(c.camera)},
                 {"DataArrivo", T(c.arrivo)},
                 {"DataPartenza", T(c.partenza)},
                 {"NumeroPersone", N(c.persone)},
                 {"TipoPrenotazione", T(c.tipo)},
                 {"QuantitàCamere", N(c.quantita)},
                 {"Trattamento", T(c.trattamento)},
                 {"Prezzo", fx::Cella(fx::Denaro{c.prezzo})},
                 {"Note", T(c.note)}});
    return *this;
}

DatiAlbergo& DatiAlbergo::ConPrenotazione(const Prenotazione& p) {
    albergo_.TabellaDiNome("Scheda_Prenotazione")
        .Record({{"NumeroHotel", N(p.hotel)},
                 {"NumeroPrenotazione", N(p.numero)},
                 {"TipoPrenotazione", T(p.tipo)},
                 {"NomeCliente", T(p.nome)},
                 {"Ditta", T(p.ditta)},
                 {"Agenzia", T(p.agenzia)},
                 {"TipoCliente", T(p.tipoCliente)}});
    return *this;
}

DatiAlbergo& DatiAlbergo::OspitePrenotazione(int hotel, long long prenotazione,
                                             const std::string& camera, int ordine,
                                             const std::string& nome) {
    albergo_.TabellaDiNome("ListaClienti_Prenotazione")
        .Record({{"NumeroHotel", N(hotel)},
                 {"NumeroPrenotazione", N(prenotazione)},
                 {"NumeroCamera", T(camera)},
                 {"NumeroCliente", N(ordine)},
                 {"NomeCliente", T(nome)}});
    return *this;
}

OpzioniTableau OpzioniDiProva(const std::filesystem::path& cartella) {
    OpzioniTableau o;
    o.hotel = 1;
    o.tableau = 1;
    o.primaCamera = " ";
    o.ultimaCamera = "\xFF";
    o.data = "05/03/2024";
    o.soloUtilizzate = false;
    o.codiceAssistenzaHotel = "K";
    o.cartella = cartella;
    o.orologio = [] { return DataOra{2024, 3, 5, 7, 30, 0}; };
    o.pclocal = "7";
    return o;
}

namespace {

std::string Leggibile(std::string riga) {
    ConvertiBordi(riga);
    for (char& c : riga) {
        if (c == '\f') {
            c = '^';
        }
    }
    return Utf8DaCp1252(riga);
}

} // namespace

::testing::AssertionResult UgualeAlGolden(const std::string& nome, const std::string& byte) {
    const std::filesystem::path file =
        std::filesystem::path(VDX_SOURCE_DIR) / "tests" / "golden" / "report" / nome;
    if (std::getenv("VDX_UPDATE_GOLDEN") != nullptr) {
        std::filesystem::create_directories(file.parent_path());
        std::ofstream(file, std::ios::binary) << byte;
        return ::testing::AssertionSuccess() << "written " << file;
    }
    std::string atteso;
    try {
        atteso = LeggiFile(file);
    } catch (const std::exception&) {
        return ::testing::AssertionFailure() << "golden file missing: " << file;
    }
    if (atteso == byte) {
        return ::testing::AssertionSuccess();
    }
    const auto righeAttese = DividiRighe(atteso);
    const auto righe = DividiRighe(byte);
    std::ostringstream msg;
    msg << nome << " differs (expected " << atteso.size() << " bytes, got " << byte.size()
        << "):\n";
    int mostrate = 0;
    for (std::size_t i = 0; i < std::max(righe.size(), righeAttese.size()) && mostrate < 8; ++i) {
        const std::string a = i < righeAttese.size() ? righeAttese[i] : "<none>";
        const std::string g = i < righe.size() ? righe[i] : "<none>";
        if (a != g) {
            msg << "line " << i + 1 << "\n  expected: [" << Leggibile(a) << "]\n  got:      ["
                << Leggibile(g) << "]\n";
            ++mostrate;
        }
    }
    return ::testing::AssertionFailure() << msg.str();
}

} // namespace vdx::test
