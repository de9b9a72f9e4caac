// The three rules of the guard: off while a modal box is open, a swallowed
// close is refused, nothing but Esc acts.
#include "gui/qt/abort_filter.h"

#include <QCoreApplication>
#include <QEvent>
#include <QKeyEvent>

namespace sorrel::qt {

AbortFilter::AbortFilter() {
  QCoreApplication::instance()->installEventFilter(this);
}

AbortFilter::~AbortFilter() {
  if (QCoreApplication::instance() != nullptr) {
    QCoreApplication::instance()->removeEventFilter(this);
  }
}

void AbortFilter::Begin() {
  guarding_ = true;
  active_ = true;
  esc_ = false;
}

void AbortFilter::End() {
  guarding_ = false;
  active_ = false;
  esc_ = false;
}

bool AbortFilter::PumpAndTakeEsc() {
  QCoreApplication::processEvents();
  const bool esc = esc_;
  esc_ = false;
  return esc;
}

AbortFilter::Aside::Aside(AbortFilter* filter) : filter_(filter), was_active_(filter->active_) {
  filter_->active_ = false;
}

AbortFilter::Aside::~Aside() {
  filter_->active_ = was_active_;
}

bool AbortFilter::eventFilter(QObject* watched, QEvent* event) {
  if (!active_) return QObject::eventFilter(watched, event);
  switch (event->type()) {
    case QEvent::KeyPress:
      if (static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) esc_ = true;
      return true;
    case QEvent::Close:
      // Left alone, a close would end the dialog in the middle of the run.
      event->ignore();
      return true;
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
    case QEvent::Shortcut:
    case QEvent::InputMethod:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::Wheel:
    case QEvent::ContextMenu:
    case QEvent::DragEnter:
    case QEvent::DragMove:
    case QEvent::Drop:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
    case QEvent::TabletPress:
    case QEvent::TabletRelease:
      return true;
    default:
      return QObject::eventFilter(watched, event);
  }
}

}  // namespace sorrel::qt
