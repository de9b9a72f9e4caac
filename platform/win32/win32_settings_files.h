// The settings-files seam on Windows: the INI file read and replaced whole
// (a flushed file beside it and ReplaceFileW), the current user's registry
// key read and written through the Reg* calls, both under a named mutex.
#pragma once

#include <memory>

#include "platform/settings_files.h"
#include "platform/win32/windows_api.h"

namespace sorrel::platform {

// Settings files whose registry keys lie under root (the current user's
// root for the programs; a test's own key for the tests), which must stay
// open as long as they are used.
std::unique_ptr<SettingsFiles> NewWin32SettingsFiles(HKEY root);

}  // namespace sorrel::platform
