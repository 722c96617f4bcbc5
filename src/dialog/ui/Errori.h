#pragma once

// Errors of the data files or of the file system that reach a window handler.
// Qt handlers must not let an exception through the event loop, so each one
// runs inside Protetto(): the error is shown once, with its number and text,
// and the program ends with a non-zero status. Files are written through
// temporary files, so an interrupted write leaves nothing half-written.

#include "shared/Errore.h"

#include <exception>
#include <filesystem>
#include <functional>
#include <new>
#include <string>

class QWidget;

namespace vdx::ui {

// The status the program ends with after an error.
inline constexpr int UscitaErrore = 1;

// Shows "Errore <number>" and the error's text, then ends the program with
// status `codice`.
void ErroreFatale(QWidget* parent, int numero, const std::string& testo, int codice = UscitaErrore);
void ErroreFatale(QWidget* parent, const Errore& errore, int codice = UscitaErrore);

// Whether an error has ended the program. A handler that comes back from a
// modal window checks it before going on.
bool InChiusura();
int CodiceUscita(); // 0 until an error ends the program

// Ending the program: by default every event loop is left and the program's
// main loop returns the status. Tests replace it to see the status.
using FineFn = std::function<void(int)>;
void ImpostaFine(FineFn fn); // empty function restores the default
void AzzeraChiusura();       // tests: forget an earlier error

// Runs a window handler, reporting an error that reaches it. Returns false
// when an error ended the program.
template <typename F> bool Protetto(QWidget* parent, F&& handler) noexcept {
    try {
        handler();
        return true;
    } catch (const Errore& e) {
        ErroreFatale(parent, e);
    } catch (const std::filesystem::filesystem_error& e) {
        ErroreFatale(parent, errore::AccessoPercorso, DescrizioneErroreFile(e));
    } catch (const std::bad_alloc&) {
        ErroreFatale(parent, 7, "Memoria insufficiente");
    } catch (const std::exception& e) {
        ErroreFatale(parent, 51, e.what());
    } catch (...) {
        ErroreFatale(parent, 51, "Errore interno");
    }
    return false;
}

} // namespace vdx::ui
