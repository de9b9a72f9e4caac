// Runs of the real engine from the dialog: Start, the result dialog and OK
// saving; Esc during a run answered Yes and No; the guard during a run; the
// job's error box; the title's progress.
#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <functional>
#include <memory>

#include "app/sorrel/program_services.h"
#include "base/main_dialog_ids.h"
#include "gui/qt/dialog_session.h"
#include "gui/qt/qt_translations.h"
#include "gui/qt/result_dialog.h"
#include "gui/qt/test_support.h"

namespace sorrel::qt {
namespace {

constexpr int kFiles = 40;

class RunTest : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<test::PrivateHome> home_;
  std::unique_ptr<ProgramServices> services_;
  std::unique_ptr<DialogSession> session_;
  QString folder_;

  MainWindow& Open(UiLanguage language = UiLanguage::English) {
    session_.reset();
    services_ = std::make_unique<ProgramServices>(language, false);
    session_ = std::make_unique<DialogSession>(language, services_.get());
    session_->Open(1);
    MainWindow& window = session_->window();
    window.show();
    window.activateWindow();
    if (!QTest::qWaitForWindowActive(&window)) qFatal("the dialog never became active");
    return window;
  }
  template <class W>
  W* Get(int id) {
    return session_->window().widgets().As<W>(id);
  }
  // A run that strips the trailing blanks of every file in the folder.
  void ChooseTrailingBlanks(const QString& target) {
    QTest::keyClicks(Get<QLineEdit>(ids::kTargetPath), target);
    QTest::mouseClick(Get<QCheckBox>(ids::kDelRightWhiteSpace), Qt::LeftButton);
  }
  void PressStart() { QTest::mouseClick(Get<QPushButton>(ids::kStart), Qt::LeftButton); }
  // Runs act once the run shows its progress, so that it surely acts in the
  // middle of the run.
  void DuringTheRun(std::function<void()> act) {
    MainWindow* window = &session_->window();
    auto connection = std::make_shared<QMetaObject::Connection>();
    *connection = connect(window, &QWidget::windowTitleChanged, window, [=] {
      QObject::disconnect(*connection);
      QTimer::singleShot(0, window, act);
    });
  }
  void EscDuringTheRun() {
    DuringTheRun([this] { QTest::keyClick(&session_->window(), Qt::Key_Escape); });
  }
  int FilesRewritten() {
    int rewritten = 0;
    for (int i = 0; i < kFiles; ++i) {
      QFile file(QStringLiteral("%1/f%2.txt").arg(folder_).arg(i));
      if (!file.open(QIODevice::ReadOnly)) qFatal("a test file vanished");
      if (!file.readAll().contains(" \r\n")) ++rewritten;
    }
    return rewritten;
  }

 private slots:
  void init() {
    home_ = std::make_unique<test::PrivateHome>();
    folder_ = home_->path() + "/work";
    test::WriteTextFiles(folder_, kFiles);
  }
  void cleanup() {
    session_.reset();
    home_.reset();
  }

  void startShowsTheResultAndOkSaves() {
    MainWindow& window = Open();
    ChooseTrailingBlanks(folder_ + "/*.txt");
    QString summary, log, caption_during_run;
    bool enabled_during_run = true;
    DuringTheRun([&] {
      caption_during_run = Get<QPushButton>(ids::kStart)->text();
      enabled_during_run = Get<QPushButton>(ids::kStart)->isEnabled();
    });
    test::CloseNextResult(&summary, &log);
    PressStart();
    QCOMPARE(caption_during_run, QStringLiteral("... (Esc:Abort)"));
    QVERIFY(!enabled_during_run);
    QCOMPARE(summary, QStringLiteral("Target files:40, Replaced files:40"));
    QCOMPARE(log, QStringLiteral("No errors occured."));
    QCOMPARE(FilesRewritten(), kFiles);
    QVERIFY2(home_->RegistryText().contains(folder_ + "/*.txt"), "OK saves the settings");
    QCOMPARE(Get<QPushButton>(ids::kStart)->text(), QStringLiteral("&Start"));
    QVERIFY(Get<QPushButton>(ids::kStart)->isEnabled());
    QCOMPARE(window.windowTitle(), QStringLiteral("Sorrel"));
    QVERIFY(window.isVisible());
  }

  void escAnsweredYesAborts() {
    MainWindow& window = Open(UiLanguage::Japanese);
    InstallQtTranslations(qApp, UiLanguage::Japanese);
    ChooseTrailingBlanks(folder_ + "/*.txt");
    QString question, summary, log, yes_text;
    EscDuringTheRun();
    test::OnNextModal([&](QWidget* modal) {
      auto* box = qobject_cast<QMessageBox*>(modal);
      if (box == nullptr) return false;
      question = box->windowTitle() + '|' + box->text();
      yes_text = box->button(QMessageBox::Yes)->text();
      QTest::mouseClick(box->button(QMessageBox::Yes), Qt::LeftButton);
      return true;
    });
    test::CloseNextResult(&summary, &log);
    PressStart();
    QCOMPARE(question, QStringLiteral("中断|Escキーが押されました。中断しますか?"));
    QCOMPARE(yes_text, QStringLiteral("はい(&Y)"));
    QVERIFY2(log.endsWith(QStringLiteral("中断されました。\n")), qPrintable(log));
    QVERIFY(FilesRewritten() < kFiles);
    QVERIFY2(summary.startsWith(QString::number(FilesRewritten()) + "個中"), qPrintable(summary));
    QVERIFY2(window.isVisible(), "an abort ends the run, not the dialog");
    QCOMPARE(Get<QPushButton>(ids::kStart)->text(), QStringLiteral("開始(&S)"));
  }

  void escAnsweredNoRunsToTheEnd() {
    Open();
    ChooseTrailingBlanks(folder_ + "/*.txt");
    QString question, summary, log;
    EscDuringTheRun();
    test::AnswerNextBox(QMessageBox::No, &question);
    test::CloseNextResult(&summary, &log);
    PressStart();
    QCOMPARE(question, QStringLiteral("Abort|Do you want to abort?"));
    QCOMPARE(summary, QStringLiteral("Target files:40, Replaced files:40"));
    QVERIFY(!log.contains(QStringLiteral("Aborted.")));
    QCOMPARE(FilesRewritten(), kFiles);
  }

  void inputDuringARunIsSwallowed() {
    MainWindow& window = Open();
    ChooseTrailingBlanks(folder_ + "/*.txt");
    QString title_during_run;
    bool still_open = false;
    DuringTheRun([&] {
      QTest::mouseClick(Get<QCheckBox>(ids::kFileBackup), Qt::LeftButton);
      QTest::keyClicks(Get<QLineEdit>(ids::kTargetPath), "zzz");
      QTest::mouseClick(Get<QPushButton>(ids::kClose), Qt::LeftButton);
      window.close();
      still_open = window.isVisible();
    });
    test::OnNextModal([&](QWidget* modal) {
      if (dynamic_cast<ResultDialog*>(modal) == nullptr) return false;
      title_during_run = window.windowTitle();
      QTest::keyClick(modal, Qt::Key_Return);
      return true;
    });
    PressStart();
    QVERIFY2(still_open, "a close during the run is refused");
    QVERIFY(window.isVisible());
    QVERIFY(!Get<QCheckBox>(ids::kFileBackup)->isChecked());
    QCOMPARE(Get<QLineEdit>(ids::kTargetPath)->text(), folder_ + "/*.txt");
    QCOMPARE(title_during_run, QStringLiteral("Sorrel - 40"));
    QCOMPARE(window.windowTitle(), QStringLiteral("Sorrel"));
    QVERIFY(home_->RegistryText().contains(folder_ + "/*.txt"));
    QVERIFY(!home_->RegistryText().contains(QStringLiteral("zzz")));
  }

  void aTargetWithoutAFolderIsAJobError() {
    Open();
    ChooseTrailingBlanks(QStringLiteral("*.txt"));
    QString seen;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    test::AnswerNextBox(QMessageBox::Ok, &seen, &icon);
    PressStart();
    QCOMPARE(seen, QStringLiteral("Sorrel|SetCurrentDirectory error."));
    QCOMPARE(icon, QMessageBox::Critical);
    QVERIFY2(QApplication::activeModalWidget() == nullptr, "no result dialog follows");
    QVERIFY(home_->RegistryText().isEmpty());
  }
};

}  // namespace
}  // namespace sorrel::qt

QTEST_MAIN(sorrel::qt::RunTest)
#include "run_test.moc"
