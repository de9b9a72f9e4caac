// Dialog units: the rectangles of the templates turned into pixels for a font.
#pragma once

#include <QFont>
#include <QRect>
#include <QSize>

#include "gui/qt/dialog_template.h"

namespace sorrel::qt {

// Pixels per four horizontal and per eight vertical dialog units.
struct DluBase {
  int x = 0;
  int y = 0;
};

// The font's own base: half the average width of the Latin letters, rounded
// up, and the line height.
DluBase FontBase(const QFont& font);

// The rectangle in pixels, rounded to the nearest pixel.
QRect ToPixels(const DluBase& base, const DluRect& rect);
QSize ToPixels(const DluBase& base, int width, int height);

// The smallest base that gives at least pixels across dlu dialog units, with
// units_per_base 4 for the horizontal base and 8 for the vertical one; 0 when
// dlu is not positive.
int BaseFor(int pixels, int dlu, int units_per_base);

}  // namespace sorrel::qt
