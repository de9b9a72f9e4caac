#include "gui/main_dialog_model.h"

#include <gtest/gtest.h>

#include "base/main_dialog_ids.h"

namespace sorrel {
namespace {

class MainDialogModelTest : public ::testing::Test {
 protected:
  MainDialogModel Make(UiLanguage lang = UiLanguage::English, bool cui = false) {
    MainDialogModel::Hooks hooks;
    hooks.load_settings = [this](ControlStore& s) {
      ++loads;
      s.SetSelection(ids::kCharEncode, 1);
      s.SetSelection(ids::kWriteEncode, 0);
      s.SetSelection(ids::kCrlfTransWay, 0);
      s.SetText(ids::kTab2SpaceClm, u"4");
    };
    hooks.save_settings = [this](const ControlStore&) { ++saves; };
    hooks.run_job = [this] {
      ++runs;
      start_enabled_during_run = store.Enabled(ids::kStart);
      caption_during_run = store.Text(ids::kStart);
    };
    return MainDialogModel(store, lang, cui, hooks);
  }
  bool StartEnabled() const { return store.Enabled(ids::kStart); }
  void Check(MainDialogModel& m, int id, bool on = true) {
    store.SetCheck(id, on ? kChecked : kUnchecked);
    m.OnCommand(id);
  }
  void Type(MainDialogModel& m, int id, std::u16string text) {
    store.SetText(id, std::move(text));
    m.OnCommand(id);
  }
  void Select(MainDialogModel& m, int list, int entry) {
    store.SetSelection(list, entry);
    m.OnCommand(list, true);
  }

  ControlStore store;
  int loads = 0;
  int saves = 0;
  int runs = 0;
  bool start_enabled_during_run = true;
  std::u16string caption_during_run;
};

TEST_F(MainDialogModelTest, OpeningFillsTheListsInBothLanguages) {
  MainDialogModel m = Make(UiLanguage::English);
  m.Initialise(1);
  EXPECT_EQ(loads, 1);
  ASSERT_EQ(store.Items(ids::kCharEncode).size(), 10u);
  ASSERT_EQ(store.Items(ids::kWriteEncode).size(), 10u);
  EXPECT_EQ(store.Items(ids::kCharEncode)[0], u"Automatic Detection");
  EXPECT_EQ(store.Items(ids::kWriteEncode)[0], u"None");
  EXPECT_EQ(store.Items(ids::kWriteEncode)[1], u"SHIFT-JIS");
  EXPECT_EQ(store.Items(ids::kCharEncode)[9], u"その他 (右にコードページを指定)");
  EXPECT_EQ(store.Items(ids::kCrlfTransWay)[1], u"CR or CRLF -> LF");
  EXPECT_EQ(store.TextLimit(ids::kTargetPath), 519u);
  EXPECT_EQ(store.TextLimit(ids::kTab2SpaceClm), 2u);
  EXPECT_FALSE(store.Enabled(ids::kCharEncodeOther));

  ControlStore ja_store;
  MainDialogModel ja(ja_store, UiLanguage::Japanese, false, {});
  ja.Initialise(1);
  EXPECT_EQ(ja_store.Items(ids::kCharEncode)[0], u"自動判別 (あまりお勧めしません)");
  EXPECT_EQ(ja_store.Items(ids::kWriteEncode)[0], u"読込み時と同じ");
  EXPECT_EQ(ja_store.Items(ids::kCrlfTransWay)[1],
            u"LFに統一   (単独のCR、またはCR+LFがあれば、LFに変換)");
}

TEST_F(MainDialogModelTest, StartNeedsATargetAndSomethingToDo) {
  MainDialogModel m = Make();
  m.Initialise(1);
  EXPECT_FALSE(StartEnabled());
  Check(m, ids::kCrlfTrans);
  EXPECT_FALSE(StartEnabled());  // no target yet
  Type(m, ids::kTargetPath, u"x");
  EXPECT_TRUE(StartEnabled());
  Check(m, ids::kCrlfTrans, false);
  for (int id : {ids::kFileBackup, ids::kSearchSubFolders, ids::kSETTS}) Check(m, id);
  EXPECT_FALSE(StartEnabled());
  Select(m, ids::kWriteEncode, 4);
  EXPECT_TRUE(StartEnabled());
}

TEST_F(MainDialogModelTest, NumbersOfCheckedOptionsMustNotBeZero) {
  MainDialogModel m = Make();
  m.Initialise(1);
  Type(m, ids::kTargetPath, u"x");
  Check(m, ids::kTab2Space);
  EXPECT_TRUE(StartEnabled());
  Type(m, ids::kTab2SpaceClm, u"");
  EXPECT_FALSE(StartEnabled());
  Type(m, ids::kTab2SpaceClm, u"0");
  EXPECT_FALSE(StartEnabled());
  Type(m, ids::kTab2SpaceClm, u"8");
  Check(m, ids::kInsLfByteCheck);
  EXPECT_FALSE(StartEnabled());
  Type(m, ids::kInsLfByte, u"16");
  EXPECT_TRUE(StartEnabled());
  Check(m, ids::kReplaceString);
  EXPECT_FALSE(StartEnabled());
  Type(m, ids::kBeforeReplace, u"a");
  EXPECT_TRUE(StartEnabled());
}

TEST_F(MainDialogModelTest, ListHandlerShowsTheCodePageOrAsksForOne) {
  MainDialogModel m = Make();
  m.Initialise(1);
  Type(m, ids::kTargetPath, u"x");
  Check(m, ids::kZenSp2SpSp);
  Select(m, ids::kCharEncode, 9);
  EXPECT_TRUE(store.Enabled(ids::kCharEncodeOther));
  EXPECT_EQ(store.Text(ids::kCharEncodeOther), u"");
  EXPECT_FALSE(StartEnabled());
  Type(m, ids::kCharEncodeOther, u"1252");
  EXPECT_TRUE(StartEnabled());
  Select(m, ids::kCharEncode, 1);
  EXPECT_EQ(store.Text(ids::kCharEncodeOther), u"932");
  EXPECT_FALSE(store.Enabled(ids::kCharEncodeOther));
  Select(m, ids::kWriteEncode, 0);
  EXPECT_EQ(store.Text(ids::kWriteEncodeOther), u"-");
}

TEST_F(MainDialogModelTest, EbcdicForcesTheCrEntryAndGreysTheList) {
  MainDialogModel m = Make();
  m.Initialise(1);
  Select(m, ids::kCharEncode, 8);
  EXPECT_EQ(store.Selection(ids::kCrlfTransWay), 2);
  EXPECT_FALSE(store.Enabled(ids::kCrlfTransWay));
  Select(m, ids::kCharEncode, 1);
  EXPECT_TRUE(store.Enabled(ids::kCrlfTransWay));
  EXPECT_EQ(store.Selection(ids::kCrlfTransWay), 2);
}

TEST_F(MainDialogModelTest, ReplacementControlsFollowTheirBoxes) {
  MainDialogModel m = Make();
  m.Initialise(1);
  EXPECT_FALSE(store.Enabled(ids::kBeforeReplace));
  Check(m, ids::kReplaceString);
  EXPECT_TRUE(store.Enabled(ids::kBeforeReplace));
  EXPECT_TRUE(store.Enabled(ids::kRepICase));
  EXPECT_FALSE(store.Enabled(ids::kRep1Line));
  EXPECT_FALSE(store.Enabled(ids::kRepMatchNotDotNewLine));
  Check(m, ids::kRepUseRegex);
  EXPECT_TRUE(store.Enabled(ids::kRep1Line));
  Check(m, ids::kDelControlCode);
  EXPECT_FALSE(store.Enabled(ids::kControlCode2Space));
  EXPECT_FALSE(store.Enabled(ids::kTab2SpaceClm));
  Check(m, ids::kTab2Space);
  EXPECT_TRUE(store.Enabled(ids::kTab2SpaceClm));
  EXPECT_TRUE(store.Enabled(ids::kTab2SpaceClmLabel));
}

TEST_F(MainDialogModelTest, StartShowsTheRunningCaptionAndDoesNotSave) {
  MainDialogModel m = Make(UiLanguage::Japanese);
  m.Initialise(1);
  Type(m, ids::kTargetPath, u"x");
  Check(m, ids::kZenSp2SpSp);
  m.OnCommand(ids::kStart);
  EXPECT_EQ(runs, 1);
  EXPECT_FALSE(start_enabled_during_run);
  EXPECT_EQ(caption_during_run, u"処理中...(Esc:中止)");
  EXPECT_EQ(store.Text(ids::kStart), u"開始(&S)");
  EXPECT_TRUE(StartEnabled());
  EXPECT_EQ(saves, 0);
  EXPECT_FALSE(m.ended());
}

TEST_F(MainDialogModelTest, CloseAndTheEndOfTheSessionSave) {
  MainDialogModel m = Make();
  m.Initialise(1);
  m.OnEndSession(false);
  EXPECT_FALSE(m.ended());
  m.OnEndSession(true);
  EXPECT_TRUE(m.ended());
  EXPECT_EQ(saves, 1);
  MainDialogModel closing = Make();
  closing.OnCommand(ids::kClose);
  EXPECT_EQ(closing.result(), 2);
  EXPECT_EQ(saves, 2);
}

TEST_F(MainDialogModelTest, CuiModeRunsAtOnceAndEndsWithoutSaving) {
  MainDialogModel m = Make(UiLanguage::English, true);
  m.Initialise(7);
  EXPECT_EQ(runs, 1);
  EXPECT_TRUE(m.ended());
  EXPECT_EQ(saves, 0);
  EXPECT_EQ(store.Text(ids::kStart), u"&Start");
}

TEST_F(MainDialogModelTest, TheBannerShowsOnlyInJapaneseOnEverySeventhTick) {
  MainDialogModel en = Make(UiLanguage::English);
  en.Initialise(7);
  EXPECT_FALSE(store.Visible(ids::kBanner));
  MainDialogModel ja = Make(UiLanguage::Japanese);
  ja.Initialise(8);
  EXPECT_FALSE(store.Visible(ids::kBanner));
  ja.Initialise(14);
  EXPECT_TRUE(store.Visible(ids::kBanner));
}

TEST_F(MainDialogModelTest, ADroppedOrBrowsedPathBecomesTheTarget) {
  MainDialogModel m = Make();
  m.Initialise(1);
  Check(m, ids::kZenSp2SpSp);
  EXPECT_TRUE(m.SetTargetPath(u"/home/user/notes"));
  EXPECT_EQ(store.Text(ids::kTargetPath), u"/home/user/notes");
  EXPECT_TRUE(StartEnabled());
}

TEST_F(MainDialogModelTest, APathLongerThanTheTargetTakesIsRefused) {
  MainDialogModel m = Make();
  m.Initialise(1);
  const std::u16string fits = u"/" + std::u16string(518, u'a');
  EXPECT_TRUE(m.SetTargetPath(fits));
  EXPECT_FALSE(m.SetTargetPath(fits + u"b"));
  EXPECT_EQ(store.Text(ids::kTargetPath), fits);
}

TEST_F(MainDialogModelTest, NoCommandActsWhileARunLasts) {
  ControlStore s;
  int saves_during_run = 0;
  int runs_seen = 0;
  MainDialogModel* model = nullptr;
  MainDialogModel::Hooks hooks;
  hooks.save_settings = [&](const ControlStore&) { ++saves_during_run; };
  hooks.run_job = [&] {
    ++runs_seen;
    model->OnCommand(ids::kClose);
    model->OnCommand(ids::kStart);
    s.SetSelection(ids::kWriteEncode, 9);
    model->OnCommand(ids::kWriteEncode, true);
  };
  MainDialogModel m(s, UiLanguage::English, false, hooks);
  model = &m;
  m.Initialise(1);
  m.SetTargetPath(u"/tmp/x");
  s.SetText(ids::kWriteEncodeOther, u"-");
  m.OnCommand(ids::kStart);
  EXPECT_EQ(runs_seen, 1);
  EXPECT_EQ(saves_during_run, 0);
  EXPECT_FALSE(m.ended());
  EXPECT_EQ(s.Text(ids::kWriteEncodeOther), u"-");
  m.OnCommand(ids::kClose);
  EXPECT_TRUE(m.ended());
}

}  // namespace
}  // namespace sorrel
