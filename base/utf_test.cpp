#include "base/utf.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

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

// The fast check, which goes 32 bytes at a time, agrees with the strict
// decoder on long texts with every kind of sequence, broken ones at every
// place of a block, and a broken last sequence cut anywhere.
TEST(Utf, ValidationAgreesWithStrictDecodingAtEveryPlace) {
  const std::vector<std::string> good = {"a",
                                         "ab\r\n",
                                         "\xC2\x80",
                                         "\xDF\xBF",
                                         "\xE0\xA0\x80",
                                         "\xE3\x81\x82",
                                         "\xED\x9F\xBF",
                                         "\xEE\x80\x80",
                                         "\xEF\xBF\xBF",
                                         "\xF0\x90\x80\x80",
                                         "\xF4\x8F\xBF\xBF"};
  const std::vector<std::string> bad = {"\x80",
                                        "\xBF",
                                        "\xC0\x80",
                                        "\xC1\xBF",
                                        "\xC2",
                                        "\xC2\x41",
                                        "\xE0\x9F\xBF",
                                        "\xE3\x81",
                                        "\xE3\x41\x81",
                                        "\xED\xA0\x80",
                                        "\xF0\x8F\xBF\xBF",
                                        "\xF4\x90\x80\x80",
                                        "\xF5\x80\x80\x80",
                                        "\xF0\x90\x80",
                                        "\xFE",
                                        "\xFF",
                                        "\xE3\x81\x82\x82"};
  std::mt19937 random(8);
  int accepted = 0;
  for (int i = 0; i < 20000; ++i) {
    std::string bytes;
    const size_t count = random() % 60;
    for (size_t k = 0; k < count; ++k) bytes += good[random() % good.size()];
    if (random() % 2 == 0) bytes.insert(random() % (bytes.size() + 1), bad[random() % bad.size()]);
    if (random() % 4 == 0) bytes.resize(random() % (bytes.size() + 1));
    std::u16string unused;
    const bool strict = Utf8ToUtf16Strict(bytes, &unused);
    ASSERT_EQ(IsUtf8(bytes), strict) << testing::PrintToString(bytes);
    accepted += strict;
  }
  EXPECT_GT(accepted, 5000);
  EXPECT_LT(accepted, 15000);
}

}  // namespace
}  // namespace sorrel
