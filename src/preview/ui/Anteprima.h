#pragma once

// The preview: the report file on screen one page at a time, in an editable
// fixed-pitch text box that does not wrap. Opened modally by the print menu.
// Seven buttons: smaller and larger text, next page, first page, hand the
// page to the e-mail sender, save the page over the report file, close.
// The title says "Pagina N di M"; Avanti is off on the last page.

#include "preview/PaginatoreAnteprima.h"

#include <QDialog>
#include <array>
#include <filesystem>
#include <functional>
#include <string>

class QPlainTextEdit;
class QPushButton;

namespace vdx::ui {

class Anteprima final : public QDialog {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(Anteprima)

public:
    // The buttons of the Tasto array, by index.
    enum Indice { Esci = 0, Riduci = 1, Espandi = 2, Avanti = 3, Inizio = 4, EMail = 5, Salva = 6 };

    // `cartella` is the working folder, `postazione` the workstation whose
    // report is shown and whose hand-off file the e-mail button writes.
    // Creating the window opens the report file for reading when it exists
    // (Form_Load).
    Anteprima(std::filesystem::path cartella, std::string postazione, QWidget* parent = nullptr);
    ~Anteprima() override;

    // Runs when the window is first shown: keeps it above the other windows,
    // lays the controls out for the window's size and shows the first page
    // (limit 20000). Without a report file the window closes at once.
    void Form_Activate();

    // The buttons; any other index does nothing. Errors of the files are
    // thrown. E-mail writes the hand-off file and starts the sender; how the
    // sender ends is told when it does (AvvioRecapito).
    void Tasto_Click(int index);

    // Fits the controls to the window's outer size (in twips, 15 to a pixel):
    // the text box grows with the window, the buttons keep to its bottom
    // edge, the exit button reaches to 150 twips from the right edge.
    void Disponi();

    QPlainTextEdit* Text1() const { return text1_; }
    QPushButton* Tasto(int index) const;
    const PaginatoreAnteprima& Paginatore() const { return paginatore_; }

    // The text shown, as code page 1252 with CR LF line ends.
    std::string TestoMostrato() const;

    // Test seam: while set, MostraAnteprima() shows the window without a
    // nested event loop, calls `attesa` with it and closes it afterwards.
    using AttesaFn = std::function<void(Anteprima&)>;
    static void ImpostaAttesaModale(AttesaFn attesa);

protected:
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

public slots:
    void done(int risultato) override;

private:
    void Costruisci();
    void MostraPagina();
    void CambiaCarattere(double punti);
    void InviaEMail();

    std::filesystem::path cartella_;
    PaginatoreAnteprima paginatore_;
    QPlainTextEdit* text1_ = nullptr;
    std::array<QPushButton*, 7> tasto_{};
    bool attivata_ = false;
};

// Shows the preview of the report of `postazione` in `cartella` modally over
// `parent` and returns when it has closed.
void MostraAnteprima(QWidget* parent, const std::filesystem::path& cartella,
                     const std::string& postazione);

} // namespace vdx::ui
