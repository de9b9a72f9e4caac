// The dialog tests' helpers.
#include "gui/qt/test_support.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "gui/qt/dialog_template.h"
#include "gui/qt/result_dialog.h"

namespace sorrel::qt::test {

PrivateHome::PrivateHome() {
  qputenv("HOME", dir_.path().toUtf8());
  qputenv("XDG_CONFIG_HOME", (dir_.path() + "/config").toUtf8());
  QDir(dir_.path()).mkpath("config");
}

QString PrivateHome::RegistryText() const {
  QFile file(dir_.path() + "/config/sorrel/registry.reg");
  if (!file.open(QIODevice::ReadOnly)) return {};
  return QString::fromUtf8(file.readAll());
}

void OnNextModal(std::function<bool(QWidget*)> act) {
  auto* timer = new QTimer(qApp);
  timer->setInterval(10);
  QObject::connect(timer, &QTimer::timeout, [timer, act] {
    QWidget* modal = QApplication::activeModalWidget();
    if (modal == nullptr || !act(modal)) return;
    timer->stop();
    timer->deleteLater();
  });
  timer->start();
}

void AnswerNextBox(QMessageBox::StandardButton which, QString* seen, QMessageBox::Icon* icon) {
  OnNextModal([which, seen, icon](QWidget* widget) {
    auto* box = qobject_cast<QMessageBox*>(widget);
    if (box == nullptr) return false;
    if (seen != nullptr) *seen = box->windowTitle() + '|' + box->text();
    if (icon != nullptr) *icon = box->icon();
    // A real click, so that it also shows the guard lets the box's input by.
    QTest::mouseClick(box->button(which), Qt::LeftButton);
    return true;
  });
}

void CloseNextResult(QString* summary, QString* log) {
  OnNextModal([summary, log](QWidget* widget) {
    auto* dialog = dynamic_cast<ResultDialog*>(widget);
    if (dialog == nullptr) return false;
    if (summary != nullptr) {
      *summary = dialog->widgets().As<QLabel>(result_ids::kSummary)->text();
    }
    if (log != nullptr) {
      *log = dialog->widgets().As<QPlainTextEdit>(result_ids::kLog)->toPlainText();
    }
    QTest::mouseClick(dialog->widgets().As<QPushButton>(result_ids::kOk), Qt::LeftButton);
    return true;
  });
}

void WriteTextFiles(const QString& folder, int count) {
  QDir().mkpath(folder);
  for (int i = 0; i < count; ++i) {
    QFile file(QStringLiteral("%1/f%2.txt").arg(folder).arg(i));
    if (!file.open(QIODevice::WriteOnly)) qFatal("cannot write a test file");
    for (int line = 0; line < 50; ++line) file.write("a line\t \r\n");
  }
}

QString RenderFolder() {
  const QString folder = qEnvironmentVariable("SORREL_RENDER_DIR", QStringLiteral("renders"));
  QDir().mkpath(folder);
  return folder;
}

}  // namespace sorrel::qt::test
