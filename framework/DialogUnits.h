// Dialog units: template coordinates scaled by the dialog font, so windows follow the font.
#pragma once

#include <QFont>
#include <QRect>

namespace framework {

struct BaseUnits {
    int x = 6;  // average width of the 52 Latin letters, in pixels
    int y = 13; // the font's height, in pixels
};

BaseUnits BaseUnitsOf(const QFont& font);

// The dialog font of a template: the platform's sans-serif at the template's point size.
QFont DialogFont(int points);

// x pixels = dlu * base.x / 4, y pixels = dlu * base.y / 8, rounded like MulDiv.
QRect DluToPixels(const BaseUnits& base, int x, int y, int cx, int cy);
int DluToPixelsX(const BaseUnits& base, int dlu);
int DluToPixelsY(const BaseUnits& base, int dlu);

} // namespace framework
