#pragma once

// The platform's message box, as every window of the program shows it
// (over its window, or in the middle of the screen when that window is not
// on the screen yet), with
// a seam so tests never block: a test sets the next answers and reads back
// what was shown. On Qt's offscreen platform, where nobody could answer a
// box, the message is written to the error stream and the default answer
// (OK, or No for a question) is taken.

#include <QMessageBox>
#include <deque>
#include <string>
#include <vector>

class QWidget;

namespace vdx::ui {

enum class Icona { Avviso, Domanda, Esclamazione, Errore, Informazione };

enum class Risposta {
    Ok,
    Si,
    No,
    Annulla // the question closed unanswered (Escape, the window's close box)
};

struct MessaggioMostrato {
    std::string testo; // code page 1252 bytes, as the program holds its texts
    std::string titolo;
    Icona icona;
    bool domanda; // Yes/No question (No as default)
};

// An OK box with the given icon. Texts are code page 1252 bytes.
void Avviso(QWidget* parent, const std::string& testo, const std::string& titolo,
            Icona icona = Icona::Avviso);

// A Yes/No question with the question icon and No as the default button
// (Enter answers No). Escape, or closing the box, answers neither: Annulla,
// and the caller gives up what it was about to do.
Risposta Domanda(QWidget* parent, const std::string& testo, const std::string& titolo);

// Test seam. While automatic mode is on, no box is shown: each call is
// recorded and answered by the next queued answer (Ok / No when none is
// queued).
void ModoAutomatico(bool on);
void AccodaRisposta(Risposta risposta);
const std::vector<MessaggioMostrato>& MessaggiMostrati();
void AzzeraMessaggi();
// Test seam: with automatic mode off, boxes are shown for real on Qt's
// offscreen platform too, so that a test can press their keys.
void MostraSenzaSchermo(bool on);

// Qt's own texts (the buttons Sì/No, Annulla, the file dialog) in Italian,
// from the translations installed with Qt; false when they are not there.
bool CaricaTraduzioni();

// Code page 1252 bytes <-> Qt text.
QString DaCp1252(const std::string& bytes);
std::string ACp1252(const QString& testo);

} // namespace vdx::ui
