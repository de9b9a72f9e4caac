// Shared helpers of the dialog tests: a private settings home, answering a
// modal box from a timer, and files in a temporary folder.
#pragma once

#include <QDialog>
#include <QMessageBox>
#include <QString>
#include <QTemporaryDir>
#include <functional>

namespace sorrel::qt::test {

// A temporary HOME and XDG_CONFIG_HOME for the life of the object, so that
// the registry file of a test is its own.
class PrivateHome {
 public:
  PrivateHome();
  QString path() const { return dir_.path(); }
  // The registry file's text; empty when it was never written.
  QString RegistryText() const;

 private:
  QTemporaryDir dir_;
};

// Offers each modal widget that appears to act until act returns true.
void OnNextModal(std::function<bool(QWidget*)> act);

// Clicks which on the next message box; its "caption|text" goes to seen and
// its icon to icon when given.
void AnswerNextBox(QMessageBox::StandardButton which, QString* seen = nullptr,
                   QMessageBox::Icon* icon = nullptr);

// Clicks OK on the next result dialog; its summary and log go to the
// arguments when given.
void CloseNextResult(QString* summary = nullptr, QString* log = nullptr);

// Writes count files "f<n>.txt" of CR+LF lines into folder.
void WriteTextFiles(const QString& folder, int count);

// The folder where renders of the dialogs go.
QString RenderFolder();

}  // namespace sorrel::qt::test
