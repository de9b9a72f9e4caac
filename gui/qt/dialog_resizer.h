// Keeps anchored controls in place while a dialog changes size, and holds the
// dialog to its tracking limits: never narrower than at start, and with the
// height fixed.
#pragma once

#include <QPointer>
#include <QRect>
#include <QSize>
#include <QWidget>
#include <vector>

namespace sorrel::qt {

// What an anchored control keeps when the client area changes size.
enum class Anchor {
  Right = 1,           // moves with the right edge
  Bottom = 2,          // moves with the bottom edge
  RightBottom = 3,     // moves with both edges
  Width = 4,           // its width follows the right edge
  WidthHeight = 5,     // its width and height follow both edges
  BottomAndWidth = 6,  // moves with the bottom edge, its width follows the right edge
};

class DialogResizer {
 public:
  struct Entry {
    QWidget* control;  // may be null: skipped
    Anchor anchor;
  };

  // Records each control's distances from the edges of the client area of
  // the given size, in the order given.
  DialogResizer(QSize client, const std::vector<Entry>& entries);

  // Places every anchored control for a client area of the given size.
  void Layout(QSize client) const;

  // Sets dialog's limits: the current size is the minimum, the height is
  // also the maximum, the width has no maximum.
  static void SetTrackingLimits(QWidget* dialog);

 private:
  struct Record {
    QPointer<QWidget> control;
    Anchor anchor;
    int d1;
    int d2;
    int saved_x;
    int saved_height;
  };
  std::vector<Record> records_;
};

}  // namespace sorrel::qt
