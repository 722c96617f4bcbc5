// `vdx print` as a program, with no display: the PDF destination written
// through Qt, a port file written byte for byte, and the exit statuses.

#include "AlbergoProva.h"
#include "shared/FileTesto.h"
#include "support/CartellaLavoro.h"

#include <QProcess>
#include <QTest>
#include <memory>

using namespace vdx;
using namespace vdx::test;
using namespace std::string_literals;

class PrintCommand : public QObject {
    Q_OBJECT

    std::unique_ptr<CartellaLavoro> cartella_;
    QString errori_;

    std::filesystem::path Cartella() const { return cartella_->Percorso(); }

    // Runs vdx print in the work folder without a display or print server.
    int Vdx(const QStringList& argomenti) {
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove(QStringLiteral("DISPLAY"));
        env.remove(QStringLiteral("WAYLAND_DISPLAY"));
        env.remove(QStringLiteral("QT_QPA_PLATFORM"));
        env.remove(QStringLiteral("XDG_RUNTIME_DIR")); // as under cron
        env.insert(QStringLiteral("pclocal"), QStringLiteral("7"));
        env.insert(QStringLiteral("CUPS_SERVER"),
                   QString::fromStdString((Cartella() / "nessun.sock").string()));
        p.setProcessEnvironment(env);
        p.setWorkingDirectory(QString::fromStdString(Cartella().string()));
        p.start(QStringLiteral(VDX_BINARY_DIR "/bin/vdx"),
                QStringList{QStringLiteral("print")} + argomenti);
        if (!p.waitForFinished(60000)) {
            return -1;
        }
        errori_ = QString::fromUtf8(p.readAllStandardError());
        return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    }

    int PagineDelPdf(const std::filesystem::path& pdf) {
        QProcess p;
        p.start(QStringLiteral("pdfinfo"), {QString::fromStdString(pdf.string())});
        p.waitForFinished(30000);
        for (const QString& riga :
             QString::fromUtf8(p.readAllStandardOutput()).split(QLatin1Char('\n'))) {
            if (riga.startsWith(QStringLiteral("Pages:"))) {
                return riga.mid(6).trimmed().toInt();
            }
        }
        return 0;
    }

private slots:
    void init() {
        cartella_ = std::make_unique<CartellaLavoro>();
        fx::Albergo a;
        a.Hotel(1, "Hotel Mare").LunghezzePagina(1, 3, 60);
        a.ValoriStampa(1, "027015", "").ValoriStampa(2, "007000000000000001010", "");
        a.Destinazione(1, "Banco", 1, "banco.prn")
            .Destinazione(1, "Archivio PDF", 2, "archivio.pdf")
            .Destinazione(1, "Guasto", 1, "manca/guasto.prn");
        a.Scrivi(Cartella());
        ScriviRigheAtomico(Cartella() / "FD7", {"A", "B", "C", "D", "\f"});
    }

    void cleanup() { cartella_.reset(); }

    // Compressed pages of 3 lines: 3 on the first sheet, 1 on the second.
    // Nothing on stderr: no word of Qt's about the missing display or
    // runtime folder.
    void pdfWithoutADisplay() {
        QCOMPARE(Vdx({QStringLiteral("--pdf")}), 0);
        QVERIFY2(errori_.isEmpty(), qPrintable(errori_));
        QCOMPARE(PagineDelPdf(Cartella() / "archivio.pdf"), 2);
        QCOMPARE(Vdx({QStringLiteral("--pdf"), QStringLiteral("--normal")}), 0);
        QCOMPARE(PagineDelPdf(Cartella() / "archivio.pdf"), 1);
    }

    void firstDestinationIsThePort() {
        QCOMPARE(Vdx({}), 0);
        QCOMPARE(LeggiFile(Cartella() / "banco.prn"),
                 "\x1b\x0f\0\0\0"s + "A\r\nB\r\nC\r\n\fD\r\n\f"s);
    }

    void exitStatuses() {
        QCOMPARE(Vdx({QStringLiteral("--destination"), QStringLiteral("Nessuna")}), 1);
        QVERIFY2(errori_.contains(QStringLiteral("Nessuna")), qPrintable(errori_));
        QCOMPARE(Vdx({QStringLiteral("--destination"), QStringLiteral("Guasto")}), 2);
        QVERIFY2(errori_.contains(QStringLiteral("errore 75")), qPrintable(errori_));
        // Driver mode with no print server and no PDF file named: no printer.
        QCOMPARE(Vdx({QStringLiteral("--destination"), QStringLiteral("Archivio PDF"),
                      QStringLiteral("--printer"), QStringLiteral("Ufficio")}),
                 2);
        QVERIFY2(errori_.contains(QStringLiteral("errore 482")), qPrintable(errori_));
        QCOMPARE(Vdx({QStringLiteral("--bold")}), 2);
    }
};

QTEST_MAIN(PrintCommand)
#include "StampaSenzaSchermoTest.moc"
