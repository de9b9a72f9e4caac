// Boxes, the abort key and the result through Qt.
#include "gui/qt/qt_user_interaction.h"

#include <QApplication>
#include <QMessageBox>

#include "gui/qt/qt_text.h"
#include "gui/qt/result_dialog.h"

namespace sorrel::qt {
namespace {

QMessageBox::Icon ToIcon(platform::Icon icon) {
  switch (icon) {
    case platform::Icon::Error:
      return QMessageBox::Critical;
    case platform::Icon::Warning:
      return QMessageBox::Warning;
    case platform::Icon::Question:
      return QMessageBox::Question;
    case platform::Icon::Information:
      return QMessageBox::Information;
  }
  return QMessageBox::NoIcon;
}

}  // namespace

platform::Answer QtUserInteraction::MessageBox(std::u16string_view text,
                                               std::u16string_view caption,
                                               platform::Buttons buttons, platform::Icon icon) {
  AbortFilter::Aside aside(&filter_);
  QMessageBox box(ToIcon(icon), ToQString(caption), ToQString(text), QMessageBox::NoButton, owner_);
  if (buttons == platform::Buttons::YesNo) {
    box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
    box.setDefaultButton(QMessageBox::Yes);
    box.setEscapeButton(QMessageBox::No);
  } else {
    box.setStandardButtons(QMessageBox::Ok);
  }
  const int answer = box.exec();
  if (buttons == platform::Buttons::Ok) return platform::Answer::Ok;
  return answer == QMessageBox::Yes ? platform::Answer::Yes : platform::Answer::No;
}

bool QtUserInteraction::IsForeground() {
  if (filter_.guarding()) {
    esc_ = filter_.PumpAndTakeEsc() || esc_;
    if (on_poll_) on_poll_();
  }
  return owner_ != nullptr && owner_->isActiveWindow();
}

bool QtUserInteraction::IsAbortKeyDown() {
  const bool esc = esc_;
  esc_ = false;
  return esc;
}

void QtUserInteraction::ShowResult(std::u16string_view summary, std::u16string_view log,
                                   const std::function<void()>& on_close) {
  AbortFilter::Aside aside(&filter_);
  ResultDialog dialog(language_, summary, log, on_close, owner_);
  dialog.exec();
}

void QtUserInteraction::RunGuarded(const std::function<void()>& job,
                                   std::function<void()> on_poll) {
  on_poll_ = std::move(on_poll);
  esc_ = false;
  filter_.Begin();
  job();
  filter_.End();
  on_poll_ = nullptr;
  esc_ = false;
}

}  // namespace sorrel::qt
