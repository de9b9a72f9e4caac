// The result dialog of a run: the summary, the run's warnings and errors, and
// OK, which (like Esc and the close box) first runs on_close.
#pragma once

#include <QDialog>
#include <functional>
#include <string_view>

#include "base/ui_language.h"
#include "gui/qt/template_widgets.h"

namespace sorrel::qt {

class ResultDialog : public QDialog {
 public:
  ResultDialog(UiLanguage language, std::u16string_view summary, std::u16string_view log,
               std::function<void()> on_close, QWidget* owner);

  const TemplateWidgets& widgets() const { return widgets_; }

  // Runs on_close, then ends the dialog with 2.
  void reject() override;

 private:
  TemplateWidgets widgets_;
  std::function<void()> on_close_;
};

}  // namespace sorrel::qt
