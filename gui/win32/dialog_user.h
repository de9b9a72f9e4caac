// The user of a run started from the main dialog: boxes owned by the dialog,
// Esc read with GetAsyncKeyState while the dialog is in front, and the result
// dialog (templates 131 and 132).
#pragma once

#include <span>

#include "base/ui_language.h"
#include "gui/tooltips.h"
#include "platform/user_interaction.h"
#include "platform/win32/windows_api.h"

namespace sorrel::win32 {

class DialogUser : public platform::UserInteraction {
 public:
  DialogUser(HINSTANCE instance, UiLanguage language) : instance_(instance), language_(language) {}
  void set_owner(HWND owner) { owner_ = owner; }

  platform::Answer MessageBox(std::u16string_view text, std::u16string_view caption,
                              platform::Buttons buttons, platform::Icon icon) override;
  bool IsForeground() override;
  // The top bit of Esc's asynchronous key state.
  bool IsAbortKeyDown() override;
  // The result dialog; its OK (also Enter, Esc and the close box) runs
  // on_close and ends it.
  void ShowResult(std::u16string_view summary, std::u16string_view log,
                  const std::function<void()>& on_close) override;

 private:
  HINSTANCE instance_;
  UiLanguage language_;
  HWND owner_ = nullptr;
};

// Gives every control of table's ids a tool tip on dialog; the tool-tip
// window belongs to the dialog and goes with it. Null when it cannot be
// created.
HWND CreateToolTips(HWND dialog, HINSTANCE instance, std::span<const ToolTipEntry> table);

}  // namespace sorrel::win32
