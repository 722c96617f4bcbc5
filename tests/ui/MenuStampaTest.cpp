// The print menu: the dated copy of the report, the system printers, the
// destinations of hotel 1, closing at once without destinations, and the
// buttons wired so far.

#include "AlbergoProva.h"
#include "dialog/ui/Aspetto.h"
#include "shared/FileTesto.h"
#include "shared/NomiFile.h"
#include "support/CartellaLavoro.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGuiApplication>
#include <QLabel>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <memory>

using namespace vdx;
using namespace vdx::test;
using vdx::ui::MenuStampa;

class PrintMenu : public QObject {
    Q_OBJECT

    std::unique_ptr<CartellaLavoro> cartella_;
    int fine_ = -1;
    std::vector<std::filesystem::path> aperti_;

    std::unique_ptr<MenuStampa> Crea(short hotel = 1, const Orologio& orologio = OrologioProva(),
                                     const std::string& postazione = "3") {
        return std::make_unique<MenuStampa>(cartella_->Percorso(), postazione, hotel, orologio);
    }

    // Shown as the request window shows it; `dentro` runs while it is open.
    void Mostra(MenuStampa& menu, const std::function<void(MenuStampa&)>& dentro) {
        MenuStampa::ImpostaAttesaModale(dentro);
        menu.MostraModale();
    }

private slots:
    void init() {
        PreparaAmbienteProva();
        cartella_ = std::make_unique<CartellaLavoro>();
        AlbergoStandard().Scrivi(cartella_->Percorso());
        fine_ = -1;
        aperti_.clear();
        ui::ImpostaFine([this](int codice) { fine_ = codice; });
        piattaforma::ImpostaApri([this](const std::filesystem::path& file) {
            aperti_.push_back(file);
            return true;
        });
    }

    void cleanup() {
        ui::ImpostaFine({});
        cartella_.reset();
    }

    void theFormAsDrawn() {
        auto menu = Crea();
        QCOMPARE(menu->windowTitle(), QStringLiteral("Stampe non modificabili"));
        QCOMPARE(menu->size(), QSize(411, 228)); // 6165 x 3420 twips, the notice line included
        QVERIFY(menu->windowFlags() & Qt::WindowStaysOnTopHint);
        QVERIFY(menu->isModal());
        QCOMPARE(menu->Label1(2)->text(), QStringLiteral("SELEZIONE"));
        QCOMPARE(menu->Label1(1)->text(), QStringLiteral("Virtuale "));
        QCOMPARE(menu->Label1(0)->text(), QStringLiteral("Stampante "));
        QCOMPARE(menu->Chk()->text(), QStringLiteral("Stampa Compressa"));
        QCOMPARE(menu->Chk3()->text(), QStringLiteral("Stampa fronte / retro"));
        // compressed print starts ticked, the other two clear
        QCOMPARE(menu->ValoreChk(), short(1));
        QCOMPARE(menu->ValoreChk2(), short(0));
        QCOMPARE(menu->ValoreChk3(), short(0));
        QCOMPARE(menu->Tst(3)->geometry(), QRect(10, 120, 57, 57));
        QCOMPARE(menu->Tst(5)->geometry(), QRect(346, 120, 57, 57));
        for (int i = 0; i < 6; ++i) {
            QVERIFY(!menu->Tst(i)->icon().isNull());
            QVERIFY(menu->Tst(i)->text().isEmpty() ||
                    menu->Tst(i)->toolButtonStyle() == Qt::ToolButtonIconOnly);
        }
        QCOMPARE(menu->palette().color(QPalette::Window), QColor(128, 128, 255));
    }

    void centredOnTheScreen() {
        auto menu = Crea();
        const QRect schermo = QGuiApplication::primaryScreen()->geometry();
        // whole twips: (screen - window) / 2, then to pixels
        const int left = (schermo.width() * 15 - 6165) / 2;
        const int top = (schermo.height() * 15 - 3420) / 2;
        QCOMPARE(menu->pos(), schermo.topLeft() + QPoint(ui::Pixel(left), ui::Pixel(top)));
    }

    void theDatedCopy_data() {
        QTest::addColumn<QString>("postazione");
        QTest::addColumn<QString>("report"); // name the generator wrote
        QTest::addColumn<QString>("copia");
        QTest::newRow("workstation 3") << "3"
                                       << "FD3"
                                       << "doc\\fd3202603050905.doc";
        QTest::newRow("no workstation") << ""
                                        << "FD"
                                        << "doc\\fd202603050905.doc";
        QTest::newRow("name kept as typed") << "07"
                                            << "fd07"
                                            << "doc\\fd07202603050905.doc";
    }

    void theDatedCopy() {
        QFETCH(QString, postazione);
        QFETCH(QString, report);
        QFETCH(QString, copia);
        const std::string contenuto = "\xC9\xCD\xCD\xBB riga\r\n\x0C\r\n";
        ScriviFileAtomico(cartella_->Percorso() / report.toStdString(), contenuto);
        auto menu = Crea(1, OrologioProva(), postazione.toStdString());
        QCOMPARE(QString::fromStdString(menu->NomeCopiaDoc()), copia);
        const auto percorso = menu->PercorsoCopiaDoc();
        QCOMPARE(percorso.parent_path(), cartella_->Percorso() / "doc");
        QCOMPARE(LeggiFile(percorso), contenuto);
    }

    void theSameMinuteGivesTheSameCopy() {
        ScriviFileAtomico(cartella_->Percorso() / "FD3", "primo\r\n");
        auto primo = Crea();
        ScriviFileAtomico(cartella_->Percorso() / "FD3", "secondo\r\n");
        auto secondo = Crea();
        QCOMPARE(primo->PercorsoCopiaDoc(), secondo->PercorsoCopiaDoc());
        QCOMPARE(LeggiFile(secondo->PercorsoCopiaDoc()), std::string("secondo\r\n"));
        std::size_t documenti = 0;
        for (const auto& voce :
             std::filesystem::directory_iterator(cartella_->Percorso() / "doc")) {
            documenti += voce.path().extension() == ".doc" ? 1 : 0;
        }
        QCOMPARE(documenti, std::size_t(1));
    }

    void aMissingReportLeavesNoCopyAndNoMessage() {
        std::filesystem::create_directory(cartella_->Percorso() / "doc"); // already there: no fault
        auto menu = Crea();
        QVERIFY(!std::filesystem::exists(menu->PercorsoCopiaDoc()));
        QVERIFY(ui::MessaggiMostrati().empty());
        // the copy button says so instead of handing the desktop a missing file
        menu->Tst_Click(MenuStampa::ApriCopia);
        QVERIFY(aperti_.empty());
        QCOMPARE(ui::MessaggiMostrati().size(), std::size_t(1));
        QCOMPARE(ui::MessaggiMostrati()[0].titolo, std::string("Stampa"));
    }

    void theCopyOpensWithTheDesktopsProgram() {
        ScriviFileAtomico(cartella_->Percorso() / "FD3", "tableau\r\n");
        auto menu = Crea();
        menu->Tst_Click(MenuStampa::ApriCopia);
        QCOMPARE(aperti_.size(), std::size_t(1));
        QCOMPARE(aperti_[0], menu->PercorsoCopiaDoc());
        QVERIFY(ui::MessaggiMostrati().empty());
        QVERIFY(ui::NotificaMostrata(menu.get()).find(menu->PercorsoCopiaDoc().string()) !=
                std::string::npos);
    }

    // A notice shows under the buttons: a click on a button reaches the
    // button, through the window as a user's click does.
    void aClickOnAButtonWhileANoticeShows() {
        ScriviFileAtomico(cartella_->Percorso() / "FD3", "|101   | Rossi|\r\n");
        auto menu = Crea();
        Mostra(*menu, [](MenuStampa& m) {
            m.Tst(MenuStampa::Esporta)->click();
            QVERIFY(!ui::NotificaMostrata(&m).empty());
            for (int i = 0; i < 6; ++i) {
                QCOMPARE(m.childAt(m.Tst(i)->geometry().center()), static_cast<QWidget*>(m.Tst(i)));
            }
            QTest::mouseClick(m.windowHandle(), Qt::LeftButton, {},
                              m.Tst(MenuStampa::Esci)->geometry().center());
            QTRY_VERIFY(!m.isVisible());
        });
    }

    // A settings file the export refuses is said, naming its line; the
    // program goes on and the last export stays.
    void aRefusedSettingsFileIsSaidAndTheLastExportStays() {
        ScriviFileAtomico(cartella_->Percorso() / "FD3", "tableau\r\n");
        ScriviFileAtomico(cartella_->Percorso() / "SeparatoreXLS.txt", "\r\n,\r\n$\r\n");
        ScriviFileAtomico(cartella_->Percorso() / "fd3.csv", "prima\r\n");
        auto menu = Crea();
        menu->Tst_Click(MenuStampa::Esporta);
        QCOMPARE(fine_, -1);
        QVERIFY(aperti_.empty());
        QCOMPARE(ui::MessaggiMostrati().size(), std::size_t(1));
        QVERIFY(ui::MessaggiMostrati()[0].testo.rfind("SeparatoreXLS.txt, riga 1: ", 0) == 0);
        QCOMPARE(LeggiFile(cartella_->Percorso() / "fd3.csv"), std::string("prima\r\n"));
    }

    void hotelZeroBecomesHotelOne_data() {
        QTest::addColumn<int>("prima");
        QTest::addColumn<int>("dopo");
        QTest::newRow("0 becomes 1") << 0 << 1;
        QTest::newRow("12 stays") << 12 << 12;
    }

    void hotelZeroBecomesHotelOne() {
        QFETCH(int, prima);
        auto menu = Crea(static_cast<short>(prima));
        QTEST(int(menu->HotelCorrente()), "dopo");
    }

    void theSystemPrinters_data() {
        QTest::addColumn<QStringList>("stampanti");
        QTest::addColumn<QStringList>("voci");
        QTest::newRow("in the system's order")
            << QStringList{QStringLiteral("Ufficio"), QStringLiteral("Banco")}
            << QStringList{QStringLiteral("Ufficio"), QStringLiteral("Banco")};
        QTest::newRow("none") << QStringList{}
                              << QStringList{QStringLiteral("<nessuna stampante>")};
    }

    void theSystemPrinters() {
        QFETCH(QStringList, stampanti);
        MenuStampa::ImpostaStampantiDiSistema([stampanti] { return stampanti; });
        auto menu = Crea();
        QTEST(Voci(menu->Combo2()), "voci");
        QCOMPARE(menu->Combo2()->currentIndex(), -1); // none chosen
        QCOMPARE(menu->TestoCombo2(), std::string());
    }

    void activationListsTheDestinationsOfHotelOne() {
        auto menu = Crea(12); // the destinations are hotel 1's all the same
        QStringList viste;
        Mostra(*menu, [&](MenuStampa& m) {
            viste = Voci(m.Combo1());
            QCOMPARE(m.TestoCombo1(), std::string("Archivio PDF"));
            QCOMPARE(m.CodiceAssistenzaMenu(), std::string("K"));
            QVERIFY(!m.SenzaDestinazioni());
        });
        QCOMPARE(viste, QStringList({QStringLiteral("Archivio PDF"), QStringLiteral("Banco")}));
        QVERIFY(!menu->isVisible());
        QCOMPARE(fine_, -1);
    }

    void activationAgainResetsTheDestinationOnly() {
        MenuStampa::ImpostaStampantiDiSistema(
            [] { return QStringList{QStringLiteral("Ufficio")}; });
        auto menu = Crea();
        Mostra(*menu, [](MenuStampa& m) {
            m.Combo1()->setCurrentIndex(1);
            m.Combo2()->setCurrentIndex(0);
            m.Chk2()->setChecked(true);
            m.Form_Activate(); // back from the preview
            QCOMPARE(m.TestoCombo1(), std::string("Archivio PDF"));
            QCOMPARE(m.TestoCombo2(), std::string("Ufficio"));
            QCOMPARE(m.ValoreChk2(), short(1));
        });
    }

    void withoutDestinationsTheMenuClosesAtOnce() {
        auto albergo = AlbergoStandard();
        albergo.Sostituisci(
            fixture::TabellaProva("Stampanti", {"NumeroHotel:Integer", "Destinazione:Text(50)",
                                                "TipoStampa:Integer", "Linea:Text(120)"}));
        albergo.TabellaDiNome("Stampanti")
            .Record({{"NumeroHotel", N(2)}, {"Destinazione", T("Altrove")}});
        albergo.Scrivi(cartella_->Percorso());
        auto menu = Crea();
        Mostra(*menu, [](MenuStampa& m) {
            QVERIFY(m.SenzaDestinazioni());
            QCOMPARE(m.Combo1()->count(), 0);
            QTRY_VERIFY(!m.isVisible()); // closes by itself, no button pressed
        });
        QVERIFY(ui::MessaggiMostrati().empty());
        QCOMPARE(fine_, -1);
    }

    void theRealModalLoopEndsWithoutDestinations() {
        auto albergo = AlbergoStandard();
        albergo.Sostituisci(
            fixture::TabellaProva("Stampanti", {"NumeroHotel:Integer", "Destinazione:Text(50)",
                                                "TipoStampa:Integer", "Linea:Text(120)"}));
        albergo.Scrivi(cartella_->Percorso());
        MenuStampa::ImpostaAttesaModale({});
        auto menu = Crea();
        menu->MostraModale(); // returns: the menu closed itself
        QVERIFY(!menu->isVisible());
    }

    void theExitButtonEndsTheRealModalLoop() {
        MenuStampa::ImpostaAttesaModale({});
        auto menu = Crea();
        bool chiuso = false;
        QTimer::singleShot(0, menu.get(), [&] {
            QVERIFY(menu->isVisible());
            QTest::mouseClick(menu->Tst(MenuStampa::Esci), Qt::LeftButton);
            chiuso = true;
        });
        menu->MostraModale();
        QVERIFY(chiuso);
        QVERIFY(!menu->isVisible());
    }

    void escapeClosesTheMenuAsExitDoes() {
        auto menu = Crea();
        Mostra(*menu, [](MenuStampa& m) {
            QTest::keyClick(&m, Qt::Key_Escape);
            QVERIFY(!m.isVisible());
        });
    }

    // Hotel 1's code is read at every activation; a missing hotel 1 is one
    // blank, as a missing code is everywhere.
    void theAssistanceCodeOfAMissingHotelOneIsABlank() {
        auto primo = Crea();
        Mostra(*primo, [](MenuStampa&) {});
        QCOMPARE(primo->CodiceAssistenzaMenu(), std::string("K"));

        auto albergo = AlbergoStandard();
        albergo.Sostituisci(
            fixture::TabellaProva("AnagraficaHotels", {"Numero:Integer", "RagioneSociale:Text(50)",
                                                       "CodiceAssistenza:Text(20)"}));
        albergo.TabellaDiNome("AnagraficaHotels")
            .Record({{"Numero", N(12)}, {"CodiceAssistenza", T("U")}});
        albergo.Scrivi(cartella_->Percorso());
        auto secondo = Crea();
        Mostra(*secondo, [](MenuStampa&) {});
        QCOMPARE(secondo->CodiceAssistenzaMenu(), std::string(" "));
    }

    void aMissingDestinationFileIsAnError() {
        std::filesystem::remove(RisolviNome(cartella_->Percorso(), "Stampanti.mdb"));
        auto menu = Crea();
        Mostra(*menu, [](MenuStampa&) {});
        QCOMPARE(fine_, ui::UscitaErrore);
        QCOMPARE(ui::MessaggiMostrati().size(), std::size_t(1));
        QCOMPARE(ui::MessaggiMostrati()[0].icona, ui::Icona::Errore);
        QVERIFY(ui::MessaggiMostrati()[0].testo.find("Stampanti") != std::string::npos);
    }
};

QTEST_MAIN(PrintMenu)
#include "MenuStampaTest.moc"
