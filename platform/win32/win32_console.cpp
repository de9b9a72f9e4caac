// The console and the interrupt of CUI mode.
#include "platform/win32/win32_console.h"

#include "platform/win32/windows_api.h"

#include <atomic>
#include <string>

#include "platform/win32/wide.h"

namespace sorrel::platform {
namespace {

std::atomic<bool> interrupted{false};

BOOL WINAPI OnConsoleEvent(DWORD) {
  interrupted = true;
  return TRUE;
}

bool Usable(HANDLE handle) {
  return handle != nullptr && handle != INVALID_HANDLE_VALUE;
}

}  // namespace

Win32Console::Win32Console(Stream stream) {
  HANDLE output = GetStdHandle(stream == Stream::Output ? STD_OUTPUT_HANDLE : STD_ERROR_HANDLE);
  if (!Usable(output) && AttachConsole(ATTACH_PARENT_PROCESS)) {
    output = CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_WRITE, nullptr,
                         OPEN_EXISTING, 0, nullptr);
  }
  if (!Usable(output)) return;
  DWORD mode = 0;
  output_ = output;
  is_console_ = GetConsoleMode(output, &mode) != FALSE;
}

void Win32Console::Write(std::u16string_view text) {
  if (output_ == nullptr || text.empty()) return;
  DWORD written = 0;
  if (is_console_) {
    WriteConsoleW(output_, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    return;
  }
  const auto* wide = reinterpret_cast<const wchar_t*>(text.data());
  const int length = static_cast<int>(text.size());
  const int size = WideCharToMultiByte(932, 0, wide, length, nullptr, 0, nullptr, nullptr);
  if (size <= 0) return;
  std::string bytes(static_cast<size_t>(size), '\0');
  WideCharToMultiByte(932, 0, wide, length, bytes.data(), size, nullptr, nullptr);
  WriteFile(output_, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}

Answer SystemMessageBox(void* owner, std::u16string_view text, std::u16string_view caption,
                        Buttons buttons, Icon icon) {
  UINT style = buttons == Buttons::YesNo ? MB_YESNO : MB_OK;
  switch (icon) {
    case Icon::Error:
      style |= MB_ICONERROR;
      break;
    case Icon::Warning:
      style |= MB_ICONWARNING;
      break;
    case Icon::Question:
      style |= MB_ICONQUESTION;
      break;
    case Icon::Information:
      style |= MB_ICONINFORMATION;
      break;
  }
  const std::wstring body(AsWide(text));
  const std::wstring title(AsWide(caption));
  const int answer = MessageBoxW(static_cast<HWND>(owner), body.c_str(), title.c_str(), style);
  if (buttons == Buttons::Ok) return Answer::Ok;
  return answer == IDYES ? Answer::Yes : Answer::No;
}

Answer Win32CuiInteraction::MessageBox(std::u16string_view text, std::u16string_view caption,
                                       Buttons buttons, Icon icon) {
  return SystemMessageBox(nullptr, text, caption, buttons, icon);
}

bool Win32CuiInteraction::IsAbortKeyDown() {
  return interrupted;
}

void Win32CuiInteraction::InstallInterruptHandler() {
  // Output may go to handles sorrelc passed on; Ctrl+C reaches only a
  // process attached to the console, so attach (false when attached already).
  AttachConsole(ATTACH_PARENT_PROCESS);
  SetConsoleCtrlHandler(OnConsoleEvent, TRUE);
}

}  // namespace sorrel::platform
