#include "cli/sorrelc.h"

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/ini_mode_name.h"
#include "cli/launcher.h"

namespace sorrel::cli {
namespace {

// One value as the store received it; text is nullopt for "no text".
struct Written {
  std::string key;
  std::optional<int32_t> number;
  std::optional<std::string> text;
  bool operator==(const Written&) const = default;
};

Written Int(std::string key, int32_t value) {
  return {std::move(key), value, std::nullopt};
}
Written Str(std::string key, std::optional<std::string> text) {
  return {std::move(key), std::nullopt, std::move(text)};
}

class RecordingWriter : public SettingsWriter {
 public:
  explicit RecordingWriter(std::vector<Written>* log) : log_(log) {}
  void WriteSettingInt(const char* key, int32_t value) override {
    log_->push_back(Int(key, value));
  }
  void WriteSettingString(const char* key, const char* text) override {
    log_->push_back(Str(key, text ? std::optional<std::string>(text) : std::nullopt));
  }

 private:
  std::vector<Written>* log_;
};

class FakeHost : public CliHost {
 public:
  void WriteOut(std::string_view bytes) override { out.append(bytes); }
  void WriteError(std::string_view bytes) override { err.append(bytes); }
  std::unique_ptr<SettingsWriter> OpenSettings(bool ini_mode,
                                               const std::string& ini_file) override {
    opened.push_back({ini_mode, ini_file});
    return std::make_unique<RecordingWriter>(&written);
  }

  std::string out;
  std::string err;
  std::vector<std::pair<bool, std::string>> opened;
  std::vector<Written> written;
};

// Records every start; the starts listed in failures fail with their code.
class FakeRunner : public platform::ProcessRunner {
 public:
  platform::RunResult RunAndWait(const std::string& program,
                                 const std::vector<std::string>& args) override {
    runs.push_back({program, args});
    const size_t index = runs.size() - 1;
    if (index < failures.size() && failures[index] != 0) return {false, failures[index]};
    return {true, 0};
  }

  std::vector<int> failures;
  std::vector<std::pair<std::string, std::vector<std::string>>> runs;
};

class RunSorrelcTest : public ::testing::Test {
 protected:
  int Run(const std::vector<std::string>& args) { return RunSorrelc(args, env_, &host_, &runner_); }
  // The TargetPath values written, in order.
  std::vector<std::string> TargetPaths() const {
    std::vector<std::string> paths;
    for (const Written& w : host_.written) {
      if (w.key == "TargetPath") paths.push_back(w.text.value_or("(none)"));
    }
    return paths;
  }

  CliEnvironment env_{UiLanguage::English, "sorrelc", "/opt/sorrel/bin", "/home/u"};
  FakeHost host_;
  FakeRunner runner_;
};

TEST_F(RunSorrelcTest, WritesEveryKeyInOrderWithTheDefaultsOfACommandLine) {
  ASSERT_EQ(Run({"/Z", "a.txt"}), 0);
  const std::vector<Written> expected = {
      Int("FileBackup", 0),
      Int("SearchSubFolders", 0),
      Int("CharEncode", 1),
      Int("CharEncodeOther", 0),
      Int("WriteEncode", 0),
      Int("WriteEncodeOther", 0),
      Int("CrlfTrans", 0),
      Int("CrlfTransWay", 0),
      Int("ZenSp2SpSp", 1),
      Int("DelRightWhiteSpace", 0),
      Int("Tab2Space", 0),
      Int("Tab2SpaceClm", 4),
      Int("DelControlCode", 0),
      Int("ControlCode2Space", 0),
      Int("SETTS", 0),
      Int("ReplaceString", 0),
      Str("BeforeReplace", std::nullopt),
      Str("AfterReplace", std::nullopt),
      Int("RepUseRegex", 0),
      Int("RepICase", 0),
      Int("Rep1Line", 0),
      Int("RepMatchNotDotNewLine", 0),
      Int("InsLfByte", 0),
      Int("InsLfChar", 0),
      Str("TargetPath", "/home/u/a.txt"),
  };
  EXPECT_EQ(host_.written, expected);
  EXPECT_EQ(host_.err, "");
}

TEST_F(RunSorrelcTest, EverySwitchReachesItsKey) {
  ASSERT_EQ(Run({"/K", "/Y", "/F:932", "/O:utf16be", "/C:crlf", "/W", "/T:8", "/D", "/A", "/Q",
                 "/RB:a.c", "/RA:", "/E", "/P", "/G", "/N", "/M:-1", "/L:80", "a.txt"}),
            0);
  const std::vector<Written> expected = {
      Int("FileBackup", 1),
      Int("SearchSubFolders", 1),
      Int("CharEncode", 9),
      Int("CharEncodeOther", 932),
      Int("WriteEncode", 3),
      Int("WriteEncodeOther", 0),
      Int("CrlfTrans", 1),
      Int("CrlfTransWay", 3),
      Int("ZenSp2SpSp", 0),
      Int("DelRightWhiteSpace", 1),
      Int("Tab2Space", 1),
      Int("Tab2SpaceClm", 8),
      Int("DelControlCode", 1),
      Int("ControlCode2Space", 1),
      Int("SETTS", 1),
      Int("ReplaceString", 1),
      Str("BeforeReplace", "a.c"),
      Str("AfterReplace", ""),
      Int("RepUseRegex", 1),
      Int("RepICase", 1),
      Int("Rep1Line", 1),
      Int("RepMatchNotDotNewLine", 1),
      Int("InsLfByte", -1),
      Int("InsLfChar", 80),
      Str("TargetPath", "/home/u/a.txt"),
  };
  EXPECT_EQ(host_.written, expected);
}

TEST_F(RunSorrelcTest, HalfAReplacementStoresItsTextButNoReplacement) {
  ASSERT_EQ(Run({"/Z", "/RB:abc", "a.txt"}), 0);
  EXPECT_EQ(host_.written[15], Int("ReplaceString", 0));
  EXPECT_EQ(host_.written[16], Str("BeforeReplace", "abc"));
  EXPECT_EQ(host_.written[17], Str("AfterReplace", std::nullopt));
}

TEST_F(RunSorrelcTest, StartsTheGuiProgramBesideItselfForTheFirstTargetOnly) {
  ASSERT_EQ(Run({"/Z", "sub/../a.txt", "b.txt", "/K"}), 0);
  ASSERT_EQ(runner_.runs.size(), 1u);
  EXPECT_EQ(runner_.runs[0].first, "/opt/sorrel/bin/sorrel");
  EXPECT_EQ(runner_.runs[0].second,
            (std::vector<std::string>{"/opt/sorrel/bin/sorrel", "/CUIMODE"}));
  EXPECT_EQ(TargetPaths(), std::vector<std::string>{"/home/u/a.txt"});
  ASSERT_EQ(host_.opened.size(), 1u);
  EXPECT_FALSE(host_.opened[0].first);
}

TEST_F(RunSorrelcTest, ATargetThatCannotBeStartedPassesToTheNext) {
  runner_.failures = {13};
  ASSERT_EQ(Run({"/Z", "a.txt", "b.txt", "c.txt"}), 0);
  EXPECT_EQ(runner_.runs.size(), 2u);
  EXPECT_EQ(TargetPaths(), (std::vector<std::string>{"/home/u/a.txt", "/home/u/b.txt"}));
  EXPECT_EQ(host_.err,
            "sorrelc: Unexpected error(GetLastError()=0000000d) - \"/opt/sorrel/bin/sorrel\" "
            "/CUIMODE\n");
}

TEST_F(RunSorrelcTest, NoStartAtAllStillEndsWithZero) {
  runner_.failures = {2, 2};
  env_.lang = UiLanguage::Japanese;
  EXPECT_EQ(Run({"/Z", "", "b.txt"}), 0);
  // The empty name has no full path and is not stored.
  EXPECT_EQ(TargetPaths(), std::vector<std::string>{"/home/u/b.txt"});
  EXPECT_EQ(host_.err,
            "sorrelc: 扱えないファイル名です - \n"
            "sorrelc: 実行できません(GetLastError()=00000002) - \"/opt/sorrel/bin/sorrel\" "
            "/CUIMODE\n");
}

TEST_F(RunSorrelcTest, ATooLongTargetIsRefusedAndTheNextOneRuns) {
  const std::string long_name(5000, 'x');
  ASSERT_EQ(Run({"/Z", long_name, "b.txt"}), 0);
  EXPECT_EQ(host_.err, "sorrelc:Invalid file name - " + long_name + "\n");
  EXPECT_EQ(TargetPaths(), std::vector<std::string>{"/home/u/b.txt"});
}

TEST_F(RunSorrelcTest, ParseFailuresStoreAndStartNothing) {
  EXPECT_EQ(Run({"/Z", "/T:100", "a.txt"}), 1);
  EXPECT_EQ(host_.err, "sorrelc: Invalid TAB count(1-99). - /T:100\n");
  EXPECT_EQ(Run({"/K", "a.txt"}), 1);
  EXPECT_EQ(Run({"/Z"}), 1);
  EXPECT_TRUE(host_.opened.empty());
  EXPECT_TRUE(runner_.runs.empty());
  EXPECT_EQ(host_.out, "");
}

TEST_F(RunSorrelcTest, UsageGoesToStandardOutputWithoutTouchingTheStore) {
  env_.lang = UiLanguage::Japanese;
  EXPECT_EQ(Run({}), 0);
  EXPECT_EQ(host_.out.rfind("Sorrelコマンドライン版\n", 0), 0u);
  EXPECT_EQ(Run({"-?", "/X"}), 0);
  EXPECT_TRUE(host_.opened.empty());
  EXPECT_EQ(host_.err, "");
}

TEST_F(RunSorrelcTest, TheIniModeNameChoosesTheIniFileAndTheIniModeProgram) {
  env_.program_name = "sorrelc_O";
  ASSERT_EQ(Run({"/Z", "/tmp/a.txt"}), 0);
  ASSERT_EQ(host_.opened.size(), 1u);
  EXPECT_EQ(host_.opened[0], std::make_pair(true, std::string("/opt/sorrel/bin/sorrel.ini")));
  EXPECT_EQ(runner_.runs[0].first, "/opt/sorrel/bin/sorrel_o");
  EXPECT_EQ(runner_.runs[0].second[0], "/opt/sorrel/bin/sorrel_o");
}

TEST(IsIniModeName, EndsInUnderscoreOWithOrWithoutExe) {
  for (const char* name : {"sorrelc_o", "sorrelc_O", "x_o.exe", "SORRELC_O.EXE", "_o"}) {
    EXPECT_TRUE(IsIniModeName(name)) << name;
  }
  for (const char* name : {"sorrelc", "sorrelc_o.exe.bak", "sorrelc-o", "sorrelco", "sorrelc_o ",
                           "sorrelc_oexe", "o", ""}) {
    EXPECT_FALSE(IsIniModeName(name)) << name;
  }
}

TEST(MakeLaunchPaths, NothingIsStartedFromAGuessedFolder) {
  const LaunchPaths root = MakeLaunchPaths("/", false);
  EXPECT_EQ(root.program, "/sorrel");
  const LaunchPaths unknown = MakeLaunchPaths("", true);
  EXPECT_EQ(unknown.program, "");
  EXPECT_EQ(unknown.ini_file, "");
  EXPECT_EQ(unknown.command_line, "\"\" /CUIMODE");
}

}  // namespace
}  // namespace sorrel::cli
