#include "platform/posix/posix_process.h"

#include "platform/posix/posix_settings_files.h"

#include <errno.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace sorrel::platform {
namespace {

class PosixProcessRunnerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char name[] = "/tmp/sorrel-process-XXXXXX";
    ASSERT_NE(mkdtemp(name), nullptr);
    folder_ = name;
    for (int sig : {SIGINT, SIGQUIT}) {
      struct sigaction old = {};
      sigaction(sig, nullptr, &old);
      saved_.push_back({sig, old});
    }
  }
  void TearDown() override {
    for (auto& [sig, old] : saved_) sigaction(sig, &old, nullptr);
    std::filesystem::remove_all(folder_);
  }

  static void SetHandling(int sig, void (*handler)(int)) {
    struct sigaction action = {};
    action.sa_handler = handler;
    sigemptyset(&action.sa_mask);
    sigaction(sig, &action, nullptr);
  }
  static void (*Handling(int sig))(int) {
    struct sigaction now = {};
    sigaction(sig, nullptr, &now);
    return now.sa_handler;
  }

  // Runs a shell script; $1 is the path of a file the script may write.
  RunResult RunScript(const std::string& script, const StartOptions& options = {}) {
    return runner_.RunAndWait("/bin/sh", {"/bin/sh", "-c", script, "sh", Out()}, options);
  }
  std::string Out() const { return folder_ + "/out"; }
  std::string ReadOut() const {
    std::ifstream in(Out());
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
  }
  // The signals the script found ignored in itself, as the kernel's mask.
  uint64_t IgnoredInChild() const { return std::strtoull(ReadOut().c_str(), nullptr, 16); }

  PosixProcessRunner runner_;
  std::string folder_;
  std::vector<std::pair<int, struct sigaction>> saved_;
};

constexpr const char* kRecordIgnored =
    "sed -n 's/^SigIgn:[[:space:]]*//p' /proc/$$/status > \"$1\"";
constexpr uint64_t kIntBit = uint64_t{1} << (SIGINT - 1);
constexpr uint64_t kQuitBit = uint64_t{1} << (SIGQUIT - 1);

TEST_F(PosixProcessRunnerTest, PassesTheArgumentsAndWaitsForTheEnd) {
  const RunResult result = RunScript("sleep 0.2; printf '%s|' \"$0\" \"$1\" > \"$1\"; exit 3");
  EXPECT_TRUE(result.started);
  EXPECT_EQ(result.error, 0);
  EXPECT_EQ(ReadOut(), "sh|" + Out() + "|");
}

TEST_F(PosixProcessRunnerTest, AMissingProgramGivesTheSystemsErrorCode) {
  const RunResult result = runner_.RunAndWait(folder_ + "/missing", {"missing", "/CUIMODE"}, {});
  EXPECT_FALSE(result.started);
  EXPECT_EQ(result.error, ENOENT);
  EXPECT_EQ(runner_.RunAndWait("", {""}, {}).error, ENOENT);
}

TEST_F(PosixProcessRunnerTest, AProgramThatIsNotExecutableIsNotStarted) {
  std::ofstream(Out()) << "#!/bin/sh\n";
  const RunResult result = runner_.RunAndWait(Out(), {Out()}, {});
  EXPECT_FALSE(result.started);
  EXPECT_EQ(result.error, EACCES);
}

TEST_F(PosixProcessRunnerTest, InterruptsReachOnlyTheStartedProgram) {
  SetHandling(SIGINT, SIG_DFL);
  SetHandling(SIGQUIT, SIG_DFL);
  // The interrupts sent to the waiting caller must not end this test.
  const std::string script =
      std::string("kill -INT $PPID; kill -QUIT $PPID; sleep 0.1; ") + kRecordIgnored;
  ASSERT_TRUE(RunScript(script).started);
  EXPECT_EQ(IgnoredInChild() & (kIntBit | kQuitBit), 0u);
  EXPECT_EQ(Handling(SIGINT), SIG_DFL);
  EXPECT_EQ(Handling(SIGQUIT), SIG_DFL);
}

TEST_F(PosixProcessRunnerTest, SignalsIgnoredBeforeStayIgnoredInTheProgram) {
  SetHandling(SIGINT, SIG_IGN);
  SetHandling(SIGQUIT, SIG_DFL);
  ASSERT_TRUE(RunScript(kRecordIgnored).started);
  EXPECT_EQ(IgnoredInChild() & (kIntBit | kQuitBit), kIntBit);
  EXPECT_EQ(Handling(SIGINT), SIG_IGN);
  EXPECT_EQ(Handling(SIGQUIT), SIG_DFL);
}

TEST_F(PosixProcessRunnerTest, TheProgramGetsItsVariablesAndHoldsTheHandedOnLock) {
  PosixSettingsFiles files;
  int error = 0;
  std::unique_ptr<LockedSettingsFile> lock = files.Lock(folder_ + "/registry.reg", false, &error);
  ASSERT_NE(lock, nullptr);
  StartOptions options;
  options.environment = {{"SORREL_LANG", "ja"}, {"SORREL_TEST_NEW", "1"}};
  options.hand_on = lock.get();
  options.started = [&] { lock.reset(); };
  setenv("SORREL_LANG", "en", 1);
  // The program holds the lock through its descriptor 3: another taker
  // waits until the program has closed it (and the caller let go, which it
  // may do a moment after the program starts).
  const std::string script =
      "{ printf '%s%s|' \"$SORREL_LANG\" \"$SORREL_TEST_NEW\";"
      " flock -n -E 9 \"${1%/*}\" true; printf '%s|' $?;"
      " exec 3<&-; flock -w 20 -E 9 \"${1%/*}\" true; printf '%s' $?; } > \"$1\"";
  ASSERT_TRUE(RunScript(script, options).started);
  EXPECT_EQ(lock, nullptr);
  EXPECT_EQ(ReadOut(), "ja1|9|0");
  EXPECT_STREQ(getenv("SORREL_LANG"), "en");  // the caller's own is left alone
  unsetenv("SORREL_LANG");
}

}  // namespace
}  // namespace sorrel::platform
