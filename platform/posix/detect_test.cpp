#include "platform/posix/detect.h"

#include <gtest/gtest.h>

#include <fstream>
#include <memory>
#include <random>
#include <sstream>

#include "base/utf.h"
#include "platform/posix/iconv_conversion.h"
#include "platform/posix/icu_code_pages.h"
#include "platform/program.h"

namespace sorrel::platform {
namespace {

std::u16string Corpus(const char* name) {
  std::ifstream in(std::string(SORREL_DATA_SOURCE_DIR) + "/" + name, std::ios::binary);
  std::ostringstream content;
  content << in.rdbuf();
  std::u16string text;
  EXPECT_TRUE(Utf8ToUtf16Strict(content.str(), &text)) << name;
  return text;
}

// The bytes of text through iconv, the independent oracle.
std::string Encoded(uint32_t code_page, std::u16string_view text) {
  IconvSystemConversion iconv;
  std::string bytes;
  bool used_default = true;
  int error = 0;
  EXPECT_TRUE(iconv.Encode(code_page, text, &bytes, &used_default, &error)) << code_page;
  EXPECT_FALSE(used_default) << code_page;
  return bytes;
}

class DetectTest : public testing::Test {
 protected:
  void SetUp() override {
    CreateStatus status;
    converter_ = service_.Create(&status);
    ASSERT_NE(converter_, nullptr);
  }
  uint32_t Detect(std::string_view bytes) { return DetectCodePage(bytes, *converter_); }
  // Whether detection reads bytes as text, in whichever page it names.
  bool ReadsRight(std::string_view bytes, std::u16string_view text) {
    std::u16string out;
    return converter_->Decode(Detect(bytes), bytes, &out) && out == text;
  }
  IcuCodePageService service_{ProgramFolder()};
  std::unique_ptr<CodePageConverter> converter_;
};

// Windows of the texts at character boundaries, each the longest that
// encodes to at most 32 or 128 bytes, are read right at least 97 % and
// 99.5 % of the time.
TEST_F(DetectTest, ReadsJapaneseInShortWindows) {
  const std::u16string prose = Corpus("japanese-prose.txt");
  const std::u16string kana = Corpus("japanese-halfwidth-kana.txt");
  const std::u16string kanji = Corpus("kanji-dense.txt");
  const std::pair<uint32_t, const std::u16string*> cells[] = {
      {932, &prose},   {932, &kana},    {51932, &prose}, {51932, &kana},
      {50220, &prose}, {65001, &prose}, {65001, &kana},  {1200, &prose},
      {1201, &prose},  {1200, &kanji},  {1201, &kanji}};
  for (const size_t size : {32u, 128u}) {
    for (const auto& [code_page, text] : cells) {
      int windows = 0, right = 0;
      for (size_t start = 0; start + 100 < text->size(); start += 7, ++windows) {
        size_t length = 1;
        while (Encoded(code_page, text->substr(start, length + 1)).size() <= size) ++length;
        const std::u16string window = text->substr(start, length);
        right += ReadsRight(Encoded(code_page, window), window);
      }
      const int percent_tenths = size == 32 ? 970 : 995;
      EXPECT_GE(right * 1000, windows * percent_tenths)
          << code_page << " at " << size << ": " << right << " of " << windows;
    }
  }
}

TEST_F(DetectTest, ShortJapaneseTextsAreNotTakenForEuropeanPages) {
  for (const std::u16string_view text :
       {u"日本", u"東京", u"漢字", u"ｶﾀｶﾅ", u"日本語", u"今日は"}) {
    for (const uint32_t code_page : {932u, 51932u}) {
      EXPECT_EQ(Detect(Encoded(code_page, text)), code_page) << code_page;
    }
  }
}

TEST_F(DetectTest, HalfWidthKanaTextIsReadInItsOwnPage) {
  // uchardet calls the Shift-JIS UTF-8, which does not decode, and the
  // EUC-JP windows-1252, which decodes to mojibake.
  const std::u16string corpus = Corpus("japanese-halfwidth-kana.txt");
  const std::u16string text = corpus.substr(corpus.find(u"ﾌﾘｺﾐ"));
  for (size_t length = 19; length < 400; length += 13) {
    const std::u16string piece = text.substr(0, length);
    EXPECT_EQ(Detect(Encoded(932, piece)), 932u) << length;
    EXPECT_EQ(Detect(Encoded(51932, piece)), 51932u) << length;
  }
}

TEST_F(DetectTest, KanjiOnlyUtf16WithoutAMark) {
  const std::u16string kanji = Corpus("kanji-dense.txt").substr(0, 60);
  EXPECT_EQ(Detect(Encoded(1200, kanji)), 1200u);
  EXPECT_EQ(Detect(Encoded(1201, kanji)), 1201u);
}

TEST_F(DetectTest, EuropeanTextsAreReadRight) {
  // 1255 was once answered as 38598, which nothing can read.
  const std::pair<uint32_t, const char*> samples[] = {
      {1255, "hebrew.txt"},  {1253, "greek.txt"},    {28597, "greek.txt"},
      {1251, "russian.txt"}, {20866, "russian.txt"}, {28591, "western-european.txt"}};
  for (const auto& [code_page, file] : samples) {
    const std::u16string text = Corpus(file).substr(0, 400);
    EXPECT_TRUE(ReadsRight(Encoded(code_page, text), text)) << code_page;
  }
}

TEST_F(DetectTest, EveryAnswerDecodes) {
  // Random bytes: the answer decodes them, or it is 932 for none.
  std::mt19937 random(1255);
  for (int i = 0; i < 500; ++i) {
    std::string bytes(1 + random() % 48, '\0');
    for (char& byte : bytes) byte = static_cast<char>(0x20 + random() % 0xE0);
    const uint32_t code_page = Detect(bytes);
    std::u16string text;
    EXPECT_TRUE(converter_->Decode(code_page, bytes, &text) || code_page == 932)
        << testing::PrintToString(bytes) << " " << code_page;
  }
  // Every page that a label of uchardet or of ICU's detector can give.
  const char* labels[] = {"ASCII",
                          "UTF-8",
                          "UTF-16LE",
                          "UTF-16BE",
                          "UTF-32LE",
                          "UTF-32BE",
                          "SHIFT_JIS",
                          "EUC-JP",
                          "ISO-2022-JP",
                          "EUC-KR",
                          "UHC",
                          "ISO-2022-KR",
                          "BIG5",
                          "EUC-TW",
                          "GB18030",
                          "HZ-GB-2312",
                          "ISO-2022-CN",
                          "KOI8-R",
                          "MAC-CYRILLIC",
                          "IBM855",
                          "IBM866",
                          "IBM852",
                          "IBM862",
                          "TIS-620",
                          "VISCII",
                          "MAC-CENTRALEUROPE",
                          "ISO-8859-1",
                          "ISO-8859-2",
                          "ISO-8859-3",
                          "ISO-8859-4",
                          "ISO-8859-5",
                          "ISO-8859-6",
                          "ISO-8859-7",
                          "ISO-8859-8",
                          "ISO-8859-8-I",
                          "ISO-8859-9",
                          "ISO-8859-10",
                          "ISO-8859-11",
                          "ISO-8859-13",
                          "ISO-8859-15",
                          "ISO-8859-16",
                          "WINDOWS-1250",
                          "WINDOWS-1251",
                          "WINDOWS-1252",
                          "WINDOWS-1253",
                          "WINDOWS-1254",
                          "WINDOWS-1255",
                          "WINDOWS-1256",
                          "WINDOWS-1257",
                          "WINDOWS-1258",
                          "IBM420_ltr",
                          "IBM420_rtl",
                          "IBM424_ltr",
                          "IBM424_rtl",
                          "X-ISO-10646-UCS-4-3412"};
  for (const char* label : labels) {
    const uint32_t code_page = CodePageForCharset(label);
    if (code_page == 0) continue;  // no answer
    // Written as the writer writes it: by the service, else by iconv.
    std::string bytes;
    if (converter_->Encode(code_page, u"Abc", &bytes, nullptr) != EncodeStatus::Ok) {
      bytes = Encoded(code_page, u"Abc");
    }
    std::u16string text;
    EXPECT_TRUE(converter_->Decode(code_page, bytes, &text)) << label << " " << code_page;
  }
}

TEST_F(DetectTest, SevenBitTextIs932OrIso2022Jp) {
  EXPECT_EQ(Detect(""), 932u);
  EXPECT_EQ(Detect("Plain ASCII text.\r\n"), 932u);
  EXPECT_EQ(Detect("id,price\n1000,2000,3000,4000\n1020,3040,5060\n"), 932u);
  EXPECT_EQ(Detect("\x1B[31mred\x1B[0m"), 932u);
  EXPECT_EQ(Detect("A \x1B$B$\"\x1B(B"), 50220u);
  EXPECT_EQ(Detect("A \x1B$B$"), 932u);  // an escape that does not decode
  // The whole buffer is checked, not only what the detectors read.
  EXPECT_EQ(Detect(std::string(3 << 20, 'a') + "\x1B$B$\"\x1B(B"), 50220u);
}

TEST_F(DetectTest, Utf16NeedsTextLikeUnits) {
  EXPECT_EQ(Detect(std::string("P\0l\0a\0i\0n\0\r\0\n\0", 14)), 1200u);
  EXPECT_EQ(Detect(std::string("\0P\0l\0a\0i\0n\0\r\0\n", 14)), 1201u);
  // Digits and "0" pairs read as U+3030-U+3039; Shift-JIS numbers stay 932.
  const std::string numbers = Encoded(932, u"売上,1000,2000,3000,4000,5000,6000,7000,8000,9000");
  EXPECT_EQ(Detect(numbers), 932u);
  EXPECT_EQ(Detect(std::string("A\0B", 3)), 932u);
}

TEST_F(DetectTest, JapaneseAfterALongAsciiPreamble) {
  const std::string euc = Encoded(51932, Corpus("japanese-prose.txt").substr(0, 200));
  EXPECT_EQ(Detect(std::string(2 << 20, 'a') + euc), 51932u);
}

TEST_F(DetectTest, Utf8OfOtherScriptsIsNotTakenForHalfWidthKana) {
  // Accented letters are C3 xx in UTF-8: ﾃ and a kana in Shift-JIS.
  std::u16string english;
  for (int i = 0; i < 16; ++i)
    english += u"The quick brown fox jumps over the lazy dog. A\u00F1o.\n";
  for (const std::u16string_view text :
       {std::u16string_view(u"Jos\u00E9 Garc\u00EDa"), std::u16string_view(u"Z\u00FCrich"),
        std::u16string_view(u"El ni\u00F1o comi\u00F3 pi\u00F1a en el a\u00F1o pasado."),
        std::u16string_view(u"See the cr\u00E8me br\u00FBl\u00E9e section."),
        std::u16string_view(english)}) {
    EXPECT_EQ(Detect(Encoded(65001, text)), 65001u) << testing::PrintToString(Encoded(65001, text));
  }
  for (const char* file : {"western-european.txt", "greek.txt", "russian.txt"}) {
    const std::u16string corpus = Corpus(file);
    for (size_t start = 0; start + 40 < corpus.size(); start += 37) {
      const std::u16string text = corpus.substr(start, 8);
      const std::string bytes = Encoded(65001, text);
      if (bytes.size() != text.size()) {
        EXPECT_TRUE(ReadsRight(bytes, text)) << file << start;
      }
    }
  }
}

TEST_F(DetectTest, LatinTextGoesToIcu) {
  const std::string text = Encoded(1252,
                                   u"\u201CCaf\u00E9 cr\u00E8me,\u201D she said \u2014 "
                                   u"\u201Cd\u00E9j\u00E0 vu.\u201D It\u2019s na\u00EFve.");
  EXPECT_EQ(Detect(text), 1252u);
  // ICU calls this UTF-16BE; uchardet's ISO-8859-1 stands.
  std::string latin(4096, 'a');
  for (size_t i = 0; i < latin.size(); i += 50) latin[i] = '\xE9';
  EXPECT_EQ(Detect(latin), 28591u);
}

TEST(CodePageForCharsetTest, Labels) {
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
