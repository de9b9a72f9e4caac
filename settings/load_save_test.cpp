// Loading and saving the main dialog's controls through both stores, in
// memory and through the file.
#include "settings/load_save.h"

#include <gtest/gtest.h>

#include "base/main_dialog_ids.h"
#include "base/utf.h"
#include "settings/profile.h"
#include "settings/settings_access.h"
#include "settings/settings_keys.h"
#include "settings/settings_store.h"
#include "settings/test_support.h"

namespace sorrel::settings {
namespace {

using testing::RealStores;
using testing::Utf16LeBytes;

// The main dialog as it is when the settings are loaded: lists filled, the
// code-page edits disabled.
ControlStore NewDialog() {
  ControlStore dialog;
  for (int id : {ids::kCharEncode, ids::kWriteEncode}) {
    for (int i = 0; i < kCodePageEntries; ++i) dialog.AddItem(id, u"entry");
  }
  for (const char16_t* item : {u"CR+LF", u"LF", u"CR"}) dialog.AddItem(ids::kCrlfTransWay, item);
  dialog.SetEnabled(ids::kCharEncodeOther, false);
  dialog.SetEnabled(ids::kWriteEncodeOther, false);
  return dialog;
}

class LoadSaveTest : public ::testing::TestWithParam<bool> {
 protected:
  LoadSaveTest() : s_(GetParam()) {}
  ControlStore Loaded() {
    ControlStore dialog = NewDialog();
    LoadSettings(s_.ctx, &dialog);
    return dialog;
  }
  RealStores s_;
};

TEST_P(LoadSaveTest, AnEmptyStoreShowsEveryDefault) {
  ControlStore d = NewDialog();
  EXPECT_EQ(s_.store.Load(&d), StoreState::Ok);
  EXPECT_EQ(d.Text(ids::kTargetPath), u"");
  EXPECT_FALSE(d.IsChecked(ids::kFileBackup));
  EXPECT_TRUE(d.IsChecked(ids::kSearchSubFolders));
  EXPECT_EQ(d.Selection(ids::kCharEncode), 1);
  EXPECT_EQ(d.Selection(ids::kWriteEncode), 0);
  EXPECT_EQ(d.Text(ids::kCharEncodeOther), u"-");
  EXPECT_EQ(d.Text(ids::kWriteEncodeOther), u"-");
  EXPECT_FALSE(d.Enabled(ids::kCharEncodeOther));
  EXPECT_FALSE(d.IsChecked(ids::kCrlfTrans));
  EXPECT_EQ(d.Selection(ids::kCrlfTransWay), 0);
  EXPECT_EQ(d.Text(ids::kTab2SpaceClm), u"4");
  EXPECT_FALSE(d.IsChecked(ids::kInsLfByteCheck));
  EXPECT_FALSE(d.IsChecked(ids::kInsLfCharCheck));
  EXPECT_EQ(d.Text(ids::kInsLfByte), u"");
  EXPECT_TRUE(s_.user.boxes.empty());
  if (GetParam()) {
    // The INI file is created with its header and nothing else before any read.
    EXPECT_EQ(s_.home.Read("sorrel.ini"), std::string(kIniHeader, kIniHeaderSize));
  } else {
    EXPECT_FALSE(s_.home.Exists("config"));
  }
}

TEST_P(LoadSaveTest, StoredValuesOutOfRangeLoadAsTheirDefaults) {
  const std::pair<int32_t, int> line_ends[] = {{3, 0}, {1, 1}, {2, 2}, {-1, 0}, {7, 0}};
  for (const auto& [stored, entry] : line_ends) {
    WriteSettingInt(s_.ctx, u"CrlfTransWay", stored);
    EXPECT_EQ(Loaded().Selection(ids::kCrlfTransWay), entry) << stored;
  }
  for (int32_t stored : {10, -1}) {
    WriteSettingInt(s_.ctx, u"CharEncode", stored);
    EXPECT_EQ(Loaded().Selection(ids::kCharEncode), 0) << stored;
  }
  WriteSettingInt(s_.ctx, u"WriteEncode", 9);
  WriteSettingInt(s_.ctx, u"WriteEncodeOther", -1);
  WriteSettingInt(s_.ctx, u"Tab2SpaceClm", 0);
  WriteSettingInt(s_.ctx, u"FileBackup", 5);
  WriteSettingInt(s_.ctx, u"InsLfChar", 0);
  ControlStore d = NewDialog();
  d.SetText(ids::kInsLfChar, u"12");
  LoadSettings(s_.ctx, &d);
  EXPECT_EQ(d.Selection(ids::kWriteEncode), 9);
  EXPECT_TRUE(d.Enabled(ids::kWriteEncodeOther));
  EXPECT_EQ(d.Text(ids::kWriteEncodeOther), u"4294967295");
  EXPECT_EQ(d.Text(ids::kTab2SpaceClm), u"4");
  EXPECT_TRUE(d.IsChecked(ids::kFileBackup));
  EXPECT_FALSE(d.IsChecked(ids::kInsLfCharCheck));
  EXPECT_EQ(d.Text(ids::kInsLfChar), u"12");  // left as it was
}

TEST_P(LoadSaveTest, EveryKeyComesBackAsItWasSaved) {
  ControlStore d = NewDialog();
  d.SetText(ids::kTargetPath, u"/home/me/\u65e5\u672c/*.txt");
  d.SetText(ids::kBeforeReplace, u"  (a|b)\"' ");
  d.SetText(ids::kAfterReplace, u"\\1=x");
  for (int id : {ids::kFileBackup, ids::kCrlfTrans, ids::kZenSp2SpSp, ids::kDelRightWhiteSpace,
                 ids::kTab2Space, ids::kDelControlCode, ids::kControlCode2Space, ids::kSETTS,
                 ids::kReplaceString, ids::kRepUseRegex, ids::kRepICase, ids::kRep1Line,
                 ids::kRepMatchNotDotNewLine, ids::kInsLfByteCheck, ids::kInsLfCharCheck}) {
    d.SetCheck(id, kChecked);
  }
  d.SetCheck(ids::kSearchSubFolders, kUnchecked);
  d.SetSelection(ids::kCharEncode, 9);
  d.SetText(ids::kCharEncodeOther, u"4294967295");
  d.SetSelection(ids::kWriteEncode, 4);
  d.SetText(ids::kWriteEncodeOther, u"1252");
  d.SetSelection(ids::kCrlfTransWay, 2);
  d.SetText(ids::kTab2SpaceClm, u"8");
  d.SetText(ids::kInsLfByte, u"80");
  d.SetText(ids::kInsLfChar, u"72");
  ASSERT_TRUE(s_.store.Save(d));
  ControlStore back = NewDialog();
  EXPECT_EQ(s_.store.Load(&back), StoreState::Ok);
  for (const SettingKey& key : kSettingKeys) {
    EXPECT_EQ(back.Text(key.control), d.Text(key.control)) << key.narrow_name;
    EXPECT_EQ(back.Check(key.control), d.Check(key.control)) << key.narrow_name;
    EXPECT_EQ(back.Selection(key.control), d.Selection(key.control)) << key.narrow_name;
    if (key.partner != 0) {
      EXPECT_EQ(back.Check(key.partner), d.Check(key.partner)) << key.narrow_name;
    }
  }
  EXPECT_TRUE(back.Enabled(ids::kCharEncodeOther));
  // Saving again changes nothing in the store.
  const std::string before = s_.home.Read(s_.file());
  ASSERT_TRUE(s_.store.Save(back));
  EXPECT_EQ(s_.home.Read(s_.file()), before);
  if (GetParam()) {
    const std::string ini = s_.home.Read("sorrel.ini");
    EXPECT_EQ(ini.substr(0, 6), std::string(kIniHeader, kIniHeaderSize));
    EXPECT_NE(ini.find(Utf16LeBytes(u"\r\n[Main]\r\nTargetPath=")), std::string::npos);
    EXPECT_NE(ini.find(Utf16LeBytes(u"\r\nCharEncodeOther=4294967295\r\n")), std::string::npos);
  }
}

TEST_P(LoadSaveTest, SavingCutsAndZeroesAsTheRulesSay) {
  ControlStore d = NewDialog();
  d.SetText(ids::kBeforeReplace, std::u16string(9000, u'x'));
  d.SetText(ids::kInsLfByte, u"80");  // its check box stays unchecked
  d.SetCheck(ids::kInsLfCharCheck, kChecked);
  d.SetText(ids::kInsLfChar, u"-");
  d.SetText(ids::kTab2SpaceClm, u"wide");
  SaveSettings(s_.ctx, d);
  EXPECT_EQ(ReadSettingString(s_.ctx, u"BeforeReplace"), std::u16string(8191, u'x'));
  EXPECT_EQ(ReadSettingInt(s_.ctx, u"InsLfByte", -1), 0);
  EXPECT_EQ(ReadSettingInt(s_.ctx, u"InsLfChar", -1), 0);
  EXPECT_EQ(ReadSettingInt(s_.ctx, u"Tab2SpaceClm", -1), 0);
  EXPECT_EQ(Loaded().Text(ids::kTab2SpaceClm), u"4");
}

TEST_P(LoadSaveTest, SorrelcWritesWhatSorrelReads) {
  StoreState state;
  int error = 0;
  auto transaction = s_.store.Begin(&state, &error);
  ASSERT_NE(transaction, nullptr);
  const SettingsContext& ctx = transaction->context();
  // A name in UTF-8, and one in Shift-JIS bytes that are not UTF-8.
  WriteSettingString(ctx, "TargetPath", "/srv/\xE6\x97\xA5/\x93\xfa\x96\x7b.txt");
  WriteSettingInt(ctx, "CharEncodeOther", -1);
  WriteSettingString(ctx, "BeforeReplace", "old");
  WriteSettingString(ctx, "BeforeReplace", nullptr);
  EXPECT_TRUE(transaction->ValuesNotKept().empty());
  ASSERT_TRUE(transaction->Commit(&error));
  transaction.reset();
  ControlStore d = NewDialog();
  EXPECT_EQ(s_.store.Load(&d), StoreState::Ok);
  EXPECT_EQ(Utf16ToBytes(d.Text(ids::kTargetPath)), "/srv/\xE6\x97\xA5/\x93\xfa\x96\x7b.txt");
  EXPECT_EQ(d.Text(ids::kCharEncodeOther), u"4294967295");
  EXPECT_EQ(d.Text(ids::kBeforeReplace), u"");
  if (GetParam()) {
    EXPECT_EQ(s_.home.Read("sorrel.ini").find(Utf16LeBytes(u"BeforeReplace")), std::string::npos);
  }
  EXPECT_TRUE(s_.user.boxes.empty());
}

TEST_P(LoadSaveTest, TextsTheFileWouldChangeAreFoundBeforeTheCommit) {
  StoreState state;
  int error = 0;
  auto transaction = s_.store.Begin(&state, &error);
  ASSERT_NE(transaction, nullptr);
  const SettingsContext& ctx = transaction->context();
  WriteSettingString(ctx, "BeforeReplace", "foo\nbar");
  WriteSettingString(ctx, "AfterReplace", std::string(8192, 'x').c_str());
  WriteSettingString(ctx, "TargetPath", "/a\rb.txt");
  WriteSettingString(ctx, "TargetPath", "/ab.txt");  // only the last text counts
  const std::vector<std::u16string> expected =
      GetParam() ? std::vector<std::u16string>{u"BeforeReplace", u"AfterReplace"}
                 : std::vector<std::u16string>{u"AfterReplace"};
  EXPECT_EQ(transaction->ValuesNotKept(), expected);
}

INSTANTIATE_TEST_SUITE_P(BothStores, LoadSaveTest, ::testing::Bool(),
                         [](const auto& info) { return info.param ? "Ini" : "Registry"; });

TEST(SettingsKeysTest, NarrowNamesMatchTheWideOnes) {
  for (const SettingKey& key : kSettingKeys) {
    EXPECT_EQ(std::u16string(key.name),
              std::u16string(key.narrow_name, key.narrow_name + strlen(key.narrow_name)));
  }
  EXPECT_EQ(std::size(kSettingKeys), 25u);
}

TEST(IniFileTest, EnsureIniFileCreatesOnlyAMissingFile) {
  RealStores s(true);
  const std::string path = s.store.path();
  EXPECT_TRUE(EnsureIniFile(&s.files, path));
  EXPECT_EQ(s.home.Read("sorrel.ini"), std::string("\xFF\xFE\x0D\x00\x0A\x00", 6));
  s.home.Write("sorrel.ini", "[Main]\nA=1\n");
  EXPECT_TRUE(EnsureIniFile(&s.files, path));
  EXPECT_EQ(s.home.Read("sorrel.ini"), "[Main]\nA=1\n");
  EXPECT_FALSE(EnsureIniFile(&s.files, s.home.Path("no/such/folder/sorrel.ini")));
  // Strings read from the file are cut to 8191 units.
  s.home.Write("sorrel.ini", "[Main]\nBeforeReplace=" + std::string(9000, 'y') + "\n");
  ControlStore d = NewDialog();
  s.store.Load(&d);
  EXPECT_EQ(d.Text(ids::kBeforeReplace).size(), 8191u);
}

}  // namespace
}  // namespace sorrel::settings
