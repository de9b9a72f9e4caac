// Renders each dialog in both languages to PNG files in the build folder, so
// that a person can look at them; checks only that the renders were made.
#include <QImage>
#include <QPixmap>
#include <QTest>
#include <memory>

#include "app/sorrel/program_services.h"
#include "gui/qt/dialog_session.h"
#include "gui/qt/result_dialog.h"
#include "gui/qt/test_support.h"

namespace sorrel::qt {
namespace {

class RenderTest : public QObject {
  Q_OBJECT

 private:
  static void Save(QWidget* widget, const QString& name) {
    widget->show();
    QCoreApplication::processEvents();
    const QString path = test::RenderFolder() + "/" + name + ".png";
    const QPixmap pixels = widget->grab();
    QVERIFY(!pixels.isNull());
    QVERIFY2(pixels.save(path), qPrintable(path));
    qInfo("rendered %s (%dx%d)", qPrintable(path), pixels.width(), pixels.height());
  }

 private slots:
  void renderEveryDialog_data() {
    QTest::addColumn<bool>("japanese");
    QTest::newRow("ja") << true;
    QTest::newRow("en") << false;
  }
  void renderEveryDialog() {
    QFETCH(bool, japanese);
    const UiLanguage language = japanese ? UiLanguage::Japanese : UiLanguage::English;
    const QString suffix = japanese ? "ja" : "en";
    test::PrivateHome home;
    ProgramServices services(language, false);
    DialogSession session(language, &services);
    // A tick divisible by 7 shows the banner in the Japanese dialog.
    session.Open(7);
    Save(&session.window(), "main_dialog_" + suffix);
    ResultDialog result(language,
                        japanese ? u"12個中 3個のファイルの置換を行いました。"
                                 : u"Target files:12, Replaced files:3",
                        japanese
                            ? u"ファイル /tmp/a.bin のUnicode変換工程でエラーが発生しました。"
                              u"ファイル内容が文字列として解釈できません。\r\n中断されました。\r\n"
                            : u"Cannot encode /tmp/a.bin to Unicode.\r\nAborted.\r\n",
                        {}, &session.window());
    Save(&result, "result_dialog_" + suffix);
  }
};

}  // namespace
}  // namespace sorrel::qt

QTEST_MAIN(sorrel::qt::RenderTest)
#include "render_test.moc"
