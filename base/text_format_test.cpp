#include "base/text_format.h"

#include <gtest/gtest.h>

namespace sorrel {
namespace {

TEST(FormatText, FillsTextsAndNumbersInOrder) {
  EXPECT_EQ(FormatText(u"Target files:%d, Replaced files:%d", {int64_t{12}, int64_t{3}}),
            u"Target files:12, Replaced files:3");
  EXPECT_EQ(FormatText(u"%s:%s - %s\r\n", {u"a.txt", u"what", u"detail"}),
            u"a.txt:what - detail\r\n");
  EXPECT_EQ(FormatText(u"100%% %d", {int64_t{-1}}), u"100% -1");
}

TEST(FormatText, MissingArgumentsAndUnknownConversionsStayAsWritten) {
  EXPECT_EQ(FormatText(u"%s and %s", {u"one"}), u"one and %s");
  EXPECT_EQ(FormatText(u"%x %", {}), u"%x %");
}

TEST(FormatText, NothingIsCut) {
  const std::u16string name(5000, u'n');
  EXPECT_EQ(FormatText(u"[%s]", {name}).size(), 5002u);
}

}  // namespace
}  // namespace sorrel
