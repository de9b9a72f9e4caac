// The system's message box, for the seam's boxes on Windows.
#pragma once

#include <string_view>

#include "platform/user_interaction.h"
#include "platform/win32/windows_api.h"

namespace sorrel::platform {

// MessageBoxW with the seam's buttons and icon; owner may be null.
Answer ShowMessageBox(HWND owner, std::u16string_view text, std::u16string_view caption,
                      Buttons buttons, Icon icon);

}  // namespace sorrel::platform
