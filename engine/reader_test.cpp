#include "engine/reader.h"

#include <gtest/gtest.h>

#include "engine/messages.h"
#include "engine/test_support.h"

namespace sorrel {
namespace {

using testing::CodePageServiceWrapper;
using testing::Environment;
using testing::TempFolder;

struct Read {
  ReadResult result;
  TextBuffer text;
  uint32_t code_page;
  uint32_t bom;
};

class ReaderTest : public ::testing::Test {
 protected:
  Read ReadBytes(const std::string& bytes, short index, uint32_t other = 0,
                 LineEndKind kind = kLineEndCrLf, uint32_t n = 0) {
    dir.Write("f.txt", bytes);
    Read r{};
    r.code_page = other;
    platform::FileSnapshot snapshot;
    r.result = ReadTextFile(env.ctx, dir.Path("f.txt"), r.text, index, r.code_page, r.bom, kind, n,
                            &snapshot);
    return r;
  }
  Environment env;
  TempFolder dir;
};

TEST_F(ReaderTest, ByteOrderMarksSettleTheCodePageWhateverTheList) {
  Read r = ReadBytes(
      "\xEF\xBB\xBF"
      "abc",
      1);
  EXPECT_EQ(r.result, ReadResult::Ok);
  EXPECT_EQ(r.code_page, 65001u);
  EXPECT_EQ(r.bom, 1u);
  EXPECT_EQ(r.text, u"abc");

  r = ReadBytes("\xFF\xFE", 4);
  EXPECT_EQ(r.result, ReadResult::Ok);
  EXPECT_EQ(r.code_page, 1200u);
  EXPECT_EQ(r.text, u"");

  r = ReadBytes("\xFE\xFF\x30\x42", 0);
  EXPECT_EQ(r.code_page, 1201u);
  EXPECT_EQ(r.text, u"\u3042");

  // Two bytes of the UTF-8 mark are not a mark.
  r = ReadBytes("\xEF\xBB", 4);
  EXPECT_EQ(r.bom, 0u);
  EXPECT_EQ(r.code_page, 65001u);
  EXPECT_EQ(r.result, ReadResult::CannotDecode);

  // FF FE 00 00: UTF-16LE with a mark, and the zero unit behind it is cut out.
  r = ReadBytes(std::string("\xFF\xFE\x00\x00\x41\x00", 6), 0);
  EXPECT_EQ(r.code_page, 1200u);
  EXPECT_EQ(r.bom, 1u);
  EXPECT_EQ(r.text, u"A");

  // The UTF-32 marks are refused before any list or detection reads them.
  for (const short index : {short{0}, short{2}, short{4}}) {
    EXPECT_EQ(ReadBytes(std::string("\xFF\xFE\0\0a\0\0\0", 8), index).result, ReadResult::Utf32);
    EXPECT_EQ(ReadBytes(std::string("\0\0\xFE\xFF\0\0\0a", 8), index).result, ReadResult::Utf32);
  }
}

TEST_F(ReaderTest, NulBytesAreRemovedByTheRulesOfTheCodePage) {
  Read r = ReadBytes(std::string("AB\0CD", 5), 1);
  EXPECT_EQ(r.text, u"ABCD");
  // In UTF-16LE only whole zero units go; the unit 0x0100 stays.
  r = ReadBytes(std::string("\x41\x00\x00\x00\x00\x01", 6), 2);
  EXPECT_EQ(r.text, u"A\u0100");
  // The free code page 1201 counts as UTF-16 too.
  r = ReadBytes(std::string("\x00\x41\x00\x00\x00\x42", 6), 9, 1201);
  EXPECT_EQ(r.code_page, 1201u);
  EXPECT_EQ(r.text, u"AB");
}

TEST_F(ReaderTest, LineEndsEveryNBytesCutTheContentBehindTheMark) {
  EXPECT_EQ(ReadBytes("ABCDEFGHIJ", 1, 0, kLineEndCrLf, 4).text, u"ABCD\r\nEFGH\r\nIJ");
  EXPECT_EQ(ReadBytes("ABCDEFGH", 1, 0, kLineEndCrLf, 4).text, u"ABCD\r\nEFGH");
  EXPECT_EQ(ReadBytes("ABCD", 1, 0, kLineEndCrLf, 4).text, u"ABCD");
  EXPECT_EQ(ReadBytes("\xEF\xBB\xBF"
                      "ABCDEF",
                      0, 0, kLineEndLf, 3)
                .text,
            u"ABC\nDEF");
  EXPECT_EQ(ReadBytes("ABCDEF", 1, 0, kLineEndCr, 2).text, u"AB\rCD\rEF");
  // A kind outside the list inserts nothing.
  EXPECT_EQ(ReadBytes("ABCDEF", 1, 0, 3, 2).text, u"ABCDEF");
  // An even n in UTF-16 inserts whole units in the file's byte order.
  EXPECT_EQ(ReadBytes(std::string("\xFE\xFF\x00\x41\x00\x42", 6), 0, 0, kLineEndLf, 2).text,
            u"A\nB");
  // ... and takes a surrogate pair whole, in either byte order.
  EXPECT_EQ(ReadBytes(std::string("\xFF\xFE"
                                  "a\0\x3D\xD8\x00\xDE"
                                  "b\0",
                                  10),
                      0, 0, kLineEndLf, 2)
                .text,
            u"a\n\U0001F600\nb");
  EXPECT_EQ(ReadBytes(std::string("\xD8\x3D\xDE\x00\0a", 6), 9, 1201, kLineEndLf, 2).text,
            u"\U0001F600\na");
  EXPECT_TRUE(env.user.boxes.empty());
}

TEST_F(ReaderTest, Utf16SettledByMarkOrListKeepsLoneSurrogates) {
  // What a rewrite wrote, it reads again; detection stays strict.
  const std::u16string lone{char16_t{0xD83D}, u'a'};
  EXPECT_EQ(ReadBytes(std::string("\xFF\xFE\x3D\xD8"
                                  "a\0",
                                  6),
                      0)
                .text,
            lone);
  Read r = ReadBytes(std::string("\xD8\x3D\0a", 4), 3);
  EXPECT_EQ(r.result, ReadResult::Ok);
  EXPECT_EQ(r.text, lone);
  EXPECT_EQ(ReadBytes(std::string("\xFF\xFE\x3D\xD8"
                                  "a",
                                  5),
                      0)
                .result,
            ReadResult::CannotDecode);
}

TEST_F(ReaderTest, OddNInUtf16AsksOnceAndNoAbortsTheFile) {
  const std::string bytes("\xFF\xFE\x41\x00\x42\x00", 6);
  env.user.answers = {platform::Answer::No};
  Read r = ReadBytes(bytes, 0, 0, kLineEndLf, 3);
  EXPECT_EQ(r.result, ReadResult::Aborted);
  EXPECT_EQ(r.code_page, 1200u);
  ASSERT_EQ(env.user.boxes.size(), 1u);
  EXPECT_EQ(env.user.boxes[0].caption, messages::kOddUtf16Caption);
  EXPECT_NE(env.user.boxes[0].text.find(u"を 3 バイト毎に"), std::u16string::npos);
  EXPECT_EQ(env.user.boxes[0].buttons, platform::Buttons::YesNo);
  EXPECT_EQ(dir.Read("f.txt"), bytes);

  // Yes goes on and cuts at odd byte positions: [41 00 42] [0A 00] [00].
  r = ReadBytes(bytes, 0, 0, kLineEndLf, 3);
  EXPECT_EQ(env.user.boxes.size(), 2u);
  EXPECT_EQ(r.result, ReadResult::Ok);
  EXPECT_EQ(r.text, std::u16string(u"\u0041\u0A42\0", 3));
}

TEST_F(ReaderTest, DetectionSettlesPlainAsciiOn932) {
  Read r = ReadBytes("plain ascii text\r\n", 0);
  EXPECT_EQ(r.result, ReadResult::Ok);
  EXPECT_EQ(r.code_page, 932u);
  r = ReadBytes("\xE3\x81\x82\xE3\x81\x84\xE3\x81\x86\xE3\x81\x88\xE3\x81\x8A", 0);
  EXPECT_EQ(r.code_page, 65001u);
  EXPECT_EQ(r.text, u"あいうえお");
}

// A service whose detection never answers.
class NoAnswerService : public CodePageServiceWrapper {
 public:
  using CodePageServiceWrapper::CodePageServiceWrapper;
  std::unique_ptr<platform::CodePageConverter> Create(platform::CreateStatus* status) override {
    struct NoAnswer : testing::ConverterWrapper {
      using ConverterWrapper::ConverterWrapper;
      bool Detect(std::string_view, uint32_t*) override { return false; }
    };
    return std::make_unique<NoAnswer>(target_->Create(status));
  }
};

TEST_F(ReaderTest, DetectionWithoutAnswerDecodesAs932) {
  NoAnswerService service(env.ctx.code_pages);
  env.ctx.code_pages = &service;
  Read r = ReadBytes("\x82\xA0\x82\xA2", 0);
  EXPECT_EQ(r.result, ReadResult::Ok);
  EXPECT_EQ(r.code_page, 932u);
  EXPECT_EQ(r.text, u"あい");
}

TEST_F(ReaderTest, InvalidBytesAreNeverDecodedBySubstitution) {
  Read r = ReadBytes("ok\xC3\x28", 4);
  EXPECT_EQ(r.result, ReadResult::CannotDecode);
  EXPECT_EQ(r.code_page, 65001u);
  EXPECT_TRUE(r.text.empty());
  EXPECT_EQ(ReadBytes("AB\x82", 1).result, ReadResult::CannotDecode);
  // A lone byte left over by the zero-unit walk cannot be a UTF-16 unit.
  EXPECT_EQ(ReadBytes(std::string("\x41\x00\x42", 3), 2).result, ReadResult::CannotDecode);
}

TEST_F(ReaderTest, FilesThatCannotBeReadStopBeforeTheService) {
  CodePageServiceWrapper service(env.ctx.code_pages);
  env.ctx.code_pages = &service;
  EXPECT_EQ(ReadBytes("", 1).result, ReadResult::Empty);
  TextBuffer text = u"stale";
  uint32_t cp = 0;
  uint32_t bom = 7;
  platform::FileSnapshot snapshot;
  EXPECT_EQ(ReadTextFile(env.ctx, dir.Path("missing"), text, 1, cp, bom, 0, 0, &snapshot),
            ReadResult::CannotOpen);
  EXPECT_TRUE(text.empty());
  EXPECT_EQ(bom, 0u);
  dir.MakeFolder("folder");
  EXPECT_EQ(ReadTextFile(env.ctx, dir.Path("folder"), text, 1, cp, bom, 0, 0, &snapshot),
            ReadResult::CannotOpen);
  EXPECT_EQ(service.creates, 0);
}

TEST_F(ReaderTest, NoServiceIsReported) {
  class Broken : public CodePageServiceWrapper {
   public:
    using CodePageServiceWrapper::CodePageServiceWrapper;
    std::unique_ptr<platform::CodePageConverter> Create(platform::CreateStatus* status) override {
      *status = platform::CreateStatus::Other;
      return nullptr;
    }
  } service(env.ctx.code_pages);
  env.ctx.code_pages = &service;
  EXPECT_EQ(ReadBytes("abc", 1).result, ReadResult::NoService);
}

TEST(ReaderBytes, InsertionAgreesWithTheStepByStepRule) {
  // The rule: insert at p = skip + n while p < length, advancing by n + w.
  auto reference = [](std::string bytes, size_t skip, uint32_t n, const std::string& le) {
    for (size_t p = skip + n; p < bytes.size(); p += n + le.size()) bytes.insert(p, le);
    return bytes;
  };
  for (uint32_t n = 1; n < 9; ++n) {
    for (size_t len = 0; len < 30; ++len) {
      std::string bytes;
      for (size_t i = 0; i < len; ++i) bytes.push_back(static_cast<char>('a' + i % 26));
      for (size_t skip : {size_t{0}, size_t{3}}) {
        if (skip > len) continue;
        std::string fast = bytes;
        InsertLineEndEveryNBytes(fast, skip, n, kLineEndCrLf, 932);
        EXPECT_EQ(fast, reference(bytes, skip, n, "\r\n")) << n << " " << len;
      }
    }
  }
}

TEST(ReaderBytes, NulRemovalAgreesWithTheStepByStepRule) {
  // The rule: step through the bytes (in UTF-16, through the units from the
  // first byte) and drop each zero byte (unit).
  auto reference = [](const std::string& bytes, bool utf16) {
    std::string kept;
    const size_t step = utf16 ? 2 : 1;
    for (size_t i = 0; i < bytes.size(); i += step) {
      const std::string piece = bytes.substr(i, step);
      if (piece != std::string(step, '\0')) kept += piece;
    }
    return kept;
  };
  // Every string of up to 9 bytes over zero, 'a' and 1.
  const char alphabet[] = {'\0', 'a', '\1'};
  for (size_t len = 0; len <= 9; ++len) {
    size_t count = 1;
    for (size_t i = 0; i < len; ++i) count *= 3;
    for (size_t code = 0; code < count; ++code) {
      std::string bytes;
      for (size_t i = 0, rest = code; i < len; ++i, rest /= 3) bytes.push_back(alphabet[rest % 3]);
      for (bool utf16 : {false, true}) {
        std::string fast = bytes;
        RemoveNulBytes(fast, utf16);
        ASSERT_EQ(fast, reference(bytes, utf16)) << len << " " << code << " " << utf16;
      }
    }
  }
}

}  // namespace
}  // namespace sorrel
