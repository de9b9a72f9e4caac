#include "platform/utf.h"

#include <gtest/gtest.h>

namespace sorrel {
namespace {

TEST(Utf, RoundTripsEveryPlane) {
  const std::u16string text = u"A\u3042\uFF76\U0001F600z";
  std::u16string back;
  ASSERT_TRUE(Utf8ToUtf16Strict(Utf16ToUtf8(text), &back));
  EXPECT_EQ(back, text);
  EXPECT_EQ(Utf16ToUtf8(u"\u3042"), "\xE3\x81\x82");
}

TEST(Utf, IllFormedBytesBecomeReplacementCharacters) {
  // A bad lead, an overlong form, an encoded surrogate and a truncated tail.
  EXPECT_EQ(Utf8ToUtf16("a\xFF"
                        "b"),
            u"a\uFFFDb");
  EXPECT_EQ(Utf8ToUtf16("\xC0\xAF"), u"\uFFFD\uFFFD");
  EXPECT_EQ(Utf8ToUtf16("\xED\xA0\x80"), u"\uFFFD\uFFFD\uFFFD");
  EXPECT_EQ(Utf8ToUtf16("x\xE3\x81"), u"x\uFFFD\uFFFD");
  std::u16string out;
  EXPECT_FALSE(Utf8ToUtf16Strict("x\xE3\x81", &out));
}

TEST(Utf, LoneSurrogateIsWrittenAsReplacementCharacter) {
  EXPECT_EQ(Utf16ToUtf8(std::u16string(1, u'\xD800')), "\xEF\xBF\xBD");
}

}  // namespace
}  // namespace sorrel
