// Tool tips on a dialog's controls from a table of (control id, text).
#pragma once

#include <QWidget>
#include <functional>
#include <span>

#include "gui/tooltips.h"

namespace sorrel::qt {

// Sets the tip of each control of table, in order until its end entry;
// control looks a control up by id, and ids it does not know (null) are
// skipped. Tips show on one line with the desktop's default delays.
void ApplyToolTips(std::span<const ToolTipEntry> table,
                   const std::function<QWidget*(int)>& control);

}  // namespace sorrel::qt
