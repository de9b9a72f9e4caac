// File names on POSIX: folder parts, joins and the full path of a target.
#include "platform/paths.h"

#include <gtest/gtest.h>

#include "platform/file_system.h"

namespace sorrel::platform {
namespace {

TEST(Paths, FolderPartsAndJoins) {
  EXPECT_EQ(FolderPartLength(u"/data/x/*.txt"), 8u);
  EXPECT_EQ(FolderPartLength(u"*.txt"), 0u);
  EXPECT_EQ(FolderPartLength(u"a\\b.txt"), 0u);  // a backslash is a character here
  EXPECT_EQ(JoinPath("/opt/sorrel", "sorrel.ini"), "/opt/sorrel/sorrel.ini");
  EXPECT_EQ(JoinPath("/", "sorrel"), "/sorrel");
  EXPECT_EQ(JoinPath("", "x"), "x");
  EXPECT_EQ(ExecutableFileName("sorrel_o"), "sorrel_o");
}

std::string Full(std::string_view cwd, std::string_view target) {
  std::string full = "unchanged";
  EXPECT_TRUE(FormFullPath(cwd, target, &full)) << target;
  return full;
}

bool Refused(std::string_view cwd, std::string_view target) {
  std::string full = "unchanged";
  return !FormFullPath(cwd, target, &full) && full == "unchanged";
}

TEST(Paths, FullPathJoinsDropsDotsAndKeepsDotDotsForTheKernel) {
  EXPECT_EQ(Full("/home/u", "a.txt"), "/home/u/a.txt");
  EXPECT_EQ(Full("/", "x/y?.c"), "/x/y?.c");
  EXPECT_EQ(Full("/home/u", "./a//b/./c.txt"), "/home/u/a/b/c.txt");
  EXPECT_EQ(Full("/home/u", "lnk/../f.txt"), "/home/u/lnk/../f.txt");
  EXPECT_EQ(Full("/home/u", "//etc///x/../hosts"), "/etc/x/../hosts");
  EXPECT_EQ(Full("", "/"), "/");
  EXPECT_EQ(Full("/home/u", "docs/./"), "/home/u/docs/");
  EXPECT_TRUE(Refused("/home/u", ""));
  EXPECT_TRUE(Refused("", "a.txt"));
  EXPECT_TRUE(Refused("relative/cwd", "a.txt"));
  // A path as long as the platform's limit is refused, never cut.
  const std::string cwd = "/" + std::string(100, 'd');
  const std::string fits(platform::kMaxPathBytes - 1 - cwd.size() - 1, 'n');
  EXPECT_EQ(Full(cwd, fits).size(), platform::kMaxPathBytes - 1);
  EXPECT_TRUE(Refused(cwd, fits + "n"));
}

}  // namespace
}  // namespace sorrel::platform
