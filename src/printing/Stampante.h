#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace vdx {

// The system's current printer as driver-mode printing uses it: one text line
// per call, the font and its size set between texts, pages started on
// request. Texts are code page 1252 bytes. Each call may throw vdx::Error
// (no printer, the print system refusing the job, a full disk for a PDF).
class Stampante {
public:
    virtual ~Stampante() = default;

    // The system's printers by device name, in the system's order.
    virtual std::vector<std::string> nomiDispositivi() = 0;
    // Makes one of them the current printer (it stays current for later
    // prints); until then the current printer is the system's default.
    virtual void selezionaDispositivo(const std::string& nome) = 0;
    // Sends this print into a PDF file instead of a printer.
    virtual void impostaFilePdf(const std::filesystem::path& file) = 0;
    // Where this print goes: the PDF file, else the current printer's name.
    virtual std::string dispositivoCorrente() const = 0;

    virtual void setDuplex(int modo) = 0;              // 1 one-sided, 2 two-sided
    virtual void setOrientation(int orientamento) = 0; // 1 portrait, 2 landscape
    virtual void setFontName(const std::string& nome) = 0;
    virtual void setFontSize(double punti) = 0;
    // The size in force, as the printer keeps it (its own rounding applied).
    virtual double fontSize() const = 0;
    virtual void setBold(bool grassetto) = 0;

    // The width, in points, `testo` takes printed in the font `nomeFont` at
    // `punti` points, and the width a line has on this printer's page in
    // `orientamento` (1 portrait, 2 landscape). Neither changes the printer's
    // state.
    virtual double larghezzaTesto(const std::string& testo, const std::string& nomeFont,
                                  double punti) = 0;
    virtual double larghezzaUtile(int orientamento) = 0;

    virtual void printText(const std::string& testo) = 0; // the next text continues the line
    virtual void printLine(const std::string& testo) = 0; // followed by a line end
    virtual void newPage() = 0;
    // Ends the document and releases it to the printer (or writes the PDF).
    virtual void endDoc() = 0;
};

} // namespace vdx
