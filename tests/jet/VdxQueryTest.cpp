// The CSV that vdx-query prints, through the same record sets.

#include "Albergo.h"
#include "jet/Database.h"
#include "jet/EsportaCsv.h"
#include "shared/Errore.h"
#include "support/CartellaLavoro.h"

#include <cstdio>
#include <filesystem>
#include <gtest/gtest.h>
#include <sstream>
#include <sys/wait.h>

using namespace vdx::jet;
using vdx::fixture::Denaro;
using vdx::fixture::Nullo;

namespace {

class QueryCsv : public ::testing::Test {
protected:
    void SetUp() override {
        vdx::fixture::TabellaProva t(
            "Ospiti", {"Camera:Text(10)", "Nome:Text(50)", "Conto:Currency", "Ospiti:Integer"});
        t.ConRiga(
            {std::string("9"), std::string("D'Angelo, \"Nino\""), Denaro{185000}, std::int64_t{2}});
        t.ConRiga({std::string("10"), std::string("Caffè €"), Nullo{}, std::int64_t{1}});
        t.ConRiga({std::string("101"), Nullo{}, Denaro{-5000}, Nullo{}});
        vdx::fixture::ScriviMdb(cartellaProva_ / "Ospiti.mdb", {t});
        db_ = Database::OpenDatabase(cartellaProva_.Percorso(), "Ospiti.mdb");
    }

    std::string Csv(const std::string& sorgente, const std::string& criterio = "") {
        auto rs = db_->OpenRecordset(sorgente);
        std::ostringstream out;
        ScriviCsv(rs, criterio, out);
        return out.str();
    }

    vdx::test::CartellaLavoro cartellaProva_;
    std::shared_ptr<Database> db_;
};

TEST_F(QueryCsv, EveryRecordWithQuotingAndUtf8) {
    EXPECT_EQ(Csv("Ospiti"), "Camera,Nome,Conto,Ospiti\r\n"
                             "9,\"D'Angelo, \"\"Nino\"\"\",18.5,2\r\n"
                             "10,Caffè €,,1\r\n"
                             "101,,-0.5,\r\n");
}

TEST_F(QueryCsv, OnlyTheRecordsTheCriterionFinds) {
    // rooms are text: 9 comes after 10
    EXPECT_EQ(
        Csv("Ospiti", "Camera >= '10' and Ospiti > 0"),
        "Camera,Nome,Conto,Ospiti\r\n9,\"D'Angelo, \"\"Nino\"\"\",18.5,2\r\n10,Caffè €,,1\r\n");
    EXPECT_EQ(Csv("Select * From Ospiti Order by Camera DESC;", "Conto <> 0"),
              "Camera,Nome,Conto,Ospiti\r\n9,\"D'Angelo, \"\"Nino\"\"\",18.5,2\r\n101,,-0.5,\r\n");
    EXPECT_EQ(Csv("Ospiti", "Camera = 'nessuna'"), "Camera,Nome,Conto,Ospiti\r\n");
}

TEST_F(QueryCsv, ErrorsReachTheCaller) {
    EXPECT_THROW(Csv("Ospiti", "Camera = "), vdx::Errore);
    EXPECT_THROW(Csv("Ospiti", "Piano = 1"), vdx::Errore);
}

// The program itself: arguments in UTF-8, exit statuses.
struct Esito {
    int stato;
    std::string uscita;
};

Esito Esegui(const std::string& argomenti) {
    const std::filesystem::path programma =
        std::filesystem::path(VDX_BINARY_DIR) / "bin" / "vdx-query";
    Esito e{-1, {}};
    FILE* p = ::popen(("'" + programma.string() + "' " + argomenti + " 2>&1").c_str(), "r");
    if (p == nullptr) {
        return e;
    }
    char buf[4096];
    for (std::size_t n; (n = std::fread(buf, 1, sizeof buf, p)) > 0;) {
        e.uscita.append(buf, n);
    }
    const int s = ::pclose(p);
    e.stato = WIFEXITED(s) ? WEXITSTATUS(s) : -1;
    return e;
}

TEST_F(QueryCsv, TheProgramPrintsTheSameCsv) {
    if (!std::filesystem::exists(std::filesystem::path(VDX_BINARY_DIR) / "bin" / "vdx-query")) {
        GTEST_SKIP() << "vdx-query is not built";
    }
    const std::string file = "'" + (cartellaProva_ / "ospiti.MDB").string() + "'";
    Esito e = Esegui(file + " Ospiti \"Nome = 'Caffè €'\"");
    EXPECT_EQ(e.stato, 0) << e.uscita;
    EXPECT_EQ(e.uscita, "Camera,Nome,Conto,Ospiti\r\n10,Caffè €,,1\r\n");
    e = Esegui(file + " \"Select * From Ospiti Where Conto < 0\"");
    EXPECT_EQ(e.uscita, "Camera,Nome,Conto,Ospiti\r\n101,,-0.5,\r\n");
    e = Esegui(file + " Stanze");
    EXPECT_EQ(e.stato, 1);
    EXPECT_NE(e.uscita.find("errore 3078"), std::string::npos) << e.uscita;
    e = Esegui(file);
    EXPECT_EQ(e.stato, 2);
}

} // namespace
