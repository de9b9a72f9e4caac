// The dialog's view on Windows: the native dialogs of gui/win32, linked into
// the program, and the system's message box for an error at start-up.
#include "app/sorrel/dialog_view.h"

#include "platform/win32/windows_api.h"
// After <windows.h>, whose types it uses.
#include <commctrl.h>

#include "app/sorrel/program_services.h"
#include "gui/startup_texts.h"
#include "gui/win32/main_dialog.h"
#include "platform/win32/message_box.h"

namespace sorrel {
namespace {

// Lets files dropped from programs of a lower integrity level reach the
// dialog; the filter exists from Windows Vista on.
void AllowDroppedFilesMessages() {
  using Filter = BOOL(WINAPI*)(UINT, DWORD);
  HMODULE user32 = GetModuleHandleW(L"user32.dll");
  auto filter = user32 != nullptr ? reinterpret_cast<Filter>(reinterpret_cast<void*>(
                                        GetProcAddress(user32, "ChangeWindowMessageFilter")))
                                  : nullptr;
  if (filter == nullptr) return;
  for (UINT message : {0x233u, 0x4Au, 0x49u}) filter(message, 1);
}

}  // namespace

int RunDialogView(const std::string&, int*, char**, UiLanguage language, bool ini_mode) {
  InitCommonControls();
  AllowDroppedFilesMessages();
  ProgramServices services(language, ini_mode);
  win32::RunMainDialog(GetModuleHandleW(nullptr), language, &services);
  return 0;
}

bool ShowErrorInView(const std::string&, int*, char**, UiLanguage language,
                     std::u16string_view text) {
  platform::ShowMessageBox(nullptr, text, startup_texts::kTitle.In(language), platform::Buttons::Ok,
                           platform::Icon::Error);
  return true;
}

}  // namespace sorrel
