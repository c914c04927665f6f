#pragma once
// Dialog units: templates give places and sizes in quarters of the dialog font's average
// character width and eighths of its height, so that a layout grows with its font. Needs QtCore
// only; measuring a font is the window's business.

#include <QRect>

namespace platform {

// Dialog base units of a font: the average width of its letters and its height, in pixels.
struct BaseUnits {
    int x;
    int y;
};

// Base units from a font's measures: `alphabet_width`, the advance of the 52 letters A to Z and
// a to z in one run, and the font's `height`. The width is rounded to the nearest pixel.
BaseUnits BaseUnitsOf(int alphabet_width, int height);

// Pixels of a rectangle given in dialog units, each value rounded to the nearest pixel.
QRect MapDialogRect(BaseUnits units, int x, int y, int width, int height);

} // namespace platform
