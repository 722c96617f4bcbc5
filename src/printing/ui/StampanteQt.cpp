#include "printing/ui/StampanteQt.h"

#include "dialog/ui/Messaggi.h"
#include "report/ConvertiBordi.h"
#include "shared/Cp1252.h"
#include "shared/Errore.h"
#include "shared/FileTesto.h"

#include <QFontDatabase>
#include <QFontMetricsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>
#include <QPrinterInfo>
#include <array>
#include <bitset>
#include <cmath>
#include <cups/cups.h>
#include <optional>
#include <vector>

namespace vdx::ui {

namespace {

constexpr int Risoluzione = 1200;  // dots per inch of the laid-out page
constexpr double MargineMm = 6.35; // a quarter inch, what most printers cannot reach anyway

std::string& Corrente() {
    static std::string corrente;
    return corrente;
}

// The two-sided mode the current printer holds: 0 is its own setting.
int& FronteRetro() {
    static int modo = 0;
    return modo;
}

// The arms of a line-drawing byte of the report (code page 437): left, right,
// up, down; 1 single line, 2 double line.
struct Bracci {
    int sx = 0, dx = 0, su = 0, giu = 0;
};

std::optional<Bracci> BracciDi(unsigned char c) {
    switch (c) {
    case 179:
        return Bracci{0, 0, 1, 1}; // │
    case 180:
        return Bracci{1, 0, 1, 1}; // ┤
    case 183:
        return Bracci{1, 0, 0, 2}; // ╖
    case 186:
        return Bracci{0, 0, 2, 2}; // ║
    case 187:
        return Bracci{2, 0, 0, 2}; // ╗
    case 188:
        return Bracci{2, 0, 2, 0}; // ╝
    case 191:
        return Bracci{1, 0, 0, 1}; // ┐
    case 192:
        return Bracci{0, 1, 1, 0}; // └
    case 193:
        return Bracci{1, 1, 1, 0}; // ┴
    case 194:
        return Bracci{1, 1, 0, 1}; // ┬
    case 195:
        return Bracci{0, 1, 1, 1}; // ├
    case 196:
        return Bracci{1, 1, 0, 0}; // ─
    case 197:
        return Bracci{1, 1, 1, 1}; // ┼
    case 200:
        return Bracci{0, 2, 2, 0}; // ╚
    case 201:
        return Bracci{0, 2, 0, 2}; // ╔
    case 202:
        return Bracci{2, 2, 2, 0}; // ╩
    case 203:
        return Bracci{2, 2, 0, 2}; // ╦
    case 204:
        return Bracci{0, 2, 2, 2}; // ╠
    case 206:
        return Bracci{2, 2, 2, 2}; // ╬
    case 217:
        return Bracci{1, 0, 1, 0}; // ┘
    case 218:
        return Bracci{0, 1, 0, 1}; // ┌
    default:
        return std::nullopt;
    }
}

// Draws one line-drawing cell whose top-left corner is (x, y).
void DisegnaBordo(QPainter& p, const Bracci& b, double x, double y, double w, double h) {
    const double cx = x + w / 2;
    const double cy = y + h / 2;
    const double d = w / 6; // half the gap of a double line
    auto orizzontale = [&](double x1, double x2, int tipo) {
        if (tipo == 1) {
            p.drawLine(QPointF(x1, cy), QPointF(x2, cy));
        } else if (tipo == 2) {
            p.drawLine(QPointF(x1, cy - d), QPointF(x2, cy - d));
            p.drawLine(QPointF(x1, cy + d), QPointF(x2, cy + d));
        }
    };
    auto verticale = [&](double y1, double y2, int tipo) {
        if (tipo == 1) {
            p.drawLine(QPointF(cx, y1), QPointF(cx, y2));
        } else if (tipo == 2) {
            p.drawLine(QPointF(cx - d, y1), QPointF(cx - d, y2));
            p.drawLine(QPointF(cx + d, y1), QPointF(cx + d, y2));
        }
    };
    orizzontale(x, cx, b.sx);
    orizzontale(cx, x + w, b.dx);
    verticale(y, cy, b.su);
    verticale(cy, y + h, b.giu);
}

// A line as it is drawn: runs of text, and the rules of the report (only a
// report printed with "K" still holds them), each drawn as lines in a cell.
// A byte where the layout puts no rule is a letter (À, Ù), even if code page
// 437 draws it as a corner.
struct Pezzo {
    std::string testo;            // a run of text, or empty for a rule
    std::optional<Bracci> bracci; // a rule
};

std::vector<Pezzo> Pezzi(const std::string& riga) {
    std::vector<Pezzo> pezzi;
    std::string sequenza;
    for (std::size_t i = 0; i < riga.size(); ++i) {
        const auto bracci = PosizioneDiRegola(riga, i)
                                ? BracciDi(static_cast<unsigned char>(riga[i]))
                                : std::nullopt;
        if (!bracci) {
            sequenza.push_back(riga[i]);
            continue;
        }
        if (!sequenza.empty()) {
            pezzi.push_back({std::move(sequenza), std::nullopt});
            sequenza.clear();
        }
        pezzi.push_back({std::string(), bracci});
    }
    if (!sequenza.empty()) {
        pezzi.push_back({std::move(sequenza), std::nullopt});
    }
    return pezzi;
}

} // namespace

// The advances of the bytes of code page 1252 in one font on one page, each
// measured once: a line is as wide as the sum of its characters (the fixed
// pitch fonts of the report have no kerning, and a proportional one kerns
// by less than a column), so thousands of lines are measured without
// shaping each one.
class Avanzamenti {
public:
    // The metrics of `font` on `pagina`; what is known stays while neither changes.
    const QFontMetricsF& Per(const QFont& font, QPaintDevice* pagina) {
        if (!metrica_ || pagina != pagina_ || !(font == font_)) {
            font_ = font;
            pagina_ = pagina;
            metrica_.emplace(font, pagina);
            noti_.reset();
        }
        return *metrica_;
    }

    double Carattere(unsigned char c) {
        if (!noti_.test(c)) {
            avanzamenti_[c] =
                metrica_->horizontalAdvance(DaCp1252(std::string(1, static_cast<char>(c))));
            noti_.set(c);
        }
        return avanzamenti_[c];
    }

    double Testo(std::string_view testo) {
        double x = 0;
        for (const char c : testo) {
            x += Carattere(static_cast<unsigned char>(c));
        }
        return x;
    }

    // A line as Pezzi() lays it out: a rule takes a cell as wide as "-".
    double Riga(const std::string& riga) {
        double x = 0;
        for (std::size_t i = 0; i < riga.size(); ++i) {
            const auto c = static_cast<unsigned char>(riga[i]);
            x += Carattere(PosizioneDiRegola(riga, i) && BracciDi(c) ? '-' : c);
        }
        return x;
    }

private:
    QFont font_;
    QPaintDevice* pagina_ = nullptr;
    std::optional<QFontMetricsF> metrica_;
    std::array<double, 256> avanzamenti_{};
    std::bitset<256> noti_;
};

namespace {

constexpr double PuntiPerPollice = 72.0;

QMarginsF Margini() {
    return QMarginsF(MargineMm, MargineMm, MargineMm, MargineMm);
}

Errore ErroreStampante(const std::string& testo) {
    return Errore(errore::ErroreStampante, testo);
}

} // namespace

FabbricaStampante FabbricaStampanteQt() {
    return [](const std::string& lavoro) { return std::make_unique<StampanteQt>(lavoro); };
}

QString FamigliaFont(const std::string& nome) {
    const QString richiesta = DaCp1252(nome);
    const QStringList installate = QFontDatabase::families();
    if (installate.contains(richiesta, Qt::CaseInsensitive)) {
        return richiesta;
    }
    static const std::array<std::pair<const char*, const char*>, 8> sostituti{{
        {"Times New Roman", "Liberation Serif"},
        {"Times", "Liberation Serif"},
        {"Courier New", "Liberation Mono"},
        {"Courier", "Liberation Mono"},
        {"Lucida Console", "Liberation Mono"},
        {"Consolas", "Liberation Mono"},
        {"Arial", "Liberation Sans"},
        {"Helvetica", "Liberation Sans"},
    }};
    for (const auto& [nomeWindows, libero] : sostituti) {
        const QString alternativa = QString::fromLatin1(libero);
        if (richiesta.compare(QString::fromLatin1(nomeWindows), Qt::CaseInsensitive) == 0 &&
            installate.contains(alternativa)) {
            return alternativa;
        }
    }
    return richiesta; // the font system picks its own stand-in
}

StampanteQt::StampanteQt(std::string titolo)
    : titolo_(std::move(titolo)), misurati_(std::make_unique<Avanzamenti>()),
      disegnati_(std::make_unique<Avanzamenti>()) {
    font_.setFamily(FamigliaFont("Courier New"));
    font_.setPointSizeF(10);
}

StampanteQt::~StampanteQt() {
    if (painter_.isActive()) {
        painter_.end();
    }
}

std::string StampanteQt::DispositivoCorrente() {
    return Corrente();
}

int StampanteQt::FronteRetroCorrente() {
    return FronteRetro();
}

void StampanteQt::AzzeraDispositivoCorrente() {
    Corrente().clear();
    FronteRetro() = 0;
}

std::vector<std::string> StampanteQt::NomiDispositivi() {
    std::vector<std::string> nomi;
    for (const QString& nome : QPrinterInfo::availablePrinterNames()) {
        nomi.push_back(ACp1252(nome));
    }
    return nomi;
}

void StampanteQt::SelezionaDispositivo(const std::string& nome) {
    Corrente() = nome;
}

void StampanteQt::ImpostaFilePdf(const std::filesystem::path& file) {
    filePdf_ = file;
}

std::string StampanteQt::DispositivoScelto() const {
    return filePdf_ ? Cp1252DaUtf8(filePdf_->string()) : ACp1252(NomeStampante());
}

void StampanteQt::SetDuplex(int modo) {
    // Kept by the printer, not by this one document.
    FronteRetro() = modo;
}

void StampanteQt::SetOrientation(int orientamento) {
    orientamento_ = orientamento;
}

void StampanteQt::SetFontName(const std::string& nome) {
    font_.setFamily(FamigliaFont(nome));
    // A font that is not installed is replaced by a fixed-width one, so the
    // report's columns still line up.
    font_.setStyleHint(QFont::TypeWriter);
}

void StampanteQt::SetFontSize(double punti) {
    // A size of nothing or less cannot be drawn; the size in force stays.
    if (punti > 0) {
        font_.setPointSizeF(punti);
    }
}

double StampanteQt::FontSize() const {
    return font_.pointSizeF();
}

void StampanteQt::SetBold(bool grassetto) {
    font_.setBold(grassetto);
}

QString StampanteQt::NomeStampante() const {
    if (!Corrente().empty()) {
        return DaCp1252(Corrente());
    }
    QString predefinita = QPrinterInfo::defaultPrinterName();
    if (predefinita.isEmpty()) {
        const QStringList tutte = QPrinterInfo::availablePrinterNames();
        if (!tutte.isEmpty()) {
            predefinita = tutte.front();
        }
    }
    return predefinita;
}

QPageSize StampanteQt::Formato() {
    if (!filePdf_) {
        const QPrinterInfo attributi = QPrinterInfo::printerInfo(NomeStampante());
        if (!attributi.isNull() && attributi.defaultPageSize().isValid()) {
            return attributi.defaultPageSize();
        }
    }
    return QPageSize(QPageSize::A4);
}

const QFontMetricsF& StampanteQt::Misura(const std::string& nomeFont, double punti) {
    if (!misura_) {
        misuraBuffer_.setBuffer(&misuraDati_);
        misuraBuffer_.open(QIODevice::WriteOnly);
        misura_ = std::make_unique<QPdfWriter>(&misuraBuffer_);
        misura_->setResolution(Risoluzione);
    }
    if (nomeFont != misuraNome_ || punti != misuraPunti_) {
        misuraNome_ = nomeFont;
        misuraPunti_ = punti;
        misuraFont_ = QFont();
        misuraFont_.setFamily(FamigliaFont(nomeFont));
        misuraFont_.setStyleHint(QFont::TypeWriter);
        misuraFont_.setPointSizeF(punti);
    }
    return misurati_->Per(misuraFont_, misura_.get());
}

QPageLayout StampanteQt::Pagina(int orientamento) {
    return QPageLayout(Formato(),
                       orientamento == 2 ? QPageLayout::Landscape : QPageLayout::Portrait,
                       Margini(), QPageLayout::Millimeter);
}

double StampanteQt::LarghezzaTesto(const std::string& testo, const std::string& nomeFont,
                                   double punti) {
    Misura(nomeFont, punti);
    return misurati_->Riga(testo) * PuntiPerPollice / Risoluzione;
}

double StampanteQt::LarghezzaUtile(int orientamento) {
    return Pagina(orientamento).paintRect(QPageLayout::Point).width();
}

// In the page's own dots, as lines are drawn, so that what fits when
// measured fits when drawn.
double StampanteQt::AltezzaRiga(const std::string& nomeFont, double punti) {
    return Misura(nomeFont, punti).lineSpacing() * PuntiPerPollice / Risoluzione;
}

double StampanteQt::AltezzaUtile(int orientamento) {
    return Pagina(orientamento).paintRectPixels(Risoluzione).height() * PuntiPerPollice /
           Risoluzione;
}

void StampanteQt::Inizia() {
    if (iniziato_) {
        return;
    }
    if (finito_) {
        throw ErroreStampante(Cp1252DaUtf8("La stampa è già stata chiusa"));
    }
    if (!filePdf_) {
        stampante_ = NomeStampante();
        if (stampante_.isEmpty()) {
            throw ErroreStampante(Cp1252DaUtf8("Nessuna stampante installata"));
        }
    }
    buffer_.setBuffer(&pdf_);
    buffer_.open(QIODevice::WriteOnly);
    scrittorePdf_ = std::make_unique<QPdfWriter>(&buffer_);
    scrittorePdf_->setResolution(Risoluzione);
    scrittorePdf_->setTitle(DaCp1252(titolo_));
    scrittorePdf_->setCreator(QStringLiteral("vdx"));
    scrittorePdf_->setPageLayout(Pagina(orientamento_));
    if (!painter_.begin(scrittorePdf_.get())) {
        throw ErroreStampante("Impossibile preparare la pagina di stampa");
    }
    iniziato_ = true;
    x_ = 0;
    y_ = 0;
}

void StampanteQt::PaginaSeServe() {
    // Pages begin only when asked for: the lines of a page are fitted to its
    // height before they are printed.
    if (!paginaInSospeso_) {
        return;
    }
    paginaInSospeso_ = false;
    const auto voluto = orientamento_ == 2 ? QPageLayout::Landscape : QPageLayout::Portrait;
    if (scrittorePdf_->pageLayout().orientation() != voluto) {
        scrittorePdf_->setPageOrientation(voluto);
    }
    if (!scrittorePdf_->newPage()) {
        throw ErroreStampante("Impossibile iniziare una nuova pagina");
    }
    x_ = 0;
    y_ = 0;
}

void StampanteQt::Disegna(const std::string& testo) {
    Inizia();
    painter_.setFont(font_);
    const QFontMetricsF& metrica = disegnati_->Per(font_, scrittorePdf_.get());
    PaginaSeServe();
    const double base = y_ + metrica.ascent();
    const double cella = disegnati_->Carattere('-');
    QPen penna(Qt::black);
    penna.setWidthF(font_.bold() ? 0.8 * Risoluzione / 72.0 : 0.5 * Risoluzione / 72.0);

    for (const Pezzo& pezzo : Pezzi(testo)) {
        if (!pezzo.bracci) {
            painter_.drawText(QPointF(x_, base), DaCp1252(pezzo.testo));
            x_ += disegnati_->Testo(pezzo.testo);
            continue;
        }
        painter_.save();
        painter_.setPen(penna);
        DisegnaBordo(painter_, *pezzo.bracci, x_, y_, cella, metrica.lineSpacing());
        painter_.restore();
        x_ += cella;
    }
}

void StampanteQt::PrintText(const std::string& testo) {
    Disegna(testo);
}

void StampanteQt::PrintLine(const std::string& testo) {
    Disegna(testo);
    y_ += disegnati_->Per(font_, scrittorePdf_.get()).lineSpacing();
    x_ = 0;
}

void StampanteQt::NewPage() {
    Inizia();
    paginaInSospeso_ = true;
}

void StampanteQt::PiePagina(const std::string& testo) {
    Inizia();
    PaginaSeServe();
    painter_.setFont(font_);
    const QFontMetricsF& metrica = disegnati_->Per(font_, scrittorePdf_.get());
    const QRect pagina = scrittorePdf_->pageLayout().paintRectPixels(Risoluzione);
    const QString q = DaCp1252(testo);
    const double x = (pagina.width() - disegnati_->Testo(testo)) / 2;
    painter_.drawText(QPointF(std::max(0.0, x), pagina.height() - metrica.descent()), q);
}

void StampanteQt::EndDoc() {
    if (!iniziato_) {
        return; // nothing was printed
    }
    if (!painter_.end()) {
        throw ErroreStampante("Impossibile completare il documento di stampa");
    }
    buffer_.close();
    iniziato_ = false;
    finito_ = true;
    if (filePdf_) {
        // Written whole through a temporary file: a full disk leaves any
        // earlier PDF of that name as it was and is reported.
        ScriviFileAtomico(
            *filePdf_, std::string_view(pdf_.constData(), static_cast<std::size_t>(pdf_.size())));
        return;
    }
    Invia(pdf_);
}

void StampanteQt::Invia(const QByteArray& pdf) {
    // "name/instance" is one printer with saved options; the job goes to the name.
    const QByteArray nome = stampante_.section(QLatin1Char('/'), 0, 0).toLocal8Bit();
    const QByteArray titolo = DaCp1252(titolo_).toUtf8();
    const std::string nomeCp = ACp1252(stampante_);

    cups_option_t* opzioni = nullptr;
    int n = 0;
    n = cupsAddOption("orientation-requested", orientamento_ == 2 ? "4" : "3", n, &opzioni);
    const int fronteRetro = FronteRetro();
    if (fronteRetro == 2) {
        // Two-sided, turned on the side that keeps the pages upright.
        n = cupsAddOption("sides",
                          orientamento_ == 2 ? "two-sided-short-edge" : "two-sided-long-edge", n,
                          &opzioni);
    } else if (fronteRetro == 1) {
        n = cupsAddOption("sides", "one-sided", n, &opzioni);
    }
    auto rifiuto = [&](const char* fase) {
        return ErroreStampante("La stampante " + nomeCp + " non ha accettato la stampa (" + fase +
                               "): " + Cp1252DaUtf8(cupsLastErrorString()));
    };

    const int lavoro =
        cupsCreateJob(CUPS_HTTP_DEFAULT, nome.constData(), titolo.constData(), n, opzioni);
    cupsFreeOptions(n, opzioni);
    if (lavoro == 0) {
        throw rifiuto("creazione");
    }
    if (cupsStartDocument(CUPS_HTTP_DEFAULT, nome.constData(), lavoro, titolo.constData(),
                          CUPS_FORMAT_PDF, 1) != HTTP_STATUS_CONTINUE) {
        const Errore e = rifiuto("invio");
        cupsCancelJob2(CUPS_HTTP_DEFAULT, nome.constData(), lavoro, 0);
        throw e;
    }
    if (cupsWriteRequestData(CUPS_HTTP_DEFAULT, pdf.constData(), static_cast<size_t>(pdf.size())) !=
        HTTP_STATUS_CONTINUE) {
        const Errore e = rifiuto("invio");
        cupsFinishDocument(CUPS_HTTP_DEFAULT, nome.constData());
        cupsCancelJob2(CUPS_HTTP_DEFAULT, nome.constData(), lavoro, 0);
        throw e;
    }
    if (cupsFinishDocument(CUPS_HTTP_DEFAULT, nome.constData()) > IPP_STATUS_OK_EVENTS_COMPLETE) {
        const Errore e = rifiuto("chiusura");
        cupsCancelJob2(CUPS_HTTP_DEFAULT, nome.constData(), lavoro, 0);
        throw e;
    }
    lavoro_ = lavoro;
}

} // namespace vdx::ui
