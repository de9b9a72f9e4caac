// The settings on the real registry and through the system's profile
// functions: what sorrel saves comes back, values of every type read as the
// key wrapper's rules say, and the INI file stays UTF-16LE.
#include "platform/win32/win32_registry.h"

#include <gtest/gtest.h>

#include "platform/main_dialog_ids.h"
#include "platform/win32/test_support.h"
#include "platform/win32/wide.h"
#include "settings/load_save.h"
#include "settings/profile.h"
#include "settings/regw.h"
#include "settings/settings_access.h"
#include "settings/settings_keys.h"

namespace sorrel::platform {
namespace {

// A private root under the current user's key, removed at the end.
class RegistryRoot {
 public:
  RegistryRoot() : path_(L"Software\\SorrelTest-" + std::to_wstring(GetCurrentProcessId())) {
    RegCreateKeyExW(HKEY_CURRENT_USER, path_.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                    KEY_ALL_ACCESS, nullptr, &root_, nullptr);
  }
  ~RegistryRoot() {
    RegCloseKey(root_);
    RegDeleteTreeW(HKEY_CURRENT_USER, path_.c_str());
  }
  HKEY get() const { return root_; }

 private:
  std::wstring path_;
  HKEY root_ = nullptr;
};

ControlStore NewDialog() {
  ControlStore dialog;
  for (int id : {ids::kCharEncode, ids::kWriteEncode}) {
    for (int i = 0; i < settings::kCodePageEntries; ++i) dialog.AddItem(id, u"entry");
  }
  for (const char16_t* item : {u"CR+LF", u"LF", u"CR"}) dialog.AddItem(ids::kCrlfTransWay, item);
  return dialog;
}

class Win32StoresTest : public ::testing::TestWithParam<bool> {
 protected:
  Win32StoresTest() : store_(root_.get()) {
    ctx_.ini_mode = GetParam();
    ctx_.registry = &store_;
    ctx_.ini_path = folder_.Path("sorrel.ini");
  }
  RegistryRoot root_;
  Win32RegistryStore store_;
  testing::TempFolder folder_;
  settings::SettingsContext ctx_;
};

TEST_P(Win32StoresTest, WhatIsSavedComesBack) {
  ControlStore d = NewDialog();
  d.SetText(ids::kTargetPath, u"C:\\データ\\*.txt");
  d.SetText(ids::kBeforeReplace, u" (a|b)\"' ");
  d.SetCheck(ids::kCrlfTrans, kChecked);
  d.SetCheck(ids::kSearchSubFolders, kUnchecked);
  d.SetSelection(ids::kCharEncode, 9);
  d.SetText(ids::kCharEncodeOther, u"4294967295");
  d.SetSelection(ids::kCrlfTransWay, 1);
  d.SetText(ids::kTab2SpaceClm, u"8");
  settings::SaveSettings(ctx_, d);
  ControlStore back = NewDialog();
  settings::LoadSettings(ctx_, &back);
  for (int id :
       {ids::kTargetPath, ids::kBeforeReplace, ids::kCharEncodeOther, ids::kTab2SpaceClm}) {
    EXPECT_EQ(back.Text(id), d.Text(id)) << id;
  }
  EXPECT_TRUE(back.IsChecked(ids::kCrlfTrans));
  EXPECT_FALSE(back.IsChecked(ids::kSearchSubFolders));
  EXPECT_EQ(back.Selection(ids::kCharEncode), 9);
  EXPECT_EQ(back.Selection(ids::kCrlfTransWay), 1);
  if (GetParam()) {
    // The system kept the file in UTF-16LE under the header it was created with.
    const std::string ini = folder_.Read("sorrel.ini");
    ASSERT_GE(ini.size(), 2u);
    EXPECT_EQ(ini.substr(0, 2), "\xFF\xFE");
    const std::u16string key = u"CharEncodeOther=4294967295";
    EXPECT_NE(ini.find(std::string(reinterpret_cast<const char*>(key.data()), key.size() * 2)),
              std::string::npos);
  }
}

TEST_P(Win32StoresTest, SorrelcWritesWhatSorrelReads) {
  settings::WriteSettingString(ctx_, "BeforeReplace", "日本語");
  settings::WriteSettingInt(ctx_, "CharEncode", -1);
  EXPECT_EQ(settings::ReadSettingString(ctx_, u"BeforeReplace"), u"日本語");
  EXPECT_EQ(settings::ReadSettingInt(ctx_, u"CharEncode", 5), -1);
  EXPECT_EQ(settings::ReadSettingInt(ctx_, u"Missing", 5), 5);
}

INSTANTIATE_TEST_SUITE_P(RegistryAndIni, Win32StoresTest, ::testing::Bool(),
                         [](const auto& info) { return info.param ? "Ini" : "Registry"; });

TEST(Win32RegistryTest, ValuesOfEveryTypeReadAsIntegers) {
  RegistryRoot root;
  Win32RegistryStore store(root.get());
  {
    auto key = store.CreateKey(settings::kSettingsKeyPath);
    ASSERT_NE(key, nullptr);
    const auto sz = [&](const wchar_t* name, std::wstring_view text) {
      const std::wstring value(text);
      return key->SetValue(
          AsUtf16(name), settings::kRegSz,
          std::string_view(reinterpret_cast<const char*>(value.c_str()), (value.size() + 1) * 2));
    };
    ASSERT_TRUE(sz(L"Plus", L"+7"));
    ASSERT_TRUE(sz(L"Space", L" 12"));
    ASSERT_TRUE(key->SetValue(u"Binary", settings::kRegBinary, std::string("\x05\0\0\0", 4)));
    ASSERT_TRUE(key->SetValue(u"Big", settings::kRegDwordBigEndian, std::string("\0\0\0\x05", 4)));
    ASSERT_TRUE(key->Close());
  }
  settings::REGW reg(&store, nullptr, UiLanguage::English);
  ASSERT_TRUE(reg.OpenKey(settings::REGW::Mode::Read));
  EXPECT_EQ(reg.ReadIntegerW(u"Plus", -9), 7);
  EXPECT_EQ(reg.ReadIntegerW(u"Space", -9), -9);
  EXPECT_EQ(reg.ReadIntegerW(u"Binary", -9), 5);
  EXPECT_EQ(reg.ReadIntegerW(u"Big", -9), 5);
  EXPECT_TRUE(reg.CloseKey());
}

TEST(Win32RegistryTest, ReadingNeverCreatesTheKey) {
  RegistryRoot root;
  Win32RegistryStore store(root.get());
  settings::SettingsContext ctx;
  ctx.registry = &store;
  EXPECT_EQ(settings::ReadSettingInt(ctx, u"CharEncode", 3), 3);
  EXPECT_EQ(store.OpenKey(settings::kSettingsKeyPath, settings::RegistryStore::Access::Read),
            nullptr);
}

TEST(Win32ProfileTest, ANewIniFileHoldsExactlyTheHeader) {
  testing::TempFolder folder;
  ASSERT_TRUE(settings::EnsureIniFile(nullptr, folder.Path("sorrel.ini")));
  EXPECT_EQ(folder.Read("sorrel.ini"), std::string("\xFF\xFE\x0D\x00\x0A\x00", 6));
  ASSERT_TRUE(settings::EnsureIniFile(nullptr, folder.Path("sorrel.ini")));
  EXPECT_EQ(folder.Read("sorrel.ini").size(), 6u);
}

}  // namespace
}  // namespace sorrel::platform
