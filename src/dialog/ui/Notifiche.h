#pragma once

// Notices: a short text that says what an action did (where a print, a file
// or a page went), shown without stopping the user, without covering a
// control and without taking a click. A window shows them in a line of its
// own, under its controls (RigaNotifiche); otherwise in the bottom right
// corner of an area of the window (AngoloNotifiche), where every click
// passes through to what lies under. A notice stays a few seconds, or, when
// it asks the user to do something, until the window's next action; a new
// notice replaces the one shown.

#include <QRect>
#include <filesystem>
#include <string>

class QWidget;

namespace vdx::ui {

// `finestra` shows its notices in a line of its own at `geometria` (pixels,
// in the window), space it keeps free for them.
void RigaNotifiche(QWidget* finestra, const QRect& geometria);

// `finestra` shows its notices in the bottom right corner of `area` (one of
// its controls, the preview's page), over it but letting every click
// through. A window with neither shows them in its own bottom right corner.
void AngoloNotifiche(QWidget* finestra, QWidget* area);

enum class DurataNotifica {
    Breve,                 // a few seconds
    FinoAllaProssimaAzione // until TogliNotifica(): the user has something to do
};

// Shows `testo` (code page 1252 bytes) as the notice of `finestra`.
void Notifica(QWidget* finestra, const std::string& testo,
              DurataNotifica durata = DurataNotifica::Breve);

// The window's next action: the notice shown goes.
void TogliNotifica(QWidget* finestra);

// The notice `finestra` shows now, "" for none (for tests).
std::string NotificaMostrata(const QWidget* finestra);

// A file written for the user, told with its full path: either it is being
// opened with the program the desktop associates with it (`aperto`), or no
// program took it and the user is to open it by hand, a notice that stays
// until the next action. Every button that writes a file and hands it to
// the desktop tells its outcome this way.
void NotificaFileScritto(QWidget* finestra, const std::filesystem::path& file, bool aperto);

} // namespace vdx::ui
