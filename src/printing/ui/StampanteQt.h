#pragma once

// The system printer for driver-mode printing, drawn with Qt: each print is
// laid out as a PDF document in memory, then either written to the PDF file
// the output names (replacing it only once it is whole) or handed to the
// print system (CUPS) as one job, whose acceptance is checked, so a refusal
// or a full disk is reported rather than lost.

#include "printing/StampaReport.h"
#include "printing/Stampante.h"

#include <QBuffer>
#include <QByteArray>
#include <QFont>
#include <QFontMetricsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QString>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>

class QPdfWriter;

namespace vdx::ui {

class Avanzamenti;

class StampanteQt final : public Stampante {
public:
    // `titolo` names the job in the print queue.
    explicit StampanteQt(std::string titolo = "Tableau");
    ~StampanteQt() override; // a document not ended is dropped, nothing is sent
    StampanteQt(const StampanteQt&) = delete;
    StampanteQt& operator=(const StampanteQt&) = delete;

    std::vector<std::string> NomiDispositivi() override;
    void SelezionaDispositivo(const std::string& nome) override;
    void ImpostaFilePdf(const std::filesystem::path& file) override;
    std::string DispositivoScelto() const override;

    void SetDuplex(int modo) override;
    void SetOrientation(int orientamento) override;
    void SetFontName(const std::string& nome) override;
    void SetFontSize(double punti) override;
    double FontSize() const override;
    void SetBold(bool grassetto) override;
    double LarghezzaTesto(const std::string& testo, const std::string& nomeFont,
                          double punti) override;
    double LarghezzaUtile(int orientamento) override;
    double AltezzaRiga(const std::string& nomeFont, double punti) override;
    double AltezzaUtile(int orientamento) override;

    void PrintText(const std::string& testo) override;
    void PrintLine(const std::string& testo) override;
    void NewPage() override;
    void PiePagina(const std::string& testo) override;
    void EndDoc() override;

    // The current printer of this program run: the one last chosen by name,
    // "" while it is still the system's default.
    static std::string DispositivoCorrente();
    // Its two-sided mode: 0 (its own setting) until a print asks for 2, which
    // is never set back, so later prints of the run are two-sided too.
    static int FronteRetroCorrente();
    // Back to the system's default printer with its own settings.
    static void AzzeraDispositivoCorrente();

    // The print system's number of the job this document became, 0 before
    // it was sent (and for a PDF file).
    int Lavoro() const { return lavoro_; }

private:
    void Inizia();
    void PaginaSeServe();
    // The metrics of `nomeFont` at `punti`, on a page like the one drawn.
    const QFontMetricsF& Misura(const std::string& nomeFont, double punti);
    QPageLayout Pagina(int orientamento);
    void Disegna(const std::string& testo);
    void Invia(const QByteArray& pdf);
    QString NomeStampante() const;
    QPageSize Formato(); // the printer's own paper, A4 for a PDF file

    std::string titolo_;
    std::optional<std::filesystem::path> filePdf_;
    int orientamento_ = 1;
    QFont font_;
    QByteArray pdf_;
    QBuffer buffer_;
    std::unique_ptr<QPdfWriter> scrittorePdf_;
    QPainter painter_;
    QString stampante_; // the printer this document goes to
    // Text is measured on a page of the same resolution as the one drawn.
    QByteArray misuraDati_;
    QBuffer misuraBuffer_;
    std::unique_ptr<QPdfWriter> misura_;
    std::string misuraNome_;
    double misuraPunti_ = 0;
    QFont misuraFont_;
    // What the characters measure, for the fit and for the page drawn.
    std::unique_ptr<Avanzamenti> misurati_;
    std::unique_ptr<Avanzamenti> disegnati_;
    int lavoro_ = 0;
    bool iniziato_ = false;
    bool finito_ = false;
    bool paginaInSospeso_ = false;
    double x_ = 0;
    double y_ = 0;
};

// Makes the printer for the driver-mode prints, each job named as
// StampaReport() asks (after the report).
FabbricaStampante FabbricaStampanteQt();

// The installed family for a font name, with the metric-compatible free
// fonts standing in for the usual Windows ones ("Times New Roman" -> "Liberation
// Serif" where only that is installed).
QString FamigliaFont(const std::string& nome);

} // namespace vdx::ui
