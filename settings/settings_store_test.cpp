// The store over real files: one read and one replacement per transaction,
// what it creates, keeps, sets aside and refuses, the file formats users keep
// it in, and what concurrent writers leave.
#include "settings/settings_store.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>

#include "base/main_dialog_ids.h"
#include "platform/posix/posix_settings_files.h"
#include "settings/decimal.h"
#include "settings/settings_access.h"
#include "settings/settings_keys.h"
#include "settings/test_support.h"

namespace sorrel::settings {
namespace {

using testing::RealStores;
using testing::Utf16LeBytes;

constexpr char kOtherKeys[] =
    "Windows Registry Editor Version 5.00\r\n\r\n"
    "[HKEY_CURRENT_USER\\Software\\Other]\r\n\"Keep\"=hex(7):61,00,00,00,00,00\r\n\r\n"
    "[HKEY_CURRENT_USER\\Software\\FenwrightAns\\sorrel\\CurrentVersion]\r\n"
    "\"Unknown\"=hex(b):01,02,03,04,05,06,07,08\r\n\r\n";

// The real files, but setting a file aside or replacing it can be made to fail.
class FaultyFiles : public platform::PosixSettingsFiles {
 public:
  bool fail_set_aside = false;
  bool fail_replace = false;
  std::unique_ptr<platform::LockedSettingsFile> Lock(const std::string& path, bool make_folder,
                                                     int* error) override {
    auto real = PosixSettingsFiles::Lock(path, make_folder, error);
    if (real == nullptr) return nullptr;
    return std::make_unique<Locked>(std::move(real), this);
  }

 private:
  class Locked : public platform::LockedSettingsFile {
   public:
    Locked(std::unique_ptr<platform::LockedSettingsFile> real, FaultyFiles* owner)
        : real_(std::move(real)), owner_(owner) {}
    platform::SettingsReadStatus Read(std::string* bytes, int* error) override {
      return real_->Read(bytes, error);
    }
    bool Replace(std::string_view data, int* error) override {
      if (!owner_->fail_replace) return real_->Replace(data, error);
      *error = ENOSPC;
      return false;
    }
    bool SetAside(std::string* aside, int* error) override {
      if (!owner_->fail_set_aside) return real_->SetAside(aside, error);
      *error = EACCES;
      return false;
    }
    intptr_t Handle() const override { return real_->Handle(); }

   private:
    std::unique_ptr<platform::LockedSettingsFile> real_;
    FaultyFiles* owner_;
  };
};

std::unique_ptr<SettingsTransaction> Begin(SettingsStore* store) {
  StoreState state;
  int error = 0;
  auto transaction = store->Begin(&state, &error);
  EXPECT_NE(transaction, nullptr) << "state " << static_cast<int>(state) << ", error " << error;
  return transaction;
}

bool Commit(SettingsTransaction* transaction) {
  int error = 0;
  return transaction->Commit(&error);
}

ControlStore Loaded(SettingsStore* store, StoreState* state = nullptr) {
  ControlStore dialog;
  for (int id : {ids::kCharEncode, ids::kWriteEncode}) {
    for (int i = 0; i < kCodePageEntries; ++i) dialog.AddItem(id, u"entry");
  }
  for (int i = 0; i < 3; ++i) dialog.AddItem(ids::kCrlfTransWay, u"entry");
  const StoreState loaded = store->Load(&dialog);
  if (state != nullptr) *state = loaded;
  return dialog;
}

TEST(SettingsStoreTest, FirstCommitCreatesAPrivateFileInAPrivateFolder) {
  RealStores s(false);
  EXPECT_EQ(Loaded(&s.store).Check(ids::kSearchSubFolders), kChecked);
  EXPECT_FALSE(s.home.Exists("config"));  // a load changes nothing
  auto transaction = Begin(&s.store);
  WriteSettingInt(transaction->context(), u"SearchSubFolders", 0);
  ASSERT_TRUE(Commit(transaction.get()));
  namespace fs = std::filesystem;
  EXPECT_EQ(fs::status(s.home.Path("config/sorrel")).permissions(), fs::perms::owner_all);
  EXPECT_EQ(fs::status(s.home.Path(s.file())).permissions(),
            fs::perms::owner_read | fs::perms::owner_write);
  EXPECT_EQ(s.home.Read(s.file()),
            "Windows Registry Editor Version 5.00\r\n\r\n"
            "[HKEY_CURRENT_USER\\Software\\FenwrightAns\\sorrel\\CurrentVersion]\r\n"
            "\"SearchSubFolders\"=dword:00000000\r\n\r\n");
  EXPECT_EQ(s.home.List("config/sorrel"), std::vector<std::string>{"registry.reg"});
}

TEST(SettingsStoreTest, ACommitKeepsEverythingElseTheFileHolds) {
  RealStores s(false);
  std::filesystem::create_directories(s.home.Path("config/sorrel"));
  s.home.Write(s.file(), kOtherKeys);
  auto transaction = Begin(&s.store);
  WriteSettingString(transaction->context(), u"TargetPath", u"/data/*.txt");
  WriteSettingString(transaction->context(), u"targetpath", u"/data/*.csv");  // without case
  ASSERT_TRUE(Commit(transaction.get()));
  EXPECT_EQ(s.home.Read(s.file()),
            "Windows Registry Editor Version 5.00\r\n\r\n"
            "[HKEY_CURRENT_USER\\Software\\Other]\r\n\"Keep\"=hex(7):61,00,00,00,00,00\r\n\r\n"
            "[HKEY_CURRENT_USER\\Software\\FenwrightAns\\sorrel\\CurrentVersion]\r\n"
            "\"Unknown\"=hex(b):01,02,03,04,05,06,07,08\r\n"
            "\"TargetPath\"=\"/data/*.csv\"\r\n\r\n");
  EXPECT_TRUE(s.report.empty());
}

TEST(SettingsStoreTest, ADamagedFileIsSaidOnLoadAndKeptAsideByTheNextTransaction) {
  RealStores s(false);
  std::filesystem::create_directories(s.home.Path("config/sorrel"));
  const std::string damaged = std::string(kOtherKeys) + "\"orphan\n";
  s.home.Write(s.file(), damaged);
  StoreState state;
  EXPECT_EQ(Loaded(&s.store, &state).Selection(ids::kCharEncode), 1);
  EXPECT_EQ(state, StoreState::Damaged);
  EXPECT_EQ(s.home.List("config/sorrel").size(), 1u);  // a load changes nothing
  auto transaction = Begin(&s.store);
  WriteSettingInt(transaction->context(), u"CharEncode", 2);
  ASSERT_TRUE(Commit(transaction.get()));
  const std::vector<std::string> names = s.home.List("config/sorrel");
  ASSERT_EQ(names.size(), 2u);
  EXPECT_EQ(names[0], "registry.reg");
  EXPECT_EQ(names[1].substr(0, 21), "registry.reg.damaged-");
  EXPECT_EQ(names[1].size(), 21u + 15u);  // YYYYMMDDTHHMMSS
  EXPECT_EQ(s.home.Read("config/sorrel/" + names[1]), damaged);
  EXPECT_EQ(Loaded(&s.store, &state).Selection(ids::kCharEncode), 2);
  EXPECT_EQ(state, StoreState::Ok);
  ASSERT_EQ(s.report.size(), 1u);
  const std::string path = s.home.Path(s.file());
  const std::u16string path16(path.begin(), path.end());
  const std::u16string stamp(names[1].begin() + 21, names[1].end());
  EXPECT_EQ(s.report[0], u"Cannot parse the settings file " + path16 + u". Kept it as " + path16 +
                             u".damaged-" + stamp + u" and started with empty settings.\n");
}

TEST(SettingsStoreTest, NothingIsOverwrittenThatCannotBeKeptOrReplacedWhole) {
  testing::TempHome home;
  FaultyFiles files;
  files.fail_set_aside = true;
  std::vector<std::u16string> report;
  SettingsStore store(&files, false, RegistryStorePath(&files), UiLanguage::English, nullptr,
                      [&](std::u16string_view line) { report.emplace_back(line); });
  std::filesystem::create_directories(home.Path("config/sorrel"));
  home.Write("config/sorrel/registry.reg", "not an export");
  StoreState state;
  int error = 0;
  EXPECT_EQ(store.Begin(&state, &error), nullptr);
  EXPECT_EQ(state, StoreState::Damaged);
  EXPECT_EQ(error, EACCES);
  EXPECT_EQ(home.Read("config/sorrel/registry.reg"), "not an export");
  EXPECT_TRUE(report.empty());
  // A failed replacement leaves the old content and no temporary file.
  files.fail_set_aside = false;
  home.Write("config/sorrel/registry.reg", kOtherKeys);
  files.fail_replace = true;
  auto transaction = store.Begin(&state, &error);
  ASSERT_NE(transaction, nullptr);
  WriteSettingInt(transaction->context(), u"CharEncode", 5);
  EXPECT_FALSE(transaction->Commit(&error));
  EXPECT_EQ(error, ENOSPC);
  EXPECT_EQ(home.Read("config/sorrel/registry.reg"), kOtherKeys);
  EXPECT_EQ(home.List("config/sorrel"), std::vector<std::string>{"registry.reg"});
}

TEST(SettingsStoreTest, AnAnsiExportIsReadInTheSystemsCodePageAndKeptWhenWritten) {
  RealStores s(false);
  std::filesystem::create_directories(s.home.Path("config/sorrel"));
  // Shift-JIS, as a Japanese system exports it: a quoted text and a
  // hex(2) list of ANSI bytes.
  s.home.Write(s.file(),
               "REGEDIT4\r\n\r\n"
               "[HKEY_CURRENT_USER\\Software\\FenwrightAns\\sorrel\\CurrentVersion]\r\n"
               "\"TargetPath\"=\"C:\\\\\x93\xfa\x96\x7b\\\\*.txt\"\r\n"
               "\"Expand\"=hex(2):25,54,4d,50,25,00\r\n"
               "\"CharEncode\"=dword:00000004\r\n\r\n");
  const char* saved = std::getenv("LC_ALL");
  const std::string saved_value = saved != nullptr ? saved : "";
  setenv("LC_ALL", "ja_JP.UTF-8", 1);
  StoreState state;
  const ControlStore d = Loaded(&s.store, &state);
  EXPECT_EQ(state, StoreState::Ok);
  EXPECT_EQ(d.Text(ids::kTargetPath), u"C:\\\u65e5\u672c\\*.txt");
  EXPECT_EQ(d.Selection(ids::kCharEncode), 4);
  auto transaction = Begin(&s.store);
  ASSERT_TRUE(Commit(transaction.get()));
  const std::string written = s.home.Read(s.file());
  EXPECT_NE(written.find("\"TargetPath\"=\"C:\\\\\xE6\x97\xA5\xE6\x9C\xAC\\\\*.txt\""),
            std::string::npos);
  EXPECT_NE(written.find("\"Expand\"=hex(2):25,00,54,00,4d,00,50,00,25,00,00,00"),
            std::string::npos);
  if (saved != nullptr) {
    setenv("LC_ALL", saved_value.c_str(), 1);
  } else {
    unsetenv("LC_ALL");
  }
}

TEST(SettingsStoreTest, ANewIniFileBeginsWithItsHeader) {
  RealStores s(true);
  auto transaction = Begin(&s.store);
  WriteSettingInt(transaction->context(), "CharEncode", -1);
  ASSERT_TRUE(Commit(transaction.get()));
  EXPECT_EQ(s.home.Read(s.file()),
            "\xFF\xFE" + Utf16LeBytes(u"\r\n[Main]\r\nCharEncode=4294967295\r\n"));
}

// Commits count values named prefix0, prefix1, ... each in its own transaction.
void CommitMany(const char16_t* prefix, int count) {
  platform::PosixSettingsFiles files;
  SettingsStore store(&files, false, RegistryStorePath(&files), UiLanguage::English, nullptr,
                      nullptr);
  for (int i = 0; i < count; ++i) {
    StoreState state;
    int error = 0;
    auto transaction = store.Begin(&state, &error);
    if (transaction == nullptr) _exit(2);
    const std::u16string name = prefix + FormatUnsigned(i);
    WriteSettingInt(transaction->context(), name.c_str(), i);
    if (!transaction->Commit(&error)) _exit(3);
  }
}

TEST(SettingsStoreTest, TwoProcessesCommittingAtOnceLoseNoValue) {
  RealStores s(false);
  constexpr int kCommits = 200;
  pid_t children[2];
  const char16_t* prefixes[2] = {u"A", u"B"};
  for (int c = 0; c < 2; ++c) {
    children[c] = fork();
    ASSERT_GE(children[c], 0);
    if (children[c] == 0) {
      CommitMany(prefixes[c], kCommits);
      _exit(0);
    }
  }
  for (pid_t child : children) {
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  }
  auto transaction = Begin(&s.store);
  int missing = 0;
  for (const char16_t* prefix : prefixes) {
    for (int i = 0; i < kCommits; ++i) {
      const std::u16string name = prefix + FormatUnsigned(i);
      if (ReadSettingInt(transaction->context(), name.c_str(), -1) != i) ++missing;
    }
  }
  EXPECT_EQ(missing, 0);
  EXPECT_EQ(s.home.List("config/sorrel"), std::vector<std::string>{"registry.reg"});
}

}  // namespace
}  // namespace sorrel::settings
