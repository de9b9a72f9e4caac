// Keeps a dialog's anchored controls in place as the dialog is resized, and
// its tracking limits.
#pragma once

#include <vector>

#include "platform/win32/windows_api.h"

namespace sorrel::win32 {

// What a control keeps when the client area changes size.
enum class Anchor : unsigned char {
  Right = 1,           // moves with the right edge
  Bottom = 2,          // moves with the bottom edge
  RightBottom = 3,     // moves with both
  Width = 4,           // its width follows the right edge
  WidthHeight = 5,     // its width and height follow the right and bottom edges
  BottomAndWidth = 6,  // moves with the bottom edge, its width follows the right
};

struct AnchorEntry {
  int id;
  Anchor anchor;
};

class DialogResizer {
 public:
  // Records each control's distances from the edges as the dialog is now;
  // the minimum tracking size becomes the window's present size and the
  // maximum none (-1).
  DialogResizer(HWND dialog, const std::vector<AnchorEntry>& anchors);

  void SetTrackingLimits(int min_width, int min_height, int max_width, int max_height);
  int initial_width() const { return initial_width_; }
  int initial_height() const { return initial_height_; }

  // WM_SIZE: places every anchored control that exists.
  void Layout();
  // WM_GETMINMAXINFO: the limits that are not -1.
  void ApplyLimits(MINMAXINFO* info) const;

 private:
  struct Placed {
    HWND control;
    Anchor anchor;
    int distance1;
    int distance2;
    int saved_x;
    int saved_height;
  };
  HWND dialog_;
  int min_width_, min_height_, max_width_ = -1, max_height_ = -1;
  int initial_width_, initial_height_;
  std::vector<Placed> placed_;
};

}  // namespace sorrel::win32
