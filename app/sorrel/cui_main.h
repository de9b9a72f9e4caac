// sorrel's run without a window: the main dialog's logic over a control
// store, one job from the stored settings, the report on the console.
#pragma once

#include "base/exit_codes.h"
#include "base/ui_language.h"
#include "gui/startup.h"

namespace sorrel {

// Runs CUI mode to its end; the exit code is 0 whatever the job's outcome,
// unless the report was lost.
int RunCuiMode(UiLanguage language, const StartupMode& mode);

}  // namespace sorrel
