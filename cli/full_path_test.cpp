#include "cli/full_path.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/file_system.h"

namespace sorrel::cli {
namespace {

std::string Full(std::string_view cwd, std::string_view target) {
  std::string full = "unchanged";
  EXPECT_TRUE(FormFullPath(cwd, target, &full)) << target;
  return full;
}

bool Refused(std::string_view cwd, std::string_view target) {
  std::string full = "unchanged";
  const bool formed = FormFullPath(cwd, target, &full);
  return !formed && full == "unchanged";
}

TEST(FormFullPath, JoinsARelativeTargetToTheCurrentDirectory) {
  EXPECT_EQ(Full("/home/u", "a.txt"), "/home/u/a.txt");
  EXPECT_EQ(Full("/home/u", "docs/*.txt"), "/home/u/docs/*.txt");
  EXPECT_EQ(Full("/", "a.txt"), "/a.txt");
  // Nothing needs to exist, and a folder's name stays a name.
  EXPECT_EQ(Full("/no/such", "x/y?.c"), "/no/such/x/y?.c");
}

TEST(FormFullPath, CollapsesSlashesDotsAndDotDots) {
  EXPECT_EQ(Full("/home/u", "./a//b/./c.txt"), "/home/u/a/b/c.txt");
  EXPECT_EQ(Full("/home/u", "../v/a.txt"), "/home/v/a.txt");
  EXPECT_EQ(Full("/home/u", "../../../../a.txt"), "/a.txt");
  EXPECT_EQ(Full("/home/u", "."), "/home/u");
  EXPECT_EQ(Full("/home/u", ".."), "/home");
  EXPECT_EQ(Full("/home/u", "../.."), "/");
  // A name of dots that is not "." or ".." is a name.
  EXPECT_EQ(Full("/home/u", "...//.a/..b"), "/home/u/.../.a/..b");
}

TEST(FormFullPath, AnAbsoluteTargetIgnoresTheCurrentDirectory) {
  EXPECT_EQ(Full("/home/u", "//etc///x/../hosts"), "/etc/hosts");
  EXPECT_EQ(Full("", "/tmp/a.txt"), "/tmp/a.txt");
  EXPECT_EQ(Full("", "/"), "/");
}

TEST(FormFullPath, ATrailingSlashIsKept) {
  EXPECT_EQ(Full("/home/u", "docs/"), "/home/u/docs/");
  EXPECT_EQ(Full("/home/u", "docs/./"), "/home/u/docs/");
  EXPECT_EQ(Full("/home/u", "../../"), "/");
}

TEST(FormFullPath, RefusesWhatHasNoFullPath) {
  EXPECT_TRUE(Refused("/home/u", ""));
  EXPECT_TRUE(Refused("", "a.txt"));
  EXPECT_TRUE(Refused("relative/cwd", "a.txt"));
}

TEST(FormFullPath, RefusesAPathThatIsTooLongRatherThanCuttingIt) {
  const size_t limit = platform::kMaxPathBytes;
  const std::string cwd = "/" + std::string(100, 'd');
  // "/ddd.../" plus the name: exactly one byte short of the limit, then at it.
  const std::string fits(limit - 1 - cwd.size() - 1, 'n');
  EXPECT_EQ(Full(cwd, fits).size(), limit - 1);
  EXPECT_TRUE(Refused(cwd, fits + "n"));
  EXPECT_TRUE(Refused(cwd, std::string(3 * limit, 'n')));
  // Only the result counts: a long way there that collapses is fine.
  std::string detour;
  for (int i = 0; i < 1000; ++i) detour += "x/../";
  EXPECT_EQ(Full(cwd, detour + "a"), cwd + "/a");
}

}  // namespace
}  // namespace sorrel::cli
