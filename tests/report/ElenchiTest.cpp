// The facts the windows and the commands offer: hotels, tableaux, assistance
// codes and room ranges, read from the data files.

#include "report/Elenchi.h"

#include "Albergo.h"
#include "support/CartellaLavoro.h"

#include <gtest/gtest.h>

namespace vdx::test {
namespace {

TEST(Elenchi, HotelsTableauxAndCodes) {
    CartellaLavoro cartella;
    fixture::Albergo d;
    d.Hotel(1, "Hotel Lago", "KU")
        .Hotel(12, "Dodici", "")
        .Hotel(0, "Sede", "X")
        .Hotel(3, "Tre", "K");
    d.Tableau(3, 1, "Uno").Tableau(3, 0, "Zero").Tableau(1, 5, "Altro").Tableau(3, 2, "Due");
    d.TabellaDiNome("AnagraficaHotels").Record({{"Numero", 7}});
    d.Scrivi(cartella.Percorso());

    const auto hotels = ElencoHotel(cartella.Percorso());
    std::vector<std::string> voci;
    for (const auto& h : hotels) {
        voci.push_back(h.Testo());
    }
    EXPECT_EQ(voci, (std::vector<std::string>{"  1 Hotel Lago", " 12 Dodici", "  3 Tre", "  7 "}));

    const auto tableaux = ElencoTableau(cartella.Percorso(), 3);
    ASSERT_EQ(tableaux.size(), 2u);
    EXPECT_EQ(tableaux[0].Testo(), "  1 Uno");
    EXPECT_EQ(tableaux[1].Testo(), "  2 Due");
    EXPECT_TRUE(ElencoTableau(cartella.Percorso(), 12).empty());

    EXPECT_EQ(CodiceAssistenza(cartella.Percorso(), 1), "KU");
    EXPECT_EQ(CodiceAssistenza(cartella.Percorso(), 9), " "); // no record
    EXPECT_EQ(CodiceAssistenza(cartella.Percorso(), 7), " "); // no value
}

TEST(Elenchi, RoomRange) {
    CartellaLavoro cartella;
    fixture::Albergo d;
    d.Tipo("C1", "C").Tipo("UF", "U");
    d.Camera(1, 1, "101", "C1").Camera(1, 1, "102", "C1").Camera(1, 1, "95", "C1");
    d.Camera(1, 1, "001", "UF").Camera(1, 1, "000", "ZZ"); // another type, a missing type
    d.Camera(1, 2, "7", "C1").Camera(2, 1, "1", "C1");
    d.Camera(1, 3, "5", "UF");
    d.Scrivi(cartella.Percorso());
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
        const Intervallo i = IntervalloCamere(cartella.Percorso(), c.hotel, c.tableau);
        EXPECT_EQ(i.prima, c.prima) << c.hotel << "/" << c.tableau;
        EXPECT_EQ(i.ultima, c.ultima) << c.hotel << "/" << c.tableau;
    }
}

} // namespace
} // namespace vdx::test
