// sorrel's main dialog on Win32: templates 103 (Japanese) and 104
// (English), bound to the toolkit-free MainDialogModel over a control store,
// with tool tips, drag and drop, the anchors and tracking limits, the
// open-file dialog, help, the About box and the end of the session.
#pragma once

#include "platform/ui_language.h"
#include "platform/win32/windows_api.h"

namespace sorrel::win32 {

// Runs the dialog modally until it ends; the settings live in the INI file
// beside the program in INI mode, in the registry otherwise.
void RunMainDialog(HINSTANCE instance, UiLanguage language, bool ini_mode);

}  // namespace sorrel::win32
