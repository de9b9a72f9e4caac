// The About box through its real widgets: the version read from this test's
// own file (it carries the program's version block) or from a file without
// one, the links and pages with the lock, Ctrl+A, the tool tips, the report
// and the clipboard, the temporary file, and renders in both languages.
#include <QApplication>
#include <QClipboard>
#include <QDesktopServices>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>
#include <memory>

#include "gui/about_texts.h"
#include "gui/qt/about_dialog.h"
#include "gui/qt/qt_text.h"
#include "gui/qt/test_support.h"
#include "gui/tooltips.h"
#include "platform/program.h"

namespace sorrel::qt {
namespace {

namespace ids = about_ids;

// Takes the addresses the box asks the desktop to open.
class Opened : public QObject {
  Q_OBJECT

 public:
  QList<QUrl> urls;

 public slots:
  void open(const QUrl& url) { urls.push_back(url); }
};

class AboutDialogTest : public QObject {
  Q_OBJECT

 private:
  Opened opened_;

  static std::unique_ptr<AboutDialog> Box(UiLanguage language,
                                          const std::string& file = platform::ProgramPath()) {
    return std::make_unique<AboutDialog>(MakeAboutBoxInfo(language), file, nullptr);
  }
  static QPushButton* Button(AboutDialog& box, int id) {
    return static_cast<QPushButton*>(box.Control(id));
  }
  static QString Text(AboutDialog& box, int id) {
    return static_cast<QPlainTextEdit*>(box.Control(id))->toPlainText();
  }
  static bool Locked(AboutDialog& box) {
    return !Button(box, ids::kEnvironment)->isEnabled() &&
           !Button(box, ids::kContribution)->isEnabled() &&
           !Button(box, ids::kFeedback)->isEnabled();
  }

 private slots:
  void cleanup() {
    QDesktopServices::unsetUrlHandler("https");
    opened_.urls.clear();
  }

  void versionLinksAndTips_data() {
    QTest::addColumn<bool>("japanese");
    QTest::newRow("ja") << true;
    QTest::newRow("en") << false;
  }
  void versionLinksAndTips() {
    QFETCH(bool, japanese);
    const UiLanguage language = japanese ? UiLanguage::Japanese : UiLanguage::English;
    auto box = Box(language);
    QCOMPARE(box->windowTitle(), japanese ? QString("バージョン情報") : QString("About"));
    QCOMPARE(Text(*box, ids::kVersion),
             (japanese ? QString("Sorrel ver.1.50.00β") : QString("Sorrel ver.1.50.00beta")) +
                 " [2021/04/19] (x64) \nSorrel text file converter\n"
                 "Copyright (C) 2021 FenwrightAns");
    const QString links = static_cast<QLabel*>(box->Control(ids::kLinks))->text();
    QVERIFY(
        links.contains("[WebSite]<br>  <a href=\"https://fenwrightans.example/\">"
                       "https://fenwrightans.example/</a>"));
    QVERIFY(links.contains(japanese ? "[連絡先]" : "[Contact]"));
    QVERIFY(links.contains("<a href=\"https://fenwrightans.example/mail.html\">"));
    QCOMPARE(links.contains("メールフィルタ"), japanese);
    QCOMPARE(Text(*box, ids::kDescription),
             ToQString(MakeAboutBoxInfo(language).description).replace("\r\n", "\n"));
    for (const auto& [id, text] : ToolTipPairs(AboutBoxToolTips(language))) {
      QCOMPARE(box->Control(id)->toolTip(), ToQString(text));
    }
    QVERIFY(box->Control(ids::kDescription)->toolTip().isEmpty());
  }

  void programWithoutTheBlockShowsNull() {
    QTemporaryDir dir;
    const QString file = dir.path() + "/plain";
    QFile out(file);
    QVERIFY(out.open(QIODevice::WriteOnly));
    out.write("not a program");
    out.close();
    auto box = Box(UiLanguage::English, file.toStdString());
    QCOMPARE(Text(*box, ids::kVersion), QString("(NULL)"));
    QCOMPARE(static_cast<QLabel*>(box->Control(ids::kLinks))->text(), QString("(NULL)"));
    QVERIFY(!Text(*box, ids::kDescription).isEmpty());
    QVERIFY(Button(*box, ids::kFeedback)->isEnabled());
    QVERIFY(ToQString(box->Report()).endsWith("\r\n[Client]\r\n (NULL)"));
    // Without a link, the label still keeps the focus Tab gives it, framed.
    box->show();
    QVERIFY(QTest::qWaitForWindowActive(box.get()));
    QWidget* links = box->Control(ids::kLinks);
    const QImage plain = links->grab().toImage();
    box->Control(ids::kVersion)->setFocus();
    QTest::keyClick(box->Control(ids::kVersion), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), links);
    QVERIFY(links->grab().toImage() != plain);
  }

  void pagesOpenOnceWhileLocked() {
    QDesktopServices::setUrlHandler("https", &opened_, "open");
    auto box = Box(UiLanguage::English);
    box->show();
    QTest::mouseClick(Button(*box, ids::kFeedback), Qt::LeftButton);
    QTest::mouseClick(Button(*box, ids::kFeedback), Qt::LeftButton);
    QTest::mouseClick(Button(*box, ids::kContribution), Qt::LeftButton);
    QCOMPARE(opened_.urls, QList<QUrl>{QUrl("https://fenwrightans.example/ifa.php?SORREL")});
    QVERIFY(Locked(*box));
    QVERIFY(Button(*box, ids::kClose)->isEnabled());
    QTRY_VERIFY_WITH_TIMEOUT(!Locked(*box) && Button(*box, ids::kFeedback)->isEnabled(), 1500);
    QTest::mouseClick(Button(*box, ids::kContribution), Qt::LeftButton);
    QCOMPARE(opened_.urls.size(), 2);
    QCOMPARE(opened_.urls.back(), QUrl("https://fenwrightans.example/kifu.html"));
  }

  void linkOpensItsTargetAndLocks() {
    QDesktopServices::setUrlHandler("https", &opened_, "open");
    auto box = Box(UiLanguage::Japanese);
    box->show();
    auto* links = static_cast<QLabel*>(box->Control(ids::kLinks));
    emit links->linkActivated("https://fenwrightans.example/mail.html");
    QCOMPARE(opened_.urls, QList<QUrl>{QUrl("https://fenwrightans.example/mail.html")});
    QVERIFY(Locked(*box));
  }

  void failuresShowTheirBox_data() {
    QTest::addColumn<bool>("japanese");
    QTest::addColumn<bool>("link");
    QTest::addColumn<QString>("expected");
    QTest::newRow("en button") << false << false
                               << "Sorrel|Cannot open https://fenwrightans.example/ifa.php?SORREL.";
    QTest::newRow("en link") << false << true << "Sorrel|Cannot open a browser";
    QTest::newRow("ja link") << true << true
                             << "Sorrel|https://fenwrightans.example/を開けませんでした。\n"
                                "上記のURLを直接開いて下さい。";
  }
  void failuresShowTheirBox() {
    QFETCH(bool, japanese);
    QFETCH(bool, link);
    QFETCH(QString, expected);
    // Offscreen, nothing can open a web page.
    auto box = Box(japanese ? UiLanguage::Japanese : UiLanguage::English);
    box->show();
    QString seen;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    test::AnswerNextBox(QMessageBox::Ok, &seen, &icon);
    if (link) {
      emit static_cast<QLabel*>(box->Control(ids::kLinks))
          ->linkActivated("https://fenwrightans.example/");
    } else {
      QTest::mouseClick(Button(*box, ids::kFeedback), Qt::LeftButton);
    }
    QCOMPARE(seen, expected);
    QCOMPARE(icon, QMessageBox::Critical);
    QVERIFY(box->isVisible());
  }

  void hiddenPagesPutTheFocusOnClose() {
    AboutBoxInfo info = MakeAboutBoxInfo(UiLanguage::English);
    info.contribution.reset();
    info.feedback.reset();
    AboutDialog box(info, platform::ProgramPath(), nullptr);
    box.show();
    QVERIFY(QTest::qWaitForWindowActive(&box));
    QVERIFY(Button(box, ids::kContribution)->isHidden());
    QVERIFY(Button(box, ids::kFeedback)->isHidden());
    QCOMPARE(QApplication::focusWidget(), box.Control(ids::kClose));
  }

  // The first tab stop takes the focus, Tab runs through the stops in
  // template order, and each stop looks otherwise while it has the focus.
  void theFirstTabStopTakesTheFocusAndEveryStopShowsIt() {
    auto box = Box(UiLanguage::English);
    box->show();
    QVERIFY(QTest::qWaitForWindowActive(box.get()));
    const int order[] = {ids::kContribution, ids::kDescription, ids::kClose,   ids::kEnvironment,
                         ids::kVersion,      ids::kLinks,       ids::kFeedback};
    for (int pass = 0; pass < 2; ++pass) {
      for (int id : order) {
        QWidget* stop = box->Control(id);
        QCOMPARE(QApplication::focusWidget(), stop);
        const QImage focused = stop->grab().toImage();
        if (pass == 1 && id == ids::kLinks) {
          QVERIFY(box->grab().save(test::RenderFolder() + "/about-focus-on-a-link.png"));
        }
        // Tab walks the links before it leaves their label.
        for (int key = 0; key < 4 && QApplication::focusWidget() == stop; ++key) {
          QTest::keyClick(stop, Qt::Key_Tab);
        }
        // On the first pass the focus is only drawn once the keyboard moved it.
        if (pass == 1) QVERIFY2(stop->grab().toImage() != focused, qPrintable(QString::number(id)));
      }
    }
  }

  void ctrlASelectsTheDescription() {
    auto box = Box(UiLanguage::Japanese);
    box->show();
    auto* edit = static_cast<QPlainTextEdit*>(box->Control(ids::kDescription));
    edit->setFocus();
    QVERIFY(!edit->textCursor().hasSelection());
    QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
    QCOMPARE(edit->textCursor().selectionStart(), 0);
    QCOMPARE(edit->textCursor().selectionEnd(), edit->document()->characterCount() - 1);
    QCOMPARE(edit->toPlainText(), Text(*box, ids::kDescription));  // still read-only
  }

  void escClosesWithResultZero() {
    auto box = Box(UiLanguage::English);
    box->show();
    QTest::keyClick(box.get(), Qt::Key_Escape);
    QVERIFY(!box->isVisible());
    QCOMPARE(box->result(), 0);
    box->show();
    QTest::mouseClick(Button(*box, ids::kClose), Qt::LeftButton);
    QVERIFY(!box->isVisible());
  }

  void reportCopiesOnOk() {
    QGuiApplication::clipboard()->setText("before");
    auto box = Box(UiLanguage::English);
    box->show();
    const QString report = ToQString(box->Report());
    const QSize screen = QGuiApplication::primaryScreen()->size();
    QVERIFY(
        report.startsWith("RavelinLite ver.1.01.02 [Feb 11 2021]\r\n[Linux]\r\n Platform Id\t: "));
    QVERIFY(report.contains(QString("\r\n Architecture\t: x64\r\n")));
    QVERIFY(report.contains(
        QString("\r\n[Screen]\r\n %1x%2 (").arg(screen.width()).arg(screen.height())));
    QVERIFY(report.contains(" *primary\r\n[Other]\r\n Date/Time \t: "));
    QVERIFY(report.endsWith("\r\n[Client]\r\n Sorrel ver.1.50.00beta [2021/04/19] (x64) "));

    QString confirm, result;
    QMessageBox::Icon confirm_icon = QMessageBox::Critical, result_icon = QMessageBox::NoIcon;
    test::OnNextModal([&](QWidget* widget) {
      auto* question = qobject_cast<QMessageBox*>(widget);
      if (question == nullptr) return false;
      confirm = question->windowTitle() + '|' + question->text();
      confirm_icon = question->icon();
      test::AnswerNextBox(QMessageBox::Ok, &result, &result_icon);
      QTest::mouseClick(question->button(QMessageBox::Ok), Qt::LeftButton);
      return true;
    });
    QTest::mouseClick(Button(*box, ids::kEnvironment), Qt::LeftButton);
    QString shown = report;
    shown.replace("\r\n", "\n");
    QCOMPARE(confirm, "RavelinLite|" + shown +
                          "\n------------------------\n"
                          "Please click the [OK] button to copy to clipboard.");
    QCOMPARE(confirm_icon, QMessageBox::NoIcon);
    QCOMPARE(result, QString("RavelinLite|Writing data to Clipboard."));
    QCOMPARE(result_icon, QMessageBox::Information);
    // The clock may have moved on between the two reports: compare the rest.
    const QString copied = QGuiApplication::clipboard()->text();
    const QString date = " Date/Time \t: ";
    QCOMPARE(copied.left(copied.indexOf(date)), shown.left(shown.indexOf(date)));
    QVERIFY(copied.endsWith("\n[Client]\n Sorrel ver.1.50.00beta [2021/04/19] (x64) "));
    QVERIFY(!copied.contains('\r'));
  }

  void reportCancelCopiesNothing() {
    QGuiApplication::clipboard()->setText("before");
    auto box = Box(UiLanguage::Japanese);
    box->show();
    QString seen;
    test::AnswerNextBox(QMessageBox::Cancel, &seen);
    QTest::mouseClick(Button(*box, ids::kEnvironment), Qt::LeftButton);
    QVERIFY(seen.startsWith("環境情報の表示(簡易版)|RavelinLite ver.1.01.02"));
    QVERIFY(seen.endsWith("クリップボードにコピーする場合は[OK]ボタンを押して下さい。"));
    QCOMPARE(QGuiApplication::clipboard()->text(), QString("before"));
  }

  void temporaryFileGoesWithTheBox() {
    QTemporaryDir dir;
    const QByteArray saved = qgetenv("TMPDIR");
    qputenv("TMPDIR", dir.path().toUtf8());
    const QString path = dir.path() + "/Ravelin32LIB_TEMP.TXT";
    {
      auto box = Box(UiLanguage::English);
      QCOMPARE(QString::fromStdString(box->temp_file()), path);
      QFile file(path);
      QVERIFY(file.open(QIODevice::WriteOnly));
    }
    QVERIFY(!QFile::exists(path));
    qputenv("TMPDIR", saved);
  }

  void captionsFitAndRender_data() { versionLinksAndTips_data(); }
  void captionsFitAndRender() {
    QFETCH(bool, japanese);
    auto box = Box(japanese ? UiLanguage::Japanese : UiLanguage::English);
    for (int id : {ids::kContribution, ids::kClose, ids::kEnvironment, ids::kFeedback}) {
      QWidget* button = box->Control(id);
      QVERIFY2(button->sizeHint().width() <= button->width(), qPrintable(QString::number(id)));
    }
    box->show();
    QCoreApplication::processEvents();
    const QString path = test::RenderFolder() + (japanese ? "/about-ja.png" : "/about-en.png");
    QVERIFY2(box->grab().save(path), qPrintable(path));
  }
};

}  // namespace
}  // namespace sorrel::qt

QTEST_MAIN(sorrel::qt::AboutDialogTest)
#include "about_dialog_test.moc"
