#include "base/utf.h"

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

TEST(Utf, BytesThatAreNotUtf8SurviveAUtf16Trip) {
  // Shift-JIS and EUC-JP names, an encoded surrogate, a cut sequence, and
  // well-formed text that holds U+DC80 inside a pair.
  for (const std::string& bytes :
       {std::string("\x93\xfa\x96\x7b.txt"), std::string("\xc6\xfc\xcb\xdc/\xa4\xa2"),
        std::string("\xED\xB2\x80"), std::string("a\xE3\x81"), std::string("\xF0\x9F\x92\x80\xff"),
        std::string("\x80\xC2")}) {
    EXPECT_EQ(Utf16ToBytes(BytesToUtf16(bytes)), bytes);
  }
  EXPECT_EQ(BytesToUtf16("a\x93\xfa"), u"a\xDC93\xDCFA");
  EXPECT_EQ(BytesToUtf16("\xE6\x97\xA5"), u"\u65e5");
  // Shown in a report, an escaped byte is a replacement character.
  EXPECT_EQ(Utf16ToUtf8(BytesToUtf16("\x93")), "\xEF\xBF\xBD");
  // Other lone surrogates have no byte of their own.
  EXPECT_EQ(Utf16ToBytes(std::u16string(1, u'\xD800')), "\xEF\xBF\xBD");
}

}  // namespace
}  // namespace sorrel
