#include "engine/byte_transforms.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "engine/test_support.h"
#include "engine/transforms.h"

namespace sorrel {
namespace {

using platform::BytePage;

// Texts made of what the steps look for and of characters of one, two and
// three bytes (and a pair in UTF-8), in a page with tables, each step run on
// the text and encoded, and run on the bytes: the same bytes, the same
// report of a change.
class ByteTransformsTest : public ::testing::TestWithParam<uint32_t> {
 protected:
  void SetUp() override {
    page_ = env_.ctx.code_pages->BytePageFor(GetParam());
    ASSERT_NE(page_, nullptr);
    platform::CreateStatus status;
    converter_ = env_.ctx.code_pages->Create(&status);
    const std::u16string candidates =
        u"ab \t\r\n\x01\x0B\x1A\x1F\x7F\u3000\u3000\u3042\u4E00\uFF76\u00E9\u00A7\u03B1\u2460";
    for (const char16_t unit : candidates) {
      std::string bytes;
      if (Encode(std::u16string(1, unit), &bytes)) alphabet_.emplace_back(1, unit);
    }
    if (page_->utf8) alphabet_.emplace_back(u"\U0001F600");
  }
  bool Encode(const std::u16string& text, std::string* bytes) {
    platform::EncodeLosses losses;
    return converter_->Encode(GetParam(), text, bytes, &losses) == platform::EncodeStatus::Ok &&
           losses.replaced == 0;
  }
  std::u16string RandomText(std::mt19937& random) {
    std::u16string text;
    for (size_t n = random() % (random() % 8 == 0 ? 600 : 40); n > 0; --n)
      text += alphabet_[random() % alphabet_.size()];
    return text;
  }
  template <typename TextStep, typename ByteStep>
  void Check(const char* name, TextStep text_step, ByteStep byte_step, bool one_unit_only = false) {
    std::mt19937 random(GetParam());
    for (int i = 0; i < 3000; ++i) {
      std::u16string text = RandomText(random);
      std::string bytes;
      ASSERT_TRUE(Encode(text, &bytes));
      ASSERT_TRUE(platform::ScanPage(*page_, bytes).plain) << ::testing::PrintToString(bytes);
      if (one_unit_only && !OneUnitEach(bytes, *page_)) continue;
      const std::string before = bytes;
      const bool text_changed = text_step(text);
      const bool bytes_changed = byte_step(bytes);
      std::string expected;
      ASSERT_TRUE(Encode(text, &expected));
      ASSERT_EQ(bytes, expected) << name << " " << ::testing::PrintToString(before);
      ASSERT_EQ(bytes_changed, text_changed) << name << " " << ::testing::PrintToString(before);
    }
  }

  testing::Environment env_;
  const BytePage* page_ = nullptr;
  std::unique_ptr<platform::CodePageConverter> converter_;
  std::vector<std::u16string> alphabet_;
};

TEST_P(ByteTransformsTest, EveryStepGivesTheEncodedTextsBytes) {
  const std::bitset<65536>& wide = env_.ctx.code_pages->DoubleByteUnits932();
  for (const LineEndKind kind : {kLineEndCrLf, kLineEndLf, kLineEndCr, LineEndKind{5}}) {
    Check(
        "UnifyLineEnds", [&](TextBuffer& t) { return UnifyLineEnds(t, kind); },
        [&](std::string& b) { return UnifyLineEnds(b, kind); });
    for (const uint32_t n : {1u, 3u, 7u}) {
      Check(
          "InsertLineEndEveryNChars",
          [&](TextBuffer& t) { return InsertLineEndEveryNChars(t, n, kind); },
          [&](std::string& b) { return InsertLineEndEveryNChars(b, n, kind, *page_); }, true);
    }
  }
  Check(
      "SplitFullWidthSpaces", [](TextBuffer& t) { return SplitFullWidthSpaces(t); },
      [&](std::string& b) { return SplitFullWidthSpaces(b, *page_); });
  Check(
      "DeleteTrailingWhiteSpace", [](TextBuffer& t) { return DeleteTrailingWhiteSpace(t); },
      [](std::string& b) { return DeleteTrailingWhiteSpace(b); });
  for (const uint32_t width : {1u, 4u, 8u}) {
    Check(
        "ExpandTabs", [&](TextBuffer& t) { return ExpandTabs(t, width, wide); },
        [&](std::string& b) { return ExpandTabs(b, width, *page_, wide); });
  }
  Check(
      "DeleteControlCodes", [](TextBuffer& t) { return DeleteControlCodes(t); },
      [](std::string& b) { return DeleteControlCodes(b); });
  Check(
      "ControlCodesToSpaces", [](TextBuffer& t) { return ControlCodesToSpaces(t); },
      [](std::string& b) { return ControlCodesToSpaces(b); });
}

#ifdef _WIN32
// The Windows service leaves every page but UTF-8 to its converters.
INSTANTIATE_TEST_SUITE_P(Pages, ByteTransformsTest, ::testing::Values(65001u));
#else
INSTANTIATE_TEST_SUITE_P(Pages, ByteTransformsTest, ::testing::Values(65001u, 932u, 51932u, 1252u));
#endif

}  // namespace
}  // namespace sorrel
