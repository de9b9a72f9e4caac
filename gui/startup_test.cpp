#include "gui/startup.h"

#include <gtest/gtest.h>

namespace sorrel {
namespace {

TEST(ParseStartup, CuiModeOnlyForTheExactSingleArgument) {
  EXPECT_TRUE(ParseStartup({"/CUIMODE"}, "sorrel").cui_mode);
  EXPECT_FALSE(ParseStartup({"/cuimode"}, "sorrel").cui_mode);
  EXPECT_FALSE(ParseStartup({"/CUIMODE "}, "sorrel").cui_mode);
  EXPECT_FALSE(ParseStartup({"/CUIMODE", "/O"}, "sorrel").cui_mode);
  EXPECT_FALSE(ParseStartup({}, "sorrel").cui_mode);
}

TEST(ParseStartup, IniModeBySwitchOrByName) {
  EXPECT_TRUE(ParseStartup({"/o"}, "sorrel").ini_mode);
  EXPECT_TRUE(ParseStartup({"/O"}, "sorrel").ini_mode);
  EXPECT_FALSE(ParseStartup({"/O", "/CUIMODE"}, "sorrel").ini_mode);
  const StartupMode both = ParseStartup({"/CUIMODE"}, "SORREL_O.EXE");
  EXPECT_TRUE(both.cui_mode);
  EXPECT_TRUE(both.ini_mode);
  EXPECT_TRUE(ParseStartup({}, "sorrel_o").ini_mode);
  EXPECT_TRUE(ParseStartup({}, "Sorrel_O").ini_mode);
  EXPECT_FALSE(ParseStartup({}, "sorrel_ox").ini_mode);
  EXPECT_FALSE(ParseStartup({}, "o").ini_mode);
}

}  // namespace
}  // namespace sorrel
