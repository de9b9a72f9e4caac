// sorrel's interactive start: the Qt application and the main dialog.
#pragma once

#include "gui/session_services.h"
#include "platform/ui_language.h"

namespace sorrel::qt {

// Runs the main dialog over services until it ends; 0 then. When no display
// can be reached a message goes to standard error and the process ends
// with 1.
int RunDialogMode(int& argc, char** argv, UiLanguage language, SessionServices* services);

}  // namespace sorrel::qt
