#pragma once

// The pictures of the picture buttons, drawn at 128 by 128 pixels.

#include <QIcon>
#include <QImage>

namespace vdx::ui {

enum class Disegno {
    Stampante,     // a printer with a sheet coming out
    Anteprima,     // a written page under a magnifying glass
    DocumentoW,    // a word-processor document marked W
    DocumentoX,    // a spreadsheet document marked X
    DocumentoPdf,  // a PDF document
    Uscita,        // an open door under an exit sign
    UscitaFreccia, // the same with a green arrow through the door
};

QImage Immagine(Disegno disegno);
QIcon IconaDisegno(Disegno disegno);

} // namespace vdx::ui
