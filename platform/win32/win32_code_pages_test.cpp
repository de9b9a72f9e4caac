// The code pages on Windows: strict decoding through the system conversion,
// the pages only the MultiLanguage service converts, UTF-16 by hand, and the
// system conversion's default character.
#include "platform/win32/win32_code_pages.h"

#include <gtest/gtest.h>

#include "platform/win32/test_support.h"
#include "platform/win32/windows_api.h"

#include <objbase.h>

namespace sorrel::platform {
namespace {

class Win32CodePagesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    CoInitialize(nullptr);
    CreateStatus status;
    converter_ = service_.Create(&status);
    ASSERT_NE(converter_, nullptr);
    EXPECT_EQ(status, CreateStatus::Ok);
  }
  void TearDown() override {
    converter_.reset();
    CoUninitialize();
  }
  std::u16string Decode(uint32_t code_page, std::string_view bytes) {
    std::u16string text;
    EXPECT_TRUE(converter_->Decode(code_page, bytes, &text)) << code_page;
    return text;
  }
  std::string Encode(uint32_t code_page, std::u16string_view text) {
    std::string bytes;
    EXPECT_EQ(converter_->Encode(code_page, text, &bytes), EncodeStatus::Ok) << code_page;
    return bytes;
  }

  Win32CodePageService service_;
  std::unique_ptr<CodePageConverter> converter_;
};

const std::u16string kJapanese = u"AZ 日本語ひらがなカタカナｱｲｳ\u3000Ａ\r\n";

TEST_F(Win32CodePagesTest, JapanesePagesRoundTrip) {
  for (uint32_t code_page : {932u, 51932u, 65001u, 65000u}) {
    EXPECT_EQ(Decode(code_page, Encode(code_page, kJapanese)), kJapanese) << code_page;
  }
  EXPECT_EQ(Encode(932, u"日ｱ\u3000"), "\x93\xFA\xB1\x81\x40");
  EXPECT_EQ(Decode(50220, "\x1B$BF|\x1B(B"), u"日");
}

TEST_F(Win32CodePagesTest, DecodingIsStrict) {
  std::u16string text;
  EXPECT_FALSE(converter_->Decode(932, "ok\x81", &text));     // a lead byte alone
  EXPECT_FALSE(converter_->Decode(65001, "ok\xC3(", &text));  // a broken sequence
  EXPECT_FALSE(converter_->Decode(1200, "abc", &text));       // an odd byte count
  EXPECT_FALSE(converter_->Decode(1200, std::string("\0\xD8\x41\0", 4), &text));  // lone surrogate
  EXPECT_FALSE(converter_->Decode(12345, "abc", &text));                          // no such page
}

TEST_F(Win32CodePagesTest, Utf16InBothByteOrders) {
  EXPECT_EQ(Decode(1200, std::string("A\0\xE5\x65", 4)), u"A\u65E5");
  EXPECT_EQ(Decode(1201, std::string("\0A\x65\xE5", 4)), u"A\u65E5");
  EXPECT_EQ(Encode(1201, u"A\U0001F600"), std::string("\0A\xD8\x3D\xDE\x00", 6));
}

TEST_F(Win32CodePagesTest, MissingCharactersBecomeQuestionMarks) {
  EXPECT_EQ(Encode(932, u"a\u20ACb"), "a?b");
}

TEST_F(Win32CodePagesTest, DetectsJapaneseText) {
  SKIP_UNDER_WINE("DetectInputCodepage (Wine's MultiLanguage service answers E_NOTIMPL)");
  uint32_t code_page = 0;
  const std::string euc = Encode(51932, u"日本語のテキストです。ひらがなとカタカナ。");
  ASSERT_TRUE(converter_->Detect(euc, &code_page));
  EXPECT_EQ(code_page, 51932u);
}

TEST_F(Win32CodePagesTest, EbcdicKatakana) {
  SKIP_UNDER_WINE("code page 20290 (Wine has neither a converter nor a system table for it)");
  EXPECT_EQ(Decode(20290, "\xC1\xC2\xC3\x40\xF1\xF2\xF3"), u"ABC 123");
  EXPECT_EQ(Encode(20290, u"ABC 123"), "\xC1\xC2\xC3\x40\xF1\xF2\xF3");
}

TEST(Win32CodePageServiceTest, DoubleByteUnitsOf932) {
  Win32CodePageService service;
  const std::bitset<65536>& units = service.DoubleByteUnits932();
  EXPECT_TRUE(units.test(0x65E5));   // 日
  EXPECT_TRUE(units.test(0x3000));   // the ideographic space
  EXPECT_FALSE(units.test(0xFF71));  // half-width katakana are one byte
  EXPECT_FALSE(units.test(u'A'));
}

TEST(Win32SystemConversionTest, TellsWhenTheDefaultCharacterWasUsed) {
  Win32SystemConversion conversion;
  std::string bytes;
  bool used = true;
  int error = 0;
  ASSERT_TRUE(conversion.Encode(932, u"日本", &bytes, &used, &error));
  EXPECT_EQ(bytes, "\x93\xFA\x96\x7B");
  EXPECT_FALSE(used);
  ASSERT_TRUE(conversion.Encode(932, u"a\U0001F600", &bytes, &used, &error));
  EXPECT_TRUE(used);
  ASSERT_TRUE(conversion.Encode(65001, u"\u00E9", &bytes, &used, &error));
  EXPECT_EQ(bytes, "\xC3\xA9");
  EXPECT_FALSE(conversion.Encode(12345, u"a", &bytes, &used, &error));
  EXPECT_EQ(error, ERROR_INVALID_PARAMETER);
}

}  // namespace
}  // namespace sorrel::platform
