// sorrel's interactive start: the Qt application and the main dialog, or the
// one error box a start that cannot go on shows.
#pragma once

#include <string_view>

#include "base/ui_language.h"
#include "gui/session_services.h"

namespace sorrel::qt {

// Runs the main dialog over services until it ends; 0 then. When no display
// can be reached a message goes to standard error and the process ends
// with 1.
int RunDialogMode(int& argc, char** argv, UiLanguage language, SessionServices* services);

// Shows text in an error box captioned with the program's title and waits
// until it is closed. When no display can be reached a message goes to
// standard error and the process ends with 1.
void ShowStartError(int& argc, char** argv, UiLanguage language, std::u16string_view text);

}  // namespace sorrel::qt
