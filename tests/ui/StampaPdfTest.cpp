// Driver-mode printing drawn by Qt into a real PDF file, read back with
// pdftotext and pdfinfo: the lines on each page, the page count, the page
// shape and the errors a user can meet.

#include "printing/StampaDriver.h"
#include "printing/ui/StampanteQt.h"
#include "report/Righe.h"
#include "shared/Cp1252.h"
#include "shared/Errore.h"
#include "shared/FileTesto.h"
#include "support/CartellaLavoro.h"

#include <QApplication>
#include <QFontDatabase>
#include <QProcess>
#include <QtTest>
#include <csignal>
#include <filesystem>
#include <memory>
#include <string>
#include <sys/resource.h>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

namespace {

// Runs a poppler tool and returns what it printed (UTF-8).
QString Esegui(const QString& programma, const QStringList& argomenti) {
    QProcess p;
    p.start(programma, argomenti);
    if (!p.waitForFinished(30000) || p.exitCode() != 0) {
        return QStringLiteral("<%1 failed: %2>")
            .arg(programma, QString::fromUtf8(p.readAllStandardError()));
    }
    return QString::fromUtf8(p.readAllStandardOutput());
}

// The pages of a PDF as pdftotext lays them out, each as its lines with
// trailing blanks removed and blank lines left out.
std::vector<QStringList> Pagine(const fs::path& pdf) {
    const QString testo = Esegui(
        QStringLiteral("pdftotext"),
        {QStringLiteral("-layout"), QString::fromStdString(pdf.string()), QStringLiteral("-")});
    std::vector<QStringList> pagine;
    QStringList fogli = testo.split(QLatin1Char('\f'));
    if (!fogli.isEmpty() && fogli.back().trimmed().isEmpty()) {
        fogli.removeLast(); // pdftotext ends every page with a form feed
    }
    for (const QString& foglio : fogli) {
        QStringList righe;
        for (QString riga : foglio.split(QLatin1Char('\n'))) {
            while (!riga.isEmpty() && riga.back().isSpace()) {
                riga.chop(1);
            }
            if (!riga.isEmpty()) {
                righe << riga;
            }
        }
        pagine.push_back(righe);
    }
    return pagine;
}

QString InfoPdf(const fs::path& pdf, const QString& voce) {
    const QString info = Esegui(QStringLiteral("pdfinfo"), {QString::fromStdString(pdf.string())});
    for (const QString& riga : info.split(QLatin1Char('\n'))) {
        if (riga.startsWith(voce + QLatin1Char(':'))) {
            return riga.mid(voce.size() + 1).trimmed();
        }
    }
    return {};
}

// Report lines "|RIGAnn|" ruled with byte 179 in columns 1 and 8.
std::vector<std::string> Righe(int quante) {
    std::vector<std::string> righe;
    for (int i = 1; i <= quante; ++i) {
        char buf[32];
        std::snprintf(buf, sizeof buf, "\xb3RIGA%02d\xb3", i);
        righe.emplace_back(buf);
    }
    return righe;
}

QStringList Attese(int da, int a) {
    QStringList righe;
    for (int i = da; i <= a; ++i) {
        righe << QStringLiteral("|RIGA%1|").arg(i, 2, 10, QLatin1Char('0'));
    }
    return righe;
}

// The foot of page n of m, as pdftotext gives it (centred: leading blanks).
bool Piede(const QString& riga, int n, int m) {
    return riga.trimmed() == QStringLiteral("Pagina %1 di %2").arg(n).arg(m);
}

// A page's lines without its foot, which must be there.
QStringList SenzaPiede(const QStringList& pagina, int n, int m) {
    if (pagina.isEmpty() || !Piede(pagina.back(), n, m)) {
        return QStringList{QStringLiteral("<no foot \"Pagina %1 di %2\">").arg(n).arg(m)} + pagina;
    }
    return pagina.mid(0, pagina.size() - 1);
}

// A tableau as the generator writes it: the title and the ruled column
// heads, `camere` room blocks (two lines and the rule under them), the
// bottom border, the totals and the form feed.
std::vector<std::string> Tableau(int camere) {
    const vdx::Righe r = vdx::CostruisciRighe(" Hotel : Prova", false);
    std::vector<std::string> righe(r.begin() + 1, r.begin() + 7);
    for (int i = 1; i <= camere; ++i) {
        std::string prima = r[9];
        vdx::ScriviCodice(prima, 1, "C" + std::to_string(i));
        righe.insert(righe.end(), {prima, r[9], r[6]});
    }
    righe.insert(righe.end(), {r[8], "Presenze attuali: 0      Totale Partenze : 0", "",
                               "Camere presenti : 0", "Totale presenze : 0", "\f"});
    return righe;
}

vdx::ImpostazioniStampa Driver(short lunghezza, short iniziali, const fs::path& pdf) {
    vdx::ImpostazioniStampa s;
    s.valoriCompresso = vdx::DividiGruppi("010000000000000001010000000000000000");
    s.lunghezzaPagina = lunghezza;
    s.righeIniziali = iniziali;
    s.uscitaStampa = pdf.string();
    return s;
}

} // namespace

class PrintPdfTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<vdx::test::CartellaLavoro> cartella_;

    fs::path Stampa(const std::vector<std::string>& righe, const vdx::ImpostazioniStampa& s,
                    const vdx::SceltaStampa& scelta = {}) {
        vdx::ScriviRigheAtomico(cartella_->Percorso() / "FD0", righe);
        vdx::ui::StampanteQt stampante("FD0");
        vdx::StampaModoDriver(stampante, s, scelta, cartella_->Percorso(),
                              cartella_->Percorso() / "FD0");
        return fs::path(s.uscitaStampa);
    }

private slots:
    void initTestCase() {
        if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty()) {
            QSKIP("pdftotext (poppler-utils) is not installed");
        }
    }
    void init() { cartella_ = std::make_unique<vdx::test::CartellaLavoro>(); }
    void cleanup() { cartella_.reset(); }

    // Pages of 4 lines with one blank top line hold 3 report lines each.
    void pagesFollowThePageLength() {
        const fs::path pdf = Stampa(Righe(10), Driver(4, 1, cartella_->Percorso() / "t.pdf"));
        QCOMPARE(InfoPdf(pdf, QStringLiteral("Pages")), QStringLiteral("4"));
        const auto pagine = Pagine(pdf);
        QCOMPARE(pagine.size(), std::size_t(4));
        QCOMPARE(SenzaPiede(pagine[0], 1, 4), Attese(1, 3));
        QCOMPARE(SenzaPiede(pagine[1], 2, 4), Attese(4, 6));
        QCOMPARE(SenzaPiede(pagine[2], 3, 4), Attese(7, 9));
        QCOMPARE(SenzaPiede(pagine[3], 4, 4), Attese(10, 10));
        QVERIFY(InfoPdf(pdf, QStringLiteral("Page size")).startsWith(QStringLiteral("595 x 842")));
    }

    // One new page per form feed; the report's last form feed adds none.
    void formFeedStartsOnePage() {
        auto righe = Righe(3);
        righe.insert(righe.begin() + 2, "\f");
        righe.push_back("\f");
        const fs::path pdf = Stampa(righe, Driver(60, 0, cartella_->Percorso() / "ff.PDF"));
        const auto pagine = Pagine(pdf);
        QCOMPARE(pagine.size(), std::size_t(2));
        QCOMPARE(SenzaPiede(pagine[0], 1, 2), Attese(1, 2));
        QCOMPARE(SenzaPiede(pagine[1], 2, 2), Attese(3, 3));
    }

    // A page length more than a sheet holds at the chosen size lowers the
    // size: the whole page is on one sheet, never carried over by itself.
    void pageLengthFitsTheSheet() {
        auto s = Driver(200, 0, cartella_->Percorso() / "lungo.pdf");
        s.valoriCompresso[0] = 20; // 20 points: some 35 lines a sheet
        const fs::path pdf = Stampa(Righe(90), s);
        const auto pagine = Pagine(pdf);
        QCOMPARE(pagine.size(), std::size_t(1));
        QCOMPARE(SenzaPiede(pagine[0], 1, 1), Attese(1, 90));
    }

    // A tableau on landscape pages of 80 lines, more than a sheet holds at
    // 10 points: 78 lines on page 1 (the head and 24 rooms: the 25th does
    // not fit the 2 lines left), then the head again, the other 16 rooms
    // and the totals; each page numbered at its foot.
    void tableauPages() {
        vdx::SceltaStampa scelta;
        scelta.orizzontale = true;
        const fs::path pdf =
            Stampa(Tableau(40), Driver(80, 0, cartella_->Percorso() / "tableau.pdf"), scelta);
        QCOMPARE(InfoPdf(pdf, QStringLiteral("Pages")), QStringLiteral("2"));
        const auto pagine = Pagine(pdf);
        QCOMPARE(pagine.size(), std::size_t(2));
        const QStringList prima = SenzaPiede(pagine[0], 1, 2);
        const QStringList seconda = SenzaPiede(pagine[1], 2, 2);
        QCOMPARE(prima.size(), 78);
        QCOMPARE(seconda.size(), 6 + 16 * 3 + 4); // the empty totals line is not shown
        // pdftotext spaces the words of each page its own way.
        for (int i = 0; i < 6; ++i) {
            QCOMPARE(seconda[i].simplified(), prima[i].simplified());
        }
        QVERIFY2(seconda[0].trimmed() == QStringLiteral("Hotel : Prova"), qPrintable(seconda[0]));
        QVERIFY2(seconda[6].startsWith(QStringLiteral("|C25")), qPrintable(seconda[6]));
        QCOMPARE(seconda.back(), QStringLiteral("Totale presenze : 0"));
    }

    void landscapeSheets() {
        vdx::SceltaStampa scelta;
        scelta.orizzontale = true;
        const fs::path pdf =
            Stampa(Righe(2), Driver(60, 0, cartella_->Percorso() / "o.pdf"), scelta);
        QVERIFY2(InfoPdf(pdf, QStringLiteral("Page size")).startsWith(QStringLiteral("842 x 595")),
                 qPrintable(InfoPdf(pdf, QStringLiteral("Page size"))));
        QCOMPARE(SenzaPiede(Pagine(pdf).front(), 1, 1), Attese(1, 2));
    }

    // Accented capitals become small letters, also those whose bytes are
    // line-drawing bytes; "ç" is a letter and nothing turns bold.
    void accentsAndCedilla() {
        const std::vector<std::string> righe{"\xb3NICOL\xd2\xb3"
                                             "CITT\xc0 \xb3",
                                             "NOME \xe7GRASSETTO\xe7 FINE"};
        const fs::path pdf = Stampa(righe, Driver(60, 0, cartella_->Percorso() / "b.pdf"));
        const auto pagine = Pagine(pdf);
        QCOMPARE(pagine.size(), std::size_t(1));
        QCOMPARE(pagine[0].size(), 3);
        QCOMPARE(pagine[0][0], QStringLiteral("|NICOL\u00f2|CITT\u00e0 |"));
        QCOMPARE(pagine[0][1], QStringLiteral("NOME \u00e7GRASSETTO\u00e7 FINE"));
        const QString fonts =
            Esegui(QStringLiteral("pdffonts"), {QString::fromStdString(pdf.string())});
        QVERIFY2(!fonts.contains(QStringLiteral("Bold")), qPrintable(fonts));
    }

    // With "K" the report's rules are drawn as lines, never as the letters
    // code page 1252 gives those bytes; a letter in a cell stays a letter.
    void lineDrawingWithK() {
        vdx::SceltaStampa scelta;
        scelta.codiceAssistenza = "K";
        const vdx::Righe r = vdx::CostruisciRighe(std::string(133, ' '), false);
        std::string camera = r[9];
        camera.replace(1, 6, "AB    ").replace(42, 6, "CANT\xd9 ");
        const std::vector<std::string> righe{r[2], camera, r[8]};
        const fs::path pdf = Stampa(righe, Driver(60, 0, cartella_->Percorso() / "k.pdf"), scelta);
        const auto pagine = Pagine(pdf);
        QCOMPARE(pagine.size(), std::size_t(1));
        QCOMPARE(SenzaPiede(pagine[0], 1, 1).size(), 1);
        const QString riga = pagine[0][0].simplified();
        QVERIFY2(riga == QStringLiteral("AB CANT\u00d9"), qPrintable(riga));
    }

    // A 133-column line at 10 points is wider than a portrait A4 page: the
    // size is lowered so that the whole line is on the page.
    void wideLinesFitThePage() {
        const std::string riga = "INIZIO" + std::string(123, '.') + "FINE";
        vdx::SceltaStampa scelta;
        scelta.compressa = false;
        const fs::path pdf =
            Stampa({riga}, Driver(60, 0, cartella_->Percorso() / "largo.pdf"), scelta);
        const auto pagine = Pagine(pdf);
        QCOMPARE(pagine.size(), std::size_t(1));
        QCOMPARE(SenzaPiede(pagine[0], 1, 1).size(), 1);
        QVERIFY2(pagine[0][0].trimmed().endsWith(QStringLiteral("FINE")), qPrintable(pagine[0][0]));
    }

    // A PDF that cannot be written is an error, and an earlier file of that
    // name is left whole.
    void unwritablePdfIsReported() {
        const fs::path dentro = cartella_->Percorso() / "manca" / "t.pdf";
        try {
            Stampa(Righe(1), Driver(60, 0, dentro));
            QFAIL("a PDF in a missing folder was reported as printed");
        } catch (const vdx::Errore& e) {
            QVERIFY2(e.Numero() != 0, e.what());
        }
        const fs::path vecchio = cartella_->Percorso() / "vecchio.pdf";
        vdx::ScriviFileAtomico(vecchio, "earlier");
        fs::permissions(cartella_->Percorso(), fs::perms::owner_read | fs::perms::owner_exec);
        bool rifiutato = false;
        try {
            Stampa(Righe(1), Driver(60, 0, vecchio));
        } catch (const vdx::Errore&) {
            rifiutato = true;
        }
        fs::permissions(cartella_->Percorso(), fs::perms::owner_all);
        if (::geteuid() != 0) { // root writes anyway
            QVERIFY(rifiutato);
        }
        if (rifiutato) {
            QCOMPARE(vdx::LeggiFile(vecchio), std::string("earlier"));
        }
    }

    // A PDF that cannot be written whole (here the process may write no
    // file over 2 KB, as a full disk would stop it) is an error, and the
    // earlier PDF of that name stays as it was.
    void pdfCutShortIsReportedAndTheOldFileKept() {
        const fs::path pdf = cartella_->Percorso() / "t.pdf";
        vdx::ScriviFileAtomico(pdf, "earlier");
        struct rlimit prima {};
        ::getrlimit(RLIMIT_FSIZE, &prima);
        const auto segnale = std::signal(SIGXFSZ, SIG_IGN);
        struct rlimit piccolo = prima;
        piccolo.rlim_cur = 2048;
        ::setrlimit(RLIMIT_FSIZE, &piccolo);
        bool rifiutato = false;
        try {
            Stampa(Righe(40), Driver(60, 0, pdf));
        } catch (const vdx::Errore&) {
            rifiutato = true;
        }
        ::setrlimit(RLIMIT_FSIZE, &prima);
        std::signal(SIGXFSZ, segnale);
        QVERIFY(rifiutato);
        QCOMPARE(vdx::LeggiFile(pdf), std::string("earlier"));
    }

    // A FontStp.txt naming a font that is not installed still prints the
    // report in a fixed-width face.
    void missingFontFallsBackToFixedWidth() {
        auto s = Driver(60, 0, cartella_->Percorso() / "f.pdf");
        s.fontStampa = "Nessun Carattere";
        const fs::path pdf = Stampa(Righe(2), s);
        const QString fonts =
            Esegui(QStringLiteral("pdffonts"), {QString::fromStdString(pdf.string())});
        QVERIFY2(fonts.contains(QStringLiteral("Mono")) ||
                     fonts.contains(QStringLiteral("Courier")),
                 qPrintable(fonts));
        QCOMPARE(SenzaPiede(Pagine(pdf).front(), 1, 1), Attese(1, 2));
    }

    void fontStandIns() {
        QCOMPARE(vdx::ui::FamigliaFont("Times New Roman").isEmpty(), false);
        if (QFontDatabase::families().contains(QStringLiteral("Liberation Serif")) &&
            !QFontDatabase::families().contains(QStringLiteral("Times New Roman"))) {
            QCOMPARE(vdx::ui::FamigliaFont("times new roman"), QStringLiteral("Liberation Serif"));
            QCOMPARE(vdx::ui::FamigliaFont("Courier New"), QStringLiteral("Liberation Mono"));
        }
        QCOMPARE(vdx::ui::FamigliaFont("Nessun Carattere"), QStringLiteral("Nessun Carattere"));
    }
};

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    PrintPdfTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "StampaPdfTest.moc"
