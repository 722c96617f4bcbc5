// The print menu's export and preview buttons: the .csv written and handed
// to the desktop, the preview shown modally and the menu made ready again
// when it closes.

#include "AlbergoProva.h"
#include "preview/ui/Anteprima.h"
#include "shared/FileTesto.h"
#include "support/CartellaLavoro.h"

#include <QComboBox>
#include <QPlainTextEdit>
#include <QTest>
#include <QToolButton>
#include <memory>

using namespace vdx;
using namespace vdx::test;
using vdx::ui::MenuStampa;

class MenuAnteprima : public QObject {
    Q_OBJECT

    std::unique_ptr<CartellaLavoro> cartella_;
    int fine_ = -1;
    std::vector<std::filesystem::path> aperti_;
    bool apreQualcosa_ = true;

    std::filesystem::path Cartella() const { return cartella_->Percorso(); }

    // The menu shown as the request window shows it; `dentro` runs while it
    // is open.
    void Mostra(const std::function<void(MenuStampa&)>& dentro) {
        MenuStampa menu(Cartella(), "3", 1, OrologioProva());
        MenuStampa::ImpostaAttesaModale(dentro);
        menu.MostraModale();
    }

private slots:
    void init() {
        PreparaAmbienteProva();
        cartella_ = std::make_unique<CartellaLavoro>();
        AlbergoStandard().Scrivi(Cartella());
        fine_ = -1;
        aperti_.clear();
        apreQualcosa_ = true;
        ui::ImpostaFine([this](int codice) { fine_ = codice; });
        piattaforma::ImpostaApri([this](const std::filesystem::path& file) {
            aperti_.push_back(file);
            return apreQualcosa_;
        });
        MenuStampa::ImpostaStampantiDiSistema([] {
            return QStringList{QStringLiteral("Ufficio"), QStringLiteral("Sala")};
        });
    }

    void cleanup() {
        ui::ImpostaFine({});
        ui::Anteprima::ImpostaAttesaModale({});
        cartella_.reset();
    }

    void exportAndOpen() {
        ScriviFileAtomico(Cartella() / "FD3",
                          "\xB3 101  \xB3      \xB3    \xB3  1.234,56\xB3\r\n\x0C\r\n");
        std::string detto;
        Mostra([&](MenuStampa& menu) {
            menu.Tst(MenuStampa::Esporta)->click();
            detto = ui::NotificaMostrata(&menu);
        });
        QCOMPARE(LeggiFile(Cartella() / "fd3.csv"), std::string(", 101  ,      ,    , \x80"
                                                                "1234.56,\r\n\x0C\r\n"));
        QCOMPARE(aperti_, std::vector<std::filesystem::path>{Cartella() / "fd3.csv"});
        QVERIFY(ui::MessaggiMostrati().empty());
        QCOMPARE(detto, "Scritto il file " + (Cartella() / "fd3.csv").string() +
                            "; si apre con il programma associato.");
        QCOMPARE(fine_, -1);
    }

    void exportWithoutAProgramForTheCsv() {
        ScriviFileAtomico(Cartella() / "FD3", "riga\r\n");
        apreQualcosa_ = false;
        std::string detto;
        std::string dopo;
        Mostra([&](MenuStampa& menu) {
            menu.Tst(MenuStampa::Esporta)->click();
            detto = ui::NotificaMostrata(&menu);
            menu.Tst(MenuStampa::ApriCopia)->click(); // the next button ends it
            dopo = ui::NotificaMostrata(&menu);
        });
        QCOMPARE(LeggiFile(Cartella() / "fd3.csv"), std::string("riga\r\n"));
        QVERIFY(ui::MessaggiMostrati().empty());
        // with the path, to open it by hand; told in the window, not a box
        QCOMPARE(detto, "Scritto il file " + (Cartella() / "fd3.csv").string() +
                            ", ma nessun programma lo apre: aprirlo a mano.");
        QVERIFY(dopo.find("fd3.csv") == std::string::npos);
        QCOMPARE(fine_, -1);
    }

    void exportWithoutAReportEndsTheProgram() {
        Mostra([](MenuStampa& menu) { menu.Tst(MenuStampa::Esporta)->click(); });
        QCOMPARE(fine_, int(ui::UscitaErrore));
        QVERIFY(ui::MessaggiMostrati().at(0).testo.find("Errore 53") != std::string::npos);
        QVERIFY(aperti_.empty());
    }

    void previewThenTheMenuIsReadyAgain() {
        std::string pagina;
        for (int i = 0; i < 300; ++i) {
            pagina += "riga " + std::to_string(i) + "\r\n";
        }
        ScriviFileAtomico(Cartella() / "FD3", pagina);
        std::size_t righeViste = 0;
        ui::Anteprima::ImpostaAttesaModale([&](ui::Anteprima& anteprima) {
            QVERIFY(anteprima.isModal());
            righeViste = DividiRighe(anteprima.TestoMostrato()).size();
        });
        QString destinazioneDopo;
        QString stampanteDopo;
        QString stampanteScelta;
        Mostra([&](MenuStampa& menu) {
            QVERIFY(menu.Combo1()->count() > 1);
            menu.Combo1()->setCurrentIndex(menu.Combo1()->count() - 1);
            menu.Combo2()->setCurrentIndex(menu.Combo2()->count() - 1);
            stampanteScelta = menu.Combo2()->currentText();
            menu.Tst(MenuStampa::Anteprima)->click();
            destinazioneDopo = menu.Combo1()->currentText();
            stampanteDopo = menu.Combo2()->currentText();
            QVERIFY(menu.isVisible());
        });
        QCOMPARE(righeViste, std::size_t(300));
        // Back from the preview: destinations listed again, the first chosen;
        // the system printer as it was.
        QCOMPARE(destinazioneDopo, QStringLiteral("Archivio PDF"));
        QCOMPARE(stampanteDopo, stampanteScelta);
        QCOMPARE(fine_, -1);
    }

    void previewWithoutAReportClosesAtOnce() {
        bool vista = true;
        ui::Anteprima::ImpostaAttesaModale([&](ui::Anteprima& anteprima) {
            QTRY_VERIFY(!anteprima.isVisible());
            vista = anteprima.isVisible();
        });
        Mostra([](MenuStampa& menu) { menu.Tst(MenuStampa::Anteprima)->click(); });
        QVERIFY(!vista);
        QVERIFY(ui::MessaggiMostrati().empty());
        QCOMPARE(fine_, -1);
    }
};

QTEST_MAIN(MenuAnteprima)
#include "MenuAnteprimaTest.moc"
