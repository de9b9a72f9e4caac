// sorrel's main dialog on Win32: templates 103 (Japanese) and 104
// (English), bound to the toolkit-free MainDialogModel over a control store,
// with tool tips, drag and drop, the anchors and tracking limits, the
// open-file dialog, help, the About box and the end of the session.
#pragma once

#include "base/ui_language.h"
#include "gui/session_services.h"
#include "platform/win32/windows_api.h"

namespace sorrel::win32 {

// Runs the dialog modally over services until it ends.
void RunMainDialog(HINSTANCE instance, UiLanguage language, SessionServices* services);

}  // namespace sorrel::win32
