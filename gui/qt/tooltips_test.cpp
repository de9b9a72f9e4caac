// The tool-tip tables on the real main dialog's widgets, in each language.
#include <QHelpEvent>
#include <QTest>
#include <QToolTip>

#include "base/main_dialog_ids.h"
#include "gui/qt/dialog_template.h"
#include "gui/qt/qt_text.h"
#include "gui/qt/template_widgets.h"
#include "gui/qt/tooltips.h"

namespace sorrel::qt {
namespace {

class ToolTipsTest : public QObject {
  Q_OBJECT

 private slots:
  void everyTipFindsItsControl_data() {
    QTest::addColumn<bool>("japanese");
    QTest::newRow("ja") << true;
    QTest::newRow("en") << false;
  }
  void everyTipFindsItsControl() {
    QFETCH(bool, japanese);
    const UiLanguage language = japanese ? UiLanguage::Japanese : UiLanguage::English;
    QWidget dialog;
    TemplateWidgets widgets(MainDialogTemplate(language), &dialog);
    ApplyToolTips(MainDialogToolTips(language), [&](int id) { return widgets.Control(id); });
    int tipped = 0;
    for (const auto& [id, text] : ToolTipPairs(MainDialogToolTips(language))) {
      QWidget* control = widgets.Control(id);
      QVERIFY2(control != nullptr, qPrintable(QString::number(id)));
      QCOMPARE(control->toolTip(), ToQString(text));
      ++tipped;
    }
    QCOMPARE(tipped, japanese ? 29 : 26);
    // The English dialog has no tip over these three; the Japanese one has.
    for (int id : {ids::kInsLfByte, ids::kCrlfTransWay, ids::kInsLfChar}) {
      QCOMPARE(widgets.Control(id)->toolTip().isEmpty(), !japanese);
    }
    // Controls outside the table keep none.
    QVERIFY(widgets.Control(ids::kSETTS)->toolTip().isEmpty());
  }

  void unknownIdsAreSkipped() {
    QWidget dialog;
    TemplateWidgets widgets(MainDialogTemplate(UiLanguage::English), &dialog);
    const ToolTipEntry table[] = {{4242, u"nowhere"}, {ids::kBrowse, u"browse"}, {0, nullptr}};
    ApplyToolTips(table, [&](int id) { return widgets.Control(id); });
    QCOMPARE(widgets.Control(ids::kBrowse)->toolTip(), QString("browse"));
  }

  void tipShowsOnHelpEvent() {
    QWidget dialog;
    TemplateWidgets widgets(MainDialogTemplate(UiLanguage::Japanese), &dialog);
    dialog.resize(widgets.Place());
    ApplyToolTips(MainDialogToolTips(UiLanguage::Japanese),
                  [&](int id) { return widgets.Control(id); });
    dialog.show();
    QWidget* tab_width = widgets.Control(ids::kTab2SpaceClm);  // disabled until 1007 is on
    tab_width->setEnabled(false);
    const QPoint at = tab_width->rect().center();
    QHelpEvent event(QEvent::ToolTip, at, tab_width->mapToGlobal(at));
    QApplication::sendEvent(tab_width, &event);
    QTRY_COMPARE(QToolTip::text(),
                 QString("何カラム毎のタブで計算して、半角スペースに置換するかを指定します"));
  }
};

}  // namespace
}  // namespace sorrel::qt

QTEST_MAIN(sorrel::qt::ToolTipsTest)
#include "tooltips_test.moc"
