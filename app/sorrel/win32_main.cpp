// sorrel.exe: the start-up sequence, then the main dialog, or in CUI mode
// one run from the stored settings with its report on the caller's console.
#include "platform/win32/windows_api.h"
// After <windows.h>, whose types they use.
#include <commctrl.h>
#include <objbase.h>

#include <clocale>
#include <string>

#include "app/sorrel/win32_cui.h"
#include "gui/startup.h"
#include "gui/startup_texts.h"
#include "gui/win32/main_dialog.h"
#include "platform/integrity.h"
#include "platform/win32/program_folder.h"
#include "platform/win32/system_language.h"
#include "platform/win32/wide.h"
#include "platform/win32/win32_console.h"

namespace {

using sorrel::UiLanguage;

// The command line without the program's name, as the GUI entry gets it.
std::string Arguments(const wchar_t* command_line) {
  return sorrel::platform::Narrow(command_line != nullptr ? command_line : L"");
}

// Lets files dropped from programs of a lower integrity level reach the
// dialog (the filter exists from Windows Vista on).
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

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, wchar_t* command_line, int) {
  InitCommonControls();
  CoInitialize(nullptr);
  const UiLanguage language = sorrel::platform::Win32UiLanguage();
  // The whole remaining command line is one argument or none.
  const std::string arguments = Arguments(command_line);
  std::vector<std::string> args;
  if (!arguments.empty()) args.push_back(arguments);
  const sorrel::StartupMode mode = sorrel::ParseStartup(args, sorrel::platform::ProgramName());
  if (mode.cui_mode) std::setlocale(LC_ALL, "Japanese");

  // .\sorrel.ini and the help resolve in the program's folder.
  const std::string folder = sorrel::platform::ProgramFolder();
  if (!folder.empty()) SetCurrentDirectoryW(sorrel::platform::Wide(folder).c_str());

  if (!sorrel::IsRunningProgramIntact()) {
    const std::u16string text = sorrel::startup_texts::kDamagedProgram.In(language);
    const std::u16string title = sorrel::startup_texts::kTitle.In(language);
    // CUI mode shows no window: its caller reads the reason on the console.
    if (mode.cui_mode) {
      sorrel::platform::Win32Console(sorrel::platform::Win32Console::Stream::Error)
          .Write(title + u": " + text + u"\r\n");
    } else {
      sorrel::platform::SystemMessageBox(nullptr, text, title, sorrel::platform::Buttons::Ok,
                                         sorrel::platform::Icon::Error);
    }
    CoUninitialize();
    return 1;
  }
  if (mode.cui_mode) {
    sorrel::RunWin32CuiMode(language, mode.ini_mode);
  } else {
    AllowDroppedFilesMessages();
    sorrel::win32::RunMainDialog(instance, language, mode.ini_mode);
  }
  CoUninitialize();
  if (mode.cui_mode) FreeConsole();
  return 0;
}
