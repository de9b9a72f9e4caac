// The anchor arithmetic.
#include "gui/qt/dialog_resizer.h"

namespace sorrel::qt {

DialogResizer::DialogResizer(QSize client, const std::vector<Entry>& entries) {
  const int width = client.width();
  const int height = client.height();
  for (const Entry& entry : entries) {
    Record record{entry.control, entry.anchor, 0, 0, 0, 0};
    if (entry.control != nullptr) {
      const QRect g = entry.control->geometry();
      record.saved_x = g.x();
      record.saved_height = g.height();
      switch (entry.anchor) {
        case Anchor::Right:
          record.d1 = width - g.x();
          record.d2 = g.y();
          break;
        case Anchor::Bottom:
          record.d1 = g.x();
          record.d2 = height - g.y();
          break;
        case Anchor::RightBottom:
          record.d1 = width - g.x();
          record.d2 = height - g.y();
          break;
        case Anchor::Width:
          record.d1 = width - g.width();
          record.d2 = g.height();
          break;
        case Anchor::WidthHeight:
          record.d1 = width - g.width();
          record.d2 = height - g.height();
          break;
        case Anchor::BottomAndWidth:
          record.d1 = width - g.width();
          record.d2 = height - g.y();
          break;
      }
    }
    records_.push_back(record);
  }
}

void DialogResizer::Layout(QSize client) const {
  const int width = client.width();
  const int height = client.height();
  for (const Record& r : records_) {
    QWidget* c = r.control;
    if (c == nullptr) continue;
    switch (r.anchor) {
      case Anchor::Right:
        c->move(width - r.d1, r.d2);
        break;
      case Anchor::Bottom:
        c->move(r.d1, height - r.d2);
        break;
      case Anchor::RightBottom:
        c->move(width - r.d1, height - r.d2);
        break;
      case Anchor::Width:
        c->resize(width - r.d1, r.d2);
        break;
      case Anchor::WidthHeight:
        c->resize(width - r.d1, height - r.d2);
        break;
      case Anchor::BottomAndWidth:
        c->setGeometry(r.saved_x, height - r.d2, width - r.d1, r.saved_height);
        break;
    }
  }
}

void DialogResizer::SetTrackingLimits(QWidget* dialog) {
  const QSize size = dialog->size();
  dialog->setMinimumSize(size);
  dialog->setMaximumSize(QWIDGETSIZE_MAX, size.height());
}

}  // namespace sorrel::qt
