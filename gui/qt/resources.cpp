// The images, from the resources compiled into the program.
#include "gui/qt/resources.h"

#include <QString>

// The resources live in a static library, so the program must register them.
static void InitResources() {
  Q_INIT_RESOURCE(sorrel_qt);
}

namespace sorrel::qt {
namespace {

void EnsureResources() {
  static const bool done = (InitResources(), true);
  (void)done;
}

}  // namespace

QIcon ProgramIcon() {
  EnsureResources();
  QIcon icon;
  for (int size : {16, 24, 32, 48, 64, 128, 256}) {
    icon.addFile(QStringLiteral(":/sorrel/icons/sorrel-%1.png").arg(size), QSize(size, size));
  }
  return icon;
}

QPixmap FeedbackBanner() {
  EnsureResources();
  return QPixmap(QStringLiteral(":/sorrel/banner130.png"));
}

}  // namespace sorrel::qt
