#include "platform/posix/detect.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "platform/posix/iconv_conversion.h"
#include "platform/utf.h"

namespace sorrel::platform {
namespace {

std::u16string JapaneseProse() {
  std::ifstream in(std::string(SORREL_DATA_SOURCE_DIR) + "/japanese-prose.txt", std::ios::binary);
  std::ostringstream content;
  content << in.rdbuf();
  std::u16string text;
  EXPECT_TRUE(Utf8ToUtf16Strict(content.str(), &text));
  return text;
}

std::string Encoded(uint32_t code_page, std::u16string_view text) {
  IconvSystemConversion iconv;
  std::string bytes;
  bool used_default = true;
  int error = 0;
  EXPECT_TRUE(iconv.Encode(code_page, text, &bytes, &used_default, &error));
  EXPECT_FALSE(used_default);
  return bytes;
}

// Windows of the text at character boundaries, each the shortest that
// encodes to 128 bytes or more, are detected right at least 99 % of the time.
TEST(DetectTest, FindsJapaneseEncodingsInShortWindows) {
  const std::u16string text = JapaneseProse();
  for (const uint32_t code_page : {932u, 51932u, 50220u, 65001u, 1200u, 1201u}) {
    int windows = 0, right = 0;
    for (size_t start = 0; start + 200 < text.size(); start += 5, ++windows) {
      size_t length = 40;
      std::string bytes;
      while ((bytes = Encoded(code_page, text.substr(start, length))).size() < 128) ++length;
      const uint32_t detected = DetectCodePage(bytes);
      if (detected == code_page) ++right;
    }
    EXPECT_GE(right * 100, windows * 99) << code_page << ": " << right << " of " << windows;
  }
}

TEST(DetectTest, SevenBitTextIs932OrIso2022Jp) {
  EXPECT_EQ(DetectCodePage(""), 932u);
  EXPECT_EQ(DetectCodePage("Plain ASCII text.\r\n"), 932u);
  EXPECT_EQ(DetectCodePage("id,price\n1000,2000,3000,4000\n1020,3040,5060\n"), 932u);
  EXPECT_EQ(DetectCodePage("\x1B[31mred\x1B[0m"), 932u);
  EXPECT_EQ(DetectCodePage("A \x1B$B$\"\x1B(B"), 50220u);
  // The whole buffer is checked, not only what the detectors read.
  EXPECT_EQ(DetectCodePage(std::string(3 << 20, 'a') + "\x1B$B$\"\x1B(B"), 50220u);
}

TEST(DetectTest, Utf16NeedsTextLikeUnits) {
  EXPECT_EQ(DetectCodePage(std::string("P\0l\0a\0i\0n\0\r\0\n\0", 14)), 1200u);
  EXPECT_EQ(DetectCodePage(std::string("\0P\0l\0a\0i\0n\0\r\0\n", 14)), 1201u);
  // Digits and "0" pairs read as U+3030-U+3039; Shift-JIS numbers stay 932.
  const std::string numbers = Encoded(932, u"売上,1000,2000,3000,4000,5000,6000,7000,8000,9000");
  EXPECT_EQ(DetectCodePage(numbers), 932u);
  EXPECT_EQ(DetectCodePage(std::string("A\0B", 3)), 932u);
}

TEST(DetectTest, JapaneseAfterALongAsciiPreamble) {
  const std::string euc = Encoded(51932, JapaneseProse().substr(0, 200));
  EXPECT_EQ(DetectCodePage(std::string(2 << 20, 'a') + euc), 51932u);
}

TEST(DetectTest, LatinTextGoesToIcu) {
  const std::string text = Encoded(1252,
                                   u"\u201CCaf\u00E9 cr\u00E8me,\u201D she said \u2014 "
                                   u"\u201Cd\u00E9j\u00E0 vu.\u201D It\u2019s na\u00EFve.");
  EXPECT_EQ(DetectCodePage(text), 1252u);
  // ICU calls this UTF-16BE; uchardet's ISO-8859-1 stands.
  std::string latin(4096, 'a');
  for (size_t i = 0; i < latin.size(); i += 50) latin[i] = '\xE9';
  EXPECT_EQ(DetectCodePage(latin), 28591u);
}

TEST(DetectTest, CharsetLabels) {
  EXPECT_EQ(CodePageForCharset("SHIFT_JIS"), 932u);
  EXPECT_EQ(CodePageForCharset("Shift_JIS"), 932u);
  EXPECT_EQ(CodePageForCharset("EUC-JP"), 51932u);
  EXPECT_EQ(CodePageForCharset("windows-1251"), 1251u);
  EXPECT_EQ(CodePageForCharset("ISO-8859-15"), 28605u);
  EXPECT_EQ(CodePageForCharset("ISO-8859-10"), 0u);
  EXPECT_EQ(CodePageForCharset("WINDOWS-"), 0u);
  EXPECT_EQ(CodePageForCharset("VISCII"), 0u);
}

}  // namespace
}  // namespace sorrel::platform
