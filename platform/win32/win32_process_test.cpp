// The program's own file and arguments, the path rules of Windows, and a
// program that cannot be started.
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>

#include "platform/paths.h"
#include "platform/process.h"
#include "platform/program.h"
#include "platform/settings_files.h"
#include "platform/win32/windows_api.h"

namespace sorrel::platform {
namespace {

TEST(Win32ProgramTest, FolderNameAndArgumentsOfThisProgram) {
  EXPECT_EQ(ProgramName("ignored"), "platform_win32_test.exe");
  EXPECT_EQ(ProgramPath(), JoinPath(ProgramFolder(), ProgramName(nullptr)));
  // sorrel compares the whole rest of its command line, sorrelc each
  // argument as the C runtime splits them.
  const std::vector<std::string> args = CommandLineArguments(0, nullptr);
  const std::vector<std::string> startup = StartupArguments(0, nullptr);
  ASSERT_EQ(startup.size(), args.empty() ? 0u : 1u);
  if (!args.empty()) {
    EXPECT_EQ(startup[0].substr(0, args[0].size()), args[0]);
  }
}

TEST(Win32PathsTest, SeparatorsDrivesAndFullPaths) {
  EXPECT_EQ(FolderPartLength(u"C:\\data\\*.txt"), 8u);
  EXPECT_EQ(FolderPartLength(u"C:*.txt"), 2u);
  EXPECT_EQ(FolderPartLength(u"sub/x.txt"), 4u);
  EXPECT_EQ(FolderPartLength(u"x.txt"), 0u);
  EXPECT_EQ(JoinPath("C:\\", "sorrel.ini"), "C:\\sorrel.ini");
  EXPECT_EQ(JoinPath("C:\\prog", "sorrel.ini"), "C:\\prog\\sorrel.ini");
  EXPECT_EQ(ExecutableFileName("sorrel_o"), "sorrel_o.exe");
  std::string full;
  ASSERT_TRUE(FormFullPath("", "sub\\..\\*.txt", &full));
  EXPECT_EQ(full, JoinPath(CurrentDirectory(), "*.txt"));
  EXPECT_FALSE(FormFullPath("", "", &full));
  EXPECT_TRUE(NameExists(ProgramPath()));
  EXPECT_FALSE(NameExists(ProgramPath() + ".missing"));
}

// The started program of the hand-on test: lets go of the lock on the INI
// file named in its environment, then keeps running a while.
TEST(Win32ProcessTest, DISABLED_HandOnChild) {
  const char* path = std::getenv("SORREL_TEST_INI");
  ASSERT_NE(path, nullptr);
  NewSettingsFiles()->ReleaseHandedOnLock(path);
  Sleep(3000);
}

TEST(Win32ProcessTest, TheLockIsLetGoOfOnceTheProgramHasReadTheSettings) {
  const std::string ini = JoinPath(CurrentDirectory(), "handon-test.ini");
  const std::unique_ptr<SettingsFiles> files = NewSettingsFiles();
  int error = 0;
  std::unique_ptr<LockedSettingsFile> lock = files->Lock(ini, false, &error);
  ASSERT_NE(lock, nullptr) << error;
  StartOptions options;
  options.environment = {{"SORREL_TEST_INI", ini}};
  options.hand_on = lock.get();
  ULONGLONG let_go = 0;
  options.started = [&] {
    let_go = GetTickCount64();
    lock.reset();
  };
  const ULONGLONG begun = GetTickCount64();
  const RunResult result = NewProcessRunner()->RunAndWait(
      ProgramPath(),
      {ProgramPath(), "--gtest_filter=Win32ProcessTest.DISABLED_HandOnChild",
       "--gtest_also_run_disabled_tests"},
      options);
  const ULONGLONG ended = GetTickCount64();
  ASSERT_TRUE(result.started);
  EXPECT_EQ(result.exit_code, 0);
  // Let go of while the program still ran, long before its end.
  EXPECT_LT(let_go - begun + 2000, ended - begun);
}

TEST(Win32ProcessTest, AMissingProgramIsNotStarted) {
  bool started = false;
  StartOptions options;
  options.started = [&] { started = true; };
  const RunResult result =
      NewProcessRunner()->RunAndWait("C:\\nowhere\\sorrel.exe", {"sorrel", "/CUIMODE"}, options);
  EXPECT_FALSE(result.started);
  EXPECT_FALSE(started);
  EXPECT_TRUE(result.error == ERROR_FILE_NOT_FOUND || result.error == ERROR_PATH_NOT_FOUND);
}

}  // namespace
}  // namespace sorrel::platform
