// The preview window, offscreen: its controls, the pages it shows, the
// buttons, the e-mail hand-off and a report that is missing.

#include "preview/ui/Anteprima.h"

#include "dialog/ui/Aspetto.h"
#include "dialog/ui/Errori.h"
#include "dialog/ui/Messaggi.h"
#include "dialog/ui/Notifiche.h"
#include "shared/FileTesto.h"
#include "shared/Piattaforma.h"
#include "support/CartellaLavoro.h"

#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QtTest>
#include <algorithm>
#include <cstdlib>
#include <memory>

using vdx::ui::Anteprima;
namespace fs = std::filesystem;

namespace {

// Lines of 133 characters ruled with byte 179, each telling its number.
std::vector<std::string> RigheReport(int quante) {
    std::vector<std::string> righe;
    for (int i = 1; i <= quante; ++i) {
        std::string riga(133, ' ');
        for (int colonna : {1, 8, 15, 20, 31, 42, 64, 86, 108, 133}) {
            riga[static_cast<std::size_t>(colonna - 1)] = '\xB3';
        }
        const std::string numero = std::to_string(i);
        riga.replace(1, numero.size(), numero);
        righe.push_back(riga);
    }
    return righe;
}

std::vector<std::string> Righe(const std::string& testo) {
    return vdx::DividiRighe(testo);
}

} // namespace

class AnteprimaTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<vdx::test::CartellaLavoro> cartella_;
    std::string percorsoProgrammi_;

    fs::path Cartella() const { return cartella_->Percorso(); }

    void ScriviReport(int righe) {
        vdx::ScriviRigheAtomico(Cartella() / "FD3", RigheReport(righe));
    }

    // A window shown as the print menu shows it, its first activation done.
    std::unique_ptr<Anteprima> Apri() {
        auto finestra = std::make_unique<Anteprima>(Cartella(), "3");
        finestra->show();
        QCoreApplication::processEvents();
        return finestra;
    }

private slots:
    void initTestCase() {
        percorsoProgrammi_ = std::getenv("PATH") ? std::getenv("PATH") : "";
        vdx::ui::ModoAutomatico(true);
        vdx::ui::ImpostaFine([](int) {});
    }

    void init() {
        cartella_ = std::make_unique<vdx::test::CartellaLavoro>();
        vdx::ui::AzzeraMessaggi();
        vdx::ui::AzzeraChiusura();
    }

    void cleanup() {
        vdx::piattaforma::ImpostaAvvia({});
        Anteprima::ImpostaAttesaModale({});
        ::setenv("PATH", percorsoProgrammi_.c_str(), 1);
        cartella_.reset();
    }

    void theControlsAsDrawn() {
        ScriviReport(3);
        Anteprima finestra(Cartella(), "3");
        QCOMPARE(finestra.windowTitle(), QStringLiteral("Anteprima di Stampa"));
        QVERIFY(finestra.windowFlags().testFlag(Qt::WindowStaysOnTopHint));

        QPlainTextEdit* testo = finestra.Text1();
        QCOMPARE(testo->lineWrapMode(), QPlainTextEdit::NoWrap);
        QCOMPARE(testo->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
        QCOMPARE(testo->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
        QVERIFY(!testo->isReadOnly());
        QCOMPARE(testo->font().pointSizeF(), 11.25);
        QVERIFY(QFontInfo(testo->font()).fixedPitch());
        QCOMPARE(testo->geometry(), vdx::ui::RettangoloTwips(84, 84, 9372, 6048));

        // Seen from the left: Riduci, Espandi, Avanti, Inizio, E-mail, Salva, Esci.
        const std::vector<std::pair<int, QString>> sinistraDestra = {
            {Anteprima::Riduci, QStringLiteral("&Riduci")},
            {Anteprima::Espandi, QStringLiteral("E&spandi")},
            {Anteprima::Avanti, QStringLiteral("&Avanti")},
            {Anteprima::Inizio, QStringLiteral("&Inizio")},
            {Anteprima::EMail, QStringLiteral("E-&mail")},
            {Anteprima::Salva, QStringLiteral("Sa&lva")},
            {Anteprima::Esci, QStringLiteral("&Esci")}};
        int destraPrecedente = -1;
        for (const auto& [indice, didascalia] : sinistraDestra) {
            QPushButton* tasto = finestra.Tasto(indice);
            QVERIFY(tasto != nullptr);
            QCOMPARE(tasto->text(), didascalia);
            QVERIFY(tasto->x() > destraPrecedente);
            destraPrecedente = tasto->geometry().right();
            QCOMPARE(tasto->y(), vdx::ui::Pixel(6216));
            QCOMPARE(tasto->height(), vdx::ui::Pixel(1125));
            QCOMPARE(tasto->font().pointSizeF(), 12.0);
            QCOMPARE(tasto->font().bold(), indice == Anteprima::Esci);
        }
        QCOMPARE(finestra.Tasto(Anteprima::Esci)->geometry(),
                 vdx::ui::RettangoloTwips(6795, 6216, 2655, 1125));
        QVERIFY(!finestra.Tasto(Anteprima::Esci)->icon().isNull());
        QVERIFY(finestra.Tasto(7) == nullptr);

        // Tab order: the page, Riduci, Espandi, Esci, Avanti, Inizio, E-mail, Salva.
        std::vector<QWidget*> attesi = {testo};
        for (int indice :
             {Anteprima::Riduci, Anteprima::Espandi, Anteprima::Esci, Anteprima::Avanti,
              Anteprima::Inizio, Anteprima::EMail, Anteprima::Salva}) {
            attesi.push_back(finestra.Tasto(indice));
        }
        std::vector<QWidget*> catena;
        QWidget* w = testo;
        do {
            if (std::find(attesi.begin(), attesi.end(), w) != attesi.end()) {
                catena.push_back(w);
            }
            w = w->nextInFocusChain();
        } while (w != testo);
        QCOMPARE(catena, attesi);
    }

    void layoutAtActivation_data() {
        QTest::addColumn<int>("larghezza");
        QTest::addColumn<int>("altezza");
        QTest::addColumn<QRect>("testo");
        QTest::addColumn<QRect>("esci");
        QTest::addColumn<int>("topTasti");
        // W, H in twips: 12000 x 9000. Text1: W-200 = 11800, H-(1.5*1125+150)
        // = 7162.5. Esci: top H-1697.5, width W-6795-150 = 5055.
        QTest::newRow("800x600") << 800 << 600 << QRect(6, 6, 787, 478) << QRect(453, 487, 337, 75)
                                 << 487;
        // The design size: 9525 x 7380.
        QTest::newRow("progetto") << 635 << 492 << QRect(6, 6, 622, 370) << QRect(453, 379, 172, 75)
                                  << 379;
    }

    void layoutAtActivation() {
        QFETCH(int, larghezza);
        QFETCH(int, altezza);
        QFETCH(QRect, testo);
        QFETCH(QRect, esci);
        QFETCH(int, topTasti);
        ScriviReport(3);
        auto finestra = Apri();
        // The figures are for the window's outer size, frame included.
        const QSize cornice = finestra->frameGeometry().size() - finestra->size();
        finestra->resize(larghezza - cornice.width(), altezza - cornice.height());
        QCoreApplication::processEvents();
        QCOMPARE(finestra->frameGeometry().size(), QSize(larghezza, altezza));
        finestra->Disponi();
        QCOMPARE(finestra->Text1()->geometry(), testo);
        QCOMPARE(finestra->Tasto(Anteprima::Esci)->geometry(), esci);
        for (int i = Anteprima::Riduci; i <= Anteprima::Salva; ++i) {
            QCOMPARE(finestra->Tasto(i)->y(), topTasti);
        }
        // Only the tops move: lefts and sizes stay as drawn.
        QCOMPARE(finestra->Tasto(Anteprima::Espandi)->x(), vdx::ui::Pixel(1200));
        QCOMPARE(finestra->Tasto(Anteprima::Espandi)->width(), vdx::ui::Pixel(1095));
    }

    void pagesOfTheLimits() {
        ScriviReport(600);
        auto finestra = Apri();
        QVERIFY(finestra->isVisible());
        auto righe = Righe(finestra->TestoMostrato());
        QCOMPARE(righe.size(), std::size_t{151});
        QCOMPARE(righe.front().substr(0, 4), std::string("|1  "));
        QCOMPARE(finestra->TestoMostrato(), finestra->Paginatore().Testo());
        QCOMPARE(finestra->Text1()->horizontalScrollBar()->maximum() > 0, true);
        // 151, 196, 196 and 57 lines.
        QCOMPARE(finestra->windowTitle(),
                 QStringLiteral(u"Anteprima di Stampa \u2013 Pagina 1 di 4"));
        QVERIFY(finestra->Tasto(Anteprima::Avanti)->isEnabled());

        finestra->Tasto_Click(Anteprima::Avanti);
        righe = Righe(finestra->TestoMostrato());
        QCOMPARE(righe.size(), std::size_t{196});
        QCOMPARE(righe.front().substr(0, 4), std::string("|152"));

        finestra->Tasto_Click(Anteprima::Inizio);
        righe = Righe(finestra->TestoMostrato());
        QCOMPARE(righe.size(), std::size_t{196});
        QCOMPARE(righe.front().substr(0, 4), std::string("|1  "));

        // To the last page; Avanti there changes nothing.
        for (int i = 0; i < 3; ++i) {
            finestra->Tasto_Click(Anteprima::Avanti);
        }
        QCOMPARE(Righe(finestra->TestoMostrato()).size(), std::size_t{600 - 3 * 196});
        QVERIFY(finestra->windowTitle().endsWith(QStringLiteral("Pagina 4 di 4")));
        QVERIFY(!finestra->Tasto(Anteprima::Avanti)->isEnabled());
        const std::string ultima = finestra->TestoMostrato();
        finestra->Tasto_Click(Anteprima::Avanti);
        QCOMPARE(finestra->TestoMostrato(), ultima);
    }

    // What the box shows comes back byte for byte: the form feed that ends the
    // report, tabs, no-break spaces and the bytes where code page 1252
    // differs from Latin-1.
    void theReportsBytesShownAndSaved() {
        vdx::ScriviRigheAtomico(Cartella() / "FD3", {"Hotel : \x80 \x84\x93\x94 \xE8\xA0"
                                                     "fine",
                                                     "a\tb", "", "\x0C"});
        auto finestra = Apri();
        QCOMPARE(finestra->TestoMostrato(), finestra->Paginatore().Testo());
        QCOMPARE(Righe(finestra->TestoMostrato()).back(), std::string("\x0C"));
        finestra->Tasto_Click(Anteprima::Salva);
        QCOMPARE(vdx::LeggiFile(Cartella() / "FD3"),
                 std::string("Hotel : \x80 \x84\x93\x94 \xE8\xA0"
                             "fine\r\na\tb\r\n\r\n\x0C\r\n\r\n"));
    }

    void emptyReport() {
        ScriviReport(0);
        auto finestra = Apri();
        QVERIFY(finestra->isVisible());
        QCOMPARE(finestra->Text1()->toPlainText(), QString());
        QVERIFY(!finestra->Paginatore().AltraPagina());
        finestra->Tasto_Click(Anteprima::Avanti);
        QCOMPARE(finestra->Text1()->toPlainText(), QString());
    }

    void aMissingReportClosesTheWindow() {
        auto finestra = Apri();
        QTRY_VERIFY(!finestra->isVisible());
        QCOMPARE(finestra->Text1()->toPlainText(), QString());
        QVERIFY(vdx::ui::MessaggiMostrati().empty());
    }

    void riduciAndEspandi_data() {
        QTest::addColumn<double>("prima");
        QTest::addColumn<int>("tasto");
        QTest::addColumn<double>("dopo");
        QTest::newRow("riduci 11.25") << 11.25 << int(Anteprima::Riduci) << 10.25;
        QTest::newRow("riduci 2") << 2.0 << int(Anteprima::Riduci) << 1.0;
        QTest::newRow("riduci 1.5") << 1.5 << int(Anteprima::Riduci) << 0.5;
        QTest::newRow("riduci a 1 punto") << 1.0 << int(Anteprima::Riduci) << 1.0;
        QTest::newRow("riduci sotto 1 punto") << 0.5 << int(Anteprima::Riduci) << 0.5;
        QTest::newRow("espandi 11.25") << 11.25 << int(Anteprima::Espandi) << 12.25;
        QTest::newRow("espandi senza limite") << 200.0 << int(Anteprima::Espandi) << 201.0;
    }

    void riduciAndEspandi() {
        QFETCH(double, prima);
        QFETCH(int, tasto);
        QFETCH(double, dopo);
        ScriviReport(3);
        auto finestra = Apri();
        QFont font = finestra->Text1()->font();
        font.setPointSizeF(prima);
        finestra->Text1()->setFont(font);
        const std::string pagina = finestra->TestoMostrato();
        finestra->Tasto_Click(tasto);
        QCOMPARE(finestra->Text1()->font().pointSizeF(), dopo);
        QCOMPARE(finestra->TestoMostrato(), pagina);
    }

    void salvaThenAvanti() {
        ScriviReport(400);
        auto finestra = Apri();
        const std::string pagina = finestra->TestoMostrato();
        finestra->Tasto(Anteprima::Salva)->click();
        QCOMPARE(vdx::LeggiFile(Cartella() / "FD3"), pagina + "\r\n");
        QCOMPARE(finestra->TestoMostrato(), pagina);
        QCOMPARE(vdx::ui::NotificaMostrata(finestra.get()), std::string("Pagina salvata in FD3"));
        finestra->Tasto(Anteprima::Avanti)->click();
        QCOMPARE(finestra->TestoMostrato(), pagina + "\r\n");
    }

    void salvaWritesEditedTextInTheCodePage() {
        ScriviReport(3);
        auto finestra = Apri();
        // € „ ” È and a no-break space: bytes where code page 1252 differs.
        finestra->Text1()->setPlainText(QStringLiteral(u"\u20AC \u201Ex\u201D \u00C8\u00A0y\n"));
        finestra->Tasto_Click(Anteprima::Salva);
        QCOMPARE(vdx::LeggiFile(Cartella() / "FD3"),
                 std::string("\x80 \x84x\x94 \xC8\xA0y\r\n\r\n"));
        // Edited text is lost on Inizio: the page comes from the saved file.
        finestra->Text1()->setPlainText(QStringLiteral("perso"));
        finestra->Tasto_Click(Anteprima::Inizio);
        QCOMPARE(Righe(finestra->TestoMostrato()).size(), std::size_t{2});
    }

    void eMailHandsThePageOver() {
        ScriviReport(5);
        std::vector<std::string> avviati;
        vdx::piattaforma::ImpostaAvvia([&](std::string_view programma, const fs::path& cartella) {
            avviati.emplace_back(programma);
            QCOMPARE(cartella, Cartella());
        });
        auto finestra = Apri();
        finestra->Tasto(Anteprima::EMail)->click();
        QCOMPARE(avviati, std::vector<std::string>{"Recapito.exe"});
        const std::string file = vdx::LeggiFile(Cartella() / "e-mail3.txt");
        QCOMPARE(file, "OGGETTO\r\n" + finestra->TestoMostrato() + "\r\n");
        const auto righe = Righe(file);
        QCOMPARE(righe.size(), std::size_t{5 + 2});
        QCOMPARE(righe.back(), std::string());
        QVERIFY(finestra->isVisible());
        QCOMPARE(vdx::ui::NotificaMostrata(finestra.get()),
                 "Pagina scritta in " + (Cartella() / "e-mail3.txt").string() +
                     ": Recapito la sta consegnando.");
    }

    // The sender runs on its own; what it says when it ends (here, where it
    // wrote the message) is told in the window.
    void eMailTellsWhatTheSenderSaid() {
        ScriviReport(5);
        vdx::test::CartellaLavoro programmi;
        const fs::path recapito = programmi.Percorso() / "Recapito";
        vdx::ScriviFileAtomico(recapito, "#!/bin/sh\nsleep 0.2\n"
                                         "echo \"Recapito: il messaggio \xC3\xA8 nel file "
                                         "$(pwd)/e-mail3-prova.eml\"\n");
        fs::permissions(recapito, fs::perms::owner_all);
        ::setenv("PATH", (programmi.Percorso().string() + ":" + percorsoProgrammi_).c_str(), 1);
        auto finestra = Apri();
        finestra->Tasto(Anteprima::EMail)->click();
        const std::string detto =
            "Recapito: il messaggio \xE8 nel file " + (Cartella() / "e-mail3-prova.eml").string();
        QTRY_COMPARE(vdx::ui::NotificaMostrata(finestra.get()), detto);
        QVERIFY(vdx::ui::MessaggiMostrati().empty());
    }

    void eMailWithoutASender() {
        ScriviReport(5);
        vdx::test::CartellaLavoro vuota;
        ::setenv("PATH", vuota.Percorso().c_str(), 1);
        auto finestra = Apri();
        const std::string pagina = finestra->TestoMostrato();
        finestra->Tasto(Anteprima::EMail)->click();
        QCOMPARE(vdx::LeggiFile(Cartella() / "e-mail3.txt"), "OGGETTO\r\n" + pagina + "\r\n");
        const auto& mostrati = vdx::ui::MessaggiMostrati();
        QCOMPARE(mostrati.size(), std::size_t{1});
        QCOMPARE(mostrati[0].titolo, std::string("E-mail"));
        QCOMPARE(mostrati[0].testo, "Il programma di posta Recapito non \xE8 installato (non \xE8 "
                                    "nel percorso dei programmi): la pagina resta in " +
                                        (Cartella() / "e-mail3.txt").string() + ".");
        // Told, not fatal: the window stays with its page.
        QVERIFY(!vdx::ui::InChiusura());
        QVERIFY(finestra->isVisible());
        QCOMPARE(finestra->TestoMostrato(), pagina);
        QCOMPARE(vdx::ui::NotificaMostrata(finestra.get()), std::string());
    }

    void inizioWithoutAReportIsAnError() {
        ScriviReport(5);
        auto finestra = Apri();
        fs::remove(Cartella() / "FD3");
        finestra->Tasto(Anteprima::Inizio)->click();
        QVERIFY(vdx::ui::InChiusura());
        QCOMPARE(vdx::ui::CodiceUscita(), vdx::ui::UscitaErrore);
        QCOMPARE(vdx::ui::MessaggiMostrati().size(), std::size_t{1});
        QVERIFY(vdx::ui::MessaggiMostrati()[0].testo.find("53") != std::string::npos);
    }

    void esciClosesTheReport() {
        ScriviReport(400);
        auto finestra = Apri();
        QVERIFY(finestra->Paginatore().Aperto());
        finestra->Tasto(Anteprima::Esci)->click();
        QVERIFY(!finestra->isVisible());
        QVERIFY(!finestra->Paginatore().Aperto());
    }

    void shownModally() {
        ScriviReport(400);
        bool vista = false;
        Anteprima::ImpostaAttesaModale([&](Anteprima& finestra) {
            vista = finestra.isVisible() && finestra.isModal();
            QCOMPARE(Righe(finestra.TestoMostrato()).size(), std::size_t{151});
        });
        vdx::ui::MostraAnteprima(nullptr, Cartella(), "3");
        QVERIFY(vista);
    }
};

QTEST_MAIN(AnteprimaTest)
#include "AnteprimaTest.moc"
