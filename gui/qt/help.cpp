// Opening the help.
#include "gui/qt/help.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QUrl>

#include "platform/program.h"

namespace sorrel::qt {

QString HelpFilePath(const QString& program_folder) {
  return program_folder + QStringLiteral("/_RESOURCE/HLP000001.html");
}

bool OpenHelp(const QString& program_folder) {
  const QString path = HelpFilePath(program_folder);
  // Without the file a browser would show its own error page; a missing
  // help is to show nothing.
  if (!QFileInfo(path).isFile()) return false;
  return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

bool ShowHelp() {
  return OpenHelp(QString::fromStdString(platform::ProgramFolder()));
}

}  // namespace sorrel::qt
