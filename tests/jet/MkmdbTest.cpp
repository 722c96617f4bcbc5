// CSV files into an Access file (vdx-mkmdb): what is accepted, what is read
// back, and every refusal naming file, riga and column with no file left.

#include "CsvMdb.h"
#include "RiletturaLibmdb.h"
#include "shared/Cp1252.h"
#include "shared/Errore.h"
#include "support/CartellaLavoro.h"

#include <fstream>
#include <gtest/gtest.h>
#include <limits>

namespace vdx::test {
namespace {

using fixture::CsvInMdb;

void Scrivi(const std::filesystem::path& p, const std::string& testo) {
    std::ofstream out(p, std::ios::binary);
    out << testo;
}

std::vector<std::string> ContenutoDi(const std::filesystem::path& cartellaProva) {
    std::vector<std::string> nomi;
    for (const auto& e : std::filesystem::directory_iterator(cartellaProva)) {
        nomi.push_back(e.path().filename().string());
    }
    std::sort(nomi.begin(), nomi.end());
    return nomi;
}

TEST(Mkmdb, EveryTypeNullsQuotingAndLineEnds) {
    CartellaLavoro cartellaProva;
    Scrivi(cartellaProva / "Camere_Prenotazione.csv",
           "\xEF\xBB\xBFNumeroHotel:Integer,QuantitàCamere:Byte,Note:Text(20),Prezzo:Currency,Memo:"
           "Memo,"
           "Arrivo:DateTime,Si:Boolean,N:Long,S:Single,D:Double\r\n"
           "1,2,\"a, \"\"b\"\"\",-12.5,\"due\r\nrighe\",2026-12-08,True,-7,1.5,-0.25\r\n"
           ",,,,,,,,,\r\n"
           "3,255,\"\",0.0001,\"\",2026-12-08 23:59:59,no,2147483647,1e10,1e-300\r\n"
           "4,0,„È€”,1234567.8901,x,1900-01-01,-1,0,0,0\r\n"
           "5,,,922337203685477.5807,,,,,,\r\n"
           "6,,,-922337203685477.5808,,,,,,");
    Scrivi(cartellaProva / "Uno.csv", "Valore:Long\n5\n\n6\n");
    const auto esito =
        CsvInMdb(cartellaProva / "out.mdb",
                 {cartellaProva / "Camere_Prenotazione.csv", cartellaProva / "Uno.csv"});
    EXPECT_EQ(esito.tabelle, 2u);
    EXPECT_EQ(esito.righe, 9u);
    EXPECT_EQ(TabelleLibmdb(cartellaProva / "out.mdb"),
              (std::vector<std::string>{"Camere_Prenotazione", "Uno"}));

    const TabellaLetta t = LeggiLibmdb(cartellaProva / "out.mdb", "Camere_Prenotazione");
    EXPECT_EQ(t.colonne[1], "QuantitàCamere");
    ASSERT_EQ(t.righe.size(), 6u);
    EXPECT_EQ(IntLE(t.righe[4][3].grezzo), std::numeric_limits<long long>::max());
    EXPECT_EQ(IntLE(t.righe[5][3].grezzo), std::numeric_limits<long long>::min());
    const auto& r0 = t.righe[0];
    EXPECT_EQ(IntLE(r0[0].grezzo), 1);
    EXPECT_EQ(r0[2].testo, "a, \"b\"");
    EXPECT_EQ(IntLE(r0[3].grezzo), -125000);
    EXPECT_EQ(r0[4].testo, "due\r\nrighe");
    EXPECT_EQ(DoubleLE(r0[5].grezzo), 46364.0);
    EXPECT_TRUE(r0[6].vero);
    EXPECT_EQ(IntLE(r0[7].grezzo), -7);
    EXPECT_EQ(SingleLE(r0[8].grezzo), 1.5f);
    EXPECT_EQ(DoubleLE(r0[9].grezzo), -0.25);
    for (std::size_t c = 0; c < 10; ++c) {
        if (c != 6) {
            EXPECT_TRUE(t.righe[1][c].nullo) << c;
        }
    }
    const auto& r2 = t.righe[2];
    EXPECT_FALSE(r2[2].nullo);
    EXPECT_EQ(r2[2].testo, "");
    EXPECT_FALSE(r2[4].nullo);
    EXPECT_EQ(IntLE(r2[3].grezzo), 1);
    EXPECT_EQ(DoubleLE(r2[5].grezzo), 46364.0 + 86399.0 / 86400.0);
    EXPECT_FALSE(r2[6].vero);
    EXPECT_EQ(t.righe[3][2].testo, "„È€”");
    EXPECT_EQ(IntLE(t.righe[3][3].grezzo), 12345678901LL);
    EXPECT_EQ(DoubleLE(t.righe[3][5].grezzo), 2.0);
    EXPECT_TRUE(t.righe[3][6].vero);
    EXPECT_EQ(t.stderrTesto, "");

    const TabellaLetta uno = LeggiLibmdb(cartellaProva / "out.mdb", "Uno");
    ASSERT_EQ(uno.righe.size(), 3u); // the blank line of a one-column table is a NULL
    EXPECT_TRUE(uno.righe[1][0].nullo);
    EXPECT_EQ(IntLE(uno.righe[2][0].grezzo), 6);
}

struct CasoErrato {
    std::string csv;
    const char* messaggio; // how the error text starts
};

TEST(Mkmdb, BadInputIsRefusedWithFileLineAndColumnAndNoFile) {
    const CasoErrato casi[] = {
        {"A:Long,B:Float\n1,2\n", "T.csv, riga 1, colonna 2: colonna \"B\": tipo sconosciuto"},
        {"A:Long,B:Text(0)\n", "T.csv, riga 1, colonna 2: colonna \"B\": la lunghezza di Text"},
        {"A:Text(9999999999)\n", "T.csv, riga 1, colonna 1: colonna \"A\": la lunghezza di Text"},
        // Names a file of the engine cannot hold.
        {"A.b:Long\n", "T.csv, riga 1, colonna 1: il nome \"A.b\" non è ammesso"},
        {"[A]:Long\n", "T.csv, riga 1, colonna 1: il nome \"[A]\" non è ammesso"},
        {"A!:Long\n", "T.csv, riga 1, colonna 1: il nome \"A!\" non è ammesso"},
        {std::string("A\0B:Long\n", 9), "T.csv, riga 1, colonna 1: il nome \"A"},
        {"A:Long\n", nullptr}, // a header alone is a good empty table
        {"", "T.csv, riga 1: il file è vuoto"},
        {"A:Long,B:Text(5)\n1,x\n2\n", "T.csv, riga 3: 1 campi, l'intestazione ne ha 2"},
        {"A:Long,B:Text(5)\n1,x,y\n", "T.csv, riga 2: 3 campi, l'intestazione ne ha 2"},
        {"A:Long\n12a\n", "T.csv, riga 2, colonna 1 (A): \"12a\" non è un numero intero"},
        {"A:Long\n1.0\n", "T.csv, riga 2, colonna 1 (A): \"1.0\" non è un numero intero"},
        {"A:Long\n\"\"\n", "T.csv, riga 2, colonna 1 (A): \"\" non è un numero intero"},
        {"A:Long\n+-5\n", "T.csv, riga 2, colonna 1 (A): \"+-5\" non è un numero intero"},
        {"A:Long\n++5\n", "T.csv, riga 2, colonna 1 (A): \"++5\" non è un numero intero"},
        {"A:Double\n+-5\n", "T.csv, riga 2, colonna 1 (A): \"+-5\" non è un numero"},
        {"A:Integer\n32768\n", "T.csv, riga 2, colonna 1 (A): \"32768\" è fuori dai limiti"},
        {"A:Byte\n-1\n", "T.csv, riga 2, colonna 1 (A): \"-1\" è fuori dai limiti"},
        {"A:Long\n2147483648\n", "T.csv, riga 2, colonna 1 (A): \"2147483648\" è fuori dai limiti"},
        {"A:Currency\n1.23456\n", "T.csv, riga 2, colonna 1 (A): \"1.23456\" non è un importo"},
        {"A:Currency\n1,5\n", "T.csv, riga 2: 2 campi, l'intestazione ne ha 1"},
        {"A:Currency\n922337203685477.5808\n",
         "T.csv, riga 2, colonna 1 (A): \"922337203685477.5808\" è fuori dai limiti "
         "(da -922337203685477.5808 a 922337203685477.5807)"},
        {"A:Currency\n-922337203685477.5809\n",
         "T.csv, riga 2, colonna 1 (A): \"-922337203685477.5809\" è fuori dai limiti"},
        {"A:Currency\n12.3.4\n", "T.csv, riga 2, colonna 1 (A): \"12.3.4\" non è un importo"},
        {"A:Double\nabc\n", "T.csv, riga 2, colonna 1 (A): \"abc\" non è un numero"},
        {"A:Single\n1e39\n", "T.csv, riga 2, colonna 1 (A): \"1e39\" non è un numero"},
        {"A:Boolean\nmaybe\n", "T.csv, riga 2, colonna 1 (A): \"maybe\" non è True o False"},
        {"A:DateTime\n2026-02-30\n", "T.csv, riga 2, colonna 1 (A): \"2026-02-30\" non è una data"},
        {"A:DateTime\n08/12/2026\n", "T.csv, riga 2, colonna 1 (A): \"08/12/2026\" non è una data"},
        {"A:DateTime\n0099-12-31\n",
         "T.csv, riga 2, colonna 1 (A): \"0099-12-31\" è fuori dai limiti "
         "(da 0100-01-01 a 9999-12-31)"},
        {"A:DateTime\n0000-01-01 10:00:00\n",
         "T.csv, riga 2, colonna 1 (A): \"0000-01-01 10:00:00\" è fuori dai limiti"},
        {"A:Long,B:Text(3)\n1,abc\n2,abcd\n",
         "T.csv, riga 3, colonna 2 (B): un testo di 4 caratteri, più lungo di 3"},
        {"A:Text(3)\n„È€”\n",
         "T.csv, riga 2, colonna 1 (A): un testo di 4 caratteri, più lungo di 3"},
        {"A:Text(10)\nΩmega\n",
         "T.csv, riga 2, colonna 1 (A): un carattere che la code page 1252 non ha"},
        // The line is the one the field starts on.
        {"A:Text(10),B:Long\n\"x\ny\",zz\n",
         "T.csv, riga 3, colonna 2 (B): \"zz\" non è un numero intero"},
        {"A:Text(10),B:Long\n\"x\ny\",1\n3,zz\n",
         "T.csv, riga 4, colonna 2 (B): \"zz\" non è un numero intero"},
        {"A:Text(10)\n\"open\n", "T.csv, riga 2, colonna 1: un campo tra virgolette non è chiuso"},
        {"A:Text(10)\n\"a\"b\n", "T.csv, riga 2, colonna 1: testo dopo le virgolette di chiusura"},
        {"A:Text(10)\na\"b\n",
         "T.csv, riga 2, colonna 1: virgolette dentro un campo senza virgolette"},
        {"A:Long,a:Long\n", "T.csv, riga 1: tabella \"T\": la colonna \"a\" compare due volte"},
    };
    for (const CasoErrato& caso : casi) {
        SCOPED_TRACE(caso.csv);
        CartellaLavoro cartellaProva;
        Scrivi(cartellaProva / "T.csv", caso.csv);
        const auto uscita = cartellaProva / "out.mdb";
        if (caso.messaggio == nullptr) {
            EXPECT_NO_THROW(CsvInMdb(uscita, {cartellaProva / "T.csv"}));
            EXPECT_TRUE(std::filesystem::exists(uscita));
            continue;
        }
        try {
            CsvInMdb(uscita, {cartellaProva / "T.csv"});
            ADD_FAILURE() << "accepted";
        } catch (const Errore& e) {
            EXPECT_EQ(std::string(e.what()).rfind(caso.messaggio, 0), 0u) << e.what();
        }
        EXPECT_EQ(ContenutoDi(cartellaProva.Percorso()), std::vector<std::string>{"T.csv"});
    }
}

// The table takes the file's name, under the same rule as a field's.
TEST(Mkmdb, ATableNameTheEngineRefusesIsRefused) {
    CartellaLavoro cartellaProva;
    Scrivi(cartellaProva / "T.b.csv", "A:Long\n1\n");
    try {
        CsvInMdb(cartellaProva / "out.mdb", {cartellaProva / "T.b.csv"});
        ADD_FAILURE() << "accepted";
    } catch (const Errore& e) {
        EXPECT_EQ(std::string(e.what()).rfind("T.b.csv, riga 1: il nome \"T.b\" non è ammesso", 0),
                  0u)
            << e.what();
    }
    EXPECT_FALSE(std::filesystem::exists(cartellaProva / "out.mdb"));
}

TEST(Mkmdb, ABadSecondFileLeavesNoOutputAndAnOldFileUntouched) {
    CartellaLavoro cartellaProva;
    Scrivi(cartellaProva / "Buona.csv", "A:Long\n1\n");
    Scrivi(cartellaProva / "Cattiva.csv", "A:Long\nx\n");
    Scrivi(cartellaProva / "out.mdb", "vecchio");
    EXPECT_THROW(CsvInMdb(cartellaProva / "out.mdb",
                          {cartellaProva / "Buona.csv", cartellaProva / "Cattiva.csv"}),
                 Errore);
    EXPECT_EQ(ContenutoDi(cartellaProva.Percorso()),
              (std::vector<std::string>{"Buona.csv", "Cattiva.csv", "out.mdb"}));
    std::ifstream in(cartellaProva / "out.mdb");
    std::string vecchio;
    in >> vecchio;
    EXPECT_EQ(vecchio, "vecchio");
    // Two files of one base name would be one table twice.
    std::filesystem::create_directory(cartellaProva / "sub");
    Scrivi(cartellaProva / "sub" / "Buona.csv", "B:Long\n");
    EXPECT_THROW(CsvInMdb(cartellaProva / "nuovo.mdb",
                          {cartellaProva / "Buona.csv", cartellaProva / "sub" / "Buona.csv"}),
                 Errore);
    EXPECT_FALSE(std::filesystem::exists(cartellaProva / "nuovo.mdb"));
    // A CSV that is not there.
    EXPECT_THROW(CsvInMdb(cartellaProva / "nuovo.mdb",
                          {cartellaProva / "Buona.csv", cartellaProva / "Manca.csv"}),
                 Errore);
    EXPECT_FALSE(std::filesystem::exists(cartellaProva / "nuovo.mdb"));
    EXPECT_EQ(ContenutoDi(cartellaProva.Percorso()),
              (std::vector<std::string>{"Buona.csv", "Cattiva.csv", "out.mdb", "sub"}));
}

TEST(Mkmdb, TheProgramReportsOnStderrAndExitsNonZero) {
    const std::filesystem::path programma =
        std::filesystem::path(VDX_BINARY_DIR) / "bin" / "vdx-mkmdb";
    if (!std::filesystem::exists(programma)) {
        GTEST_SKIP() << programma << " not built";
    }
    CartellaLavoro cartellaProva;
    Scrivi(cartellaProva / "Tableau.csv",
           "NumeroHotel:Integer,Codice:Integer,Descrizione:Text(60)\n1,1,Primo piano\n1,2,Città\n");
    Scrivi(cartellaProva / "Rotta.csv", "A:Integer\n1\nuno\n");
    const EsitoComando buono =
        Esegui(Quota(programma) + " " + Quota(cartellaProva / "Tableau.mdb") + " " +
               Quota(cartellaProva / "Tableau.csv"));
    EXPECT_EQ(buono.codice, 0);
    EXPECT_EQ(buono.err, "");
    const EsitoComando esporta =
        Esegui("mdb-export " + Quota(cartellaProva / "Tableau.mdb") + " Tableau");
    EXPECT_EQ(esporta.out, "NumeroHotel,Codice,Descrizione\n1,1,\"Primo piano\"\n1,2,\"Città\"\n");
    EXPECT_EQ(esporta.err, "");

    const EsitoComando cattivo = Esegui(Quota(programma) + " " + Quota(cartellaProva / "R.mdb") +
                                        " " + Quota(cartellaProva / "Rotta.csv"));
    EXPECT_EQ(cattivo.codice, 1);
    EXPECT_EQ(cattivo.out, "");
    EXPECT_EQ(cattivo.err,
              "vdx-mkmdb: Rotta.csv, riga 3, colonna 1 (A): \"uno\" non è un numero intero\n");
    EXPECT_FALSE(std::filesystem::exists(cartellaProva / "R.mdb"));

    const EsitoComando uso = Esegui(Quota(programma) + " " + Quota(cartellaProva / "R.mdb"));
    EXPECT_EQ(uso.codice, 2);
    EXPECT_NE(uso.err.find("Provare \u00ABvdx-mkmdb --help\u00BB"), std::string::npos) << uso.err;
}

} // namespace
} // namespace vdx::test
