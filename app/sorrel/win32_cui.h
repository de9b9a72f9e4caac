// sorrel.exe /CUIMODE: the main dialog's logic over a control store, one job
// from the stored settings, the report on the caller's console.
#pragma once

#include "platform/ui_language.h"

namespace sorrel {

// Runs CUI mode to its end; the exit code is 0 whatever the job's outcome.
int RunWin32CuiMode(UiLanguage language, bool ini_mode);

}  // namespace sorrel
