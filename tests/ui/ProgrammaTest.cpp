// vdx as a program: the window opens on a hotel, ends by itself without a
// hotel, ends with a non-zero status after an error, says so when there is
// no display, and dispatches the headless commands.

#include "AlbergoProva.h"
#include "shared/NomiFile.h"
#include "support/CartellaLavoro.h"

#include <QProcess>
#include <QTest>
#include <filesystem>
#include <memory>

using namespace vdx;
using namespace vdx::test;

// The names of the files in a folder.
QStringList Elenco(const std::filesystem::path& cartella) {
    QStringList nomi;
    for (const auto& voce : std::filesystem::directory_iterator(cartella)) {
        nomi << QString::fromStdString(voce.path().filename().string());
    }
    nomi.sort();
    return nomi;
}

class Program : public QObject {
    Q_OBJECT

    std::unique_ptr<CartellaLavoro> cartella_;
    QString vdx_;

    struct Esito {
        bool finito = false;
        int codice = -1;
        QString errori;
        QString uscita;
    };

    // Runs vdx in the work folder with `ambiente` added to a clean
    // environment (no display unless given).
    Esito Esegui(const QStringList& argomenti, const QStringList& ambiente, int attesaMs = 20000) {
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
        p.setWorkingDirectory(QString::fromStdString(cartella_->Percorso().string()));
        // "vdx-query ...", "vdx-mkmdb ...": the project's other programs.
        if (!argomenti.isEmpty() && argomenti.front().startsWith(QStringLiteral("vdx-"))) {
            p.start(QStringLiteral(VDX_BINARY_DIR "/bin/") + argomenti.front(), argomenti.mid(1));
        } else {
            p.start(vdx_, argomenti);
        }
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
        e.uscita = QString::fromUtf8(p.readAllStandardOutput());
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
        AlbergoStandard().Scrivi(cartella_->Percorso());
        const Esito e = Esegui({}, {QStringLiteral("QT_QPA_PLATFORM=offscreen")}, 1500);
        QVERIFY2(!e.finito, qPrintable(e.errori)); // still open, waiting for the user
    }

    void withoutAHotelTheProgramEnds() {
        auto albergo = AlbergoStandard();
        albergo.Sostituisci(
            fixture::TabellaProva("AnagraficaHotels", {"Numero:Integer", "RagioneSociale:Text(50)",
                                                       "CodiceAssistenza:Text(20)"}));
        albergo.TabellaDiNome("AnagraficaHotels")
            .Record({{"Numero", N(0)}, {"RagioneSociale", T("Sede")}});
        albergo.Scrivi(cartella_->Percorso());
        const Esito e = Esegui({}, {QStringLiteral("QT_QPA_PLATFORM=offscreen")});
        QVERIFY(e.finito);
        QCOMPARE(e.codice, 0);
        QVERIFY2(!e.errori.contains(QStringLiteral("Errore")), qPrintable(e.errori));
    }

    void aMissingDataFileEndsWithItsNumber() {
        auto albergo = AlbergoStandard();
        albergo.Ometti("AnagraficaHotels.mdb");
        albergo.Scrivi(cartella_->Percorso());
        const Esito e = Esegui({QStringLiteral("--folder"), QStringLiteral(".")},
                               {QStringLiteral("QT_QPA_PLATFORM=offscreen")});
        QVERIFY(e.finito);
        QCOMPARE(e.codice, 1);
        QVERIFY2(e.errori.contains(QStringLiteral("Errore ")), qPrintable(e.errori));
        QVERIFY2(e.errori.contains(QStringLiteral("AnagraficaHotels")), qPrintable(e.errori));
    }

    void anErrorInAHandlerEndsWithItsNumber() {
        auto albergo = AlbergoStandard();
        albergo.Ometti("TipiCamere.mdb"); // read when the first tableau is chosen
        albergo.Scrivi(cartella_->Percorso());
        const Esito e = Esegui({}, {QStringLiteral("QT_QPA_PLATFORM=offscreen")});
        QVERIFY(e.finito);
        QCOMPARE(e.codice, 1);
        QVERIFY2(e.errori.contains(QStringLiteral("TipiCamere")), qPrintable(e.errori));
    }

    void noDisplayIsSaidPlainly() {
        AlbergoStandard().Scrivi(cartella_->Percorso());
        const Esito e = Esegui({}, {});
        QVERIFY(e.finito);
        QCOMPARE(e.codice, 3); // its own status: a sanitizer's report would not pass for it
        QVERIFY2(e.errori.contains(QStringLiteral("schermo")), qPrintable(e.errori));
    }

    // A pclocal that is no workstation number: refused at the start, for the
    // window and every command, on one line naming it, and nothing written.
    void aWrongPclocalIsRefused_data() {
        QTest::addColumn<QStringList>("argomenti");
        QTest::addColumn<int>("codice");
        QTest::newRow("window") << QStringList{} << 2;
        QTest::newRow("generate") << QStringList{QStringLiteral("generate")} << 2;
        QTest::newRow("print") << QStringList{QStringLiteral("print")} << 2;
        QTest::newRow("export-csv") << QStringList{QStringLiteral("export-csv")} << 2;
        QTest::newRow("export-xlsx") << QStringList{QStringLiteral("export-xlsx")} << 2;
        QTest::newRow("generate with options")
            << QStringList{QStringLiteral("generate"), QStringLiteral("--hotel"),
                           QStringLiteral("1")}
            << 2;
    }

    void aWrongPclocalIsRefused() {
        QFETCH(QStringList, argomenti);
        AlbergoStandard().Scrivi(cartella_->Percorso());
        const auto prima = Elenco(cartella_->Percorso());
        const Esito e = Esegui(
            argomenti, {QStringLiteral("pclocal=3 "), QStringLiteral("QT_QPA_PLATFORM=offscreen")});
        QVERIFY(e.finito);
        QTEST(e.codice, "codice");
        QVERIFY2(e.errori.startsWith(QStringLiteral("vdx: ")) &&
                     e.errori.indexOf(QLatin1Char('\n')) == e.errori.size() - 1,
                 qPrintable(e.errori));
        QVERIFY2(e.errori.contains(QStringLiteral("pclocal")), qPrintable(e.errori));
        QVERIFY(e.uscita.isEmpty());
        QCOMPARE(Elenco(cartella_->Percorso()), prima);
    }

    // A help asks nothing of the workstation: it is answered whatever pclocal
    // holds.
    void aHelpIsAnsweredWhateverPclocal_data() {
        QTest::addColumn<QStringList>("argomenti");
        QTest::addColumn<QString>("uscita");
        QTest::newRow("help") << QStringList{QStringLiteral("--help")} << "Uso: vdx [opzioni]";
        QTest::newRow("version") << QStringList{QStringLiteral("--version")} << "vdx " VDX_VERSIONE;
        QTest::newRow("command help")
            << QStringList{QStringLiteral("generate"), QStringLiteral("-h")} << "Uso: vdx generate";
    }

    void aHelpIsAnsweredWhateverPclocal() {
        QFETCH(QStringList, argomenti);
        QFETCH(QString, uscita);
        const Esito e = Esegui(argomenti, {QStringLiteral("pclocal=../7")});
        QVERIFY(e.finito);
        QCOMPARE(e.codice, 0);
        QVERIFY2(e.uscita.startsWith(uscita), qPrintable(e.uscita));
        QVERIFY2(e.errori.isEmpty(), qPrintable(e.errori));
    }

    // Every program and command: --help on stdout (exit 0), --version, a
    // wrong word on one line of stderr with where to look (exit 2), and a run.
    void commandLine_data() {
        QTest::addColumn<QStringList>("argomenti");
        QTest::addColumn<int>("codice");
        QTest::addColumn<QString>("uscita"); // part of stdout, "" for none
        QTest::addColumn<QString>("errori"); // part of stderr, "" for none
        const auto riga = [](const char* nome, const char* parole, int codice, const char* uscita,
                             const char* errori) {
            QTest::newRow(nome) << QString::fromUtf8(parole).split(QLatin1Char(' '),
                                                                   Qt::SkipEmptyParts)
                                << codice << QString::fromUtf8(uscita) << QString::fromUtf8(errori);
        };
        riga("version", "--version", 0, "vdx " VDX_VERSIONE "\n", "");
        riga("help", "--help", 0, "Uso: vdx [opzioni]", "");
        riga("unknown option", "--colore", 2, "",
             "vdx: opzione sconosciuta: --colore\nProvare «vdx --help»\n");
        riga("unknown command", "stampa-tutto", 2, "", "comando sconosciuto: stampa-tutto");
        riga("missing folder", "--folder manca", 2, "", "la cartella \"manca\" non esiste");
        riga("generate help", "generate --help", 0, "Uso: vdx generate", "");
        riga("generate -h", "generate -h", 0, "--tableau N", "");
        riga("generate unknown option", "generate --colore", 2, "",
             "Provare «vdx generate --help»");
        riga("generate", "generate", 0, "FD3", "");
        riga("generate in a folder", "generate --folder sotto", 0, "sotto", "");
        riga("print help", "print --help", 0, "--destination NOME", "");
        riga("print unknown option", "print --colore", 2, "", "Provare «vdx print --help»");
        riga("print missing value", "print --printer", 2, "", "manca il valore di --printer");
        riga("export help", "export-csv --help", 0, "Uso: vdx export-csv [opzioni] [FILE]", "");
        riga("export too many words", "export-csv a b", 2, "", "argomento di troppo: b");
        riga("query help", "vdx-query --help", 0, "Uso: vdx-query [opzioni] FILE.mdb", "");
        riga("query unknown option", "vdx-query --colore", 2, "", "Provare «vdx-query --help»");
        riga("query too few words", "vdx-query Tableau.mdb", 2, "", "mancano argomenti dopo");
        riga("query", "vdx-query Tableau.mdb Tableau Codice=2", 0, "Secondo piano", "");
        riga("query wrong table", "vdx-query Tableau.mdb Tavole", 1, "", "vdx-query: errore 3078");
        riga("mkmdb help", "vdx-mkmdb -h", 0, "Uso: vdx-mkmdb [opzioni] USCITA.mdb", "");
        riga("mkmdb unknown option", "vdx-mkmdb --colore", 2, "", "Provare «vdx-mkmdb --help»");
        riga("demo help", "vdx-demo --help", 0, "--large", "");
        riga("demo unknown option", "vdx-demo --grande x", 2, "", "Provare «vdx-demo --help»");
    }

    void commandLine() {
        QFETCH(QStringList, argomenti);
        QFETCH(QString, uscita);
        QFETCH(QString, errori);
        AlbergoStandard().Scrivi(cartella_->Percorso());
        std::filesystem::create_directory(cartella_->Percorso() / "sotto");
        AlbergoStandard().Scrivi(cartella_->Percorso() / "sotto");
        const Esito e = Esegui(argomenti, {}); // no display needed
        QVERIFY(e.finito);
        QTEST(e.codice, "codice");
        if (uscita.isEmpty()) {
            QVERIFY2(e.uscita.isEmpty(), qPrintable(e.uscita));
        } else {
            QVERIFY2(e.uscita.contains(uscita), qPrintable(e.uscita));
        }
        if (errori.isEmpty()) {
            QVERIFY2(e.errori.isEmpty(), qPrintable(e.errori));
        } else {
            QVERIFY2(e.errori.contains(errori), qPrintable(e.errori));
        }
        if (argomenti == QStringList{QStringLiteral("generate"), QStringLiteral("--folder"),
                                     QStringLiteral("sotto")}) {
            QVERIFY(TrovaFile(cartella_->Percorso() / "sotto", "FD3").has_value());
            QVERIFY(!TrovaFile(cartella_->Percorso(), "FD3").has_value());
        }
    }
};

QTEST_GUILESS_MAIN(Program)
#include "ProgrammaTest.moc"
