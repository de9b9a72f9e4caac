#include "platform/posix/os_release.h"

#include <gtest/gtest.h>

namespace sorrel::platform {
namespace {

TEST(OsReleaseTest, PrettyNameFirstThenName) {
  EXPECT_EQ(OsReleaseName("NAME=\"Debian GNU/Linux\"\nPRETTY_NAME=\"Debian GNU/Linux 12 "
                          "(bookworm)\"\nID=debian\n"),
            "Debian GNU/Linux 12 (bookworm)");
  EXPECT_EQ(OsReleaseName("ID=x\nNAME=Plain\n"), "Plain");
  EXPECT_EQ(OsReleaseName("PRETTY_NAME=\"\"\nNAME='Single Quoted'\n"), "Single Quoted");
  EXPECT_EQ(OsReleaseName("ID=x\n"), "");
  EXPECT_EQ(OsReleaseName(""), "");
}

TEST(OsReleaseTest, QuotesAndEscapes) {
  EXPECT_EQ(OsReleaseName("PRETTY_NAME=\"A \\\"B\\\" \\\\ \\$C\"\r\n"), "A \"B\" \\ $C");
  // Single quotes keep backslashes; a lone quote is kept as it is.
  EXPECT_EQ(OsReleaseName("PRETTY_NAME='x\\y'"), "x\\y");
  EXPECT_EQ(OsReleaseName("PRETTY_NAME=\"open"), "\"open");
  // Only whole keys count.
  EXPECT_EQ(OsReleaseName("XPRETTY_NAME=no\nPRETTY_NAMES=no\nNAME=yes"), "yes");
}

}  // namespace
}  // namespace sorrel::platform
