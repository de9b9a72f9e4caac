// The code pages on Windows: strict decoding, the pages only the
// MultiLanguage service converts, UTF-16 by hand with every unit kept, what
// an encoding loses, detection that checks its answer, and the system
// conversion's default character.
#include <gtest/gtest.h>

#include "platform/code_pages.h"
#include "platform/win32/test_support.h"
#include "platform/win32/windows_api.h"

namespace sorrel::platform {
namespace {

class Win32CodePagesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    CreateStatus status;
    converter_ = service_->Create(&status);
    ASSERT_NE(converter_, nullptr);
    EXPECT_EQ(status, CreateStatus::Ok);
  }
  std::u16string Decode(uint32_t code_page, std::string_view bytes) {
    std::u16string text;
    EXPECT_TRUE(converter_->Decode(code_page, bytes, &text)) << code_page;
    return text;
  }
  std::string Encode(uint32_t code_page, std::u16string_view text, EncodeLosses* losses = nullptr) {
    std::string bytes;
    EXPECT_EQ(converter_->Encode(code_page, text, &bytes, losses), EncodeStatus::Ok) << code_page;
    return bytes;
  }

  std::unique_ptr<CodePageService> service_ = NewCodePageService();
  std::unique_ptr<CodePageConverter> converter_;
};

const std::u16string kJapanese = u"AZ 日本語ひらがなカタカナｱｲｳ\u3000Ａ\r\n";

TEST_F(Win32CodePagesTest, JapanesePagesRoundTripWithoutLosses) {
  for (uint32_t code_page : {932u, 51932u, 65001u, 65000u}) {
    EncodeLosses losses;
    EXPECT_EQ(Decode(code_page, Encode(code_page, kJapanese, &losses)), kJapanese) << code_page;
    EXPECT_EQ(losses.replaced + losses.widened, 0u) << code_page;
  }
  EXPECT_EQ(Encode(932, u"日ｱ\u3000"), "\x93\xFA\xB1\x81\x40");
  EXPECT_EQ(Decode(50220, "\x1B$BF|\x1B(B"), u"日");
}

TEST_F(Win32CodePagesTest, WhatAPageCannotHoldIsCounted) {
  EncodeLosses losses;
  EXPECT_EQ(Encode(932, u"a\u20ACb", &losses), "a?b");
  EXPECT_EQ(losses.replaced, 1u);
  // JIS without its half-width set writes half-width katakana in full width.
  Encode(50220, u"ｱｲｳ abc", &losses);
  EXPECT_EQ(losses.widened, 3u);
  EXPECT_EQ(losses.replaced, 0u);
}

TEST_F(Win32CodePagesTest, Utf16KeepsEveryUnitAndReadsStrictly) {
  EncodeLosses losses;
  EXPECT_EQ(Encode(1200, u"a\xD83D", &losses), std::string("a\0\x3D\xD8", 4));
  EXPECT_EQ(losses.replaced, 0u);
  EXPECT_EQ(Encode(1201, u"A\U0001F600"), std::string("\0A\xD8\x3D\xDE\x00", 6));
  EXPECT_EQ(Decode(1201, std::string("\0A\x65\xE5", 4)), u"A\u65E5");
  std::u16string text;
  EXPECT_FALSE(converter_->Decode(1200, "abc", &text));                           // odd count
  EXPECT_FALSE(converter_->Decode(1200, std::string("\0\xD8\x41\0", 4), &text));  // lone half
  EXPECT_FALSE(converter_->Decode(932, "ok\x81", &text));     // a lead byte alone
  EXPECT_FALSE(converter_->Decode(65001, "ok\xC3(", &text));  // a broken sequence
  EXPECT_FALSE(converter_->Decode(12345, "abc", &text));      // no such page
}

TEST_F(Win32CodePagesTest, DetectionTakesOnlyAPageTheBytesDecodeIn) {
  uint32_t code_page = 0;
  // Valid UTF-8 goes before Shift-JIS, which would read it as well.
  ASSERT_TRUE(converter_->Detect(Encode(65001, u"日本語のテキストです。"), &code_page));
  EXPECT_EQ(code_page, 65001u);
  ASSERT_TRUE(converter_->Detect(Encode(932, u"日本語のテキストです。ｱｲｳ"), &code_page));
  EXPECT_EQ(code_page, 932u);
  SKIP_UNDER_WINE("DetectInputCodepage (Wine's MultiLanguage service answers E_NOTIMPL)");
  ASSERT_TRUE(
      converter_->Detect(Encode(51932, u"日本語のテキストです。ひらがなとカタカナ。"), &code_page));
  EXPECT_EQ(code_page, 51932u);
}

TEST_F(Win32CodePagesTest, EbcdicKatakana) {
  SKIP_UNDER_WINE("code page 20290 (Wine has neither a converter nor a system table for it)");
  EXPECT_EQ(Decode(20290, "\xC1\xC2\xC3\x40\xF1\xF2\xF3"), u"ABC 123");
  EXPECT_EQ(Encode(20290, u"ABC 123"), "\xC1\xC2\xC3\x40\xF1\xF2\xF3");
}

TEST(Win32SystemConversionTest, DoubleByteUnitsAndTheDefaultCharacter) {
  const std::unique_ptr<CodePageService> service = NewCodePageService();
  const std::bitset<65536>& units = service->DoubleByteUnits932();
  EXPECT_TRUE(units.test(0x65E5));   // 日
  EXPECT_TRUE(units.test(0x3000));   // the ideographic space
  EXPECT_FALSE(units.test(0xFF71));  // half-width katakana are one byte
  const std::unique_ptr<SystemConversion> conversion = NewSystemConversion();
  std::string bytes;
  bool used = true;
  int error = 0;
  ASSERT_TRUE(conversion->Encode(932, u"日本", &bytes, &used, &error));
  EXPECT_EQ(bytes, "\x93\xFA\x96\x7B");
  EXPECT_FALSE(used);
  ASSERT_TRUE(conversion->Encode(932, u"a\U0001F600", &bytes, &used, &error));
  EXPECT_TRUE(used);
  EXPECT_FALSE(conversion->Encode(12345, u"a", &bytes, &used, &error));
  EXPECT_EQ(error, ERROR_INVALID_PARAMETER);
}

}  // namespace
}  // namespace sorrel::platform
