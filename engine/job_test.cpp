#include "engine/job.h"

#include <gtest/gtest.h>

#include "base/main_dialog_ids.h"
#include "engine/options.h"
#include "engine/test_support.h"

namespace sorrel {
namespace {

using testing::Environment;
using testing::TempFolder;

class JobTest : public ::testing::Test {
 protected:
  JobTest() {
    char* cwd = getcwd(nullptr, 0);
    home_ = cwd;
    free(cwd);
    env.ctx.save_settings = [this] { ++saves; };
    for (int list : {ids::kCharEncode, ids::kWriteEncode, ids::kCrlfTransWay}) {
      for (int i = 0; i < 10; ++i) dialog().AddItem(list, u"entry");
    }
    dialog().SetSelection(ids::kCharEncode, 1);
    dialog().SetSelection(ids::kWriteEncode, 0);
    dialog().SetSelection(ids::kCrlfTransWay, 1);
    dialog().SetText(ids::kTargetPath, Target("*.txt"));
  }
  ~JobTest() override { EXPECT_EQ(chdir(home_.c_str()), 0); }
  ControlStore& dialog() { return *env.ctx.dialog; }
  std::u16string Target(const std::string& pattern) {
    const std::string path = dir.Path(pattern);
    return std::u16string(path.begin(), path.end());
  }
  std::string Cwd() {
    char* cwd = getcwd(nullptr, 0);
    std::string s = cwd;
    free(cwd);
    return s;
  }

  Environment env;
  TempFolder dir;
  int saves = 0;

 private:
  std::string home_;
};

TEST_F(JobTest, ATargetWithoutFolderCannotBeEntered) {
  dialog().SetText(ids::kTargetPath, u"*.txt");
  env.ctx.TargetCount = 5;
  EXPECT_FALSE(RunConversionJob(env.ctx));
  ASSERT_EQ(env.user.boxes.size(), 1u);
  EXPECT_EQ(env.user.boxes[0].text, u"SetCurrentDirectory error.");
  EXPECT_EQ(env.user.boxes[0].caption, u"Sorrel");
  EXPECT_EQ(env.user.boxes[0].icon, platform::Icon::Error);
  EXPECT_EQ(env.user.results_shown, 0);
  EXPECT_EQ(env.ctx.TargetCount, 5u);
}

TEST_F(JobTest, NothingToDoShowsZeroCountsAndTheNoErrorText) {
  const std::string before = Cwd();
  EXPECT_TRUE(RunConversionJob(env.ctx));
  EXPECT_EQ(env.user.result_summary, u"Target files:0, Replaced files:0");
  EXPECT_EQ(env.user.result_log, u"No errors occured.");
  EXPECT_EQ(saves, 1);  // closing the result dialog stores the settings
  EXPECT_EQ(Cwd(), before);
}

TEST_F(JobTest, CuiModePrintsOnlyTheSummaryWhenAllGoesWell) {
  env.ctx.cui_mode = true;
  dir.Write("a.txt", "a\r\nb\r\n");
  dialog().SetCheck(ids::kCrlfTrans, kChecked);
  EXPECT_TRUE(RunConversionJob(env.ctx));
  EXPECT_EQ(env.console.out, u"Target files:1, Replaced files:1\n");
  EXPECT_EQ(dir.Read("a.txt"), "a\nb\n");
  EXPECT_EQ(env.user.results_shown, 0);
}

TEST_F(JobTest, AnAbortEndsTheLogAndKeepsTheCounts) {
  dir.Write("a.txt", "x\n");
  env.user.abort_at = {1};
  env.user.answers = {platform::Answer::Yes};
  EXPECT_FALSE(RunConversionJob(env.ctx));
  EXPECT_EQ(env.user.result_summary, u"Target files:0, Replaced files:0");
  EXPECT_EQ(env.user.result_log, u"Aborted.\r\n");
}

TEST_F(JobTest, ABadExpressionStopsTheJobBeforeAnyFolder) {
  dir.Write("a.txt", "x\n");
  dialog().SetCheck(ids::kReplaceString, kChecked);
  dialog().SetCheck(ids::kRepUseRegex, kChecked);
  dialog().SetText(ids::kBeforeReplace, u"(unbalanced");
  env.ctx.MessageLog = u"kept";
  const std::string before = Cwd();
  EXPECT_FALSE(RunConversionJob(env.ctx));
  ASSERT_EQ(env.user.boxes.size(), 1u);
  EXPECT_EQ(env.user.boxes[0].text, u"Regular Expression error. [bad_expression]");
  EXPECT_EQ(env.ctx.MessageLog, u"kept");
  EXPECT_EQ(Cwd(), before);
}

TEST_F(JobTest, JapaneseSummaryAndFolderError) {
  Environment ja(UiLanguage::Japanese);
  ja.ctx.cui_mode = true;
  ja.ctx.dialog->SetText(ids::kTargetPath, Target("*.txt"));
  EXPECT_TRUE(RunConversionJob(ja.ctx));
  EXPECT_EQ(ja.console.out, u"0個中 0個のファイルの置換を行いました。\n");
  ja.console.out.clear();
  ja.ctx.dialog->SetText(ids::kTargetPath, Target("missing/*.txt"));
  EXPECT_FALSE(RunConversionJob(ja.ctx));
  EXPECT_EQ(ja.console.out, u"指定されたフォルダに移動できません。\n");
}

TEST_F(JobTest, ReplacementRunsThroughTheWholeJob) {
  dir.Write("a.txt", "12-34 x 5-6\n");
  dialog().SetCheck(ids::kReplaceString, kChecked);
  dialog().SetCheck(ids::kRepUseRegex, kChecked);
  dialog().SetText(ids::kBeforeReplace, u"(\\d+)-(\\d+)");
  dialog().SetText(ids::kAfterReplace, u"$2-$1");
  EXPECT_TRUE(RunConversionJob(env.ctx));
  EXPECT_EQ(dir.Read("a.txt"), "34-12 x 6-5\n");
}

TEST_F(JobTest, CrLfToLfAgreesWithDos2unix) {
  if (std::system("command -v dos2unix >/dev/null 2>&1") != 0) GTEST_SKIP() << "no dos2unix";
  std::string text;
  for (int i = 0; i < 2000; ++i) {
    text += "line " + std::to_string(i) + (i % 7 == 0 ? "\t \r\n" : "\r\n");
    if (i % 13 == 0) text += "\r\n";
  }
  dir.Write("a.txt", text);
  dir.Write("oracle.dat", text);
  ASSERT_EQ(std::system(("dos2unix -q " + dir.Path("oracle.dat")).c_str()), 0);
  dialog().SetCheck(ids::kCrlfTrans, kChecked);
  EXPECT_TRUE(RunConversionJob(env.ctx));
  EXPECT_EQ(dir.Read("a.txt"), dir.Read("oracle.dat"));
}

TEST(ConversionOptions, FollowTheRulesOfTheControls) {
  ControlStore dialog;
  for (int i = 0; i < 10; ++i) dialog.AddItem(ids::kCrlfTransWay, u"e");
  dialog.SetSelection(ids::kCrlfTransWay, 2);
  dialog.SetText(ids::kTargetPath, u"/data/texts/*.txt");
  dialog.SetCheck(ids::kDelControlCode, kChecked);
  dialog.SetCheck(ids::kControlCode2Space, kChecked);
  dialog.SetCheck(ids::kFileBackup, kIndeterminate);
  dialog.SetText(ids::kInsLfByte, u"12");
  dialog.SetText(ids::kInsLfChar, u"12");
  dialog.SetCheck(ids::kInsLfCharCheck, kChecked);
  dialog.SetText(ids::kTab2SpaceClm, u"8x");
  ConversionOptions o;
  ReadConversionOptions(dialog, &o);
  EXPECT_EQ(o.TargetFolder, u"/data/texts/");
  EXPECT_EQ(o.TargetPattern, u"*.txt");
  EXPECT_TRUE(o.DelControlCode);
  EXPECT_FALSE(o.ControlCode2Space);
  EXPECT_FALSE(o.FileBackup);
  EXPECT_EQ(o.UnifyLineEndKind, -1);
  EXPECT_EQ(o.InsertLineEndKind, 2);
  EXPECT_EQ(o.InsLfByte, 0u);
  EXPECT_EQ(o.InsLfChar, 12u);
  EXPECT_EQ(o.Tab2SpaceClm, 0u);
}

TEST(ConversionOptions, ATooLongPathIsNeverCut) {
  std::u16string folder;
  std::u16string pattern;
  SplitTargetPath(u"/" + std::u16string(5000, u'a') + u"/*.txt", &folder, &pattern);
  EXPECT_TRUE(folder.empty());
  EXPECT_TRUE(pattern.empty());
  SplitTargetPath(u"*.txt", &folder, &pattern);
  EXPECT_EQ(folder, u"");
  EXPECT_EQ(pattern, u"*.txt");
}

}  // namespace
}  // namespace sorrel
