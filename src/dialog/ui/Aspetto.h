#pragma once

// The look shared by the program's windows: positions and sizes are kept in
// twips as the forms were drawn (15 twips to a pixel at 96 dots per inch),
// fonts fall back to installed look-alikes when Corbel or Arial are missing.

#include <QColor>
#include <QFont>
#include <QIcon>
#include <QRect>
#include <QString>

class QWidget;

namespace vdx::ui {

inline constexpr int TwipsPerPixel = 15;

// Twips to pixels, rounded to the nearest pixel.
constexpr int Pixel(int twips) {
    return twips >= 0 ? (twips + TwipsPerPixel / 2) / TwipsPerPixel
                      : -((-twips + TwipsPerPixel / 2) / TwipsPerPixel);
}

// Pixels to twips.
constexpr int Twips(int pixel) {
    return pixel * TwipsPerPixel;
}

// A rectangle given as left, top, width and height in twips.
QRect RettangoloTwips(int left, int top, int width, int height);

// Places a control at a rectangle given in twips.
void Posiziona(QWidget* control, int left, int top, int width, int height);

// The installed family that stands in for `family`: the family itself when
// installed, else a look-alike (Carlito, Liberation Sans, DejaVu Sans for
// Corbel; Liberation Sans, Arimo, DejaVu Sans for Arial), else the
// application's default family.
QString FamigliaInstallata(const QString& family);

// A font of `family` (or its stand-in) at `points`, optionally bold.
QFont Carattere(const QString& family, double points, bool bold = false);

// Sets a widget's background (and, for buttons and lists, its button colour).
void Sfondo(QWidget* widget, const QColor& colour);

// Sets a widget's text colour.
void ColoreTesto(QWidget* widget, const QColor& colour);

// The program's icon: the one installed with its menu entry, found in the
// icon theme under the application's desktop file name; otherwise the same
// picture kept in the program.
QIcon IconaProgramma();

} // namespace vdx::ui
