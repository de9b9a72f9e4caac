// The screens through QScreen.
#include "gui/qt/screen_facts.h"

#include <QGuiApplication>
#include <QRect>
#include <QScreen>

namespace sorrel::qt {
namespace {

ScreenRect Corners(const QRect& rect) {
  return {rect.left(), rect.top(), rect.x() + rect.width(), rect.y() + rect.height()};
}

}  // namespace

void AddScreenFacts(EnvironmentFacts* facts) {
  const QScreen* primary = QGuiApplication::primaryScreen();
  if (primary == nullptr) return;
  facts->screen_width = primary->size().width();
  facts->screen_height = primary->size().height();
  facts->screen_depth = primary->depth();
  facts->work_area = Corners(primary->availableGeometry());
  facts->virtual_screen = Corners(primary->virtualGeometry());
  const QList<QScreen*> screens = QGuiApplication::screens();
  facts->monitor_count = static_cast<int>(screens.size());
  for (const QScreen* screen : screens) {
    facts->monitors.push_back(
        {Corners(screen->geometry()), Corners(screen->availableGeometry()), screen == primary});
  }
}

}  // namespace sorrel::qt
