// The workbook written and read back: the sheet's XML inside the zip (with
// unzip) shows each cell's type, whatever program later shows it.

#include "preview/EsportaXlsx.h"

#include "support/CartellaLavoro.h"

#include <cstdio>
#include <gtest/gtest.h>
#include <map>
#include <regex>

namespace vdx {
namespace {

namespace fs = std::filesystem;

// One member of a zip archive, read with unzip.
std::string Membro(const fs::path& archivio, const std::string& nome) {
    const std::string comando = "unzip -p '" + archivio.string() + "' " + nome;
    FILE* p = ::popen(comando.c_str(), "r");
    if (p == nullptr) {
        ADD_FAILURE() << comando;
        return {};
    }
    std::string testo;
    char buffer[4096];
    while (const std::size_t n = std::fread(buffer, 1, sizeof buffer, p)) {
        testo.append(buffer, n);
    }
    EXPECT_EQ(::pclose(p), 0) << comando;
    return testo;
}

struct CellaXml {
    std::string tipo;    // the t attribute: "s" for a text, "" for a number or a date
    std::string valore;  // the <v> element
    std::string formato; // the number format of its style, "" for the general one
};

// The cells of row `riga` (counted from 1), by column letter.
std::map<std::string, CellaXml> CelleDiRiga(const std::string& foglio, const std::string& stili,
                                            int riga) {
    // Number formats by id, and the format id of each cell style in order.
    std::map<std::string, std::string> formati;
    const std::regex numFmt(R"re(<numFmt numFmtId="(\d+)" formatCode="([^"]*)")re");
    for (std::sregex_iterator i(stili.begin(), stili.end(), numFmt), fine; i != fine; ++i) {
        formati[(*i)[1]] = (*i)[2];
    }
    std::vector<std::string> stiliCella;
    const std::string xfs = stili.substr(stili.find("<cellXfs"));
    const std::regex xf(R"re(<xf numFmtId="(\d+)")re");
    for (std::sregex_iterator i(xfs.begin(), xfs.end(), xf), fine; i != fine; ++i) {
        stiliCella.push_back(formati[(*i)[1]]);
    }
    std::map<std::string, CellaXml> celle;
    const std::regex cella("<c r=\"([A-Z]+)" + std::to_string(riga) +
                           R"re("( s="(\d+)")?( t="(\w+)")?(/>|>(<v>([^<]*)</v>)?))re");
    for (std::sregex_iterator i(foglio.begin(), foglio.end(), cella), fine; i != fine; ++i) {
        const std::string stile = (*i)[3];
        celle[(*i)[1]] = {(*i)[5], (*i)[8], stile.empty() ? "" : stiliCella.at(std::stoul(stile))};
    }
    return celle;
}

TEST(FoglioXlsx, NumbersAndDatesAreNoText) {
    // clang-format off
    const std::string report =
        " Hotel : Hotel Lago                                    Tableau : Primo piano del 05/03/2024                          05/03/2024 07:30\r\n"
        "\xB3" "101   \xB3" "DBL   \xB3" "  1 \xB3" "01/03/2024\xB3" "05/03/2024\xB3" "Rossi Mario          \xB3"
        "                     \xB3" "ACME S.p.A.          \xB3" " MP           12.345,67 \xB3\r\n"
        "Presenze attuali: 15      Totale Partenze : 1\r\n";
    // clang-format on
    const TabellaTableau tabella = LeggiTabella(report, SegniNumerici{",", "."});
    test::CartellaLavoro cartella;
    const fs::path file = cartella / "fd.xlsx";
    ScriviFoglioXlsx(tabella, file);
    const std::string foglio = Membro(file, "xl/worksheets/sheet1.xml");
    const std::string stili = Membro(file, "xl/styles.xml");

    // Row 1 the title, row 2 the head, row 3 the room.
    auto riga = CelleDiRiga(foglio, stili, 3);
    EXPECT_EQ(riga["A"].tipo, "s"); // the room, as text
    EXPECT_EQ(riga["C"].tipo, "");
    EXPECT_EQ(riga["C"].valore, "1");
    for (const auto& [colonna, giorni] : {std::pair{"D", "45352"}, std::pair{"E", "45356"}}) {
        EXPECT_EQ(riga[colonna].tipo, "") << colonna;
        EXPECT_EQ(riga[colonna].valore, giorni) << colonna;
        EXPECT_EQ(riga[colonna].formato, "dd/mm/yyyy") << colonna;
    }
    EXPECT_EQ(riga["F"].tipo, "s");
    EXPECT_EQ(riga["I"].tipo, "s"); // the code alone
    EXPECT_EQ(riga["J"].tipo, "");
    EXPECT_EQ(riga["J"].valore, "12345.67");
    EXPECT_NE(riga["J"].formato.find("#,##0.00"), std::string::npos) << riga["J"].formato;
    EXPECT_NE(riga["J"].formato.find("\xE2\x82\xAC"), std::string::npos) << riga["J"].formato;
    EXPECT_EQ(riga.count("K"), 0U); // no comment: no cell

    // The totals below the table, after an empty row: the label, then the number.
    riga = CelleDiRiga(foglio, stili, 5);
    EXPECT_EQ(riga["A"].tipo, "s");
    EXPECT_EQ(riga["F"].tipo, "");
    EXPECT_EQ(riga["F"].valore, "15");
    EXPECT_NE(Membro(file, "xl/workbook.xml").find("name=\"Tableau 05-03-2024\""),
              std::string::npos);
}

} // namespace
} // namespace vdx
