#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace vdx {

// The system's current printer as driver-mode printing uses it: one text line
// per call, the font and its size set between texts, pages started on
// request. Texts are code page 1252 bytes. Each call may throw vdx::Errore
// (no printer, the print system refusing the job, a full disk for a PDF).
class Stampante {
public:
    virtual ~Stampante() = default;

    // The system's printers by device name, in the system's order.
    virtual std::vector<std::string> NomiDispositivi() = 0;
    // Makes one of them the current printer (it stays current for later
    // prints); until then the current printer is the system's default.
    virtual void SelezionaDispositivo(const std::string& nome) = 0;
    // Sends this print into a PDF file instead of a printer.
    virtual void ImpostaFilePdf(const std::filesystem::path& file) = 0;
    // Where this print goes: the PDF file, else the current printer's name.
    virtual std::string DispositivoScelto() const = 0;

    virtual void SetDuplex(int modo) = 0;              // 1 one-sided, 2 two-sided
    virtual void SetOrientation(int orientamento) = 0; // 1 portrait, 2 landscape
    virtual void SetFontName(const std::string& nome) = 0;
    virtual void SetFontSize(double punti) = 0;
    // The size in force, as the printer keeps it (its own rounding applied).
    virtual double FontSize() const = 0;
    virtual void SetBold(bool grassetto) = 0;

    // The width, in points, `testo` takes printed in the font `nomeFont` at
    // `punti` points, and the width a line has on this printer's page in
    // `orientamento` (1 portrait, 2 landscape). Neither changes the printer's
    // state.
    virtual double LarghezzaTesto(const std::string& testo, const std::string& nomeFont,
                                  double punti) = 0;
    virtual double LarghezzaUtile(int orientamento) = 0;
    // The same for heights: what a line printed in `nomeFont` at `punti`
    // points takes down the page, and the height a page in `orientamento`
    // has for lines. Lines go down the page one under the other, each
    // taking its own height; the printer never starts a page by itself.
    virtual double AltezzaRiga(const std::string& nomeFont, double punti) = 0;
    virtual double AltezzaUtile(int orientamento) = 0;

    virtual void PrintText(const std::string& testo) = 0; // the next text continues the line
    virtual void PrintLine(const std::string& testo) = 0; // followed by a line end
    virtual void NewPage() = 0;
    // Prints `testo` centred on the last line of the page, in the font and
    // size in force; the lines of the page go on where they were.
    virtual void PiePagina(const std::string& testo) = 0;
    // Ends the document and releases it to the printer (or writes the PDF).
    virtual void EndDoc() = 0;
};

} // namespace vdx
