// The facts the windows and the commands offer: hotels, tableaux, assistance
// codes and room ranges, read from the data files.

#include "report/Elenchi.h"

#include "DatiAlbergo.h"
#include "support/WorkFolder.h"

#include <gtest/gtest.h>

namespace vdx::test {
namespace {

TEST(Elenchi, HotelsTableauxAndCodes) {
    CartellaLavoro cartella;
    DatiAlbergo d;
    d.hotel(1, "Hotel Lago", "KU")
        .hotel(12, "Dodici", "")
        .hotel(0, "Sede", "X")
        .hotel(3, "Tre", "K");
    d.tableau(3, 1, "Uno").tableau(3, 0, "Zero").tableau(1, 5, "Altro").tableau(3, 2, "Due");
    d.albergo().tabella("AnagraficaHotels").record({{"Numero", fixture::Cella(std::int64_t{7})}});
    d.scrivi(cartella.percorso());

    const auto hotels = ElencoHotel(cartella.percorso());
    std::vector<std::string> voci;
    for (const auto& h : hotels) {
        voci.push_back(h.testo());
    }
    EXPECT_EQ(voci, (std::vector<std::string>{"  1 Hotel Lago", " 12 Dodici", "  3 Tre", "  7 "}));

    const auto tableaux = ElencoTableau(cartella.percorso(), 3);
    ASSERT_EQ(tableaux.size(), 2u);
    EXPECT_EQ(tableaux[0].testo(), "  1 Uno");
    EXPECT_EQ(tableaux[1].testo(), "  2 Due");
    EXPECT_TRUE(ElencoTableau(cartella.percorso(), 12).empty());

    EXPECT_EQ(CodiceAssistenza(cartella.percorso(), 1), "KU");
    EXPECT_EQ(CodiceAssistenza(cartella.percorso(), 9), " "); // no record
    EXPECT_EQ(CodiceAssistenza(cartella.percorso(), 7), " "); // no value
}

TEST(Elenchi, RoomRange) {
    CartellaLavoro cartella;
    DatiAlbergo d;
    d.tipo("C1", "C").tipo("UF", "U");
    d.camera(1, 1, "101", "C1").camera(1, 1, "102", "C1").camera(1, 1, "95", "C1");
    d.camera(1, 1, "001", "UF").camera(1, 1, "000", "ZZ"); // another type, a missing type
    d.camera(1, 2, "7", "C1").camera(2, 1, "1", "C1");
    d.camera(1, 3, "5", "UF");
    d.scrivi(cartella.percorso());
    const struct {
        int hotel, tableau;
        std::string prima, ultima;
    } casi[] = {
        {1, 1, "101", "95"},
        {1, 0, "101", "95"}, // every room of the hotel: 7 sorts after 101 and
                             // before 95
        {1, 2, "7", "7"},
        {2, 1, "1", "1"},
        {1, 3, "\xFF", ""}, // no room of type C
        {5, 0, "\xFF", ""},
    };
    for (const auto& c : casi) {
        const Intervallo i = IntervalloCamere(cartella.percorso(), c.hotel, c.tableau);
        EXPECT_EQ(i.prima, c.prima) << c.hotel << "/" << c.tableau;
        EXPECT_EQ(i.ultima, c.ultima) << c.hotel << "/" << c.tableau;
    }
}

} // namespace
} // namespace vdx::test
