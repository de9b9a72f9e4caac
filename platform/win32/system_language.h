// The language rules of both programs on Windows, where the system's default
// language stands for the locale.
#pragma once

#include "platform/ui_language.h"

namespace sorrel::platform {

// sorrel's rule: SORREL_LANG when it is set and not empty, otherwise
// Japanese exactly when the system default language is Japanese.
UiLanguage Win32UiLanguage();
// sorrelc's rule: the same, except that a SORREL_LANG that is set decides
// even when it is empty (then English).
UiLanguage Win32CliUiLanguage();

}  // namespace sorrel::platform
