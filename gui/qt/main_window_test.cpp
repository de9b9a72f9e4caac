// The main dialog driven through its real widgets: the enabling rules and the
// list handler as the user types and clicks, drops, Browse, widening, closing,
// the banner, tool tips, and captions that fit in both languages.
#include <QCheckBox>
#include <QComboBox>
#include <QDeadlineTimer>
#include <QDir>
#include <QDropEvent>
#include <QFile>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QTest>
#include <memory>

#include "app/sorrel/program_services.h"
#include "base/main_dialog_ids.h"
#include "gui/qt/dialog_session.h"
#include "gui/qt/result_dialog.h"
#include "gui/qt/test_support.h"

namespace sorrel::qt {
namespace {

class MainWindowTest : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<test::PrivateHome> home_;
  std::unique_ptr<ProgramServices> services_;
  std::unique_ptr<DialogSession> session_;

  MainWindow& Open(UiLanguage language = UiLanguage::English, uint64_t tick = 1) {
    session_.reset();
    services_ = std::make_unique<ProgramServices>(language, false);
    session_ = std::make_unique<DialogSession>(language, services_.get());
    session_->Open(tick);
    session_->window().show();
    return session_->window();
  }
  template <class W>
  W* Get(int id) {
    return session_->window().widgets().As<W>(id);
  }
  bool StartEnabled() { return Get<QPushButton>(ids::kStart)->isEnabled(); }
  // On the box itself: a check box takes clicks on its box and caption only.
  void Click(int id) {
    QCheckBox* box = Get<QCheckBox>(id);
    QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(6, box->height() / 2));
  }
  void Choose(int list, int entry) {
    // As the user does it: the keyboard moves the selection.
    QComboBox* box = Get<QComboBox>(list);
    box->setFocus();
    while (box->currentIndex() < entry) QTest::keyClick(box, Qt::Key_Down);
    while (box->currentIndex() > entry) QTest::keyClick(box, Qt::Key_Up);
  }

 private slots:
  void init() { home_ = std::make_unique<test::PrivateHome>(); }
  void cleanup() {
    session_.reset();
    home_.reset();
  }

  void startFollowsTheTargetAndSomethingToDo() {
    Open();
    QVERIFY(!StartEnabled());
    Click(ids::kFileBackup);
    Click(ids::kSearchSubFolders);
    Click(ids::kSETTS);
    QTest::keyClicks(Get<QLineEdit>(ids::kTargetPath), "/tmp/*.txt");
    QVERIFY2(!StartEnabled(), "backup, subfolders and time stamps are nothing to do");
    Click(ids::kZenSp2SpSp);
    QVERIFY(StartEnabled());
    QVERIFY(session_->store().Enabled(ids::kStart));
    Get<QLineEdit>(ids::kTargetPath)->selectAll();
    QTest::keyClick(Get<QLineEdit>(ids::kTargetPath), Qt::Key_Delete);
    QVERIFY(!StartEnabled());
    QTest::keyClicks(Get<QLineEdit>(ids::kTargetPath), "x");
    QVERIFY(StartEnabled());
    Click(ids::kZenSp2SpSp);
    QVERIFY(!StartEnabled());
    Choose(ids::kWriteEncode, 4);
    QVERIFY2(StartEnabled(), "another write code page alone is something to do");
  }

  void numbersAndDependentControls() {
    Open();
    QTest::keyClicks(Get<QLineEdit>(ids::kTargetPath), "/tmp/a.txt");
    QVERIFY(!Get<QLineEdit>(ids::kTab2SpaceClm)->isEnabled());
    Click(ids::kTab2Space);
    QVERIFY(Get<QLineEdit>(ids::kTab2SpaceClm)->isEnabled());
    QVERIFY(Get<QLabel>(ids::kTab2SpaceClmLabel)->isEnabled());
    QLineEdit* tab = Get<QLineEdit>(ids::kTab2SpaceClm);
    tab->selectAll();
    QTest::keyClick(tab, Qt::Key_Delete);
    QVERIFY2(!StartEnabled(), "an empty tab width");
    QTest::keyClicks(tab, "a1b234");
    QCOMPARE(tab->text(), QStringLiteral("12"));
    QVERIFY(StartEnabled());
    tab->selectAll();
    QTest::keyClicks(tab, "0");
    QVERIFY(!StartEnabled());
    QTest::keyClicks(tab, "8");
    QVERIFY(StartEnabled());

    Click(ids::kInsLfByteCheck);
    QVERIFY(Get<QLineEdit>(ids::kInsLfByte)->isEnabled());
    QVERIFY(!StartEnabled());
    QTest::keyClicks(Get<QLineEdit>(ids::kInsLfByte), "80");
    QVERIFY(StartEnabled());

    Click(ids::kDelControlCode);
    QVERIFY(!Get<QCheckBox>(ids::kControlCode2Space)->isEnabled());
    Click(ids::kDelControlCode);
    QVERIFY(Get<QCheckBox>(ids::kControlCode2Space)->isEnabled());
  }

  void replacementControls() {
    Open();
    QTest::keyClicks(Get<QLineEdit>(ids::kTargetPath), "/tmp/a.txt");
    QVERIFY(!Get<QLineEdit>(ids::kBeforeReplace)->isEnabled());
    Click(ids::kReplaceString);
    QVERIFY(Get<QLineEdit>(ids::kBeforeReplace)->isEnabled());
    QVERIFY(Get<QCheckBox>(ids::kRepICase)->isEnabled());
    QVERIFY2(!Get<QCheckBox>(ids::kRep1Line)->isEnabled(), "regular expressions only");
    QVERIFY(!Get<QCheckBox>(ids::kRepMatchNotDotNewLine)->isEnabled());
    QVERIFY2(!StartEnabled(), "nothing to search for");
    QTest::keyClicks(Get<QLineEdit>(ids::kBeforeReplace), "old");
    QVERIFY(StartEnabled());
    Click(ids::kRepUseRegex);
    QVERIFY(Get<QCheckBox>(ids::kRep1Line)->isEnabled());
    QVERIFY(Get<QCheckBox>(ids::kRepMatchNotDotNewLine)->isEnabled());
  }

  void listHandler() {
    Open();
    QTest::keyClicks(Get<QLineEdit>(ids::kTargetPath), "/tmp/a.txt");
    QLineEdit* other = Get<QLineEdit>(ids::kWriteEncodeOther);
    Choose(ids::kWriteEncode, 9);
    QVERIFY(other->isEnabled());
    QCOMPARE(other->text(), QString());
    QVERIFY2(!StartEnabled(), "no code page typed yet");
    QTest::keyClicks(other, "1252");
    QVERIFY(StartEnabled());
    Choose(ids::kWriteEncode, 1);
    QVERIFY(!other->isEnabled());
    QCOMPARE(other->text(), QStringLiteral("932"));
    Choose(ids::kWriteEncode, 0);
    QCOMPARE(other->text(), QStringLiteral("-"));
    QCOMPARE(Get<QComboBox>(ids::kCharEncode)->itemText(9),
             QStringLiteral("その他 (右にコードページを指定)"));

    QComboBox* line_ends = Get<QComboBox>(ids::kCrlfTransWay);
    Choose(ids::kCharEncode, 8);  // IBM EBCDIC [Katakana]
    QCOMPARE(line_ends->currentIndex(), 2);
    QVERIFY(!line_ends->isEnabled());
    QCOMPARE(Get<QLineEdit>(ids::kCharEncodeOther)->text(), QStringLiteral("20290"));
    Choose(ids::kCharEncode, 4);
    QVERIFY(line_ends->isEnabled());
    QCOMPARE(line_ends->currentIndex(), 2);
  }

  void dropTakesTheFirstPathOnly() {
    MainWindow& window = Open();
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile("/tmp/a b/一.txt"), QUrl::fromLocalFile("/tmp/second.txt"),
                  QUrl::fromLocalFile("/tmp/third")});
    const QPoint at = Get<QLineEdit>(ids::kTargetPath)->geometry().center();
    QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&window, &enter);
    QVERIFY(enter.isAccepted());
    QDropEvent drop(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&window, &drop);
    QCOMPARE(Get<QLineEdit>(ids::kTargetPath)->text(), QStringLiteral("/tmp/a b/一.txt"));
    QCOMPARE(session_->store().Text(ids::kTargetPath), u"/tmp/a b/一.txt");
    Click(ids::kCrlfTrans);
    QVERIFY2(StartEnabled(), "the drop counts as typing the path");
  }

  void browseStartsInTheTargetFolderAndTakesAFileWithoutADot() {
    Open(UiLanguage::Japanese);
    const QString folder = home_->path() + "/docs";
    QDir().mkpath(folder);
    QFile readme(folder + "/README");
    QVERIFY(readme.open(QIODevice::WriteOnly));
    readme.close();
    Get<QLineEdit>(ids::kTargetPath)->setText(folder + "/*.txt");
    const QString cwd = QDir::currentPath();
    QString title, start;
    QStringList filters;
    bool listed = false;
    test::OnNextModal([&](QWidget* modal) {
      auto* dialog = qobject_cast<QFileDialog*>(modal);
      if (dialog == nullptr) return false;
      title = dialog->windowTitle();
      start = dialog->directory().absolutePath();
      auto* types = dialog->findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
      for (int i = 0; i < types->count(); ++i) filters << types->itemText(i);
      // The dialog greys out the names its filter does not match.
      auto* files = dialog->findChild<QFileSystemModel*>();
      QDeadlineTimer deadline(5000);
      while (!listed && !deadline.hasExpired()) {
        QTest::qWait(20);
        const QModelIndex readme = files->index(folder + "/README");
        listed = readme.isValid() && files->rowCount(readme.parent()) == 1 &&
                 (files->flags(readme) & Qt::ItemIsEnabled);
      }
      auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
      name->setText(folder + "/README");
      QTest::keyClick(name, Qt::Key_Return);
      return true;
    });
    QTest::mouseClick(Get<QPushButton>(ids::kBrowse), Qt::LeftButton);
    QCOMPARE(title, QStringLiteral("検索対象ファイルの選択"));
    QCOMPARE(start, folder);
    QCOMPARE(filters, QStringList{QStringLiteral("すべてのファイル(*.*)")});
    QVERIFY2(listed, "the filter matches a name without a dot");
    QCOMPARE(Get<QLineEdit>(ids::kTargetPath)->text(), folder + "/README");
    QCOMPARE(session_->window().focusWidget(), Get<QLineEdit>(ids::kTargetPath));
    QCOMPARE(QDir::currentPath(), cwd);
  }

  // A target without a folder that exists, or a relative one, which the run
  // would take from the program's folder, starts Browse at home.
  void browseStartsAtHomeWithoutAFolderOfTheTarget() {
    Open();
    for (const QString& target :
         {QString(), QString("*.txt"), QString("docs/*.txt"), home_->path() + "/gone/*.txt"}) {
      Get<QLineEdit>(ids::kTargetPath)->setText(target);
      QString start;
      test::OnNextModal([&](QWidget* modal) {
        auto* dialog = qobject_cast<QFileDialog*>(modal);
        if (dialog == nullptr) return false;
        start = dialog->directory().absolutePath();
        dialog->reject();
        return true;
      });
      QTest::mouseClick(Get<QPushButton>(ids::kBrowse), Qt::LeftButton);
      QCOMPARE(start, home_->path());
    }
  }

  void browseCancelledKeepsTheTarget() {
    Open();
    QTest::keyClicks(Get<QLineEdit>(ids::kTargetPath), "/tmp/keep.txt");
    test::OnNextModal([](QWidget* modal) {
      auto* dialog = qobject_cast<QFileDialog*>(modal);
      if (dialog == nullptr) return false;
      dialog->reject();
      return true;
    });
    QTest::mouseClick(Get<QPushButton>(ids::kBrowse), Qt::LeftButton);
    QCOMPARE(Get<QLineEdit>(ids::kTargetPath)->text(), QStringLiteral("/tmp/keep.txt"));
  }

  void widenOnlyWithTheAnchors() {
    MainWindow& window = Open();
    const QSize start = window.size();
    const QRect target = Get<QLineEdit>(ids::kTargetPath)->geometry();
    const QRect browse = Get<QPushButton>(ids::kBrowse)->geometry();
    const QRect group = window.widgets().Control(ids::kReplaceGroup)->geometry();
    const QRect after = Get<QLineEdit>(ids::kAfterReplace)->geometry();
    const QRect start_button = Get<QPushButton>(ids::kStart)->geometry();
    window.resize(start.width() + 120, start.height() + 80);
    QCOMPARE(window.size(), QSize(start.width() + 120, start.height()));
    QCOMPARE(Get<QLineEdit>(ids::kTargetPath)->geometry(), target.adjusted(0, 0, 120, 0));
    QCOMPARE(Get<QPushButton>(ids::kBrowse)->geometry(), browse.translated(120, 0));
    QCOMPARE(window.widgets().Control(ids::kReplaceGroup)->geometry(),
             group.adjusted(0, 0, 120, 0));
    QCOMPARE(Get<QLineEdit>(ids::kAfterReplace)->geometry(), after.adjusted(0, 0, 120, 0));
    QCOMPARE(Get<QPushButton>(ids::kStart)->geometry(), start_button);
    window.resize(start.width() - 100, start.height() - 50);
    QCOMPARE(window.size(), start);
    QCOMPARE(Get<QLineEdit>(ids::kTargetPath)->geometry(), target);
  }

  void escClosesAndSaves() {
    MainWindow& window = Open();
    QTest::keyClicks(Get<QLineEdit>(ids::kTargetPath), "/tmp/saved/*.txt");
    Click(ids::kTab2Space);
    QVERIFY(home_->RegistryText().isEmpty());
    QTest::keyClick(&window, Qt::Key_Escape);
    QVERIFY(!window.isVisible());
    QCOMPARE(window.result(), 2);
    const QString saved = home_->RegistryText();
    QVERIFY2(saved.contains(QStringLiteral("/tmp/saved/*.txt")), qPrintable(saved));

    // The next start shows what was saved.
    Open();
    QCOMPARE(Get<QLineEdit>(ids::kTargetPath)->text(), QStringLiteral("/tmp/saved/*.txt"));
    QVERIFY(Get<QCheckBox>(ids::kTab2Space)->isChecked());
  }

  void closeBoxAndEndOfSessionSave() {
    MainWindow& window = Open();
    QTest::keyClicks(Get<QLineEdit>(ids::kTargetPath), "/tmp/closed.txt");
    window.close();
    QVERIFY(!window.isVisible());
    QVERIFY(home_->RegistryText().contains(QStringLiteral("/tmp/closed.txt")));

    MainWindow& again = Open();
    QTest::keyClick(Get<QLineEdit>(ids::kTargetPath), Qt::Key_End);
    QTest::keyClicks(Get<QLineEdit>(ids::kTargetPath), "2");
    again.EndSession();
    QVERIFY(!again.isVisible());
    QCOMPARE(again.result(), 1);
    QVERIFY2(home_->RegistryText().contains(QStringLiteral("/tmp/closed.txt2")),
             qPrintable(home_->RegistryText()));
  }

  void aDamagedSettingsFileIsSaidBeforeTheDialogAndKeptAsideAtTheSave() {
    const QString folder = home_->path() + "/config/sorrel";
    QDir().mkpath(folder);
    QFile file(folder + "/registry.reg");
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("not an export");
    file.close();
    QString seen;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    test::AnswerNextBox(QMessageBox::Ok, &seen, &icon);
    MainWindow& window = Open();
    QCOMPARE(seen, "Sorrel|Cannot parse the settings file " + folder +
                       "/registry.reg. Started with empty settings; the file will be kept "
                       "under another name when the settings are next saved.");
    QCOMPARE(icon, QMessageBox::Warning);
    window.close();
    QCOMPARE(QDir(folder).entryList(QDir::Files).size(), 2);
    QVERIFY(home_->RegistryText().startsWith("Windows Registry Editor Version 5.00"));
  }

  void bannerInTheJapaneseDialogOnly() {
    Open(UiLanguage::Japanese, 7 * 1234);
    QLabel* banner = Get<QLabel>(ids::kBanner);
    QVERIFY(banner->isVisible());
    QCOMPARE(banner->size(), QSize(318, 16));
    const QRect buttons = Get<QPushButton>(ids::kStart)->geometry();
    QVERIFY(banner->geometry().bottom() < buttons.top());
    Open(UiLanguage::Japanese, 7 * 1234 + 1);
    QVERIFY(!Get<QLabel>(ids::kBanner)->isVisible());
    Open(UiLanguage::English, 0);
    QVERIFY(session_->window().widgets().Control(ids::kBanner) == nullptr);
  }

  void toolTipsComeWithTheWindow() {
    Open(UiLanguage::English);
    QCOMPARE(Get<QLineEdit>(ids::kTargetPath)->toolTip(),
             QStringLiteral("Specifies the target path. You can use the wildcards."));
    QVERIFY(Get<QComboBox>(ids::kCrlfTransWay)->toolTip().isEmpty());
    Open(UiLanguage::Japanese);
    QCOMPARE(Get<QComboBox>(ids::kCrlfTransWay)->toolTip(),
             QStringLiteral("どの改行コードで統一するかを選択します"));
  }

  void helpAndAboutReachTheirHooks() {
    ControlStore store;
    int help = 0;
    int about = 0;
    MainDialogModel::Hooks hooks;
    hooks.show_help = [&] { ++help; };
    hooks.show_about = [&] { ++about; };
    MainWindow window(store, UiLanguage::Japanese, hooks);
    window.Open(1);
    window.show();
    window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    QTest::keyClick(window.widgets().Control(ids::kTargetPath), Qt::Key_F1);
    QCOMPARE(help, 1);
    QTest::mouseClick(window.widgets().As<QPushButton>(ids::kHelp), Qt::LeftButton);
    QCOMPARE(help, 2);
    QTest::mouseClick(window.widgets().As<QPushButton>(ids::kAbout), Qt::LeftButton);
    QCOMPARE(about, 1);
    QVERIFY(window.isVisible());
  }

  void captionsFit_data() {
    QTest::addColumn<bool>("japanese");
    QTest::newRow("Japanese") << true;
    QTest::newRow("English") << false;
  }
  void captionsFit() {
    QFETCH(bool, japanese);
    const UiLanguage language = japanese ? UiLanguage::Japanese : UiLanguage::English;
    MainWindow& window = Open(language);
    ResultDialog result(language, u"1234個中 1234個のファイルの置換を行いました。", u"", {},
                        &window);
    int captioned = 0;
    for (const TemplateWidgets* widgets : {&window.widgets(), &result.widgets()}) {
      for (const TemplateWidgets::Built& built : widgets->controls()) {
        if (!TemplateWidgets::HasCaption(*built.control)) continue;
        ++captioned;
        const QSize hint = built.widget->sizeHint();
        const QSize size = built.widget->size();
        QVERIFY2(hint.width() <= size.width(),
                 qPrintable(QStringLiteral("%1: needs %2 px, has %3")
                                .arg(QString::fromUtf16(built.control->caption))
                                .arg(hint.width())
                                .arg(size.width())));
      }
    }
    QCOMPARE(captioned, 27 + 3);
    // Nothing reaches past the client area.
    for (const TemplateWidgets::Built& built : window.widgets().controls()) {
      QVERIFY(window.rect().contains(built.widget->geometry()));
    }
  }
};

}  // namespace
}  // namespace sorrel::qt

QTEST_MAIN(sorrel::qt::MainWindowTest)
#include "main_window_test.moc"
