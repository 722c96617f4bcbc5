// The program's own message window: rows and columns of a message, the
// layout by style, the answer codes; and the twips and font helpers the
// windows are drawn with.

#include "dialog/ui/Aspetto.h"
#include "dialog/ui/Disegni.h"
#include "dialog/ui/MsgBox_Form.h"

#include <QFontDatabase>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <string>

using namespace vdx::ui;

class MessageDialog : public QObject {
    Q_OBJECT

private slots:
    void rowsAndColumns_data() {
        QTest::addColumn<QByteArray>("testo");
        QTest::addColumn<int>("righe");
        QTest::addColumn<int>("colonne");
        const QByteArray trenta(30, 'a');
        const QByteArray ottanta(80, 'b');
        QTest::newRow("one line of 30") << trenta << 2 << 51;
        QTest::newRow("empty") << QByteArray() << 2 << 51;
        // the line feed in front of the second line counts: 81 + 1
        QTest::newRow("three lines, the second longest")
            << (QByteArray("uno\r\n") + ottanta + QByteArray("\r\ntre")) << 4 << 82;
        QTest::newRow("last line the longest, no line end")
            << (QByteArray("x\r\n") + QByteArray(60, 'c')) << 3 << 62;
        QTest::newRow("a lone carriage return ends a line")
            << (QByteArray(55, 'd') + "\r" + "e") << 3 << 56;
        QTest::newRow("line feeds alone do not add rows") << QByteArray("a\nb\nc") << 2 << 51;
        QTest::newRow("exactly 50") << QByteArray(50, 'f') << 2 << 51;
        QTest::newRow("51") << QByteArray(51, 'f') << 2 << 52;
    }

    void rowsAndColumns() {
        QFETCH(QByteArray, testo);
        const std::string bytes(testo.constData(), static_cast<std::size_t>(testo.size()));
        QTEST(int(CalcolaRighe(bytes)), "righe");
        QTEST(int(CalcolaColonne(bytes)), "colonne");
    }

    void theWindowSizesItselfToTheMessage_data() {
        QTest::addColumn<QByteArray>("testo");
        QTest::addColumn<int>("larghezza");
        QTest::addColumn<int>("altezzaTesto");
        QTest::addColumn<int>("altezza");
        QTest::addColumn<int>("tastiTop");
        QTest::newRow("one line of 30") << QByteArray(30, 'a') << 4590 << 600 << 1890 << 1180;
        QTest::newRow("second line of 80")
            << (QByteArray("uno\r\n") + QByteArray(80, 'b') + QByteArray("\r\ntre")) << 7380 << 1200
            << 2490 << 1780;
        // bounded so the sizes fit in 16 bits: 364 columns, 104 rows
        QTest::newRow("very long line") << QByteArray(1000, 'c') << 32760 << 600 << 1890 << 1180;
        QTest::newRow("very many lines")
            << QByteArray(200 * 2, '\r') << 4590 << 31200 << 32490 << 31780;
    }

    void theWindowSizesItselfToTheMessage() {
        QFETCH(QByteArray, testo);
        MsgBox_Form box;
        box.ImpostaMessaggio(
            std::string(testo.constData(), static_cast<std::size_t>(testo.size())));
        box.Form_Activate();
        QTEST(box.GeometriaFinestra().larghezza, "larghezza");
        QTEST(box.GeometriaFinestra().testoAltezza, "altezzaTesto");
        QTEST(box.GeometriaFinestra().altezza, "altezza");
        QTEST(box.GeometriaFinestra().tastiTop, "tastiTop");
        QCOMPARE(box.GeometriaFinestra().testoLarghezza, box.GeometriaFinestra().larghezza - 180);
        QCOMPARE(box.width(), Pixel(box.GeometriaFinestra().larghezza));
        QCOMPARE(box.Label1()->width(), box.width());
    }

    void buttonsByStyle_data() {
        QTest::addColumn<int>("stile");
        QTest::addColumn<int>("left0");
        QTest::addColumn<int>("left1");
        QTest::addColumn<int>("left2");
        QTest::addColumn<bool>("focus");
        // design width 4695, buttons 975 wide, 70 apart
        QTest::newRow("0: one button") << 0 << 1860 << 1200 << 2280 << false;
        QTest::newRow("48: one button") << 48 << 1860 << 1200 << 2280 << false;
        QTest::newRow("4: two buttons") << 4 << 1337 << 2382 << 2280 << true;
        QTest::newRow("36: two buttons") << 36 << 1337 << 2382 << 2280 << true;
        QTest::newRow("300: two, focus left alone") << 300 << 1337 << 2382 << 2280 << false;
        QTest::newRow("35: three buttons") << 35 << 815 << 1860 << 2905 << true;
        QTest::newRow("51: three buttons") << 51 << 815 << 1860 << 2905 << true;
        QTest::newRow("7: left where drawn") << 7 << 120 << 1200 << 2280 << false;
        QTest::newRow("401: left where drawn") << 401 << 120 << 1200 << 2280 << false;
    }

    void buttonsByStyle() {
        QFETCH(int, stile);
        QFETCH(bool, focus);
        StileMsgBox() = static_cast<short>(stile);
        MsgBox_Form box;
        box.ImpostaMessaggio("Messaggio");
        box.show();
        QVERIFY(QTest::qWaitForWindowExposed(&box));
        QTEST(box.GeometriaFinestra().tastiLeft[0], "left0");
        QTEST(box.GeometriaFinestra().tastiLeft[1], "left1");
        QTEST(box.GeometriaFinestra().tastiLeft[2], "left2");
        QCOMPARE(box.T(0)->x(), Pixel(box.GeometriaFinestra().tastiLeft[0]));
        if (focus) {
            QCOMPARE(box.focusWidget(), box.T(0));
        }
        box.close();
    }

    void answerCodes_data() {
        QTest::addColumn<QString>("didascalia");
        QTest::addColumn<int>("tasto");
        QTest::addColumn<int>("risposta");
        QTest::newRow("Ok") << "Ok" << 0 << int(RispostaOk);
        QTest::newRow("Si") << "Si" << 0 << int(RispostaSi);
        QTest::newRow("second button") << "Si" << 1 << int(RispostaNo);
        QTest::newRow("third button") << "Ok" << 2 << int(RispostaAnnulla);
        QTest::newRow("other caption leaves it") << "Vai" << 0 << 99;
    }

    void answerCodes() {
        QFETCH(QString, didascalia);
        QFETCH(int, tasto);
        StileMsgBox() = 36;
        RispostaMsgBox() = 99;
        MsgBox_Form box;
        box.ImpostaTitolo("Domanda");
        box.ImpostaMessaggio("Procedo?");
        box.T(0)->setText(didascalia);
        box.T(1)->setText(QStringLiteral("No"));
        QTimer::singleShot(0, &box, [&] { QTest::mouseClick(box.T(tasto), Qt::LeftButton); });
        box.exec(); // the press closes it
        QVERIFY(!box.isVisible());
        QTEST(int(RispostaMsgBox()), "risposta");
    }

    void escapeLeavesTheAnswer() {
        RispostaMsgBox() = 42;
        MsgBox_Form box;
        box.ImpostaMessaggio("x");
        QTimer::singleShot(0, &box, [&] { QTest::keyClick(&box, Qt::Key_Escape); });
        box.exec();
        QCOMPARE(RispostaMsgBox(), short(42));
    }

    void theWindowIsBorderlessAndOnTop() {
        MsgBox_Form box;
        QVERIFY(box.windowFlags() & Qt::FramelessWindowHint);
        QVERIFY(box.windowFlags() & Qt::WindowStaysOnTopHint);
        QCOMPARE(box.size(), QSize(313, 209)); // 4695 x 3135 twips
        QCOMPARE(box.palette().color(QPalette::Window), QColor(0, 128, 0));
        box.ImpostaMessaggio("uno\r\ndue");
        QCOMPARE(box.Text1()->toPlainText(), QStringLiteral("uno\ndue"));
        QCOMPARE(box.Messaggio(), std::string("uno\r\ndue"));
    }

    void twips_data() {
        QTest::addColumn<int>("twips");
        QTest::addColumn<int>("pixel");
        QTest::newRow("0") << 0 << 0;
        QTest::newRow("one pixel") << 15 << 1;
        QTest::newRow("rounds down below half") << 22 << 1;
        QTest::newRow("rounds up from half") << 23 << 2;
        QTest::newRow("request window width") << 4260 << 284;
        QTest::newRow("negative") << -120 << -8;
    }

    void twips() {
        QFETCH(int, twips);
        QTEST(Pixel(twips), "pixel");
    }

    void fontsFallBackToInstalledFamilies() {
        const QStringList installate = QFontDatabase::families();
        for (const QString& famiglia : {QStringLiteral("Corbel"), QStringLiteral("Arial"),
                                        QStringLiteral("Nessun Carattere Simile")}) {
            const QString scelta = FamigliaInstallata(famiglia);
            QVERIFY2(installate.contains(scelta, Qt::CaseInsensitive) ||
                         scelta == QApplication::font().family(),
                     qPrintable(scelta));
            if (installate.contains(famiglia, Qt::CaseInsensitive)) {
                QCOMPARE(scelta, famiglia);
            }
        }
        const QFont f = Carattere(QStringLiteral("Corbel"), 11.25, true);
        QCOMPARE(f.pointSizeF(), 11.25);
        QVERIFY(f.bold());
    }

    void everyPictureIsDrawn() {
        for (const Disegno d :
             {Disegno::Stampante, Disegno::Anteprima, Disegno::DocumentoW, Disegno::DocumentoX,
              Disegno::DocumentoPdf, Disegno::Uscita, Disegno::UscitaFreccia}) {
            const QImage img = Immagine(d);
            QCOMPARE(img.size(), QSize(128, 128));
            int pieni = 0;
            for (int y = 0; y < img.height(); y += 4) {
                for (int x = 0; x < img.width(); x += 4) {
                    pieni += qAlpha(img.pixel(x, y)) > 0 ? 1 : 0;
                }
            }
            QVERIFY(pieni > 100); // something is on it
        }
        QVERIFY(Immagine(Disegno::DocumentoW) != Immagine(Disegno::DocumentoX));
        QVERIFY(Immagine(Disegno::Uscita) != Immagine(Disegno::UscitaFreccia));
    }
};

QTEST_MAIN(MessageDialog)
#include "MsgBoxFormTest.moc"
