// Starting sorrel: the command line and a program that cannot start.
#include "platform/win32/win32_process.h"

#include <gtest/gtest.h>

#include "platform/win32/program_folder.h"
#include "platform/win32/windows_api.h"

namespace sorrel::platform {
namespace {

TEST(Win32ProcessTest, TheProgramIsQuotedAndArgumentsOnlyWhenNeeded) {
  EXPECT_EQ(Win32CommandLine({"C:\\Program Files\\sorrel.exe", "/CUIMODE"}),
            L"\"C:\\Program Files\\sorrel.exe\" /CUIMODE");
  EXPECT_EQ(Win32CommandLine({"p", "a b", "q\"r", "end\\"}), L"\"p\" \"a b\" \"q\\\"r\" end\\");
}

TEST(Win32ProcessTest, AMissingProgramIsNotStarted) {
  Win32ProcessRunner runner;
  const RunResult result = runner.RunAndWait("C:\\nowhere\\sorrel.exe", {"sorrel", "/CUIMODE"});
  EXPECT_FALSE(result.started);
  EXPECT_TRUE(result.error == ERROR_FILE_NOT_FOUND || result.error == ERROR_PATH_NOT_FOUND);
}

TEST(ProgramFolderTest, FolderAndNameOfThisProgram) {
  EXPECT_EQ(ProgramName(), "platform_win32_test.exe");
  EXPECT_EQ(ProgramPath(), ProgramFolder() + "\\" + ProgramName());
}

}  // namespace
}  // namespace sorrel::platform
