// Damaged files: a table is read whole or refused as damage, naming the file
// and the table; never a crash, a wait without end, missing rows, or a line
// of libmdb's on the terminal.

#include "Albergo.h"
#include "jet/Database.h"
#include "jet/FileLeggibile.h"
#include "shared/Errore.h"
#include "support/CartellaLavoro.h"
#include "support/ErroreDi.h"

#include <algorithm>
#include <cstring>
#include <fstream>
#include <functional>
#include <gtest/gtest.h>
#include <optional>
#include <random>
#include <string>
#include <thread>
#include <vector>

using namespace vdx::jet;
using vdx::test::CartellaLavoro;
using vdx::test::ErroreDi;

namespace {

constexpr std::size_t Pagina = 4096;
constexpr std::size_t RigheProva = 300;

std::string LeggiFile(const std::filesystem::path& p) {
    std::ifstream in(p, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

void ScriviFile(const std::filesystem::path& p, const std::string& byte) {
    std::ofstream(p, std::ios::binary) << byte;
}

std::uint32_t U32(const std::string& b, std::size_t at) {
    std::uint32_t v = 0;
    std::memcpy(&v, b.data() + at, 4);
    return v;
}
std::uint16_t U16(const std::string& b, std::size_t at) {
    std::uint16_t v = 0;
    std::memcpy(&v, b.data() + at, 2);
    return v;
}
void Metti32(std::string& b, std::size_t at, std::uint32_t v) {
    std::memcpy(b.data() + at, &v, 4);
}
void Metti16(std::string& b, std::size_t at, std::uint16_t v) {
    std::memcpy(b.data() + at, &v, 2);
}

// A file of two tables: Note (text, long memos on long-value pages, money)
// and Altra.
std::string FileNote(const CartellaLavoro& cartellaProva) {
    vdx::fixture::TabellaProva t(
        "Note", {"Codice:Long", "Testo:Memo", "Stanza:Text(10)", "Importo:Currency"});
    for (std::size_t i = 0; i < RigheProva; ++i) {
        const auto n = static_cast<std::int64_t>(i);
        t.ConRiga({n, i % 50 == 0 ? std::string(9000, 'x') : "nota " + std::to_string(i),
                   std::to_string(i % 50), vdx::fixture::Denaro{n * 100}});
    }
    vdx::fixture::TabellaProva altra("Altra", {"Codice:Long"});
    for (std::int64_t i = 0; i < 40; ++i) {
        altra.ConRiga({i});
    }
    vdx::fixture::ScriviMdb(cartellaProva / "Note.mdb", {t, altra});
    return LeggiFile(cartellaProva / "Note.mdb");
}

// The table definitions after the list of tables (page 2), in the order the
// tables were written: Note, Altra.
std::vector<std::size_t> Definizioni(const std::string& b) {
    std::vector<std::size_t> v;
    for (std::size_t p = 3; p * Pagina < b.size(); ++p) {
        if (b[p * Pagina] == 0x02) {
            v.push_back(p);
        }
    }
    return v;
}

// The data pages a table owns, in file order.
std::vector<std::size_t> PagineDi(const std::string& b, std::size_t tdef) {
    std::vector<std::size_t> v;
    for (std::size_t p = 1; p * Pagina < b.size(); ++p) {
        if (b[p * Pagina] == 0x01 && U32(b, p * Pagina + 4) == tdef) {
            v.push_back(p);
        }
    }
    return v;
}

std::size_t Note(const std::string& b) {
    return Definizioni(b).at(0);
}
std::size_t PrimaPaginaNote(const std::string& b) {
    return PagineDi(b, Note(b)).at(0) * Pagina;
}

// Where a row pointer (page << 8 | row) leads: the row's offset in the file.
std::size_t RigaAlPuntatore(const std::string& b, std::uint32_t puntatore) {
    const std::size_t base = (puntatore >> 8) * Pagina;
    return base + (U16(b, base + 14 + 2 * (puntatore & 0xFF)) & 0x1FFFu);
}

// The row of the table's map of used pages.
std::size_t MappaNote(const std::string& b) {
    return RigaAlPuntatore(b, U32(b, Note(b) * Pagina + 55));
}

// What opening Note.mdb as Rotto.mdb and reading table Note gives, with what
// reached the terminal meanwhile (libmdb's own lines would).
struct Esito {
    vdx::Errore errore;
    std::size_t righe = 0;
    std::string terminale;
};

Esito LeggiNote(const CartellaLavoro& cartellaProva, const std::string& byte,
                const char* tabella = "Note") {
    ScriviFile(cartellaProva / "Rotto.mdb", byte);
    Esito e{vdx::Errore(0, ""), 0, {}};
    testing::internal::CaptureStderr();
    e.errore = ErroreDi([&] {
        auto rs =
            Database::OpenDatabase(cartellaProva.Percorso(), "Rotto.mdb")->OpenRecordset(tabella);
        e.righe = rs.RecordCount();
    });
    e.terminale = testing::internal::GetCapturedStderr();
    return e;
}

// No pause before the second reading of a damaged file, unless a test asks.
class ReaderDamage : public testing::Test {
protected:
    void SetUp() override {
        ImpostaAttesaRilettura([this] { ++attese_; });
    }
    void TearDown() override { ImpostaAttesaRilettura(nullptr); }
    CartellaLavoro cartellaProva_;
    int attese_ = 0;
};

struct Danno {
    const char* nome;
    std::function<void(std::string&)> danneggia;
    bool tuttoIlFile = false; // the list of tables is hit, not one table
};

const Danno Danni[] = {
    {"ListOfTablesNotADefinition", [](std::string& b) { b[2 * Pagina] = 0x01; }, true},
    {"ListOfTablesLosesItsRows",
     [](std::string& b) { Metti16(b, PagineDi(b, 2).at(0) * Pagina + 12, 0); }, true},
    {"TableDefinitionNotADefinition", [](std::string& b) { b[Note(b) * Pagina] = 0x01; }},
    {"ColumnOfAnUnknownKind", [](std::string& b) { b[Note(b) * Pagina + 63] = 0x44; }},
    {"ColumnNumberBeyondTheMost", [](std::string& b) { b[Note(b) * Pagina + 63 + 25 + 5] = 7; }},
    {"ColumnNumberTwice", [](std::string& b) { b[Note(b) * Pagina + 63 + 25 + 5] = 0; }},
    {"LongColumnMadeCurrency", [](std::string& b) { b[Note(b) * Pagina + 63] = 0x05; }},
    // Stanza (Text(10), the second variable field): its place among the
    // variable fields out of range, past the fields every row holds (a blank
    // column) or taken by Testo, its declared size too small for what it
    // holds ("10" in a Text(1)); no variable column counted; the definition
    // saying it is a system table while the list of tables lists a user one.
    {"VariableFieldBeyondTheMost",
     [](std::string& b) { Metti16(b, Note(b) * Pagina + 63 + 2 * 25 + 7, 0x7FFF); }},
    {"VariableFieldPastEveryRowsFields",
     [](std::string& b) { Metti16(b, Note(b) * Pagina + 63 + 2 * 25 + 7, 2); }},
    {"VariableFieldTwice",
     [](std::string& b) { Metti16(b, Note(b) * Pagina + 63 + 2 * 25 + 7, 0); }},
    {"TextLongerThanItsColumn",
     [](std::string& b) { Metti16(b, Note(b) * Pagina + 63 + 2 * 25 + 23, 2); }},
    {"NoVariableColumnCounted", [](std::string& b) { Metti16(b, Note(b) * Pagina + 43, 0); }},
    {"UserTableDefinedAsASystemOne", [](std::string& b) { b[Note(b) * Pagina + 40] = 'S'; }},
    // A name Access never gives ("Co.ice") or one a NUL cuts short ("Co"):
    // not a table without the field.
    {"ColumnNameWithADot",
     [](std::string& b) {
         const std::size_t nomi = Note(b) * Pagina + 63 + 4 * 25;
         b[nomi + 2 + 2 * 2] = '.';
     }},
    {"ColumnNameCutByANul",
     [](std::string& b) {
         const std::size_t nomi = Note(b) * Pagina + 63 + 4 * 25;
         b[nomi + 2 + 2 * 2] = '\0';
     }},
    // The row count read from the definition asked for gigabytes.
    {"RowCountBeyondWhatTheFileHolds",
     [](std::string& b) { Metti32(b, Note(b) * Pagina + 16, 0x7FFFFFF0); }},
    {"RowCountOneShort", [](std::string& b) { Metti32(b, Note(b) * Pagina + 16, RigheProva - 1); }},
    {"RowCountOneOver", [](std::string& b) { Metti32(b, Note(b) * Pagina + 16, RigheProva + 1); }},
    {"MapOfUsedPagesOutsideTheFile",
     [](std::string& b) { Metti32(b, MappaNote(b) + 1, 0x00FFFF00); }},
    {"MapRowNotThere", [](std::string& b) { b[Note(b) * Pagina + 55] = 0x7F; }},
    {"MapOfAnUnknownKind", [](std::string& b) { b[MappaNote(b)] = 0x07; }},
    {"DataPageRowCountZeroed", [](std::string& b) { Metti16(b, PrimaPaginaNote(b) + 12, 0); }},
    {"DataPageOfAnotherTable",
     [](std::string& b) { Metti32(b, PrimaPaginaNote(b) + 4, Definizioni(b).at(1)); }},
    {"DataPageZeroed",
     [](std::string& b) { std::memset(b.data() + PrimaPaginaNote(b), 0, Pagina); }},
    {"DataPageReplacedByOneOfAnotherTable",
     [](std::string& b) {
         const std::size_t altra = PagineDi(b, Definizioni(b).at(1)).at(0) * Pagina;
         b.replace(PrimaPaginaNote(b), Pagina, b.substr(altra, Pagina));
     }},
    {"RowMarkedDeleted",
     [](std::string& b) { b[PrimaPaginaNote(b) + 14 + 1] |= static_cast<char>(0x80); }},
    // "nota 79" stored compressed (9 bytes), its mark damaged: two-byte
    // text of an odd length.
    {"CompressedTextWithoutItsMark",
     [](std::string& b) { b[b.find("\xFF\xFEnota 79") + 1] = '\xDA'; }},
    {"RowOffsetOutsideThePage",
     [](std::string& b) { Metti16(b, PrimaPaginaNote(b) + 16, 0x1FFF); }},
    {"LongValueOfAMissingRow",
     [](std::string& b) {
         // The first row's memo (9000 characters) lives on long-value pages.
         const std::size_t r = PrimaPaginaNote(b) + (U16(b, PrimaPaginaNote(b) + 14) & 0x1FFFu);
         const std::size_t fisse = 2 + 4 + 8; // count, Codice, Importo
         const std::size_t memo = r + fisse;
         Metti32(b, memo + 4, U32(b, memo + 4) | 0xF0);
     }},
    // The file cut at a page boundary before the table's last page (the
    // list of tables, written last, goes too).
    {"CutAtAPageBoundary", [](std::string& b) { b.resize((PagineDi(b, Note(b)).back()) * Pagina); },
     true},
};

const Danno& DannoDiNome(std::string_view nome) {
    for (const Danno& d : Danni) {
        if (d.nome == nome) {
            return d;
        }
    }
    throw std::logic_error("no such damage");
}

TEST_F(ReaderDamage, EachFaultIsDamageNamingFileAndTable) {
    const std::string buono = FileNote(cartellaProva_);
    for (const Danno& d : Danni) {
        SCOPED_TRACE(d.nome);
        std::string b = buono;
        d.danneggia(b);
        const Esito e = LeggiNote(cartellaProva_, b);
        EXPECT_EQ(e.errore.Numero(), vdx::errore::FormatoNonRiconosciuto) << e.errore.what();
        const std::string testo = e.errore.what();
        EXPECT_NE(testo.find("Rotto.mdb"), std::string::npos) << testo;
        EXPECT_NE(testo.find("danneggiato"), std::string::npos) << testo;
        EXPECT_EQ(testo.find("'Note'") != std::string::npos, !d.tuttoIlFile) << testo;
        EXPECT_EQ(e.terminale, "");
        EXPECT_EQ(attese_, 1) << "read once more before it is called damaged";
        attese_ = 0;
    }
}

TEST_F(ReaderDamage, TheUndamagedFileReadsWhole) {
    const Esito e = LeggiNote(cartellaProva_, FileNote(cartellaProva_));
    EXPECT_EQ(e.errore.Numero(), 0) << e.errore.what();
    EXPECT_EQ(e.righe, RigheProva);
    EXPECT_EQ(attese_, 0);
}

// A file the suite was writing when it was first read: whole at the second
// reading, whether the list of tables or a table was hit.
TEST_F(ReaderDamage, AFileFinishedDuringThePauseIsRead) {
    const std::string buono = FileNote(cartellaProva_);
    for (const Danno* d :
         {&DannoDiNome("ListOfTablesLosesItsRows"), &DannoDiNome("DataPageRowCountZeroed")}) {
        SCOPED_TRACE(d->nome);
        std::string b = buono;
        d->danneggia(b);
        ImpostaAttesaRilettura([&] {
            ++attese_;
            ScriviFile(cartellaProva_ / "Rotto.mdb", buono);
        });
        ScriviFile(cartellaProva_ / "Rotto.mdb", b);
        testing::internal::CaptureStderr();
        auto db = Database::OpenDatabase(cartellaProva_.Percorso(), "Rotto.mdb");
        EXPECT_EQ(db->OpenRecordset("Note").RecordCount(), RigheProva);
        EXPECT_EQ(db->OpenRecordset("Altra").RecordCount(), 40u);
        EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
        EXPECT_EQ(attese_, 1);
        attese_ = 0;
    }
}

// Rows the suite deleted (flag 0x8000) are not rows; a row moved to another
// place when it grew (flag 0x4000) is read where it now is, the far end being
// marked deleted.
TEST_F(ReaderDamage, DeletedAndMovedRowsAsAccessLeavesThem) {
    std::string b = FileNote(cartellaProva_);
    const std::size_t pg = PrimaPaginaNote(b);
    const std::size_t tdef = Note(b);
    // Row 2 deleted; row 0 moved to where row 1 is (row 1 becomes its far end).
    b[pg + 14 + 2 * 2 + 1] |= static_cast<char>(0x80);
    b[pg + 14 + 2 * 1 + 1] |= static_cast<char>(0x80);
    const std::size_t inizio0 = U16(b, pg + 14) & 0x1FFFu;
    Metti32(b, pg + inizio0, static_cast<std::uint32_t>((pg / Pagina) << 8 | 1));
    b[pg + 14 + 1] |= static_cast<char>(0x40);
    Metti32(b, tdef * Pagina + 16, RigheProva - 2);
    ScriviFile(cartellaProva_ / "Rotto.mdb", b);
    auto rs = Database::OpenDatabase(cartellaProva_.Percorso(), "Rotto.mdb")->OpenRecordset("Note");
    ASSERT_EQ(rs.RecordCount(), RigheProva - 2);
    EXPECT_EQ(rs.Testo("Codice"), "1");
    EXPECT_EQ(rs.Testo("Testo"), "nota 1");
    rs.MoveNext();
    EXPECT_EQ(rs.Testo("Codice"), "3");
    EXPECT_EQ(attese_, 0);
}

// The rows are read when first needed: a field asked for before them, and
// not there, is damage when they are damaged (its name may be what the
// damage hit), not a missing field.
TEST_F(ReaderDamage, AFieldMissingFromADamagedTableIsDamage) {
    std::string b = FileNote(cartellaProva_);
    DannoDiNome("DataPageZeroed").danneggia(b);
    ScriviFile(cartellaProva_ / "Rotto.mdb", b);
    auto rs = Database::OpenDatabase(cartellaProva_.Percorso(), "Rotto.mdb")->OpenRecordset("Note");
    for (const char* criterio : {"Piano = 1", "Codice = 1"}) {
        const vdx::Errore e = ErroreDi([&] { rs.FindFirst(criterio); });
        EXPECT_EQ(e.Numero(), vdx::errore::FormatoNonRiconosciuto) << criterio << ": " << e.what();
    }
    EXPECT_EQ(attese_, 1);
}

// A page the suite rewrites after the table was read: the records on it, a
// long value on it and a search that reads the table again all find it
// changed, and say the table is damaged rather than give other values. They
// are read on a thread of their own, which has no page of the first reading
// at hand.
TEST_F(ReaderDamage, APageChangedAfterTheReadingIsDamage) {
    const std::string buono = FileNote(cartellaProva_);
    const std::size_t ultima = PagineDi(buono, Note(buono)).back() * Pagina;
    const std::size_t lunga = buono.find("xxxxxxxxxxxxxxxxxxxxxxxx"); // a long value's page
    ASSERT_NE(lunga, std::string::npos);
    const struct {
        const char* nome;
        std::size_t dove;
        std::function<void(Recordset&)> leggi;
    } casi[] = {
        {"a record", ultima + Pagina - 3,
         [](Recordset& rs) {
             for (rs.MoveFirst(); !rs.Fine(); rs.MoveNext()) {
                 rs.Testo("Stanza");
             }
         }},
        {"a long value", lunga, [](Recordset& rs) { rs.Testo("Testo"); }},
        {"a search", ultima + Pagina - 3, [](Recordset& rs) { rs.FindFirst("Stanza = '7'"); }},
    };
    for (const auto& c : casi) {
        SCOPED_TRACE(c.nome);
        ScriviFile(cartellaProva_ / "Rotto.mdb", buono);
        testing::internal::CaptureStderr();
        auto rs =
            Database::OpenDatabase(cartellaProva_.Percorso(), "Rotto.mdb")->OpenRecordset("Note");
        ASSERT_EQ(rs.RecordCount(), RigheProva); // read whole
        std::string b = buono;
        b[c.dove] = static_cast<char>(b[c.dove] ^ 0x01);
        ScriviFile(cartellaProva_ / "Rotto.mdb", b); // in place, as the suite writes
        vdx::Errore e(0, "");
        std::thread([&] { e = ErroreDi([&] { c.leggi(rs); }); }).join();
        EXPECT_EQ(e.Numero(), vdx::errore::FormatoNonRiconosciuto) << e.what();
        EXPECT_NE(std::string(e.what()).find("'Note' di '"), std::string::npos) << e.what();
        EXPECT_NE(std::string(e.what()).find("Rotto.mdb"), std::string::npos) << e.what();
        EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    }
}

// A table of hundreds of pages, read on two cores where there are two: its
// records, a selection on stored date texts, searches through an index and a
// sort give what was written, with a row Access moved in each half.
TEST_F(ReaderDamage, ALargeTableReadsAsWritten) {
    struct Scheda {
        std::int64_t codice;
        std::optional<std::string> camera;
        std::optional<std::int64_t> hotel;
        std::string arrivo;
        std::string nome; // code page 1252
    };
    const char* const camere[] = {"1", "10", "101", "9", "A"};
    std::mt19937 caso(77);
    std::vector<Scheda> attese;
    vdx::fixture::TabellaProva t("Schede", {"Codice:Long", "Camera:Text(10)", "Hotel:Integer",
                                            "Arrivo:Text(8)", "Nome:Text(50)"});
    for (std::int64_t i = 0; i < 30000; ++i) {
        Scheda s{i, std::nullopt, std::nullopt, {}, {}};
        if (caso() % 9 != 0) {
            s.camera = camere[caso() % 5];
        }
        if (caso() % 7 != 0) {
            s.hotel = 1 + static_cast<std::int64_t>(caso() % 3);
        }
        char data[16];
        std::snprintf(data, sizeof data, "2026%02u%02u", static_cast<unsigned>(1 + caso() % 12),
                      static_cast<unsigned>(1 + caso() % 28));
        s.arrivo = data;
        // è is stored in one byte, the euro sign in two: both ways of storing text
        const bool e = i % 7 == 0;
        const bool euro = !e && i % 11 == 0;
        const std::string nome = std::string("Ospite ") +
                                 (e      ? "\xC3\xA8"
                                  : euro ? "\xE2\x82\xAC"
                                         : "") +
                                 std::to_string(i);
        s.nome = std::string("Ospite ") + (e ? "\xE8" : euro ? "\x80" : "") + std::to_string(i);
        t.ConRiga({i, s.camera ? vdx::fixture::Cella(*s.camera) : vdx::fixture::Nullo{},
                   s.hotel ? vdx::fixture::Cella(*s.hotel) : vdx::fixture::Nullo{}, s.arrivo,
                   nome});
        attese.push_back(s);
    }
    vdx::fixture::ScriviMdb(cartellaProva_ / "Grande.mdb", {t});
    std::string b = LeggiFile(cartellaProva_ / "Grande.mdb");
    const std::size_t tdef = Definizioni(b).at(0);
    const std::vector<std::size_t> pagine = PagineDi(b, tdef);
    ASSERT_GT(pagine.size(), 256u);
    // Row 0 of a page moved to where row 1 is, row 1 being its far end.
    std::vector<std::size_t> prime = {0}; // each page's first row
    for (std::size_t p : pagine) {
        prime.push_back(prime.back() + U16(b, p * Pagina + 12));
    }
    for (std::size_t k : {pagine.size() / 4, pagine.size() * 3 / 4 + 1}) {
        const std::size_t pg = pagine[k] * Pagina;
        b[pg + 14 + 2 * 1 + 1] |= static_cast<char>(0x80);
        const std::size_t inizio0 = U16(b, pg + 14) & 0x1FFFu;
        Metti32(b, pg + inizio0, static_cast<std::uint32_t>(pagine[k] << 8 | 1));
        b[pg + 14 + 1] |= static_cast<char>(0x40);
    }
    for (std::size_t k : {pagine.size() * 3 / 4 + 1, pagine.size() / 4}) {
        attese[prime[k]] = attese[prime[k] + 1];
        attese.erase(attese.begin() + static_cast<std::ptrdiff_t>(prime[k] + 1));
    }
    Metti32(b, tdef * Pagina + 16, static_cast<std::uint32_t>(attese.size()));
    ScriviFile(cartellaProva_ / "Grande.mdb", b);

    auto db = Database::OpenDatabase(cartellaProva_.Percorso(), "Grande.mdb");
    auto codici = [](Recordset rs) {
        std::vector<std::int64_t> v;
        for (; !rs.Fine(); rs.MoveNext()) {
            v.push_back(static_cast<std::int64_t>(rs.Numero("Codice")));
        }
        return v;
    };
    auto codiciDi = [&](const std::function<bool(const Scheda&)>& scelta) {
        std::vector<std::int64_t> v;
        for (const Scheda& s : attese) {
            if (scelta(s)) {
                v.push_back(s.codice);
            }
        }
        return v;
    };
    EXPECT_EQ(
        codici(db->OpenRecordset("Select * From Schede Where Arrivo >= '20260301' and "
                                 "Arrivo < '20260601'")),
        codiciDi([](const Scheda& s) { return s.arrivo >= "20260301" && s.arrivo < "20260601"; }));
    auto tutte = db->OpenRecordset("Schede");
    for (const char* camera : camere) {
        for (std::int64_t hotel = 1; hotel <= 3; ++hotel) {
            const std::string criterio =
                std::string("Camera = '") + camera + "' and Hotel = " + std::to_string(hotel);
            std::vector<std::int64_t> trovate;
            for (bool ok = tutte.FindFirst(criterio); ok; ok = tutte.FindNext(criterio)) {
                trovate.push_back(static_cast<std::int64_t>(tutte.Numero("Codice")));
            }
            EXPECT_EQ(trovate, codiciDi([&](const Scheda& s) {
                          return s.camera == camera && s.hotel == hotel;
                      }))
                << criterio;
        }
    }
    std::vector<Scheda> ordinate = attese;
    std::stable_sort(ordinate.begin(), ordinate.end(),
                     [](const Scheda& x, const Scheda& y) { return x.hotel < y.hotel; });
    std::vector<std::int64_t> perHotel;
    for (const Scheda& s : ordinate) {
        perHotel.push_back(s.codice);
    }
    EXPECT_EQ(codici(db->OpenRecordset("Select * From Schede Order by Hotel")), perHotel);
    std::size_t r = 0;
    for (tutte.MoveFirst(); !tutte.Fine(); tutte.MoveNext(), ++r) {
        ASSERT_LT(r, attese.size());
        const Scheda& s = attese[r];
        ASSERT_EQ(tutte.Testo("Codice"), std::to_string(s.codice));
        ASSERT_EQ(tutte.Testo("Camera"), s.camera.value_or(""));
        ASSERT_EQ(tutte.Testo("Hotel"), s.hotel ? std::to_string(*s.hotel) : "");
        ASSERT_EQ(tutte.Testo("Arrivo"), s.arrivo);
        ASSERT_EQ(tutte.Testo("Nome"), s.nome);
    }
    EXPECT_EQ(r, attese.size());
}

// A map of bitmap pages (as a table of more than 512 pages has): followed
// whole; a bitmap page it no longer names, or one that is not a bitmap page,
// is damage.
TEST_F(ReaderDamage, MapsOfBitmapPages) {
    std::string b = FileNote(cartellaProva_);
    const std::size_t m = MappaNote(b);
    const std::uint32_t primo = U32(b, m + 1);
    std::string bitmap(Pagina, '\0');
    bitmap[0] = 0x05;
    bitmap[1] = 0x01;
    for (std::size_t bit = 0; bit < 64 * 8; ++bit) {
        if ((b[m + 5 + bit / 8] & (1 << (bit % 8))) != 0) {
            const std::size_t p = primo + bit;
            bitmap[4 + p / 8] = static_cast<char>(bitmap[4 + p / 8] | (1 << (p % 8)));
        }
    }
    const auto nuova = static_cast<std::uint32_t>(b.size() / Pagina);
    b += bitmap;
    std::memset(b.data() + m, 0, 69);
    b[m] = 0x01;
    Metti32(b, m + 1, nuova);
    Esito e = LeggiNote(cartellaProva_, b);
    EXPECT_EQ(e.errore.Numero(), 0) << e.errore.what();
    EXPECT_EQ(e.righe, RigheProva);

    std::string senza = b;
    Metti32(senza, m + 1, 0);
    EXPECT_EQ(LeggiNote(cartellaProva_, senza).errore.Numero(),
              vdx::errore::FormatoNonRiconosciuto);
    std::string altra = b;
    altra[nuova * Pagina] = 0x01;
    e = LeggiNote(cartellaProva_, altra);
    EXPECT_EQ(e.errore.Numero(), vdx::errore::FormatoNonRiconosciuto);
    EXPECT_EQ(e.terminale, "");
}

// A name read from the file that is the one asked for with one bit changed
// is a damaged name, not another table or field; names further apart are
// other names.
TEST_F(ReaderDamage, ANameOneBitAwayIsDamage) {
    const std::string buono = FileNote(cartellaProva_);
    auto sostituisci = [&](const std::string& da, const std::string& a) {
        std::string b = buono;
        const std::size_t at = b.find(da);
        EXPECT_NE(at, std::string::npos) << da;
        b.replace(at, da.size(), a);
        ScriviFile(cartellaProva_ / "Rotto.mdb", b);
    };
    auto apri = [&] { return Database::OpenDatabase(cartellaProva_.Percorso(), "Rotto.mdb"); };
    const std::string codice("C\0o\0d\0i\0c\0e\0", 12);
    const struct {
        std::string da, a;
        std::function<void()> leggi;
        int numero;
    } casi[] = {
        // The table's name in the list of tables ("Note", stored compressed).
        {"\xFF\xFENote", "\xFF\xFENkte", [&] { apri()->OpenRecordset("Note"); },
         vdx::errore::FormatoNonRiconosciuto},
        {"\xFF\xFENote", "\xFF\xFENoon", [&] { apri()->OpenRecordset("Note"); },
         vdx::errore::TabellaNonTrovata},
        // A field's name in the table definition ("Codice", two bytes a character).
        {codice, std::string("C\0o\0d\0h\0c\0e\0", 12),
         [&] { apri()->OpenRecordset("Note").Campo("Codice"); },
         vdx::errore::FormatoNonRiconosciuto},
        {codice, std::string("C\0o\0d\0i\0c\0\x01\x01", 12),
         [&] { apri()->OpenRecordset("Note").Campo("Codice"); },
         vdx::errore::FormatoNonRiconosciuto},
        {codice, std::string("C\0o\0d\0i\0c\0i\0", 12),
         [&] { apri()->OpenRecordset("Note").Campo("Codice"); }, vdx::errore::CampoNonTrovato},
    };
    for (const auto& c : casi) {
        SCOPED_TRACE(c.a);
        sostituisci(c.da, c.a);
        const vdx::Errore e = ErroreDi(c.leggi);
        EXPECT_EQ(e.Numero(), c.numero) << e.what();
        if (c.numero == vdx::errore::FormatoNonRiconosciuto) {
            EXPECT_NE(std::string(e.what()).find("'Note' di '"), std::string::npos) << e.what();
            EXPECT_NE(std::string(e.what()).find("Rotto.mdb"), std::string::npos) << e.what();
        }
    }
}

// Random damage anywhere after the header: each file is either read whole or
// refused as damage; the program neither crashes nor hangs, and nothing
// reaches the terminal.
TEST_F(ReaderDamage, RandomDamageIsReadWholeOrRefused) {
    const std::string buono = FileNote(cartellaProva_);
    std::mt19937 caso(2026);
    int rifiutati = 0;
    for (int prova = 0; prova < 150; ++prova) {
        std::string b = buono;
        const int colpi = 1 << (prova % 6);
        for (int k = 0; k < colpi; ++k) {
            b[Pagina + caso() % (b.size() - Pagina)] = static_cast<char>(caso() % 256);
        }
        const Esito e = LeggiNote(cartellaProva_, b);
        const int n = e.errore.Numero();
        EXPECT_TRUE(n == 0 || n == vdx::errore::FormatoNonRiconosciuto ||
                    n == vdx::errore::TabellaNonTrovata)
            << n;
        if (n == 0) {
            EXPECT_EQ(e.righe, RigheProva) << "prova " << prova;
        }
        EXPECT_EQ(e.terminale, "") << "prova " << prova;
        rifiutati += n != 0 ? 1 : 0;
    }
    EXPECT_GT(rifiutati, 0);
}

} // namespace
