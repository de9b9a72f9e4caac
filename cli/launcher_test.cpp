// sorrelc's run over a real settings folder, with a recording host and
// runner: what it stores, what it starts and hands on, what it refuses.
#include "cli/launcher.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "base/utf.h"
#include "platform/file_system.h"
#include "platform/posix/posix_settings_files.h"
#include "settings/settings_access.h"
#include "settings/settings_store.h"

namespace sorrel::cli {
namespace {

class FakeHost : public CliHost {
 public:
  bool WriteOut(std::string_view bytes) override {
    out.append(bytes);
    return true;
  }
  void WriteError(std::string_view bytes) override { err.append(bytes); }
  bool NameExists(const std::string& name) override { return name == "/data.txt"; }
  std::string out;
  std::string err;
};

// The real files, but a replacement can be made to fail as a full disk does.
class FullDiskFiles : public platform::PosixSettingsFiles {
 public:
  bool full = false;
  std::unique_ptr<platform::LockedSettingsFile> Lock(const std::string& path, bool make_folder,
                                                     int* error) override {
    auto real = PosixSettingsFiles::Lock(path, make_folder, error);
    if (real == nullptr || !full) return real;
    return std::make_unique<Full>(std::move(real));
  }

 private:
  class Full : public platform::LockedSettingsFile {
   public:
    explicit Full(std::unique_ptr<platform::LockedSettingsFile> real) : real_(std::move(real)) {}
    platform::SettingsReadStatus Read(std::string* bytes, int* error) override {
      return real_->Read(bytes, error);
    }
    bool Replace(std::string_view, int* error) override {
      *error = ENOSPC;
      return false;
    }
    bool SetAside(std::string* aside, int* error) override { return real_->SetAside(aside, error); }
    intptr_t Handle() const override { return real_->Handle(); }

   private:
    std::unique_ptr<platform::LockedSettingsFile> real_;
  };
};

// Records every start, and whether the store's lock was held then; the starts
// listed in failures fail with their code.
class FakeRunner : public platform::ProcessRunner {
 public:
  struct Run {
    std::string program;
    std::vector<std::string> args;
    std::vector<std::pair<std::string, std::string>> environment;
    bool handed_on = false;
    bool locked_before = false;  // by the caller, before it let go
    bool locked_after = false;
  };
  platform::RunResult RunAndWait(const std::string& program, const std::vector<std::string>& args,
                                 const platform::StartOptions& options) override {
    Run run{program, args, options.environment, options.hand_on != nullptr};
    const size_t index = runs.size();
    if (index < failures.size() && failures[index] != 0) {
      runs.push_back(run);
      return {false, failures[index]};
    }
    run.locked_before = Locked();
    if (options.started) options.started();
    run.locked_after = Locked();
    runs.push_back(run);
    return {true, 0};
  }
  bool Locked() const {
    const int fd = open(lock_folder.c_str(), O_RDONLY | O_DIRECTORY);
    const bool locked = fd >= 0 && flock(fd, LOCK_EX | LOCK_NB) != 0;
    if (fd >= 0) close(fd);
    return locked;
  }

  std::string lock_folder;
  std::vector<int> failures;
  std::vector<Run> runs;
};

class RunSorrelcTest : public ::testing::Test {
 protected:
  RunSorrelcTest() {
    std::string pattern = (std::filesystem::temp_directory_path() / "sorrelc-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) ADD_FAILURE() << "mkdtemp failed";
    home_ = pattern;
    std::filesystem::create_directories(home_ + "/bin");
    setenv("XDG_CONFIG_HOME", (home_ + "/config").c_str(), 1);
    env_ = {UiLanguage::English, "sorrelc", home_ + "/bin", "/home/u"};
    runner_.lock_folder = home_ + "/config/sorrel";
  }
  ~RunSorrelcTest() override {
    unsetenv("XDG_CONFIG_HOME");
    std::filesystem::remove_all(home_);
  }

  int Run(const std::vector<std::string>& args) {
    return RunSorrelc(args, env_, &host_, &files_, &runner_);
  }
  std::string StoreFile() const {
    return IsIni() ? home_ + "/bin/sorrel.ini" : home_ + "/config/sorrel/registry.reg";
  }
  bool IsIni() const { return env_.program_name == "sorrelc_o"; }
  std::string Read(const std::string& path) const {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
  }
  // The stored settings as sorrel reads them.
  std::u16string Text(const char16_t* key) {
    auto copy = Stored();
    return settings::ReadSettingString(copy->context(), key);
  }
  int32_t Int(const char16_t* key) {
    auto copy = Stored();
    return settings::ReadSettingInt(copy->context(), key, -12345);
  }
  std::unique_ptr<settings::SettingsCopy> Stored() {
    auto copy = std::make_unique<settings::SettingsCopy>(IsIni(), UiLanguage::English, nullptr);
    copy->Parse(Read(StoreFile()), {});
    return copy;
  }

  std::string home_;
  CliEnvironment env_;
  FakeHost host_;
  FullDiskFiles files_;
  FakeRunner runner_;
};

TEST_F(RunSorrelcTest, StoresEveryKeyInTableOrderWithTheDefaultsOfACommandLine) {
  ASSERT_EQ(Run({"/Z", "a.txt"}), 0);
  EXPECT_EQ(Read(StoreFile()),
            "Windows Registry Editor Version 5.00\r\n\r\n"
            "[HKEY_CURRENT_USER\\Software\\FenwrightAns\\sorrel\\CurrentVersion]\r\n"
            "\"FileBackup\"=dword:00000000\r\n\"SearchSubFolders\"=dword:00000000\r\n"
            "\"CharEncode\"=dword:00000001\r\n\"CharEncodeOther\"=dword:00000000\r\n"
            "\"WriteEncode\"=dword:00000000\r\n\"WriteEncodeOther\"=dword:00000000\r\n"
            "\"CrlfTrans\"=dword:00000000\r\n\"CrlfTransWay\"=dword:00000000\r\n"
            "\"ZenSp2SpSp\"=dword:00000001\r\n\"DelRightWhiteSpace\"=dword:00000000\r\n"
            "\"Tab2Space\"=dword:00000000\r\n\"Tab2SpaceClm\"=dword:00000004\r\n"
            "\"DelControlCode\"=dword:00000000\r\n\"ControlCode2Space\"=dword:00000000\r\n"
            "\"SETTS\"=dword:00000000\r\n\"ReplaceString\"=dword:00000000\r\n"
            "\"BeforeReplace\"=\"\"\r\n\"AfterReplace\"=\"\"\r\n"
            "\"RepUseRegex\"=dword:00000000\r\n\"RepICase\"=dword:00000000\r\n"
            "\"Rep1Line\"=dword:00000000\r\n\"RepMatchNotDotNewLine\"=dword:00000000\r\n"
            "\"InsLfByte\"=dword:00000000\r\n\"InsLfChar\"=dword:00000000\r\n"
            "\"TargetPath\"=\"/home/u/a.txt\"\r\n\r\n");
  EXPECT_EQ(host_.err, "");
}

TEST_F(RunSorrelcTest, EverySwitchReachesItsKey) {
  ASSERT_EQ(Run({"/K", "/Y", "/F:932", "/O:utf16be", "/C:crlf", "/W", "/T:8", "/D", "/A", "/Q",
                 "/RB:a.c", "/RA:", "/E", "/P", "/G", "/N", "/M:-1", "/L:80", "a.txt"}),
            0);
  const std::pair<const char16_t*, int32_t> expected[] = {
      {u"FileBackup", 1},     {u"SearchSubFolders", 1},
      {u"CharEncode", 9},     {u"CharEncodeOther", 932},
      {u"WriteEncode", 3},    {u"WriteEncodeOther", 0},
      {u"CrlfTrans", 1},      {u"CrlfTransWay", 3},
      {u"ZenSp2SpSp", 0},     {u"DelRightWhiteSpace", 1},
      {u"Tab2Space", 1},      {u"Tab2SpaceClm", 8},
      {u"DelControlCode", 1}, {u"ControlCode2Space", 1},
      {u"SETTS", 1},          {u"ReplaceString", 1},
      {u"RepUseRegex", 1},    {u"RepICase", 1},
      {u"Rep1Line", 1},       {u"RepMatchNotDotNewLine", 1},
      {u"InsLfByte", -1},     {u"InsLfChar", 80}};
  for (const auto& [key, value] : expected) {
    EXPECT_EQ(Int(key), value) << std::string(key, key + std::char_traits<char16_t>::length(key));
  }
  EXPECT_EQ(Text(u"BeforeReplace"), u"a.c");
  EXPECT_EQ(Text(u"AfterReplace"), u"");
}

TEST_F(RunSorrelcTest, StartsTheGuiProgramBesideItselfAndHandsOnTheLockAndTheLanguage) {
  env_.lang = UiLanguage::Japanese;
  ASSERT_EQ(Run({"/Z", "sub/../a.txt", "b.txt", "/K"}), 0);
  ASSERT_EQ(runner_.runs.size(), 1u);
  const FakeRunner::Run& run = runner_.runs[0];
  EXPECT_EQ(run.program, home_ + "/bin/sorrel");
  EXPECT_EQ(run.args, (std::vector<std::string>{home_ + "/bin/sorrel", "/CUIMODE"}));
  EXPECT_EQ(run.environment,
            (std::vector<std::pair<std::string, std::string>>{{"SORREL_LANG", "ja"}}));
  EXPECT_TRUE(run.handed_on);
  // The lock is held from the write until the start, then left to sorrel.
  EXPECT_TRUE(run.locked_before);
  EXPECT_FALSE(run.locked_after);
  // ".." is the kernel's to resolve: after a link it leads elsewhere.
  EXPECT_EQ(Text(u"TargetPath"), u"/home/u/sub/../a.txt");
}

TEST_F(RunSorrelcTest, TargetsThatCannotBeRunPassToTheNext) {
  runner_.failures = {13};
  ASSERT_EQ(Run({"/Z", "", "b.txt", "c.txt"}), 0);
  EXPECT_EQ(runner_.runs.size(), 2u);
  EXPECT_EQ(Text(u"TargetPath"), u"/home/u/c.txt");
  EXPECT_EQ(host_.err,
            "sorrelc:Invalid file name - \n"
            "sorrelc: Unexpected error(GetLastError()=0000000d) - \"" +
                home_ + "/bin/sorrel\" /CUIMODE\n");
  // No start at all still stores the settings and ends with 0.
  host_.err.clear();
  EXPECT_EQ(Run({"/W", std::string(5000, 'x')}), 0);
  EXPECT_EQ(Int(u"DelRightWhiteSpace"), 1);
  EXPECT_EQ(host_.err, "sorrelc:Invalid file name - " + std::string(5000, 'x') + "\n");
}

TEST_F(RunSorrelcTest, ParseFailuresAndTheUsageTouchNothing) {
  EXPECT_EQ(Run({"/Z", "/T:100", "a.txt"}), 1);
  EXPECT_EQ(host_.err, "sorrelc: Invalid TAB count(1-99). - /T:100\n");
  EXPECT_EQ(Run({"/K", "a.txt"}), 1);
  EXPECT_EQ(Run({"/Z"}), 1);
  env_.lang = UiLanguage::Japanese;
  EXPECT_EQ(Run({"-?", "/X"}), 0);
  EXPECT_EQ(host_.out.rfind("Sorrelコマンドライン版\n", 0), 0u);
  EXPECT_FALSE(std::filesystem::exists(home_ + "/config"));
  EXPECT_TRUE(runner_.runs.empty());
}

TEST_F(RunSorrelcTest, TheIniModeNameChoosesTheIniFileAndTheIniModeProgram) {
  env_.program_name = "sorrelc_o";
  runner_.lock_folder = home_ + "/bin";
  ASSERT_EQ(Run({"/Z", "/data.txt"}), 0);
  EXPECT_EQ(Read(StoreFile()).substr(0, 6), std::string("\xFF\xFE\r\0\n\0", 6));
  EXPECT_EQ(Text(u"TargetPath"), u"/data.txt");
  EXPECT_EQ(runner_.runs[0].program, home_ + "/bin/sorrel_o");
  EXPECT_TRUE(runner_.runs[0].locked_before);
  EXPECT_FALSE(std::filesystem::exists(home_ + "/config"));
}

TEST_F(RunSorrelcTest, BytesThatAreNotUtf8AreStoredExactly) {
  const std::string sjis_name = "\x93\xfa\x96\x7b.txt";
  ASSERT_EQ(Run({"/RB:\x82\xa0", "/RA:\xa4\xa2", sjis_name}), 0);
  EXPECT_EQ(Utf16ToBytes(Text(u"TargetPath")), "/home/u/" + sjis_name);
  EXPECT_EQ(Utf16ToBytes(Text(u"BeforeReplace")), "\x82\xa0");
  EXPECT_EQ(Utf16ToBytes(Text(u"AfterReplace")), "\xa4\xa2");
}

TEST_F(RunSorrelcTest, WhatCannotBeStoredAsItIsStopsTheRunBeforeAnyStart) {
  // A line break in INI mode, a text longer than sorrel reads back.
  env_.program_name = "sorrelc_o";
  EXPECT_EQ(Run({"/RB:foo\nbar", "/RA:x", "a.txt"}), 1);
  EXPECT_EQ(host_.err,
            "sorrelc: Cannot store this value in the settings as it is - /RB:foo\nbar\n");
  host_.err.clear();
  EXPECT_EQ(Run({"/Z", "a\nb.txt"}), 1);
  EXPECT_EQ(host_.err, "sorrelc: Cannot store this value in the settings as it is - a\nb.txt\n");
  env_.program_name = "sorrelc";
  host_.err.clear();
  const std::string long_text = "/RA:" + std::string(8192, 'y');
  EXPECT_EQ(Run({"/RB:x", long_text, "a.txt"}), 1);
  EXPECT_EQ(host_.err,
            "sorrelc: Cannot store this value in the settings as it is - " + long_text + "\n");
  // In the registry a line break is kept.
  EXPECT_EQ(Run({"/RB:foo\nbar", "/RA:x", "a.txt"}), 0);
  EXPECT_EQ(Text(u"BeforeReplace"), u"foo\nbar");
  EXPECT_EQ(runner_.runs.size(), 1u);
}

TEST_F(RunSorrelcTest, AStoreThatCannotBeWrittenStopsTheRunWithTheSystemsReason) {
  // A folder that cannot be made, as a file is in its way: this stops root
  // too, whom permission bits do not.
  std::ofstream(home_ + "/config") << "x";
  EXPECT_EQ(Run({"/Z", "a.txt"}), 1);
  EXPECT_EQ(host_.err, "sorrelc: Cannot store the settings in " + home_ +
                           "/config/sorrel/registry.reg - Not a directory\n");
  std::filesystem::remove(home_ + "/config");
  files_.full = true;
  host_.err.clear();
  EXPECT_EQ(Run({"/Z", "a.txt"}), 1);
  EXPECT_EQ(host_.err, "sorrelc: Cannot store the settings in " + home_ +
                           "/config/sorrel/registry.reg - No space left on device\n");
  files_.full = false;
  // A settings file that is not a regular file is not waited for.
  std::filesystem::create_directories(home_ + "/config/sorrel/registry.reg");
  host_.err.clear();
  EXPECT_EQ(Run({"/Z", "a.txt"}), 1);
  EXPECT_EQ(host_.err, "sorrelc: The settings file is not a regular file - " + home_ +
                           "/config/sorrel/registry.reg\n");
  EXPECT_TRUE(runner_.runs.empty());
}

TEST(MakeLaunchPaths, NothingIsStartedFromAGuessedFolder) {
  const LaunchPaths root = MakeLaunchPaths("/", false);
  EXPECT_EQ(root.program, "/sorrel");
  EXPECT_EQ(root.ini_file, "/sorrel.ini");
  const LaunchPaths unknown = MakeLaunchPaths("", true);
  EXPECT_EQ(unknown.program, "");
  EXPECT_EQ(unknown.ini_file, "");
  EXPECT_EQ(unknown.command_line, "\"\" /CUIMODE");
}

}  // namespace
}  // namespace sorrel::cli
