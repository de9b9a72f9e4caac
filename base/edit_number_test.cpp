#include "base/edit_number.h"

#include <gtest/gtest.h>

namespace sorrel {
namespace {

TEST(ReadEditNumber, UnsignedDecimalsOrZero) {
  EXPECT_EQ(ReadEditNumber(u"932"), 932u);
  EXPECT_EQ(ReadEditNumber(u" 932"), 932u);
  EXPECT_EQ(ReadEditNumber(u" 8"), 8u);
  EXPECT_EQ(ReadEditNumber(u"4294967295"), 4294967295u);
  EXPECT_EQ(ReadEditNumber(u"4294967296"), 0u);
  EXPECT_EQ(ReadEditNumber(u"-"), 0u);
  EXPECT_EQ(ReadEditNumber(u"-1"), 0u);
  EXPECT_EQ(ReadEditNumber(u"12a"), 0u);
  EXPECT_EQ(ReadEditNumber(u""), 0u);
}

}  // namespace
}  // namespace sorrel
