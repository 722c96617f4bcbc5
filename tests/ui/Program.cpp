// vdx as a program: the window opens on a hotel, ends by itself without a
// hotel, ends with a non-zero status after an error, says so when there is
// no display, and dispatches the headless commands.

#include "AlbergoProva.h"
#include "shared/FileNames.h"
#include "support/WorkFolder.h"

#include <QProcess>
#include <QTest>
#include <filesystem>
#include <memory>

using namespace vdx;
using namespace vdx::test;

class Program : public QObject {
    Q_OBJECT

    std::unique_ptr<CartellaLavoro> cartella_;
    QString vdx_;

    struct Esito {
        bool finito = false;
        int codice = -1;
        QString errori;
    };

    // Runs vdx in the work folder with `ambiente` added to a clean
    // environment (no display unless given).
    Esito esegui(const QStringList& argomenti, const QStringList& ambiente, int attesaMs = 20000) {
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove(QStringLiteral("DISPLAY"));
        env.remove(QStringLiteral("WAYLAND_DISPLAY"));
        env.remove(QStringLiteral("QT_QPA_PLATFORM"));
        env.insert(QStringLiteral("pclocal"), QStringLiteral("3"));
        for (const QString& voce : ambiente) {
            env.insert(voce.section(QLatin1Char('='), 0, 0), voce.section(QLatin1Char('='), 1));
        }
        p.setProcessEnvironment(env);
        p.setWorkingDirectory(QString::fromStdString(cartella_->percorso().string()));
        p.start(vdx_, argomenti);
        Esito e;
        if (!p.waitForStarted()) {
            return e;
        }
        e.finito = p.waitForFinished(attesaMs);
        if (!e.finito) {
            p.kill();
            p.waitForFinished();
        } else {
            e.codice = p.exitCode();
        }
        e.errori = QString::fromUtf8(p.readAllStandardError());
        return e;
    }

private slots:
    void initTestCase() {
        vdx_ = QStringLiteral(VDX_BINARY_DIR "/bin/vdx");
        if (!QFileInfo::exists(vdx_)) {
            QSKIP("vdx is not built");
        }
    }

    void init() { cartella_ = std::make_unique<CartellaLavoro>(); }

    void cleanup() { cartella_.reset(); }

    void theWindowOpensOnAHotel() {
        AlbergoStandard().scrivi(cartella_->percorso());
        const Esito e = esegui({}, {QStringLiteral("QT_QPA_PLATFORM=offscreen")}, 1500);
        QVERIFY2(!e.finito, qPrintable(e.errori)); // still open, waiting for the user
    }

    void withoutAHotelTheProgramEnds() {
        auto albergo = AlbergoStandard();
        albergo.sostituisci(
            fixture::Tabella("AnagraficaHotels", {"Numero:Integer", "RagioneSociale:Text(50)",
                                                  "CodiceAssistenza:Text(20)"}));
        albergo.tabella("AnagraficaHotels")
            .record({{"Numero", N(0)}, {"RagioneSociale", T("Sede")}});
        albergo.scrivi(cartella_->percorso());
        const Esito e = esegui({}, {QStringLiteral("QT_QPA_PLATFORM=offscreen")});
        QVERIFY(e.finito);
        QCOMPARE(e.codice, 0);
        QVERIFY2(!e.errori.contains(QStringLiteral("Errore")), qPrintable(e.errori));
    }

    void aMissingDataFileEndsWithItsNumber() {
        auto albergo = AlbergoStandard();
        albergo.ometti("AnagraficaHotels.mdb");
        albergo.scrivi(cartella_->percorso());
        const Esito e = esegui({}, {QStringLiteral("QT_QPA_PLATFORM=offscreen")});
        QVERIFY(e.finito);
        QCOMPARE(e.codice, 1);
        QVERIFY2(e.errori.contains(QStringLiteral("Errore ")), qPrintable(e.errori));
        QVERIFY2(e.errori.contains(QStringLiteral("AnagraficaHotels")), qPrintable(e.errori));
    }

    void anErrorInAHandlerEndsWithItsNumber() {
        auto albergo = AlbergoStandard();
        albergo.ometti("TipiCamere.mdb"); // read when the first tableau is chosen
        albergo.scrivi(cartella_->percorso());
        const Esito e = esegui({}, {QStringLiteral("QT_QPA_PLATFORM=offscreen")});
        QVERIFY(e.finito);
        QCOMPARE(e.codice, 1);
        QVERIFY2(e.errori.contains(QStringLiteral("TipiCamere")), qPrintable(e.errori));
    }

    void noDisplayIsSaidPlainly() {
        AlbergoStandard().scrivi(cartella_->percorso());
        const Esito e = esegui({}, {});
        QVERIFY(e.finito);
        QCOMPARE(e.codice, 3); // its own status: a sanitizer's report would not pass for it
        QVERIFY2(e.errori.contains(QStringLiteral("no display")), qPrintable(e.errori));
    }

    void commands_data() {
        QTest::addColumn<QStringList>("argomenti");
        QTest::addColumn<int>("codice");
        QTest::newRow("generate") << QStringList{QStringLiteral("generate")} << 0;
        QTest::newRow("unknown command") << QStringList{QStringLiteral("stampa-tutto")} << 2;
        QTest::newRow("help") << QStringList{QStringLiteral("--help")} << 0;
    }

    void commands() {
        QFETCH(QStringList, argomenti);
        AlbergoStandard().scrivi(cartella_->percorso());
        const Esito e = esegui(argomenti, {}); // no display needed
        QVERIFY(e.finito);
        QTEST(e.codice, "codice");
        if (argomenti.first() == QStringLiteral("generate")) {
            QVERIFY(TrovaFile(cartella_->percorso(), "FD3").has_value());
        }
    }
};

QTEST_GUILESS_MAIN(Program)
#include "Program.moc"
