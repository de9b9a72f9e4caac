// The console of CUI mode and of sorrelc on Windows: wide text to a console
// window, Shift-JIS bytes (code page 932, as the Japanese C runtime locale
// writes them) to a file or a pipe; the system's message boxes; and Ctrl+C,
// Ctrl+Break or the console closing as the abort key.
#include "platform/user_interaction.h"

#include "platform/win32/windows_api.h"

#include <atomic>
#include <string>

#include "base/utf.h"
#include "platform/win32/message_box.h"
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

// The standard handle this process got; when it has none, the console of
// the parent, attached to.
HANDLE StandardHandle(DWORD which) {
  HANDLE handle = GetStdHandle(which);
  if (Usable(handle)) return handle;
  AttachConsole(ATTACH_PARENT_PROCESS);
  handle = CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_WRITE, nullptr,
                       OPEN_EXISTING, 0, nullptr);
  return Usable(handle) ? handle : nullptr;
}

// False when the text could not be written whole.
bool WriteText(HANDLE output, std::u16string_view text) {
  if (output == nullptr) return false;
  if (text.empty()) return true;
  DWORD mode = 0;
  DWORD written = 0;
  if (GetConsoleMode(output, &mode)) {
    return WriteConsoleW(output, text.data(), static_cast<DWORD>(text.size()), &written, nullptr) &&
           written == text.size();
  }
  const auto* wide = reinterpret_cast<const wchar_t*>(text.data());
  const int length = static_cast<int>(text.size());
  const int size = WideCharToMultiByte(932, 0, wide, length, nullptr, 0, nullptr, nullptr);
  if (size <= 0) return false;
  std::string bytes(static_cast<size_t>(size), '\0');
  WideCharToMultiByte(932, 0, wide, length, bytes.data(), size, nullptr, nullptr);
  return WriteFile(output, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
         written == bytes.size();
}

class ReportConsole : public Console {
 public:
  ReportConsole() : output_(StandardHandle(STD_OUTPUT_HANDLE)) {}
  void Write(std::u16string_view text) override {
    if (!lost_) lost_ = !WriteText(output_, text);
  }
  bool lost() const override { return lost_; }

 private:
  HANDLE output_;
  bool lost_ = false;
};

// CUI mode shows no window: a box is the system's own, without owner.
class ConsoleUser : public UserInteraction {
 public:
  Answer MessageBox(std::u16string_view text, std::u16string_view caption, Buttons buttons,
                    Icon icon) override {
    return ShowMessageBox(nullptr, text, caption, buttons, icon);
  }
  bool IsForeground() override { return true; }
  bool IsAbortKeyDown() override { return interrupted; }
  void ShowResult(std::u16string_view, std::u16string_view, const std::function<void()>&) override {
  }
};

}  // namespace

Answer ShowMessageBox(HWND owner, std::u16string_view text, std::u16string_view caption,
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
  const int answer = MessageBoxW(owner, body.c_str(), title.c_str(), style);
  if (buttons == Buttons::Ok) return Answer::Ok;
  return answer == IDYES ? Answer::Yes : Answer::No;
}

std::unique_ptr<Console> NewReportConsole() {
  return std::make_unique<ReportConsole>();
}

// Ctrl+C reaches only a process attached to the console: the standard
// handles the program was given are kept over the attachment.
std::unique_ptr<UserInteraction> NewConsoleUser(UiLanguage) {
  HANDLE kept[3] = {GetStdHandle(STD_INPUT_HANDLE), GetStdHandle(STD_OUTPUT_HANDLE),
                    GetStdHandle(STD_ERROR_HANDLE)};
  AttachConsole(ATTACH_PARENT_PROCESS);
  const DWORD which[3] = {STD_INPUT_HANDLE, STD_OUTPUT_HANDLE, STD_ERROR_HANDLE};
  for (int i = 0; i < 3; ++i) {
    if (Usable(kept[i])) SetStdHandle(which[i], kept[i]);
  }
  SetConsoleCtrlHandler(OnConsoleEvent, TRUE);
  return std::make_unique<ConsoleUser>();
}

// A console run that Ctrl+C aborted ends as any other run does.
void EndByStopSignal() {}

bool WriteToStream(StandardStream stream, std::string_view bytes) {
  return WriteText(
      StandardHandle(stream == StandardStream::Output ? STD_OUTPUT_HANDLE : STD_ERROR_HANDLE),
      BytesToUtf16(bytes));
}

}  // namespace sorrel::platform
