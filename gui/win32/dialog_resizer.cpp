// The anchor rules of the resizable dialog.
#include "gui/win32/dialog_resizer.h"

namespace sorrel::win32 {

DialogResizer::DialogResizer(HWND dialog, const std::vector<AnchorEntry>& anchors)
    : dialog_(dialog) {
  RECT client{};
  RECT window{};
  GetClientRect(dialog, &client);
  GetWindowRect(dialog, &window);
  initial_width_ = min_width_ = window.right - window.left;
  initial_height_ = min_height_ = window.bottom - window.top;
  for (const AnchorEntry& entry : anchors) {
    Placed placed{GetDlgItem(dialog, entry.id), entry.anchor, 0, 0, 0, 0};
    if (placed.control != nullptr) {
      RECT r{};
      GetWindowRect(placed.control, &r);
      MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&r), 2);
      const int width = r.right - r.left;
      const int height = r.bottom - r.top;
      switch (entry.anchor) {
        case Anchor::Right:
          placed.distance1 = client.right - r.left;
          placed.distance2 = r.top;
          break;
        case Anchor::Bottom:
          placed.distance1 = r.left;
          placed.distance2 = client.bottom - r.top;
          break;
        case Anchor::RightBottom:
          placed.distance1 = client.right - r.left;
          placed.distance2 = client.bottom - r.top;
          break;
        case Anchor::Width:
          placed.distance1 = client.right - width;
          placed.distance2 = height;
          break;
        case Anchor::WidthHeight:
          placed.distance1 = client.right - width;
          placed.distance2 = client.bottom - height;
          break;
        case Anchor::BottomAndWidth:
          placed.distance1 = client.right - width;
          placed.distance2 = client.bottom - r.top;
          placed.saved_x = r.left;
          placed.saved_height = height;
          break;
      }
    }
    placed_.push_back(placed);
  }
}

void DialogResizer::SetTrackingLimits(int min_width, int min_height, int max_width,
                                      int max_height) {
  min_width_ = min_width;
  min_height_ = min_height;
  max_width_ = max_width;
  max_height_ = max_height;
}

void DialogResizer::Layout() {
  RECT client{};
  GetClientRect(dialog_, &client);
  for (const Placed& p : placed_) {
    if (p.control == nullptr) continue;
    RECT r{};
    GetWindowRect(p.control, &r);
    MapWindowPoints(nullptr, dialog_, reinterpret_cast<POINT*>(&r), 2);
    int x = r.left;
    int y = r.top;
    int width = r.right - r.left;
    int height = r.bottom - r.top;
    UINT flags = SWP_NOZORDER | SWP_NOACTIVATE;
    switch (p.anchor) {
      case Anchor::Right:
        x = client.right - p.distance1;
        y = p.distance2;
        flags |= SWP_NOSIZE;
        break;
      case Anchor::Bottom:
        x = p.distance1;
        y = client.bottom - p.distance2;
        flags |= SWP_NOSIZE;
        break;
      case Anchor::RightBottom:
        x = client.right - p.distance1;
        y = client.bottom - p.distance2;
        flags |= SWP_NOSIZE;
        break;
      case Anchor::Width:
        width = client.right - p.distance1;
        height = p.distance2;
        flags |= SWP_NOMOVE;
        break;
      case Anchor::WidthHeight:
        width = client.right - p.distance1;
        height = client.bottom - p.distance2;
        flags |= SWP_NOMOVE;
        break;
      case Anchor::BottomAndWidth:
        x = p.saved_x;
        y = client.bottom - p.distance2;
        width = client.right - p.distance1;
        height = p.saved_height;
        break;
    }
    SetWindowPos(p.control, nullptr, x, y, width, height, flags);
  }
  InvalidateRect(dialog_, nullptr, TRUE);
}

void DialogResizer::ApplyLimits(MINMAXINFO* info) const {
  if (min_width_ != -1) info->ptMinTrackSize.x = min_width_;
  if (min_height_ != -1) info->ptMinTrackSize.y = min_height_;
  if (max_width_ != -1) info->ptMaxTrackSize.x = max_width_;
  if (max_height_ != -1) info->ptMaxTrackSize.y = max_height_;
}

}  // namespace sorrel::win32
