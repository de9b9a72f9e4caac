// The screen facts of the environment report, from Qt's screens.
#pragma once

#include "gui/environment_report.h"

namespace sorrel::qt {

// Fills the primary screen's size, depth and work area, the virtual screen,
// the monitor count and one entry per monitor in Qt's order. Needs a
// QGuiApplication; without a primary screen the facts stay zero.
void AddScreenFacts(EnvironmentFacts* facts);

}  // namespace sorrel::qt
