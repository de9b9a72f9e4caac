// The user of the dialog: message boxes, the foreground test, the abort key
// and the result dialog, over Qt Widgets.
#pragma once

#include <QPointer>
#include <QWidget>
#include <functional>

#include "base/ui_language.h"
#include "gui/qt/abort_filter.h"
#include "platform/user_interaction.h"

namespace sorrel::qt {

class QtUserInteraction : public platform::UserInteraction {
 public:
  explicit QtUserInteraction(UiLanguage language) : language_(language) {}

  // The window that owns every box; may be unset (boxes then have no owner).
  void SetOwner(QWidget* owner) { owner_ = owner; }

  // A QMessageBox with the caption, icon and buttons (Yes is the default of
  // a question, No answers its close box), owned by the owner window.
  platform::Answer MessageBox(std::u16string_view text, std::u16string_view caption,
                              platform::Buttons buttons, platform::Icon icon) override;
  // The engine asks this first at every abort check, so it is where a run
  // lets the window process its pending events (repaint, the Esc key) before
  // telling whether the owner is the active window.
  bool IsForeground() override;
  // True once for each Esc pressed during the run.
  bool IsAbortKeyDown() override;
  // The result dialog over the owner; on_close runs when the user closes it.
  void ShowResult(std::u16string_view summary, std::u16string_view log,
                  const std::function<void()>& on_close) override;

  // Runs job with the input guarded; on_poll runs at every abort check.
  void RunGuarded(const std::function<void()>& job, std::function<void()> on_poll);

 private:
  UiLanguage language_;
  QPointer<QWidget> owner_;
  AbortFilter filter_;
  bool esc_ = false;
  std::function<void()> on_poll_;
};

}  // namespace sorrel::qt
