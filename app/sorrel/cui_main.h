// sorrel's run without a window: the main dialog's logic over a control
// store, one job from the stored settings, the report on the console.
#pragma once

#include "gui/startup.h"
#include "platform/ui_language.h"

namespace sorrel {

// Runs CUI mode to its end; the exit code is 0 whatever the job's outcome.
int RunCuiMode(UiLanguage language, const StartupMode& mode);

}  // namespace sorrel
