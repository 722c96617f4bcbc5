// Damaged files: reported as damage, never a crash or a wait without end.

#include "HotelFixture.h"
#include "jet/Database.h"
#include "shared/Error.h"
#include "support/WorkFolder.h"

#include <cstring>
#include <fstream>
#include <gtest/gtest.h>
#include <random>
#include <string>

using namespace vdx::jet;
using vdx::test::CartellaLavoro;

namespace {

constexpr std::size_t kPagina = 4096;

std::string leggiFile(const std::filesystem::path& p) {
    std::ifstream in(p, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

void scriviFile(const std::filesystem::path& p, const std::string& byte) {
    std::ofstream(p, std::ios::binary) << byte;
}

std::uint32_t u32(const std::string& b, std::size_t at) {
    std::uint32_t v = 0;
    std::memcpy(&v, b.data() + at, 4);
    return v;
}

// A file of one table with text, a long memo and money.
std::string fileNote(const CartellaLavoro& dir) {
    vdx::fixture::Tabella t("Note",
                            {"Codice:Long", "Testo:Memo", "Stanza:Text(10)", "Importo:Currency"});
    for (int i = 0; i < 300; ++i) {
        t.riga({std::int64_t{i}, i % 50 == 0 ? std::string(9000, 'x') : "nota " + std::to_string(i),
                std::to_string(i % 50), vdx::fixture::Denaro{i * 100}});
    }
    vdx::fixture::ScriviMdb(dir / "Note.mdb", {t});
    return leggiFile(dir / "Note.mdb");
}

// The first table definition after the list of tables (page 2).
std::size_t paginaDefinizione(const std::string& b) {
    for (std::size_t p = 3; p * kPagina < b.size(); ++p) {
        if (b[p * kPagina] == 0x02) {
            return p;
        }
    }
    return 0;
}

int numeroErrore(const CartellaLavoro& dir, const std::string& byte) {
    scriviFile(dir / "Rotto.mdb", byte);
    try {
        auto db = Database::OpenDatabase(dir.percorso(), "Rotto.mdb");
        auto rs = db->OpenRecordset("Note");
        return 0;
    } catch (const vdx::Error& e) {
        return e.number();
    }
}

TEST(ReaderDamage, ListOfTablesNotADefinition) {
    CartellaLavoro dir;
    std::string b = fileNote(dir);
    b[2 * kPagina] = 0x01;
    EXPECT_EQ(numeroErrore(dir, b), vdx::err::UnrecognizedFormat);
}

TEST(ReaderDamage, TableDefinitionNotADefinition) {
    CartellaLavoro dir;
    std::string b = fileNote(dir);
    const std::size_t p = paginaDefinizione(b);
    ASSERT_NE(p, 0u);
    b[p * kPagina] = 0x01;
    EXPECT_EQ(numeroErrore(dir, b), vdx::err::UnrecognizedFormat);
}

TEST(ReaderDamage, ColumnOfAnUnknownKind) {
    CartellaLavoro dir;
    std::string b = fileNote(dir);
    const std::size_t p = paginaDefinizione(b);
    ASSERT_NE(p, 0u);
    b[p * kPagina + 63] = static_cast<char>(0x44); // the first column's kind
    EXPECT_EQ(numeroErrore(dir, b), vdx::err::UnrecognizedFormat);
}

// A map of used pages naming pages the file does not have: libmdb 1.0.0
// walks it blindly (and can crash on it).
TEST(ReaderDamage, MapOfUsedPagesOutsideTheFile) {
    CartellaLavoro dir;
    std::string b = fileNote(dir);
    const std::size_t p = paginaDefinizione(b);
    ASSERT_NE(p, 0u);
    const std::uint32_t riga = u32(b, p * kPagina + 55);
    const std::size_t paginaMappa = riga >> 8;
    const std::size_t indice = riga & 0xFF;
    ASSERT_LT(paginaMappa * kPagina, b.size());
    const std::size_t base = paginaMappa * kPagina;
    std::uint16_t inizio = 0;
    std::memcpy(&inizio, b.data() + base + 14 + 2 * indice, 2);
    inizio &= 0x1FFF;
    ASSERT_EQ(b[base + inizio], 0x00) << "an inline map";
    const std::uint32_t lontana = 0x00FFFF00;
    std::memcpy(b.data() + base + inizio + 1, &lontana, 4);
    EXPECT_EQ(numeroErrore(dir, b), vdx::err::UnrecognizedFormat);
}

// Random damage anywhere after the header: each file is either read or
// refused with an error; the program neither crashes nor hangs.
TEST(ReaderDamage, RandomDamageIsReadOrRefused) {
    CartellaLavoro dir;
    const std::string buono = fileNote(dir);
    std::mt19937 caso(2026);
    int rifiutati = 0;
    testing::internal::CaptureStderr(); // libmdb's own warnings about the damage
    for (int prova = 0; prova < 150; ++prova) {
        std::string b = buono;
        const int colpi = 1 << (prova % 6);
        for (int k = 0; k < colpi; ++k) {
            b[kPagina + caso() % (b.size() - kPagina)] = static_cast<char>(caso() % 256);
        }
        const int n = numeroErrore(dir, b);
        EXPECT_TRUE(n == 0 || n == vdx::err::UnrecognizedFormat || n == vdx::err::TableNotFound)
            << n;
        rifiutati += n != 0 ? 1 : 0;
    }
    testing::internal::GetCapturedStderr();
    EXPECT_GT(rifiutati, 0);
}

} // namespace
