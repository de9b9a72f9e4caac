// The system's one-line text for an error number, in the user interface's
// language.
#pragma once

#include <string>

#include "base/ui_language.h"

namespace sorrel::platform {

// The system's text for the errno value code: from the system's Japanese
// translations for Japanese when they are installed (the ja_JP.UTF-8 locale),
// English otherwise. Every unit from 1 to 31 becomes a space. When the system
// has no text for code, the result is "FormatMessage() error". Safe to call
// from several threads at once.
std::u16string SystemErrorText(UiLanguage lang, int code);

}  // namespace sorrel::platform
