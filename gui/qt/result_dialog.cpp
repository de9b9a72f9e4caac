// The result dialog's set-up.
#include "gui/qt/result_dialog.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>

#include "gui/qt/qt_text.h"

namespace sorrel::qt {
namespace {

// The log's lines end in CR+LF; the text widget wants plain line feeds.
QString LogText(std::u16string_view log) {
  QString text = ToQString(log);
  text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  return text;
}

}  // namespace

ResultDialog::ResultDialog(UiLanguage language, std::u16string_view summary,
                           std::u16string_view log, std::function<void()> on_close, QWidget* owner)
    : QDialog(owner),
      widgets_(ResultDialogTemplate(language), this),
      on_close_(std::move(on_close)) {
  setWindowTitle(ToQString(ResultDialogTemplate(language).title));
  setModal(true);
  setFixedSize(widgets_.Place());
  widgets_.As<QLabel>(result_ids::kSummary)->setText(ToQString(summary));
  widgets_.As<QPlainTextEdit>(result_ids::kLog)->setPlainText(LogText(log));
  connect(widgets_.As<QPushButton>(result_ids::kOk), &QPushButton::clicked, this,
          &ResultDialog::reject);
}

void ResultDialog::reject() {
  if (on_close_) on_close_();
  done(2);
}

}  // namespace sorrel::qt
