// Driver-mode printing handed to a real print server: a private cupsd with a
// cups-pdf queue, a two-sided queue and a queue that refuses jobs (started by
// scripts/cups-test-setup.sh). Each job is checked as the server received
// it: its document's text (pdftotext) and its attributes (sides,
// orientation) in the control file the server keeps.

#include "printing/StampaDriver.h"
#include "printing/ui/StampanteQt.h"
#include "shared/Errore.h"
#include "shared/FileTesto.h"
#include "support/CartellaLavoro.h"

#include <QApplication>
#include <QProcess>
#include <QtTest>
#include <cstdint>
#include <cups/cups.h>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

// The attributes of a job's control file (an IPP message): the first value
// of each, as its raw bytes.
std::map<std::string, std::string> AttributiLavoro(const fs::path& controllo) {
    const std::string b = vdx::LeggiFile(controllo);
    std::map<std::string, std::string> attributi;
    std::size_t i = 8; // version, operation, request id
    const auto u16 = [&](std::size_t at) {
        return static_cast<std::size_t>((static_cast<unsigned char>(b[at]) << 8) |
                                        static_cast<unsigned char>(b[at + 1]));
    };
    while (i < b.size()) {
        const auto tag = static_cast<unsigned char>(b[i++]);
        if (tag == 0x03) {
            break; // end of attributes
        }
        if (tag < 0x10) {
            continue; // the start of a group
        }
        if (i + 2 > b.size())
            break;
        const std::size_t lNome = u16(i);
        i += 2;
        std::string nome = b.substr(i, lNome);
        i += lNome;
        if (i + 2 > b.size())
            break;
        const std::size_t lValore = u16(i);
        i += 2;
        const std::string valore = b.substr(i, lValore);
        i += lValore;
        if (nome.empty()) {
            continue; // a further value of the same attribute
        }
        attributi.emplace(nome, valore);
    }
    return attributi;
}

std::string Valore(const std::map<std::string, std::string>& a, const std::string& nome) {
    const auto it = a.find(nome);
    return it == a.end() ? std::string() : it->second;
}

int Intero(const std::string& bytes) {
    std::uint32_t v = 0;
    for (unsigned char c : bytes) {
        v = (v << 8) | c;
    }
    return static_cast<int>(v);
}

QString Esegui(const QString& programma, const QStringList& argomenti, int* esito = nullptr) {
    QProcess p;
    p.start(programma, argomenti);
    p.waitForFinished(60000);
    if (esito != nullptr) {
        *esito = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    }
    return QString::fromUtf8(p.readAllStandardOutput()) +
           QString::fromUtf8(p.readAllStandardError());
}

} // namespace

class PrintCupsTest : public QObject {
    Q_OBJECT

private:
    fs::path spool_;
    std::unique_ptr<vdx::test::CartellaLavoro> cartella_;

    // Prints three report lines on the test queue `uscita`; returns the job's number.
    int Stampa(const std::string& uscita, bool orizzontale, bool fronteRetro) {
        vdx::ScriviRigheAtomico(cartella_->Percorso() / "FD0",
                                {"\xb3RIGA 1\xb3", "\xb3RIGA 2\xb3", "\xb3RIGA 3\xb3"});
        vdx::ImpostazioniStampa s;
        s.valoriCompresso = vdx::DividiGruppi("010000000000000001010000000000000000");
        s.uscitaStampa = uscita;
        vdx::SceltaStampa scelta;
        scelta.orizzontale = orizzontale;
        scelta.fronteRetro = fronteRetro;
        vdx::ui::StampanteQt stampante("FD0");
        vdx::StampaModoDriver(stampante, s, scelta, cartella_->Percorso(),
                              cartella_->Percorso() / "FD0");
        return stampante.Lavoro();
    }

    fs::path FileLavoro(char tipo, int lavoro) const {
        char nome[32];
        if (tipo == 'c') {
            std::snprintf(nome, sizeof nome, "c%05d", lavoro);
        } else {
            std::snprintf(nome, sizeof nome, "d%05d-001", lavoro);
        }
        return spool_ / nome;
    }

    // The server writes a job's files a moment after taking the job.
    std::map<std::string, std::string> Attributi(int lavoro) const {
        const fs::path c = FileLavoro('c', lavoro);
        for (int i = 0; i < 200; ++i) {
            std::error_code ec;
            if (fs::exists(c, ec) && fs::exists(FileLavoro('d', lavoro), ec)) {
                auto a = AttributiLavoro(c);
                if (a.count("job-name") != 0 && a.count("orientation-requested") != 0) {
                    return a;
                }
            }
            QTest::qWait(100);
        }
        return {};
    }

    QStringList TestoDocumento(int lavoro) const {
        QStringList righe;
        const QString testo =
            Esegui(QStringLiteral("pdftotext"),
                   {QStringLiteral("-layout"),
                    QString::fromStdString(FileLavoro('d', lavoro).string()), QStringLiteral("-")});
        for (const QString& riga : testo.split(QLatin1Char('\n'))) {
            if (!riga.trimmed().isEmpty() && riga.trimmed() != QStringLiteral("\f")) {
                righe << riga.trimmed();
            }
        }
        return righe;
    }

private slots:
    void initTestCase() {
        const QByteArray cartella = qEnvironmentVariableIsEmpty("VDX_CUPS_DIR")
                                        ? QByteArray("/tmp/vdx-cups")
                                        : qgetenv("VDX_CUPS_DIR");
        int esito = 0;
        QProcess p;
        p.start(QStringLiteral("bash"),
                {QStringLiteral(VDX_SOURCE_DIR "/scripts/cups-test-setup.sh"),
                 QString::fromUtf8(cartella)});
        p.waitForFinished(120000);
        esito = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
        const QString socket = QString::fromUtf8(p.readAllStandardOutput()).trimmed();
        if (esito != 0 || socket.isEmpty()) {
            QSKIP(qPrintable(QStringLiteral("the print server (cupsd) cannot run here: ") +
                             QString::fromUtf8(p.readAllStandardError()).trimmed()));
        }
        qputenv("CUPS_SERVER", socket.toLocal8Bit());
        cupsSetServer(socket.toLocal8Bit().constData());
        spool_ = fs::path(cartella.toStdString()) / "spool";
        vdx::ui::StampanteQt::AzzeraDispositivoCorrente();
    }
    void init() { cartella_ = std::make_unique<vdx::test::CartellaLavoro>(); }
    void cleanup() { cartella_.reset(); }

    void listsTheQueues() {
        vdx::ui::StampanteQt stampante;
        const auto nomi = stampante.NomiDispositivi();
        for (const char* coda : {"VDX-PDF", "VDX-DUPLEX", "VDX-RIFIUTA"}) {
            QVERIFY2(std::find(nomi.begin(), nomi.end(), coda) != nomi.end(), coda);
        }
    }

    void portraitJobOnThePdfQueue() {
        const int lavoro = Stampa("VDX-PDF", false, false);
        QVERIFY(lavoro > 0);
        QCOMPARE(vdx::ui::StampanteQt::DispositivoCorrente(), std::string("VDX-PDF"));
        const auto a = Attributi(lavoro);
        QVERIFY2(!a.empty(), "the server kept no control file for the job");
        QCOMPARE(Valore(a, "job-name"), std::string("FD0"));
        QCOMPARE(Valore(a, "document-format"), std::string("application/pdf"));
        QCOMPARE(Intero(Valore(a, "orientation-requested")), 3);
        // Two-sided not asked for: the printer's own setting applies.
        QVERIFY2(Valore(a, "sides").empty() || Valore(a, "sides") == "one-sided",
                 Valore(a, "sides").c_str());
        QCOMPARE(TestoDocumento(lavoro),
                 (QStringList{QStringLiteral("|RIGA 1|"), QStringLiteral("|RIGA 2|"),
                              QStringLiteral("|RIGA 3|"), QStringLiteral("Pagina 1 di 1")}));
    }

    void landscapeTwoSidedJob() {
        const int lavoro = Stampa("VDX-DUPLEX", true, true);
        QVERIFY(lavoro > 0);
        const auto a = Attributi(lavoro);
        QVERIFY2(!a.empty(), "the server kept no control file for the job");
        QCOMPARE(Valore(a, "sides"), std::string("two-sided-short-edge"));
        QCOMPARE(Intero(Valore(a, "orientation-requested")), 4);
        const QString info = Esegui(QStringLiteral("pdfinfo"),
                                    {QString::fromStdString(FileLavoro('d', lavoro).string())});
        QVERIFY2(info.contains(QStringLiteral("842 x 595")), qPrintable(info));
        QCOMPARE(TestoDocumento(lavoro).size(), 4); // three lines and the foot
    }

    void portraitTwoSidedJob() {
        const int lavoro = Stampa("VDX-DUPLEX", false, true);
        QVERIFY(lavoro > 0);
        const auto a = Attributi(lavoro);
        QVERIFY2(!a.empty(), "the server kept no control file for the job");
        QCOMPARE(Valore(a, "sides"), std::string("two-sided-long-edge"));
        QCOMPARE(Intero(Valore(a, "orientation-requested")), 3);
    }

    // Two-sided print, once asked for, is kept by the printer for the rest of
    // the run: a later print without the tick still comes out two-sided,
    // until the printer is set up afresh.
    void twoSidedStaysForLaterPrints() {
        vdx::ui::StampanteQt::AzzeraDispositivoCorrente();
        QVERIFY(Stampa("VDX-DUPLEX", false, true) > 0);
        QCOMPARE(vdx::ui::StampanteQt::FronteRetroCorrente(), 2);
        const int lavoro = Stampa("VDX-DUPLEX", false, false);
        QVERIFY(lavoro > 0);
        const auto a = Attributi(lavoro);
        QVERIFY2(!a.empty(), "the server kept no control file for the job");
        QCOMPARE(Valore(a, "sides"), std::string("two-sided-long-edge"));

        vdx::ui::StampanteQt::AzzeraDispositivoCorrente();
        QCOMPARE(vdx::ui::StampanteQt::FronteRetroCorrente(), 0);
        const int dopo = Stampa("VDX-DUPLEX", false, false);
        QVERIFY(dopo > 0);
        const auto b = Attributi(dopo);
        QVERIFY2(!b.empty(), "the server kept no control file for the job");
        QVERIFY2(Valore(b, "sides") != "two-sided-long-edge", Valore(b, "sides").c_str());
    }

    // A job the server refuses is an error naming the printer and the reason.
    void refusedJobIsReported() {
        try {
            Stampa("VDX-RIFIUTA", false, false);
            QFAIL("a refused job was reported as printed");
        } catch (const vdx::Errore& e) {
            QCOMPARE(e.Numero(), vdx::errore::ErroreStampante);
            const std::string testo = e.what();
            QVERIFY2(testo.find("VDX-RIFIUTA") != std::string::npos, e.what());
        }
    }

    // A printer chosen earlier that the server no longer has.
    void vanishedPrinterIsReported() {
        vdx::ui::StampanteQt stampante;
        stampante.SelezionaDispositivo("VDX-SCOMPARSA");
        stampante.PrintLine("X");
        QVERIFY_THROWS_EXCEPTION(vdx::Errore, stampante.EndDoc());
        vdx::ui::StampanteQt::AzzeraDispositivoCorrente();
    }
};

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    PrintCupsTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "StampaCupsTest.moc"
