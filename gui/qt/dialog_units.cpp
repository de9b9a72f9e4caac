// The dialog-unit arithmetic.
#include "gui/qt/dialog_units.h"

#include <QFontMetrics>
#include <QString>

namespace sorrel::qt {
namespace {

int MulDiv(int a, int b, int c) {
  return (a * b + c / 2) / c;
}

}  // namespace

DluBase FontBase(const QFont& font) {
  const QFontMetrics metrics(font);
  const int letters = metrics.horizontalAdvance(
      QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
  return {(letters / 26 + 1) / 2, metrics.height()};
}

QRect ToPixels(const DluBase& base, const DluRect& rect) {
  return QRect(MulDiv(rect.x, base.x, 4), MulDiv(rect.y, base.y, 8), MulDiv(rect.w, base.x, 4),
               MulDiv(rect.h, base.y, 8));
}

QSize ToPixels(const DluBase& base, int width, int height) {
  return QSize(MulDiv(width, base.x, 4), MulDiv(height, base.y, 8));
}

int BaseFor(int pixels, int dlu, int units_per_base) {
  if (dlu <= 0) return 0;
  // The conversion rounds to the nearest pixel, so the floor of the exact
  // quotient may already do.
  int base = pixels * units_per_base / dlu;
  while (MulDiv(dlu, base, units_per_base) < pixels) ++base;
  return base;
}

}  // namespace sorrel::qt
