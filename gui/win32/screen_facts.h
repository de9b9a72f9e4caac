// The screen facts of the environment report, from the system's metrics.
#pragma once

#include "gui/environment_report.h"
#include "platform/win32/windows_api.h"

namespace sorrel::win32 {

// Fills the primary screen's size, depth and work area, the virtual screen,
// the monitor count and one entry per monitor in the system's order.
void AddScreenFacts(EnvironmentFacts* facts);

}  // namespace sorrel::win32
