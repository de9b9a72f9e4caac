// The user of CUI mode: boxes become lines on standard error or questions on
// the controlling terminal, and Ctrl+C is the abort key.
#pragma once

#include "base/ui_language.h"
#include "platform/user_interaction.h"

namespace sorrel::platform {

class TerminalInteraction : public UserInteraction {
 public:
  explicit TerminalInteraction(UiLanguage language) : language_(language) {}

  // A box with OK is written to standard error. A Yes/No question is asked on
  // the controlling terminal; without one the answer is No, and a line on
  // standard error says so. A stop signal while it waits answers No.
  Answer MessageBox(std::u16string_view text, std::u16string_view caption, Buttons buttons,
                    Icon icon) override;
  // CUI mode has no window that could be behind another.
  bool IsForeground() override { return true; }
  // True once SIGINT, SIGQUIT, SIGHUP or SIGTERM has arrived (after
  // InstallInterruptHandler).
  bool IsAbortKeyDown() override;
  // CUI mode shows no result dialog.
  void ShowResult(std::u16string_view, std::u16string_view, const std::function<void()>&) override {
  }

  // Makes those signals set the abort flag instead of ending the process,
  // and SIGPIPE (a reader of the output that went away) a failed write.
  static void InstallInterruptHandler();

 private:
  UiLanguage language_;
};

}  // namespace sorrel::platform
