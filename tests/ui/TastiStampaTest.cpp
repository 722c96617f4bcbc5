// The print menu's PDF and print buttons: the last destination named for PDF
// printed through the driver into its PDF file, direct printing to a port
// file, the message without a PDF destination, and an output that cannot be
// opened told to the user with the menu left open.

#include "AlbergoProva.h"
#include "shared/FileTesto.h"
#include "support/CartellaLavoro.h"

#include <QCheckBox>
#include <QComboBox>
#include <QProcess>
#include <QTest>
#include <QToolButton>
#include <memory>

using namespace vdx;
using namespace vdx::test;
using vdx::ui::MenuStampa;
using namespace std::string_literals;

namespace {

// Hotel 1 with the destinations given as {name, type, output}. Type 1 prints
// straight to a port (ESC SI compressed, ESC DC2 normal, 1 top line); type 2
// through the driver (7 points compressed, 10 normal). Pages of 60 lines.
fx::Albergo AlbergoCon(const std::vector<std::tuple<std::string, int, std::string>>& destinazioni) {
    fx::Albergo a;
    a.Hotel(1, "Hotel Mare", "").LunghezzePagina(1, 60, 60);
    a.ValoriStampa(1, "027015000000000000027018000000000000",
                   "000000000000000001066066000000000000")
        .ValoriStampa(2, "007000000000000001010000000000000000",
                      "000000000000000000066066000000000000");
    for (const auto& [nome, tipo, linea] : destinazioni) {
        a.Destinazione(1, nome, tipo, linea);
    }
    return a;
}

QString TestoPdf(const std::filesystem::path& pdf) {
    QProcess p;
    p.start(QStringLiteral("pdftotext"),
            {QStringLiteral("-layout"), QString::fromStdString(pdf.string()), QStringLiteral("-")});
    p.waitForFinished(30000);
    return QString::fromUtf8(p.readAllStandardOutput());
}

} // namespace

class PrintButtons : public QObject {
    Q_OBJECT

    std::unique_ptr<CartellaLavoro> cartella_;
    int fine_ = -1;

    std::filesystem::path Cartella() const { return cartella_->Percorso(); }

    void Mostra(const std::function<void(MenuStampa&)>& dentro) {
        MenuStampa menu(Cartella(), "3", 1, OrologioProva());
        MenuStampa::ImpostaAttesaModale(dentro);
        menu.MostraModale();
    }

    void Scegli(MenuStampa& menu, const char* destinazione) {
        menu.Combo1()->setCurrentIndex(menu.Combo1()->findText(QString::fromLatin1(destinazione)));
        QCOMPARE(menu.TestoCombo1(), std::string(destinazione));
    }

private slots:
    void init() {
        PreparaAmbienteProva();
        cartella_ = std::make_unique<CartellaLavoro>();
        fine_ = -1;
        ui::ImpostaFine([this](int codice) { fine_ = codice; });
        ScriviRigheAtomico(Cartella() / "FD3",
                           {"\xDA\xC4\xC4\xC4\xC4\xC4\xC4\xBF", "\xB3N.    \xB3",
                            "\xC0\xC4\xC4\xC4\xC4\xC4\xC4\xD9", "\x0C"});
    }

    void cleanup() {
        ui::ImpostaFine({});
        MenuStampa::ImpostaAttesaModale([](MenuStampa&) {});
        cartella_.reset();
    }

    void pdfButtonPrintsOnTheLastPdfDestination() {
        AlbergoCon({{"Archivio PDF", 2, "archivio.pdf"},
                    {"Banco", 1, "banco.prn"},
                    {"Ufficio PDF", 2, "ufficio.pdf"}})
            .Scrivi(Cartella());
        std::string scelta;
        std::string notifica;
        Mostra([&](MenuStampa& menu) {
            menu.Tst(MenuStampa::StampaPdf)->click();
            scelta = menu.TestoCombo1();
            notifica = ui::NotificaMostrata(&menu);
        });
        QCOMPARE(notifica, "Stampato su Ufficio PDF: " + (Cartella() / "ufficio.pdf").string());
        QCOMPARE(scelta, std::string("Ufficio PDF"));
        QVERIFY(ui::MessaggiMostrati().empty());
        QVERIFY(!std::filesystem::exists(Cartella() / "archivio.pdf"));
        const QString testo = TestoPdf(Cartella() / "ufficio.pdf");
        QVERIFY2(testo.contains(QStringLiteral("|N.")), qPrintable(testo));
        QVERIFY2(testo.contains(QStringLiteral("----")), qPrintable(testo));
        QCOMPARE(fine_, -1);
    }

    void pdfButtonWithoutPdfDestination() {
        AlbergoCon({{"Archivio pdf", 2, "archivio.pdf"}, {"Banco", 1, "banco.prn"}})
            .Scrivi(Cartella());
        Mostra([](MenuStampa& menu) { menu.Tst(MenuStampa::StampaPdf)->click(); });
        QCOMPARE(ui::MessaggiMostrati().size(), std::size_t(1));
        const auto& m = ui::MessaggiMostrati()[0];
        QCOMPARE(m.testo, std::string("Nessuna stampante PDF impostata!"));
        QCOMPARE(m.titolo, std::string("Stampa"));
        QVERIFY(m.icona == ui::Icona::Esclamazione);
        QVERIFY(!std::filesystem::exists(Cartella() / "archivio.pdf"));
        QVERIFY(!std::filesystem::exists(Cartella() / "banco.prn"));
    }

    // Normal print on a port: the normal codes, one blank top line, the rules
    // made plain, the form feed; after it the next page's blank top line,
    // not ended, as no report line follows.
    void printButtonDirectMode() {
        AlbergoCon({{"Archivio PDF", 2, "archivio.pdf"}, {"Banco", 1, "banco.prn"}})
            .Scrivi(Cartella());
        std::string notifica;
        Mostra([&](MenuStampa& menu) {
            Scegli(menu, "Banco");
            menu.Chk()->setChecked(false);
            menu.Tst(MenuStampa::Stampa)->click();
            notifica = ui::NotificaMostrata(&menu);
        });
        QCOMPARE(notifica, "Stampato su Banco: " + (Cartella() / "banco.prn").string());
        QVERIFY(ui::MessaggiMostrati().empty());
        QCOMPARE(LeggiFile(Cartella() / "banco.prn"),
                 "\x1b\x12\0\0\0"s + " \r\n--------\r\n|N.    |\r\n--------\r\n\f \r\n");
    }

    void noPrinterEntryIsAFileInDirectMode() {
        AlbergoCon({{"Banco", 1, "banco.prn"}}).Scrivi(Cartella());
        Mostra([](MenuStampa& menu) {
            menu.Combo2()->setCurrentIndex(
                menu.Combo2()->findText(QStringLiteral("<nessuna stampante>")));
            menu.Tst(MenuStampa::Stampa)->click();
        });
        QVERIFY(ui::MessaggiMostrati().empty());
        QVERIFY(!std::filesystem::exists(Cartella() / "banco.prn"));
        QCOMPARE(LeggiFile(Cartella() / "<nessuna stampante>").substr(0, 5), "\x1b\x0f\0\0\0"s);
    }

    // The error is told with its number and the menu stays open for another try.
    void anOutputThatCannotBeOpenedIsTold() {
        AlbergoCon({{"Banco", 1, "manca/banco.prn"}}).Scrivi(Cartella());
        bool aperto = false;
        Mostra([&](MenuStampa& menu) {
            menu.Tst(MenuStampa::Stampa)->click();
            aperto = menu.isVisible();
        });
        QVERIFY(aperto);
        QCOMPARE(fine_, -1);
        QCOMPARE(ui::MessaggiMostrati().size(), std::size_t(1));
        const auto& m = ui::MessaggiMostrati()[0];
        QCOMPARE(m.titolo, std::string("Stampa"));
        QVERIFY2(m.testo.rfind("Errore 75", 0) == 0, m.testo.c_str());
        QVERIFY2(m.testo.find("banco.prn") != std::string::npos, m.testo.c_str());
    }
};

QTEST_MAIN(PrintButtons)
#include "TastiStampaTest.moc"
