// The About box on Win32: its template built in memory (classic dialog
// template, 8 controls), the version text from the program's version
// resource, the SysLink links, the page buttons with their one-second lock,
// and the environment report copied to the clipboard.
#pragma once

#include <string>

#include "base/ui_language.h"
#include "platform/win32/windows_api.h"

namespace sorrel::win32 {

// Shows the box modally over owner.
void ShowAboutBox(HWND owner, HINSTANCE instance, UiLanguage language);

}  // namespace sorrel::win32
