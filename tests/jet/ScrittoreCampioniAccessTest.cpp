// Genuine Access files beside our own: libmdb reads them cleanly, and a table
// rebuilt by our writer has Access's column layout and exports the same text.

#include "RiletturaLibmdb.h"
#include "ScrittoreMdb.h"
#include "shared/Cp1252.h"
#include "support/CartellaLavoro.h"
#include "support/Requisiti.h"

#include <fstream>
#include <gtest/gtest.h>

namespace vdx::test {
namespace {

const std::filesystem::path CartellaCampioni = VDX_SAMPLES_DIR;

bool Jet4(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    char testa[0x15] = {};
    in.read(testa, sizeof testa);
    return in && std::string(testa + 4, 15) == "Standard Jet DB" && testa[0x14] == 1;
}

std::vector<std::filesystem::path> CampioniJet4() {
    std::vector<std::filesystem::path> elencoFile;
    std::error_code ec;
    for (const auto& e : std::filesystem::directory_iterator(CartellaCampioni, ec)) {
        if (e.path().extension() == ".mdb" && Jet4(e.path())) {
            elencoFile.push_back(e.path());
        }
    }
    std::sort(elencoFile.begin(), elencoFile.end());
    return elencoFile;
}

TEST(WriterAccessSamples, GenuineJet4FilesReadCleanly) {
    const auto elencoFile = CampioniJet4();
    VDX_RICHIEDE(!elencoFile.empty(), "no Access samples in " << CartellaCampioni);
    for (const auto& f : elencoFile) {
        for (const std::string& tabella : TabelleLibmdb(f)) {
            SCOPED_TRACE(f.filename().string() + " " + tabella);
            const TabellaLetta t = LeggiLibmdb(f, tabella);
            EXPECT_EQ(t.righe.size(), t.righeDichiarate);
            EXPECT_EQ(t.stderrTesto, "");
            const EsitoComando conta = Esegui("mdb-count " + Quota(f) + " " + Quota(tabella));
            EXPECT_EQ(conta.out, std::to_string(t.righeDichiarate) + "\n");
        }
    }
}

// Table1 of the Access 2000 and 2003 samples: Text(50), Text(100), Byte,
// Integer, Long, Double, DateTime, Currency, Boolean.
TEST(WriterAccessSamples, RebuiltTableMatchesAccessLayoutAndExport) {
    int confrontati = 0;
    for (const auto& originale : CampioniJet4()) {
        const auto tabelle = TabelleLibmdb(originale);
        if (std::find(tabelle.begin(), tabelle.end(), "Table1") == tabelle.end()) {
            continue;
        }
        SCOPED_TRACE(originale.filename().string());
        const TabellaLetta t = LeggiLibmdb(originale, "Table1");
        const std::vector<Descrittore> attesi = DescrittoriTdef(originale, "Table1");

        std::vector<jet::Colonna> colonne;
        for (std::size_t i = 0; i < t.colonne.size(); ++i) {
            const std::string nome = Cp1252DaUtf8(t.colonne[i]);
            switch (t.tipi[i]) {
            case 0x01:
                colonne.push_back(jet::ColonnaDa(nome + ":Boolean"));
                break;
            case 0x02:
                colonne.push_back(jet::ColonnaDa(nome + ":Byte"));
                break;
            case 0x03:
                colonne.push_back(jet::ColonnaDa(nome + ":Integer"));
                break;
            case 0x04:
                colonne.push_back(jet::ColonnaDa(nome + ":Long"));
                break;
            case 0x05:
                colonne.push_back(jet::ColonnaDa(nome + ":Currency"));
                break;
            case 0x06:
                colonne.push_back(jet::ColonnaDa(nome + ":Single"));
                break;
            case 0x07:
                colonne.push_back(jet::ColonnaDa(nome + ":Double"));
                break;
            case 0x08:
                colonne.push_back(jet::ColonnaDa(nome + ":DateTime"));
                break;
            case 0x0A:
                colonne.push_back(
                    jet::ColonnaDa(nome + ":Text(" + std::to_string(t.dimensioni[i] / 2) + ")"));
                break;
            case 0x0C:
                colonne.push_back(jet::ColonnaDa(nome + ":Memo"));
                break;
            default:
                FAIL() << "type " << t.tipi[i];
            }
        }
        CartellaLavoro cartellaProva;
        const auto copia = cartellaProva / "copia.mdb";
        {
            jet::ScrittoreMdb mdb(copia);
            mdb.IniziaTabella("Table1", colonne);
            for (const auto& riga : t.righe) {
                for (std::size_t i = 0; i < riga.size(); ++i) {
                    const ValoreLetto& v = riga[i];
                    switch (colonne[i].tipo) {
                    case jet::TipoCampo::Boolean:
                        mdb.ScriviBooleano(i, v.vero);
                        break;
                    case jet::TipoCampo::Text:
                    case jet::TipoCampo::Memo:
                        if (!v.nullo) {
                            mdb.ScriviTesto(i, Cp1252DaUtf8(v.testo));
                        }
                        break;
                    case jet::TipoCampo::Double:
                    case jet::TipoCampo::DateTime:
                        if (!v.nullo) {
                            mdb.ScriviReale(i, DoubleLE(v.grezzo));
                        }
                        break;
                    case jet::TipoCampo::Single:
                        if (!v.nullo) {
                            mdb.ScriviReale(i, SingleLE(v.grezzo));
                        }
                        break;
                    case jet::TipoCampo::Currency:
                        if (!v.nullo) {
                            mdb.ScriviDenaro(i, IntLE(v.grezzo));
                        }
                        break;
                    default:
                        if (!v.nullo) {
                            mdb.ScriviIntero(i, IntLE(v.grezzo));
                        }
                    }
                }
                mdb.AggiungiRiga();
            }
            mdb.ChiudiTabella();
            mdb.Chiudi();
        }
        EXPECT_EQ(DescrittoriTdef(copia, "Table1"), attesi);
        const EsitoComando a = Esegui("mdb-export " + Quota(originale) + " Table1");
        const EsitoComando b = Esegui("mdb-export " + Quota(copia) + " Table1");
        EXPECT_FALSE(a.out.empty());
        EXPECT_EQ(b.out, a.out);
        EXPECT_EQ(b.err, "");
        ++confrontati;
    }
    VDX_RICHIEDE(confrontati != 0, "no Access 2000 sample with Table1 in " << CartellaCampioni);
}

} // namespace
} // namespace vdx::test
