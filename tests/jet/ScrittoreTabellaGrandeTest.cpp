// Tables of many pages: the used-pages map turns from inline to bitmap pages,
// and every row still comes back once, in order, through libmdb, its tools and
// our own reader.

#include "RiletturaLibmdb.h"
#include "ScrittoreMdb.h"
#include "jet/Database.h"
#include "shared/Cp1252.h"
#include "support/CartellaLavoro.h"

#include <fstream>
#include <gtest/gtest.h>
#include <sstream>

namespace vdx::test {
namespace {

using jet::ColonnaDa;

std::string ByteFile(const std::filesystem::path& f) {
    std::ifstream in(f, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

std::uint32_t U32(const std::string& b, std::size_t at) {
    std::uint32_t v = 0;
    for (int i = 3; i >= 0; --i) {
        v = (v << 8) | static_cast<unsigned char>(b[at + static_cast<std::size_t>(i)]);
    }
    return v;
}

// The first byte of a table's used-pages map row: 0 inline, 1 bitmap pages;
// and how many bitmap pages it names.
std::pair<int, int> MappaUsata(const std::filesystem::path& file, std::uint32_t tdef) {
    const std::string b = ByteFile(file);
    const std::uint32_t puntatore = U32(b, tdef * 4096 + 55);
    const std::size_t pagina = (puntatore >> 8) * 4096;
    const std::size_t riga = puntatore & 0xFF;
    const std::size_t inizio = (U32(b, pagina + 14 + 2 * riga) & 0x1FFF);
    const int tipo = static_cast<unsigned char>(b[pagina + inizio]);
    int pagine = 0;
    if (tipo == 1) {
        for (std::size_t i = 0; i < 17; ++i) {
            pagine += U32(b, pagina + inizio + 1 + 4 * i) != 0;
        }
    }
    return {tipo, pagine};
}

std::string Nome(int i) {
    return "Ospite " + std::to_string(i) + (i % 3 == 0 ? " \xC8\x80" : "");
}

TEST(WriterLargeTable, ThousandsOfPagesReadBackWholeAndInOrder) {
    CartellaLavoro cartellaProva;
    const auto file = cartellaProva / "Grande.mdb";
    const int righe = 60000;
    {
        jet::ScrittoreMdb mdb(file);
        mdb.IniziaTabella("Piccola", {ColonnaDa("N:Long")});
        mdb.ScriviIntero(0, 1).AggiungiRiga();
        mdb.ChiudiTabella();
        mdb.IniziaTabella("Grande", {ColonnaDa("N:Long"), ColonnaDa("Nome:Text(30)"),
                                     ColonnaDa("Importo:Currency"), ColonnaDa("Nota:Memo")});
        for (int i = 0; i < righe; ++i) {
            mdb.ScriviIntero(0, i).ScriviTesto(1, Nome(i)).ScriviDenaro(2, -i * 10001LL);
            if (i % 1000 == 0) {
                mdb.ScriviTesto(3, std::string(5000, static_cast<char>('a' + i % 26)));
            }
            mdb.AggiungiRiga();
        }
        mdb.ChiudiTabella();
        mdb.Chiudi();
    }
    EXPECT_GT(std::filesystem::file_size(file), 600u * 4096u);
    EXPECT_EQ(MappaUsata(file, 4).first, 0); // "Piccola": one page
    EXPECT_EQ(MappaUsata(file, 6).first, 1); // "Grande": past 512 pages

    const TabellaLetta t = LeggiLibmdb(file, "Grande");
    EXPECT_EQ(t.righeDichiarate, static_cast<unsigned>(righe));
    ASSERT_EQ(t.righe.size(), static_cast<std::size_t>(righe));
    int errate = 0;
    for (int i = 0; i < righe && errate < 5; ++i) {
        const auto& r = t.righe[static_cast<std::size_t>(i)];
        const bool ok = IntLE(r[0].grezzo) == i && Cp1252DaUtf8(r[1].testo) == Nome(i) &&
                        IntLE(r[2].grezzo) == -i * 10001LL &&
                        (i % 1000 == 0 ? r[3].testo.size() == 5000 : r[3].nullo);
        if (!ok) {
            ADD_FAILURE() << "row " << i;
            ++errate;
        }
    }
    EXPECT_EQ(t.stderrTesto, "");

    const EsitoComando conta = Esegui("mdb-count " + Quota(file) + " Grande");
    EXPECT_EQ(conta.out, std::to_string(righe) + "\n");
    EXPECT_EQ(conta.err, "");
    const EsitoComando esporta = Esegui("mdb-export " + Quota(file) + " Grande | wc -l");
    EXPECT_EQ(esporta.out, std::to_string(righe + 1) + "\n");
    EXPECT_EQ(esporta.err, "");

    auto db = jet::Database::OpenDatabase(cartellaProva.Percorso(), "grande.mdb");
    jet::Recordset rs = db->OpenRecordset("Grande");
    EXPECT_EQ(rs.RecordCount(), static_cast<std::size_t>(righe));
    ASSERT_TRUE(rs.FindFirst("N = 59999"));
    EXPECT_EQ(rs.Testo("Nome"), Nome(59999));
    EXPECT_EQ(rs.Denaro("Importo"), -59999 * 10001LL);
    ASSERT_TRUE(rs.FindFirst("Nome = 'Ospite 3 \xC8\x80'"));
    EXPECT_EQ(rs.Numero("N"), 3);
    EXPECT_EQ(db->NomiTabelle(), (std::vector<std::string>{"Piccola", "Grande"}));
}

// Pages past 32,736 need a second bitmap page. Nine memos of 15 MB between
// the rows put the first data pages near the start of the file and the later
// ones beyond it.
TEST(WriterLargeTable, DataPagesBeyondTheFirstBitmapPage) {
    CartellaLavoro cartellaProva;
    const auto file = cartellaProva / "Memo.mdb";
    const int righe = 1000;
    const std::string riempitivo(200, '\x80'); // two bytes a character: few rows a page
    {
        jet::ScrittoreMdb mdb(file);
        mdb.IniziaTabella("Note",
                          {ColonnaDa("N:Long"), ColonnaDa("T:Text(200)"), ColonnaDa("Nota:Memo")});
        const std::string nota(15'000'000, 'n');
        for (int i = 0; i < righe; ++i) {
            mdb.ScriviIntero(0, i).ScriviTesto(1, riempitivo);
            if (i >= 100 && i < 109) {
                mdb.ScriviTesto(2, nota);
            }
            mdb.AggiungiRiga();
        }
        mdb.ChiudiTabella();
        mdb.Chiudi();
    }
    EXPECT_GT(std::filesystem::file_size(file), 32736u * 4096u);
    EXPECT_EQ(MappaUsata(file, 4), (std::pair<int, int>{1, 2}));
    const TabellaLetta t = LeggiLibmdb(file, "Note", false);
    ASSERT_EQ(t.righe.size(), static_cast<std::size_t>(righe));
    for (int i = 0; i < righe; ++i) {
        ASSERT_EQ(IntLE(t.righe[static_cast<std::size_t>(i)][0].grezzo), i);
        ASSERT_EQ(t.righe[static_cast<std::size_t>(i)][2].nullo, i < 100 || i >= 109) << i;
    }
    EXPECT_EQ(t.stderrTesto, "");
    const EsitoComando conta = Esegui("mdb-count " + Quota(file) + " Note");
    EXPECT_EQ(conta.out, std::to_string(righe) + "\n");
}

} // namespace
} // namespace vdx::test
