// Applying a tool-tip table.
#include "gui/qt/tooltips.h"

#include "gui/qt/qt_text.h"

namespace sorrel::qt {

void ApplyToolTips(std::span<const ToolTipEntry> table,
                   const std::function<QWidget*(int)>& control) {
  for (const auto& [id, text] : ToolTipPairs(table)) {
    if (QWidget* widget = control(id)) widget->setToolTip(ToQString(text));
  }
}

}  // namespace sorrel::qt
