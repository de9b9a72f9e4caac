// The system's texts for Win32 error codes.
#pragma once

#include <string>

#include "base/ui_language.h"

namespace sorrel::platform {

// FormatMessageW's text for code in Japanese or English (a system without
// Japanese texts answers in its own language), on one line: every unit from
// 1 to 31 becomes a space; "FormatMessage() error" when there is none.
std::u16string Win32ErrorText(UiLanguage lang, unsigned long code);

}  // namespace sorrel::platform
