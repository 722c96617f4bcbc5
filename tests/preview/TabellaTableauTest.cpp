// The report read back as table rows, from lines of real reports (the
// golden reports of the generator's tests), as generated and as a page the
// preview saved.

#include "preview/TabellaTableau.h"

#include <gtest/gtest.h>
#include <ostream>

namespace vdx {

void PrintTo(const RigaTabella& r, std::ostream* os) {
    const auto data = [](const CellaData& d) {
        if (const auto* g = std::get_if<DataOra>(&d)) {
            return std::to_string(g->giorno) + "/" + std::to_string(g->mese) + "/" +
                   std::to_string(g->anno);
        }
        const auto* t = std::get_if<std::string>(&d);
        return t ? "'" + *t + "'" : std::string("-");
    };
    *os << "{" << r.camera << "|" << r.tipo << "|" << (r.persone ? std::to_string(*r.persone) : "-")
        << "|" << data(r.arrivo) << "|" << data(r.partenza) << "|" << r.alloggiato << "|"
        << r.secondo << "|" << r.dittaAgenzia << "|" << r.arrangiamento << "|"
        << (r.importo ? std::to_string(*r.importo) : "-") << "|" << r.commento << "}";
}

namespace {

// The lines as the generator writes them: "|" stands for the vertical rule
// (byte 179) in the listings below.
std::string Generato(std::string testo) {
    for (char& c : testo) {
        c = c == '|' ? '\xB3' : c;
    }
    return testo;
}

struct CasoTabella {
    const char* nome;
    std::string testo; // report lines, CR LF ended
    std::vector<RigaTabella> righe;
    std::vector<TotaleTableau> totali = {};
    std::string hotel = "";
    std::string tableau = "";
    std::string data = "";
};

void PrintTo(const CasoTabella& caso, std::ostream* os) {
    *os << caso.nome;
}

class LetturaTabella : public ::testing::TestWithParam<CasoTabella> {};

TEST_P(LetturaTabella, ReadsTheRows) {
    const auto& caso = GetParam();
    const TabellaTableau t = LeggiTabella(caso.testo, SegniNumerici{",", "."});
    EXPECT_EQ(t.righe, caso.righe);
    EXPECT_EQ(t.totali, caso.totali);
    EXPECT_EQ(t.hotel, caso.hotel);
    EXPECT_EQ(t.tableau, caso.tableau);
    EXPECT_EQ(t.data, caso.data);
}

// clang-format off
const std::string DueOspiti =
    "|104   |DBL   |  2 |02/03/2024|08/03/2024|Verdi Luca           |Neri Sara            |Beta Srl             |Secondo gruppo          |\r\n"
    "|      |      |    |          |          |                     |                     |                     |                        |\r\n";
const std::string Prenotazione =
    "|201   |DBL   |  2 |05/03/2024|08/03/2024|Galli Piero jr       |Galli Rita           |Gamma Spa            | HB              120,00 |\r\n"
    "|      |      |    |          |          |                     |(in arrivo)          |Booking              |Business                |\r\n";
const std::string CameraLibera =
    "|203   |DBL   |  0 |  /  /    |  /  /    |                     |                     |                     |                   0,00 |\r\n"
    "|      |      |    |          |          |                     |                     |                     |                        |\r\n";
const std::string Migliaia =
    "|101   |DBL   |  1 |01/03/2024|05/03/2024|Rossi Mario          |                     |ACME S.p.A.          | MP           12.345,67 |\r\n"
    "|      |      |    |          |          |                     |(in partenza)        |Viaggi Sole          |Privato                 |\r\n";
const std::string Negativo =
    "|X150  |DBL   | 150|01/03/2024|10/03/2024|Congresso            |                     |                     | ALLINCLU     -1.234,50 |\r\n"
    "|      |      |    |          |          |                     |(prenotazione)       |                     |                        |\r\n";
const std::string SenzaData =
    "|103   |SGL   |  1 |01/03/2024|  /  /    |Bianchi Anna         |                     |                     |                        |\r\n"
    "|      |      |    |          |          |                     |                     |                     |Gruppo                  |\r\n";
const std::string PaginaSalvata =
    " Hotel : Hotel Lago                                    Tableau : Primo piano del 05/03/2024                          05/03/2024 07:30\r\n"
    "-------------------------------------------------------------------------------------------------------------------------------------\r\n"
    "|      |      |    |     D A T A         |                     |                     |                     |                        |\r\n"
    "|  N.  | TIPO | N. |---------------------| A L L O G G I A T O | A L L O G G I A T O | D I T T A           | ARRANGIAMENTO          |\r\n"
    "|CAMERA|      |PERS|  ARRIVO  | PARTENZA |                     |                     | A G E N Z I A       | T I P O   C L I E N T E|\r\n"
    "|-----------------------------------------------------------------------------------------------------------------------------------|\r\n"
    "|101   |DBL   |  1 |01/03/2024|05/03/2024|Rossi Mario          |                     |ACME S.p.A.          | MP               95,50 |\r\n"
    "|      |      |    |          |          |                     |(in partenza)        |Viaggi Sole          |Privato                 |\r\n"
    "|-----------------------------------------------------------------------------------------------------------------------------------|\r\n"
    "|102   |DBL   |  0 |  /  /    |  /  /    |                     |                     |                     |                   0,00 |\r\n"
    "|      |      |    |          |          |                     |                     |                     |                        |\r\n"
    "|-----------------------------------------------------------------------------------------------------------------------------------|\r\n"
    "-------------------------------------------------------------------------------------------------------------------------------------\r\n"
    "Presenze attuali: 15      Totale Partenze : 1\r\n"
    "\r\n"
    "Camere presenti : 4\r\n"
    "Totale presenze : 15\r\n"
    "\x0C\r\n"
    "\r\n";
// clang-format on

const DataOra Marzo1{2024, 3, 1};
const DataOra Marzo5{2024, 3, 5};
const CellaData Vuota = std::monostate{};

// A block's first line, cell by cell; the code and amount of cell 9 when
// `importo` is given, else its comment.
RigaTabella Prima(std::string camera, std::string tipo, int persone, CellaData arrivo,
                  CellaData partenza, std::string alloggiato, std::string secondo,
                  std::string ditta, std::string codice, std::optional<std::int64_t> importo,
                  std::string commento = "") {
    return {camera,  tipo,  persone, arrivo,  partenza, alloggiato,
            secondo, ditta, codice,  importo, commento};
}

// A block's second line: the room carried over, the tag, the agency, the
// customer type.
RigaTabella Seconda(std::string camera, std::string stato, std::string agenzia,
                    std::string tipoCliente) {
    RigaTabella r;
    r.camera = camera;
    r.secondo = stato;
    r.dittaAgenzia = agenzia;
    r.commento = tipoCliente;
    return r;
}

const RigaTabella InPartenza101 = Seconda("101", "(in partenza)", "Viaggi Sole", "Privato");

INSTANTIATE_TEST_SUITE_P(
    Report, LetturaTabella,
    ::testing::Values(
        CasoTabella{"TwoGuestsAndAComment",
                    Generato(DueOspiti),
                    {Prima("104", "DBL", 2, DataOra{2024, 3, 2}, DataOra{2024, 3, 8}, "Verdi Luca",
                           "Neri Sara", "Beta Srl", "", std::nullopt, "Secondo gruppo")}},
        CasoTabella{"ABookingArriving",
                    Generato(Prenotazione),
                    {Prima("201", "DBL", 2, Marzo5, DataOra{2024, 3, 8}, "Galli Piero jr",
                           "Galli Rita", "Gamma Spa", "HB", 1200000),
                     Seconda("201", "(in arrivo)", "Booking", "Business")}},
        CasoTabella{"AFreeRoom",
                    Generato(CameraLibera),
                    {Prima("203", "DBL", 0, Vuota, Vuota, "", "", "", "", 0)}},
        CasoTabella{"AnAmountWithThousands",
                    Generato(Migliaia),
                    {Prima("101", "DBL", 1, Marzo1, Marzo5, "Rossi Mario", "", "ACME S.p.A.", "MP",
                           123456700),
                     InPartenza101}},
        CasoTabella{"ANegativeAmount",
                    Generato(Negativo),
                    {Prima("X150", "DBL", 150, Marzo1, DataOra{2024, 3, 10}, "Congresso", "", "",
                           "ALLINCLU", -12345000),
                     Seconda("X150", "(prenotazione)", "", "")}},
        CasoTabella{
            "ARoomWithoutADate",
            Generato(SenzaData),
            {Prima("103", "SGL", 1, Marzo1, Vuota, "Bianchi Anna", "", "", "", std::nullopt),
             Seconda("103", "", "", "Gruppo")}},
        CasoTabella{
            "APageSavedByThePreview",
            PaginaSalvata,
            {Prima("101", "DBL", 1, Marzo1, Marzo5, "Rossi Mario", "", "ACME S.p.A.", "MP", 955000),
             InPartenza101, Prima("102", "DBL", 0, Vuota, Vuota, "", "", "", "", 0)},
            {{"Presenze attuali", 15},
             {"Totale Partenze", 1},
             {"Camere presenti", 4},
             {"Totale presenze", 15}},
            "Hotel Lago",
            "Primo piano",
            "05/03/2024"}),
    [](const auto& riga) { return std::string(riga.param.nome); });

} // namespace
} // namespace vdx
