// The registry over a real hive file: what it creates, keeps, sets aside, and
// what concurrent writers leave.
#include "settings/hive_file_registry.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>

#include "settings/decimal.h"
#include "settings/regw.h"
#include "settings/settings_access.h"
#include "settings/test_support.h"

namespace sorrel::settings {
namespace {

using testing::RealStores;

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
  std::unique_ptr<platform::LockedSettingsFile> Lock(const std::string& path,
                                                     bool make_folder) override {
    auto real = PosixSettingsFiles::Lock(path, make_folder);
    if (real == nullptr) return nullptr;
    return std::make_unique<Locked>(std::move(real), this);
  }

 private:
  class Locked : public platform::LockedSettingsFile {
   public:
    Locked(std::unique_ptr<platform::LockedSettingsFile> real, FaultyFiles* owner)
        : real_(std::move(real)), owner_(owner) {}
    platform::SettingsReadStatus Read(std::string* bytes) override { return real_->Read(bytes); }
    bool Replace(std::string_view data) override {
      return !owner_->fail_replace && real_->Replace(data);
    }
    bool SetAside(std::string* aside) override {
      return !owner_->fail_set_aside && real_->SetAside(aside);
    }

   private:
    std::unique_ptr<platform::LockedSettingsFile> real_;
    FaultyFiles* owner_;
  };
};

TEST(HiveFileRegistryTest, FirstWriteCreatesAPrivateFileInAPrivateFolder) {
  RealStores s(false);
  EXPECT_EQ(ReadSettingInt(s.ctx, u"SearchSubFolders", 1), 1);
  EXPECT_FALSE(s.home.Exists("config"));
  WriteSettingInt(s.ctx, u"SearchSubFolders", 0);
  namespace fs = std::filesystem;
  EXPECT_EQ(fs::status(s.home.Path("config/sorrel")).permissions(), fs::perms::owner_all);
  EXPECT_EQ(fs::status(s.hive_path()).permissions(),
            fs::perms::owner_read | fs::perms::owner_write);
  EXPECT_EQ(s.home.Read("config/sorrel/registry.reg"),
            "Windows Registry Editor Version 5.00\r\n\r\n"
            "[HKEY_CURRENT_USER\\Software\\FenwrightAns\\sorrel\\CurrentVersion]\r\n"
            "\"SearchSubFolders\"=dword:00000000\r\n\r\n");
  EXPECT_EQ(s.home.List("config/sorrel"), std::vector<std::string>{"registry.reg"});
}

TEST(HiveFileRegistryTest, WritesKeepEverythingElseTheFileHolds) {
  RealStores s(false);
  std::filesystem::create_directories(s.home.Path("config/sorrel"));
  s.home.Write("config/sorrel/registry.reg", kOtherKeys);
  WriteSettingString(s.ctx, u"TargetPath", u"/data/*.txt");
  WriteSettingString(s.ctx, u"targetpath", u"/data/*.csv");  // names compare without case
  EXPECT_EQ(s.home.Read("config/sorrel/registry.reg"),
            "Windows Registry Editor Version 5.00\r\n\r\n"
            "[HKEY_CURRENT_USER\\Software\\Other]\r\n\"Keep\"=hex(7):61,00,00,00,00,00\r\n\r\n"
            "[HKEY_CURRENT_USER\\Software\\FenwrightAns\\sorrel\\CurrentVersion]\r\n"
            "\"Unknown\"=hex(b):01,02,03,04,05,06,07,08\r\n"
            "\"TargetPath\"=\"/data/*.csv\"\r\n\r\n");
  EXPECT_EQ(ReadSettingInt(s.ctx, u"Unknown", 0), 0x04030201);
  EXPECT_TRUE(s.report.empty());
}

TEST(HiveFileRegistryTest, ADamagedFileIsReadAsEmptyAndKeptAsideBeforeAWrite) {
  RealStores s(false);
  std::filesystem::create_directories(s.home.Path("config/sorrel"));
  const std::string damaged = std::string(kOtherKeys) + "\"orphan\n";
  s.home.Write("config/sorrel/registry.reg", damaged);
  EXPECT_EQ(ReadSettingInt(s.ctx, u"Unknown", 7), 7);
  EXPECT_EQ(s.home.List("config/sorrel").size(), 1u);  // a read changes nothing
  WriteSettingInt(s.ctx, u"CharEncode", 2);
  const std::vector<std::string> names = s.home.List("config/sorrel");
  ASSERT_EQ(names.size(), 2u);
  EXPECT_EQ(names[0], "registry.reg");
  EXPECT_EQ(names[1].substr(0, 21), "registry.reg.damaged-");
  EXPECT_EQ(names[1].size(), 21u + 15u);  // YYYYMMDDTHHMMSS
  EXPECT_EQ(s.home.Read("config/sorrel/" + names[1]), damaged);
  EXPECT_EQ(ReadSettingInt(s.ctx, u"CharEncode", 1), 2);
  EXPECT_EQ(ReadSettingInt(s.ctx, u"Unknown", 7), 7);  // the store started empty
  ASSERT_EQ(s.report.size(), 1u);
  const std::string path = s.hive_path();
  const std::u16string path16(path.begin(), path.end());
  const std::u16string stamp(names[1].begin() + 21, names[1].end());
  EXPECT_EQ(s.report[0], u"Cannot parse the settings file " + path16 + u". Kept it as " + path16 +
                             u".damaged-" + stamp + u" and started with empty settings.\n");
}

TEST(HiveFileRegistryTest, ADamagedFileThatCannotBeSetAsideIsNeverOverwritten) {
  testing::TempHome home;
  FaultyFiles files;
  files.fail_set_aside = true;
  std::vector<std::u16string> report;
  HiveFileRegistry registry(&files, HiveFilePath(&files), UiLanguage::English,
                            [&](std::u16string_view line) { report.emplace_back(line); });
  std::filesystem::create_directories(home.Path("config/sorrel"));
  home.Write("config/sorrel/registry.reg", "not an export");
  REGW reg(&registry, nullptr, UiLanguage::English);
  EXPECT_FALSE(reg.OpenKey(REGW::Mode::Write));
  EXPECT_EQ(home.Read("config/sorrel/registry.reg"), "not an export");
  EXPECT_TRUE(report.empty());
  // A failed replacement leaves the old content and no temporary file.
  files.fail_set_aside = false;
  home.Write("config/sorrel/registry.reg", kOtherKeys);
  files.fail_replace = true;
  ASSERT_TRUE(reg.OpenKey(REGW::Mode::Write));
  EXPECT_FALSE(reg.WriteIntegerW(u"CharEncode", 5));
  EXPECT_TRUE(reg.CloseKey());
  EXPECT_EQ(home.Read("config/sorrel/registry.reg"), kOtherKeys);
  EXPECT_EQ(home.List("config/sorrel"), std::vector<std::string>{"registry.reg"});
}

// Writes count values named prefix0, prefix1, ... each in its own write.
void WriteMany(const char16_t* prefix, int count) {
  platform::PosixSettingsFiles files;
  HiveFileRegistry registry(&files, HiveFilePath(&files), UiLanguage::English, nullptr);
  SettingsContext ctx;
  ctx.registry = &registry;
  for (int i = 0; i < count; ++i) {
    const std::u16string name = prefix + FormatUnsigned(i);
    WriteSettingInt(ctx, name.c_str(), i);
  }
}

TEST(HiveFileRegistryTest, TwoProcessesWritingAtOnceLoseNoValue) {
  RealStores s(false);
  constexpr int kWrites = 500;
  pid_t children[2];
  const char16_t* prefixes[2] = {u"A", u"B"};
  for (int c = 0; c < 2; ++c) {
    children[c] = fork();
    ASSERT_GE(children[c], 0);
    if (children[c] == 0) {
      WriteMany(prefixes[c], kWrites);
      _exit(0);
    }
  }
  for (pid_t child : children) {
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  }
  int missing = 0;
  for (const char16_t* prefix : prefixes) {
    for (int i = 0; i < kWrites; ++i) {
      const std::u16string name = prefix + FormatUnsigned(i);
      if (ReadSettingInt(s.ctx, name.c_str(), -1) != i) ++missing;
    }
  }
  EXPECT_EQ(missing, 0);
  EXPECT_EQ(s.home.List("config/sorrel"), std::vector<std::string>{"registry.reg"});
}

}  // namespace
}  // namespace sorrel::settings
