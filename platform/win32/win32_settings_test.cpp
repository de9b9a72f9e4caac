// The settings store on the real registry (under a key of the test's own)
// and on a real INI file: what is saved comes back, one lock and one write
// of what changed per transaction, the INI file stays UTF-16LE and the
// system's profile functions read what the store wrote, and a store that
// cannot be written stores nothing.
#include <gtest/gtest.h>

#include <memory>

#include "base/main_dialog_ids.h"
#include "platform/win32/test_support.h"
#include "platform/win32/wide.h"
#include "platform/win32/win32_settings_files.h"
#include "settings/settings_access.h"
#include "settings/settings_keys.h"
#include "settings/settings_store.h"

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
  Win32StoresTest()
      : files_(NewWin32SettingsFiles(root_.get())),
        store_(files_.get(), GetParam(),
               GetParam() ? folder_.Path("sorrel.ini") : settings::RegistryStorePath(files_.get()),
               UiLanguage::English, nullptr, nullptr) {}

  ControlStore Loaded() {
    ControlStore dialog = NewDialog();
    EXPECT_EQ(store_.Load(&dialog), settings::StoreState::Ok);
    return dialog;
  }

  RegistryRoot root_;
  testing::TempFolder folder_;
  std::unique_ptr<SettingsFiles> files_;
  settings::SettingsStore store_;
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
  ASSERT_TRUE(store_.Save(d));
  ControlStore back = Loaded();
  for (int id :
       {ids::kTargetPath, ids::kBeforeReplace, ids::kCharEncodeOther, ids::kTab2SpaceClm}) {
    EXPECT_EQ(back.Text(id), d.Text(id)) << id;
  }
  EXPECT_TRUE(back.IsChecked(ids::kCrlfTrans));
  EXPECT_FALSE(back.IsChecked(ids::kSearchSubFolders));
  EXPECT_EQ(back.Selection(ids::kCharEncode), 9);
  EXPECT_EQ(back.Selection(ids::kCrlfTransWay), 1);
}

TEST_P(Win32StoresTest, AnotherProgramsValueIsKeptAndOnlyWhatChangedIsWritten) {
  ASSERT_TRUE(store_.Save(NewDialog()));
  if (GetParam()) {
    // The system's profile functions read the file the store wrote, and
    // the store reads what they write.
    const std::wstring ini = Wide(folder_.Path("sorrel.ini"));
    wchar_t value[64] = {};
    GetPrivateProfileStringW(L"Main", L"FileBackup", L"none", value, 64, ini.c_str());
    EXPECT_STREQ(value, L"0");
    ASSERT_TRUE(
        WritePrivateProfileStringW(L"Main", L"TargetPath", L"D:\\日本\\x.txt", ini.c_str()));
    EXPECT_EQ(Loaded().Text(ids::kTargetPath), u"D:\\日本\\x.txt");
    const std::string bytes = folder_.Read("sorrel.ini");
    EXPECT_EQ(bytes.substr(0, 2), "\xFF\xFE");
  } else {
    // A value that changed under the key since is not written back.
    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyExW(root_.get(), std::wstring(AsWide(settings::kSettingsKeyPath)).c_str(),
                            0, KEY_SET_VALUE, &key),
              ERROR_SUCCESS);
    const DWORD other = 77;
    RegSetValueExW(key, L"Tab2SpaceClm", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&other),
                   sizeof other);
    RegCloseKey(key);
    settings::StoreState state;
    int error = 0;
    auto transaction = store_.Begin(&state, &error);
    ASSERT_NE(transaction, nullptr);
    settings::WriteSettingInt(transaction->context(), u"CharEncode", 4);
    ASSERT_TRUE(transaction->Commit(&error));
    const ControlStore back = Loaded();
    EXPECT_EQ(back.Text(ids::kTab2SpaceClm), u"77");
    EXPECT_EQ(back.Selection(ids::kCharEncode), 4);
  }
}

INSTANTIATE_TEST_SUITE_P(RegistryAndIni, Win32StoresTest, ::testing::Bool(),
                         [](const auto& info) { return info.param ? "Ini" : "Registry"; });

TEST(Win32IniTest, AFileThatCannotBeReplacedStoresNothing) {
  RegistryRoot root;
  testing::TempFolder folder;
  const std::unique_ptr<SettingsFiles> files = NewWin32SettingsFiles(root.get());
  const std::string path = folder.Path("sorrel.ini");
  settings::SettingsStore store(files.get(), true, path, UiLanguage::English, nullptr, nullptr);
  ControlStore dialog = NewDialog();
  store.Load(&dialog);  // creates the file with its header
  EXPECT_EQ(folder.Read("sorrel.ini"), std::string("\xFF\xFE\x0D\x00\x0A\x00", 6));
  // A folder in place of the file: it cannot be read, nor replaced.
  DeleteFileW(Wide(path).c_str());
  CreateDirectoryW(Wide(path).c_str(), nullptr);
  settings::StoreState state;
  int error = 0;
  EXPECT_EQ(store.Begin(&state, &error), nullptr);
  EXPECT_EQ(state, settings::StoreState::NotRegular);
  EXPECT_FALSE(store.Save(dialog));
}

}  // namespace
}  // namespace sorrel::platform
