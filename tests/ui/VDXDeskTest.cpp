// The request window on a real hotel: lists, Enter handling, the print
// button's checks and question, the run and the reset after the print menu.

#include "request/ui/VDXDesk.h"

#include "AlbergoProva.h"
#include "request/ui/CartellaHotel.h"
#include "shared/FileTesto.h"
#include "shared/NomiFile.h"
#include "support/CartellaLavoro.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <memory>

using namespace vdx;
using namespace vdx::test;
using vdx::ui::VDXDesk;

namespace {

QString Q(const std::string& cp1252) {
    return ui::DaCp1252(cp1252);
}

} // namespace

class RequestWindow : public QObject {
    Q_OBJECT

    std::unique_ptr<CartellaLavoro> cartella_;
    std::unique_ptr<VDXDesk> desk_;
    int menuAperti_ = 0;
    int fine_ = -1;

    // A window on `albergo`, loaded, shown and active.
    VDXDesk& Apri(const fixture::Albergo& albergo) {
        albergo.Scrivi(cartella_->Percorso());
        desk_ = std::make_unique<VDXDesk>(cartella_->Percorso(), "3", OrologioProva());
        desk_->Form_Load();
        desk_->show();
        desk_->activateWindow();
        [[maybe_unused]] const bool attiva = QTest::qWaitForWindowActive(desk_.get());
        return *desk_;
    }

    void Scegli(int lista, int voce) {
        QComboBox* combo = desk_->Combo1(lista);
        combo->setCurrentIndex(voce);
        emit combo->activated(voce);
    }

    void ScriviEInvia(int campo, const QString& testo) {
        desk_->Text1(campo)->setFocus();
        desk_->Text1(campo)->setText(testo);
        QTest::keyClick(desk_->Text1(campo), Qt::Key_Return);
    }

private slots:
    void init() {
        PreparaAmbienteProva();
        cartella_ = std::make_unique<CartellaLavoro>();
        menuAperti_ = 0;
        fine_ = -1;
        ui::MenuStampa::ImpostaAttesaModale([this](ui::MenuStampa&) { ++menuAperti_; });
        ui::ImpostaFine([this](int codice) { fine_ = codice; });
    }

    void cleanup() {
        desk_.reset();
        ui::ImpostaFine({});
        cartella_.reset();
    }

    void theFormAsDrawn() {
        VDXDesk& d = Apri(AlbergoStandard());
        QCOMPARE(d.windowTitle(), QStringLiteral("Vardelux"));
        QCOMPARE(d.size(), QSize(284, 369)); // 4260 x 5535 twips
        QCOMPARE(d.minimumSize(), d.maximumSize());
        QVERIFY(!(d.windowFlags() & Qt::WindowMinimizeButtonHint));
        QVERIFY(!(d.windowFlags() & Qt::WindowMaximizeButtonHint));
        QCOMPARE(d.Label1(0)->text(), QStringLiteral("N. Tableau "));
        QCOMPARE(d.Label1(3)->text(), QStringLiteral("Data riferim. "));
        QCOMPARE(d.Label1(4)->text(), QStringLiteral("N. Hotel"));
        QCOMPARE(d.Tasto0()->text(), QStringLiteral("&Stampa"));
        QCOMPARE(d.Tasto1()->text(), QStringLiteral("&Esci"));
        QCOMPARE(d.Text1(0)->maxLength(), 6);
        QCOMPARE(d.Text1(2)->maxLength(), 10);
        QCOMPARE(d.Text1(0)->geometry(), QRect(104, 80, 73, 19));
        QCOMPARE(d.Combo1(0)->geometry(), QRect(96, 8, 177, 24));
        QCOMPARE(d.palette().color(QPalette::Window), QColor(192, 192, 255));
        // focus order: fields, the two buttons, tableau list, hotel list, options
        const QList<QWidget*> ordine{d.Text1(0), d.Text1(1),  d.Text1(2),  d.Tasto0(),
                                     d.Tasto1(), d.Combo1(1), d.Combo1(0), d.Chk(),
                                     d.Chk1(),   d.Chk2(),    d.Chk3()};
        for (qsizetype i = 1; i < ordine.size(); ++i) {
            QWidget* prossimo = ordine[i - 1]->nextInFocusChain();
            while (!(prossimo->focusPolicy() & Qt::TabFocus)) {
                prossimo = prossimo->nextInFocusChain();
            }
            QCOMPARE(prossimo, ordine[i]);
        }
    }

    void activationFillsTheRequest() {
        VDXDesk& d = Apri(AlbergoStandard());
        // hotel 0 is not listed; numbers right-aligned in three characters
        QCOMPARE(Voci(d.Combo1(0)),
                 QStringList({QStringLiteral("  1 Hotel Mare"), QStringLiteral(" 12 Hotel Lago")}));
        QCOMPARE(d.Combo1(0)->currentIndex(), 0);
        QCOMPARE(Voci(d.Combo1(1)),
                 QStringList({QStringLiteral("  1 Primo piano"),
                              QStringLiteral("  2 Secondo piano"), QStringLiteral("<tutti>")}));
        QCOMPARE(d.Combo1(1)->currentIndex(), 0);
        // 101, 102, 95 of type C: in text order 101 is lowest and 95 highest;
        // 001 is of another type
        QCOMPARE(d.Text1(0)->text(), QStringLiteral("101"));
        QCOMPARE(d.Text1(1)->text(), QStringLiteral("95"));
        QCOMPARE(d.Text1(2)->text(), QStringLiteral("05/03/2026"));
        QCOMPARE(d.HotelCorrente(), short(1));
        QCOMPARE(d.TableauCorrente(), short(1));
        QCOMPARE(d.CodiceAssistenzaHotel(), std::string("K"));
        QVERIFY(!d.Chk()->isChecked() && !d.Chk3()->isChecked());
        QVERIFY(ui::MessaggiMostrati().empty());
    }

    void choosingAHotelAndATableau_data() {
        QTest::addColumn<int>("hotel");
        QTest::addColumn<int>("tableau");
        QTest::addColumn<QStringList>("tableaux");
        QTest::addColumn<int>("tableauCorrente");
        QTest::addColumn<QString>("prima");
        QTest::addColumn<QString>("ultima");
        QTest::addColumn<QString>("codice");
        const QStringList mare{QStringLiteral("  1 Primo piano"),
                               QStringLiteral("  2 Secondo piano"), QStringLiteral("<tutti>")};
        QTest::newRow("second tableau") << 0 << 1 << mare << 2 << "201"
                                        << "205"
                                        << "K";
        QTest::newRow("<tutti> spans every tableau") << 0 << 2 << mare << 0 << "101"
                                                     << "95"
                                                     << "K";
        // no tableau record: only <tutti>; 10 sorts before 9; no code: one blank
        QTest::newRow("hotel without tableaux")
            << 1 << 0 << QStringList{QStringLiteral("<tutti>")} << 0 << "10"
            << "9"
            << " ";
    }

    void choosingAHotelAndATableau() {
        QFETCH(int, hotel);
        QFETCH(int, tableau);
        VDXDesk& d = Apri(AlbergoStandard());
        d.Text1(0)->setText(QStringLiteral("typed"));
        Scegli(0, hotel);
        if (tableau != 0) {
            Scegli(1, tableau);
        }
        QTEST(Voci(d.Combo1(1)), "tableaux");
        QTEST(int(d.TableauCorrente()), "tableauCorrente");
        QTEST(d.Text1(0)->text(), "prima");
        QTEST(d.Text1(1)->text(), "ultima");
        QTEST(Q(d.CodiceAssistenzaHotel()), "codice");
        QCOMPARE(int(d.HotelCorrente()), hotel == 0 ? 1 : 12);
    }

    void aTableauWithoutCountedRoomsIsRefusedAtPrint() {
        auto albergo = AlbergoStandard();
        albergo.Tableau(1, 7, "Servizi").Camera(1, 7, "S1", "SV");
        VDXDesk& d = Apri(albergo);
        Scegli(1, 2);
        QCOMPARE(ui::ACp1252(d.Text1(0)->text()), std::string(1, '\xFF'));
        QCOMPARE(d.Text1(1)->text(), QString());
        d.Tasto_Click(0);
        QCOMPARE(ui::MessaggiMostrati().size(), std::size_t(1));
        QCOMPARE(ui::MessaggiMostrati()[0].titolo, std::string("Camere errate!"));
        QCOMPARE(menuAperti_, 0);
    }

    void longRoomNumbersAreKeptWhole() {
        auto albergo = AlbergoStandard();
        albergo.Camera(1, 1, "99-ANNEX", "DB");
        VDXDesk& d = Apri(albergo);
        QCOMPARE(d.Text1(1)->text(), QStringLiteral("99-ANNEX"));
    }

    void enterInTheFields_data() {
        QTest::addColumn<int>("campo");
        QTest::addColumn<QString>("prima"); // first-room field before Enter
        QTest::addColumn<QString>("digitato");
        QTest::addColumn<QString>("risultato");
        QTest::addColumn<int>("focus");      // field index, 3 for "&Stampa"
        QTest::addColumn<QString>("titolo"); // warning shown, "" for none

        QTest::newRow("first room raised") << 0 << ""
                                           << "12a"
                                           << "12A" << 1 << "";
        QTest::newRow("accented letter raised")
            << 0 << "" << QStringLiteral("1\u00e8") << QStringLiteral("1\u00c8") << 1 << "";
        QTest::newRow("apostrophe only") << 0 << ""
                                         << "'"
                                         << " " << 1 << "";
        QTest::newRow("empty first room") << 0 << ""
                                          << ""
                                          << " " << 1 << "";
        QTest::newRow("apostrophe dropped") << 1 << "101"
                                            << "10'2"
                                            << "102" << 2 << "";
        QTest::newRow("range up") << 1 << "101"
                                  << "102"
                                  << "102" << 2 << "";
        QTest::newRow("equal rooms refused") << 1 << "101"
                                             << "101"
                                             << "101" << 1 << "Camere errate!";
        QTest::newRow("10 sorts before 9") << 1 << "9"
                                           << "10"
                                           << "10" << 1 << "Camere errate!";
        QTest::newRow("ddmmyy before 25") << 2 << ""
                                          << "050324"
                                          << "05/03/2024" << 3 << "";
        QTest::newRow("ddmmyy this year") << 2 << ""
                                          << "050326"
                                          << "05/03/2026" << 3 << "";
        QTest::newRow("ddmmyy nearest century back") << 2 << ""
                                                     << "050377"
                                                     << "05/03/1977" << 3 << "";
        QTest::newRow("ddmmyy 99") << 2 << ""
                                   << "050399"
                                   << "05/03/1999" << 3 << "";
        QTest::newRow("ddmmyyyy") << 2 << ""
                                  << "05032026"
                                  << "05/03/2026" << 3 << "";
        QTest::newRow("short date with slashes") << 2 << ""
                                                 << "4/3/26"
                                                 << "04/03/2026" << 3 << "";
        QTest::newRow("blank inside the day refused") << 2 << ""
                                                      << "5 0326"
                                                      << "05/03/2026" << 2 << "Data errata!";
        QTest::newRow("31 February refused") << 2 << ""
                                             << "31/02/2026"
                                             << "05/03/2026" << 2 << "Data errata!";
        QTest::newRow("letters refused") << 2 << ""
                                         << "ab/cd/efgh"
                                         << "05/03/2026" << 2 << "Data errata!";
    }

    void enterInTheFields() {
        QFETCH(int, campo);
        QFETCH(QString, prima);
        QFETCH(QString, digitato);
        QFETCH(int, focus);
        QFETCH(QString, titolo);
        VDXDesk& d = Apri(AlbergoStandard());
        d.Text1(2)->setText(QStringLiteral("01/01/2001")); // so a reset to today shows
        if (campo == 1) {
            d.Text1(0)->setText(prima);
        }
        ScriviEInvia(campo, digitato);
        QTEST(d.Text1(campo)->text(), "risultato");
        QWidget* atteso = focus == 3 ? static_cast<QWidget*>(d.Tasto0()) : d.Text1(focus);
        QCOMPARE(QApplication::focusWidget(), atteso);
        if (focus < 3 && focus != campo) {
            QCOMPARE(d.Text1(focus)->selectedText(), d.Text1(focus)->text());
        }
        if (titolo.isEmpty()) {
            QVERIFY(ui::MessaggiMostrati().empty());
        } else {
            QCOMPARE(ui::MessaggiMostrati().size(), std::size_t(1));
            const auto& m = ui::MessaggiMostrati()[0];
            QCOMPARE(Q(m.titolo), titolo);
            QCOMPARE(m.icona, ui::Icona::Avviso);
            QVERIFY(!m.domanda);
            QCOMPARE(m.testo,
                     titolo == QStringLiteral("Camere errate!")
                         ? std::string("Controllare l'intervallo di camere richiesto!")
                         : std::string("La data deve essere inserita \r\nnel formato gg/mm/aaaa"));
        }
        if (campo == 0) {
            QCOMPARE(d.Text1(1)->text(), QStringLiteral("95")); // the other field untouched
        }
    }

    void otherKeysReachTheField() {
        VDXDesk& d = Apri(AlbergoStandard());
        d.Text1(2)->setFocus();
        d.Text1(2)->selectAll();
        QTest::keyClicks(d.Text1(2), QStringLiteral("ab/12/x"));
        QCOMPARE(d.Text1(2)->text(), QStringLiteral("ab/12/x"));
        QTest::keyClicks(d.Text1(2), QStringLiteral("yyyyyy"));
        QCOMPARE(d.Text1(2)->text().size(), 10); // the length limit only
        QCOMPARE(QApplication::focusWidget(), d.Text1(2));
    }

    void focusSelectsTheWholeText() {
        VDXDesk& d = Apri(AlbergoStandard());
        d.Tasto0()->setFocus();
        QTest::keyClick(d.Tasto0(), Qt::Key_Tab, Qt::ShiftModifier); // back into the date
        QCOMPARE(QApplication::focusWidget(), d.Text1(2));
        QCOMPARE(d.Text1(2)->selectedText(), QStringLiteral("05/03/2026"));
    }

    void printChecks_data() {
        QTest::addColumn<QString>("prima");
        QTest::addColumn<QString>("ultima");
        QTest::addColumn<QString>("data");
        QTest::addColumn<QString>("titolo");
        QTest::addColumn<int>("focus");
        QTest::addColumn<QString>("dataDopo");

        QTest::newRow("last before first") << "102"
                                           << "101"
                                           << "05/03/2026"
                                           << "Camere errate!" << 0 << "05/03/2026";
        QTest::newRow("9 to 10 in text order") << "9"
                                               << "10"
                                               << "05/03/2026"
                                               << "Camere errate!" << 0 << "05/03/2026";
        QTest::newRow("both wrong: rooms first") << "102"
                                                 << "101"
                                                 << "31/02/2026"
                                                 << "Camere errate!" << 0 << "31/02/2026";
        QTest::newRow("date not acceptable") << "101"
                                             << "102"
                                             << "31/04/2026"
                                             << "Data errata!" << 2 << "05/03/2026";
        QTest::newRow("unconfirmed ddmmyy") << "101"
                                            << "102"
                                            << "050326"
                                            << "Data errata!" << 2 << "05/03/2026";
    }

    void printChecks() {
        QFETCH(QString, prima);
        QFETCH(QString, ultima);
        QFETCH(QString, data);
        QFETCH(QString, titolo);
        QFETCH(int, focus);
        VDXDesk& d = Apri(AlbergoStandard());
        d.Text1(0)->setText(prima);
        d.Text1(1)->setText(ultima);
        d.Text1(2)->setText(data);
        d.Tasto1()->setFocus();
        QTest::mouseClick(d.Tasto0(), Qt::LeftButton);
        QCOMPARE(ui::MessaggiMostrati().size(), std::size_t(1));
        QCOMPARE(Q(ui::MessaggiMostrati()[0].titolo), titolo);
        QCOMPARE(QApplication::focusWidget(), d.Text1(focus));
        QTEST(d.Text1(2)->text(), "dataDopo");
        QCOMPARE(menuAperti_, 0);
        QVERIFY(!TrovaFile(cartella_->Percorso(), "FD3"));
    }

    void theQuestionAndTheRun_data() {
        QTest::addColumn<bool>("soloLibere");
        QTest::addColumn<int>("risposta"); // -1: none queued (Enter: No)
        QTest::addColumn<bool>("domanda");
        QTest::addColumn<bool>("soloUtilizzate");
        QTest::newRow("yes") << false << int(ui::Risposta::Si) << true << true;
        QTest::newRow("no") << false << int(ui::Risposta::No) << true << false;
        QTest::newRow("Enter answers No") << false << -1 << true << false;
        QTest::newRow("only free rooms: no question") << true << -1 << false << false;
    }

    void theQuestionAndTheRun() {
        QFETCH(bool, soloLibere);
        QFETCH(int, risposta);
        QFETCH(bool, domanda);
        VDXDesk& d = Apri(AlbergoStandard());
        d.Chk3()->setChecked(soloLibere);
        if (risposta >= 0) {
            ui::AccodaRisposta(static_cast<ui::Risposta>(risposta));
        }
        QTest::mouseClick(d.Tasto0(), Qt::LeftButton);
        QCOMPARE(fine_, -1);
        if (domanda) {
            QCOMPARE(ui::MessaggiMostrati().size(), std::size_t(1));
            const auto& m = ui::MessaggiMostrati()[0];
            QVERIFY(m.domanda);
            QCOMPARE(m.icona, ui::Icona::Domanda);
            QCOMPARE(m.testo, std::string("Stampo solo le camere utilizzate?"));
            QCOMPARE(m.titolo, std::string("Stampa tableau"));
        } else {
            QVERIFY(ui::MessaggiMostrati().empty());
        }
        QTEST(d.SoloUtilizzate(), "soloUtilizzate");
        // the report was written and the print menu shown over the window
        const auto report = TrovaFile(cartella_->Percorso(), "FD3");
        QVERIFY(report.has_value());
        QVERIFY(!LeggiRighe(*report).empty());
        QCOMPARE(menuAperti_, 1);
    }

    // Escape on the real question answers neither Yes nor No: nothing is
    // written and no print menu opens.
    void escapeOnTheQuestionWritesNoReport() {
        VDXDesk& d = Apri(AlbergoStandard());
        ui::ModoAutomatico(false);
        ui::MostraSenzaSchermo(true);
        bool domanda = false;
        QTimer::singleShot(0, &d, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            domanda = box != nullptr && box->text() == QStringLiteral("Stampo solo le camere "
                                                                      "utilizzate?");
            QTest::keyClick(QApplication::activeModalWidget(), Qt::Key_Escape);
        });
        // should Escape leave the box open, No ends it, and the run is seen
        QTimer guardia;
        guardia.setSingleShot(true);
        connect(&guardia, &QTimer::timeout, [] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                box->button(QMessageBox::No)->click();
            }
        });
        guardia.start(5000);
        d.Tasto_Click(0);
        ui::MostraSenzaSchermo(false);
        ui::ModoAutomatico(true);
        QVERIFY(domanda);
        QCOMPARE(menuAperti_, 0);
        QVERIFY(!TrovaFile(cartella_->Percorso(), "FD3"));
        QCOMPARE(fine_, -1);
    }

    void equalRoomsRunFromTheButton() {
        VDXDesk& d = Apri(AlbergoStandard());
        d.Text1(0)->setText(QStringLiteral("101"));
        d.Text1(1)->setText(QStringLiteral("101"));
        d.Tasto_Click(0);
        QCOMPARE(menuAperti_, 1);
        QCOMPARE(ui::MessaggiMostrati().size(), std::size_t(1)); // the question only
    }

    void theRequestIsResetAfterThePrintMenu() {
        VDXDesk& d = Apri(AlbergoStandard());
        Scegli(0, 1); // Hotel Lago
        d.Text1(2)->setText(QStringLiteral("01/01/2020"));
        d.Chk1()->setChecked(true);
        d.Chk()->setChecked(true);
        bool sopra = false;
        ui::MenuStampa::ImpostaAttesaModale([&](ui::MenuStampa& menu) {
            ++menuAperti_;
            sopra = menu.isVisible() && menu.isModal() && menu.parentWidget() == &d;
            // while the menu is open the request is as it was typed
            QCOMPARE(d.Text1(2)->text(), QStringLiteral("01/01/2020"));
        });
        d.Tasto_Click(0);
        QCOMPARE(menuAperti_, 1);
        QVERIFY(sopra);
        QCOMPARE(d.Combo1(0)->currentIndex(), 0);
        QCOMPARE(d.Combo1(1)->currentText(), QStringLiteral("  1 Primo piano"));
        QCOMPARE(d.Text1(0)->text(), QStringLiteral("101"));
        QCOMPARE(d.Text1(1)->text(), QStringLiteral("95"));
        QCOMPARE(d.Text1(2)->text(), QStringLiteral("05/03/2026"));
        QCOMPARE(d.HotelCorrente(), short(1));
        QVERIFY(d.Chk1()->isChecked());
        QVERIFY(d.Chk()->isChecked());
    }

    void theRealMenuClosesAtOnceWithoutDestinations() {
        // The menu shown with its own modal loop: hotel 1 has no destination,
        // so it closes by itself and the request window is back.
        auto albergo = AlbergoStandard();
        albergo.Sostituisci(
            fixture::TabellaProva("Stampanti", {"NumeroHotel:Integer", "Destinazione:Text(50)",
                                                "TipoStampa:Integer", "Linea:Text(120)"}));
        VDXDesk& d = Apri(albergo);
        ui::MenuStampa::ImpostaAttesaModale({});
        Scegli(0, 1);
        d.Tasto_Click(0);
        QCOMPARE(d.Combo1(0)->currentIndex(), 0);
        QVERIFY(d.isVisible());
        QCOMPARE(fine_, -1);
    }

    void aRequestTypedWithEnterOnly() {
        // first room, Enter, last room, Enter, date, Enter, Enter on the button
        VDXDesk& d = Apri(AlbergoStandard());
        d.Text1(0)->setFocus();
        QTest::keyClicks(d.Text1(0), QStringLiteral("101"));
        QTest::keyClick(d.Text1(0), Qt::Key_Return);
        QTest::keyClicks(d.Text1(1), QStringLiteral("102"));
        QTest::keyClick(d.Text1(1), Qt::Key_Return);
        QTest::keyClicks(d.Text1(2), QStringLiteral("04032026"));
        QTest::keyClick(d.Text1(2), Qt::Key_Return);
        QCOMPARE(d.Text1(2)->text(), QStringLiteral("04/03/2026"));
        QCOMPARE(QApplication::focusWidget(), d.Tasto0());
        QTest::keyClick(d.Tasto0(), Qt::Key_Return);
        QCOMPARE(menuAperti_, 1);
        QCOMPARE(ui::MessaggiMostrati().size(), std::size_t(1)); // the question only
        const auto report = LeggiFile(*TrovaFile(cartella_->Percorso(), "FD3"));
        QVERIFY(report.find("04/03/2026") != std::string::npos);
    }

    void numbersBeyondThreeDigitsAreNotListed() {
        // the entry's number is read back from three characters: 1234 would
        // be taken for hotel 123
        auto albergo = AlbergoStandard();
        albergo.Hotel(1234, "Grande").Hotel(999, "Ultimo").Tableau(1, 1000, "Troppi");
        VDXDesk& d = Apri(albergo);
        QCOMPARE(Voci(d.Combo1(0)),
                 QStringList({QStringLiteral("  1 Hotel Mare"), QStringLiteral(" 12 Hotel Lago"),
                              QStringLiteral("999 Ultimo")}));
        QCOMPARE(d.Combo1(1)->count(), 3);
    }

    void accessKeys_data() {
        QTest::addColumn<int>("tasto");
        QTest::addColumn<bool>("menu");
        QTest::newRow("Alt+S prints") << int(Qt::Key_S) << true;
        QTest::newRow("Alt+E exits") << int(Qt::Key_E) << false;
    }

    void accessKeys() {
        QFETCH(int, tasto);
        QFETCH(bool, menu);
        VDXDesk& d = Apri(AlbergoStandard());
        QTest::keyClick(QApplication::focusWidget(), static_cast<Qt::Key>(tasto), Qt::AltModifier);
        // the button shows itself pressed for a moment, then acts
        QTRY_COMPARE(menuAperti_, menu ? 1 : 0);
        QTRY_COMPARE(d.isVisible(), menu);
    }

    void exitClosesTheWindow() {
        VDXDesk& d = Apri(AlbergoStandard());
        QTest::mouseClick(d.Tasto1(), Qt::LeftButton);
        QVERIFY(!d.isVisible());
    }

    void noHotelEndsTheProgram() {
        auto albergo = AlbergoStandard();
        albergo.Sostituisci(
            fixture::TabellaProva("AnagraficaHotels", {"Numero:Integer", "RagioneSociale:Text(50)",
                                                       "CodiceAssistenza:Text(20)"}));
        albergo.Hotel(0, "Sede").Hotel(-4, "Prova");
        VDXDesk& d = Apri(albergo);
        QCOMPARE(d.Combo1(0)->count(), 0);
        QTRY_VERIFY(!d.isVisible());
        QVERIFY(ui::MessaggiMostrati().empty());
        QCOMPARE(fine_, -1); // an ordinary end, not an error
    }

    void anErrorInAHandlerIsShownAndEndsTheProgram() {
        // TipiCamere.mdb is read at each tableau choice: missing, the first
        // activation fails.
        auto albergo = AlbergoStandard();
        albergo.Ometti("TipiCamere.mdb");
        Apri(albergo);
        QCOMPARE(fine_, ui::UscitaErrore);
        QVERIFY(ui::InChiusura());
        QCOMPARE(ui::MessaggiMostrati().size(), std::size_t(1));
        const auto& m = ui::MessaggiMostrati()[0];
        QCOMPARE(m.icona, ui::Icona::Errore);
        QVERIFY(m.testo.rfind("Errore ", 0) == 0);
        QVERIFY(m.testo.find("TipiCamere") != std::string::npos);
    }

    // Last: it ends every event loop, as the program's end does.
    void anErrorInsideThePrintMenuEndsItsModalLoop() {
        auto albergo = AlbergoStandard();
        albergo.Ometti("Stampanti.mdb"); // read when the menu becomes active
        VDXDesk& d = Apri(albergo);
        ui::ImpostaFine({});                     // the program's own ending
        ui::MenuStampa::ImpostaAttesaModale({}); // the menu's real modal loop
        d.Text1(2)->setText(QStringLiteral("04/03/2026"));
        d.Tasto_Click(0); // returns: the error left the menu's loop
        QVERIFY(ui::InChiusura());
        QCOMPARE(ui::CodiceUscita(), ui::UscitaErrore);
        QCOMPARE(ui::MessaggiMostrati().back().icona, ui::Icona::Errore);
        QVERIFY(ui::MessaggiMostrati().back().testo.find("Stampanti") != std::string::npos);
        // the request is not reset over a program that is ending
        QCOMPARE(d.Text1(2)->text(), QStringLiteral("04/03/2026"));
    }

    // Started from the menu (in a folder without the hotel's files) the
    // program asks once for the hotel's folder and remembers it; a folder
    // without the files is not taken; given on the command line, a folder is
    // taken as it is.
    void theHotelFolderIsAskedOnceAndRemembered() {
        CartellaLavoro configurazione;
        qputenv("XDG_CONFIG_HOME", QByteArray::fromStdString(configurazione.Percorso().string()));
        CartellaLavoro vuota;
        CartellaLavoro senzaFile;
        AlbergoStandard().Scrivi(cartella_->Percorso());
        std::vector<std::filesystem::path> partenze;
        std::vector<std::optional<std::filesystem::path>> risposte{senzaFile.Percorso(),
                                                                   cartella_->Percorso()};
        ui::ImpostaChiediCartella([&](const std::filesystem::path& partenza) {
            partenze.push_back(partenza);
            auto r = risposte.front();
            risposte.erase(risposte.begin());
            return r;
        });
        QCOMPARE(ui::CartellaHotel(vuota.Percorso(), cartella_->Percorso()),
                 std::optional(vuota.Percorso()));
        QCOMPARE(ui::CartellaHotel(std::nullopt, cartella_->Percorso()),
                 std::optional(cartella_->Percorso()));
        QVERIFY(partenze.empty());

        QCOMPARE(ui::CartellaHotel(std::nullopt, vuota.Percorso()),
                 std::optional(cartella_->Percorso()));
        QCOMPARE(partenze, (std::vector{vuota.Percorso(), senzaFile.Percorso()}));
        QCOMPARE(ui::MessaggiMostrati().size(), std::size_t(1)); // the folder without files
        // Next start: remembered, nothing asked.
        QCOMPARE(ui::CartellaHotel(std::nullopt, vuota.Percorso()),
                 std::optional(cartella_->Percorso()));
        QCOMPARE(partenze.size(), std::size_t(2));
        // The remembered folder lost its files: asked again; Annulla gives up.
        std::filesystem::remove(cartella_->Percorso() / "AnagraficaHotels.mdb");
        risposte = {std::nullopt};
        QCOMPARE(ui::CartellaHotel(std::nullopt, vuota.Percorso()),
                 std::optional<std::filesystem::path>());
        ui::ImpostaChiediCartella({});
        qunsetenv("XDG_CONFIG_HOME");
    }

    // Qt's own buttons speak Italian.
    void qtsOwnButtonsInItalian() {
        QVERIFY(ui::CaricaTraduzioni());
        QMessageBox box(QMessageBox::Question, QStringLiteral("t"), QStringLiteral("x"),
                        QMessageBox::Yes | QMessageBox::No);
        QCOMPARE(box.button(QMessageBox::Yes)->text(), QStringLiteral("&S\u00ec"));
        QCOMPARE(box.button(QMessageBox::No)->text(), QStringLiteral("&No"));
    }
};

QTEST_MAIN(RequestWindow)
#include "VDXDeskTest.moc"
