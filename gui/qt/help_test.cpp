// The help opens its file beside the program through the desktop, and
// nothing is shown when it cannot.
#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

#include "gui/qt/help.h"

namespace sorrel::qt {
namespace {

class Opened : public QObject {
  Q_OBJECT

 public:
  QList<QUrl> urls;

 public slots:
  void open(const QUrl& url) { urls.push_back(url); }
};

class HelpTest : public QObject {
  Q_OBJECT

 private:
  Opened opened_;

  static QString WriteHelp(const QTemporaryDir& dir) {
    QDir(dir.path()).mkpath("_RESOURCE");
    const QString path = dir.path() + "/_RESOURCE/HLP000001.html";
    QFile file(path);
    if (file.open(QIODevice::WriteOnly)) file.write("<html></html>");
    return path;
  }

 private slots:
  void cleanup() {
    QDesktopServices::unsetUrlHandler("file");
    opened_.urls.clear();
  }

  void opensTheTopicBesideTheProgram() {
    QTemporaryDir dir;
    const QString path = WriteHelp(dir);
    QDesktopServices::setUrlHandler("file", &opened_, "open");
    // The current folder is elsewhere, as after browsing to another folder.
    const QString before = QDir::currentPath();
    QDir::setCurrent(QDir::rootPath());
    QVERIFY(OpenHelp(dir.path()));
    QDir::setCurrent(before);
    QCOMPARE(opened_.urls, QList<QUrl>{QUrl::fromLocalFile(path)});
  }

  void missingFileOpensNothing() {
    QTemporaryDir dir;
    QDesktopServices::setUrlHandler("file", &opened_, "open");
    QVERIFY(!OpenHelp(dir.path()));
    QVERIFY(opened_.urls.isEmpty());
  }

  void noBrowserShowsNothing() {
    // Offscreen there is nothing that can open a document.
    QTemporaryDir dir;
    WriteHelp(dir);
    QVERIFY(!OpenHelp(dir.path()));
    QVERIFY(!OpenHelp(dir.path()));
    QCOMPARE(QApplication::activeModalWidget(), nullptr);
    QVERIFY(QApplication::topLevelWidgets().isEmpty());
  }

  void theBuildPutsTheHelpBesideThePrograms() {
    // This test lives in the programs' folder.
    const QString path = HelpFilePath(QCoreApplication::applicationDirPath());
    QFile file(path);
    QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(path));
    const QString html = QString::fromUtf8(file.readAll());
    QVERIFY(html.contains("<html lang=\"ja\""));
    QVERIFY(html.contains("sorrelc"));
  }
};

}  // namespace
}  // namespace sorrel::qt

QTEST_MAIN(sorrel::qt::HelpTest)
#include "help_test.moc"
