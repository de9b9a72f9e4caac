// CUI mode on Windows: the report lines on the caller's console, and Ctrl+C
// as the abort key.
#pragma once

#include "platform/ui_language.h"
#include "platform/user_interaction.h"

namespace sorrel::platform {

// Writes to standard output (or standard error): wide text to a console,
// and Shift-JIS bytes (code page 932, as the Japanese C runtime locale
// writes them) to a file or a pipe.
class Win32Console : public Console {
 public:
  enum class Stream { Output, Error };
  // Takes the stream this process got; when it has none, attaches to the
  // parent's console (AttachConsole) and writes there.
  explicit Win32Console(Stream stream = Stream::Output);
  void Write(std::u16string_view text) override;

 private:
  void* output_ = nullptr;
  bool is_console_ = false;
};

// The user of CUI mode: boxes are the system's message boxes without owner
// (Windows has a desktop even when no dialog is shown); the abort key is
// Ctrl+C or Ctrl+Break on the console, or the console closing.
class Win32CuiInteraction : public UserInteraction {
 public:
  Answer MessageBox(std::u16string_view text, std::u16string_view caption, Buttons buttons,
                    Icon icon) override;
  // No dialog is shown, so none is behind another.
  bool IsForeground() override { return true; }
  bool IsAbortKeyDown() override;
  // CUI mode shows no result dialog.
  void ShowResult(std::u16string_view, std::u16string_view, const std::function<void()>&) override {
  }
  // Attaches to the parent's console and makes those console events set the
  // abort flag instead of ending the process. Call after the Win32Console is
  // made, so that it keeps the standard handles this process was given.
  static void InstallInterruptHandler();
};

// A message box of the system: the shared mapping of the seam's buttons and
// icons. owner may be null.
Answer SystemMessageBox(void* owner, std::u16string_view text, std::u16string_view caption,
                        Buttons buttons, Icon icon);

}  // namespace sorrel::platform
