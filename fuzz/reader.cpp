// The reader against its rules written out step by step: the byte edits
// alone, a strict decode in every code page of the read list through the
// real ICU service, and the whole read of a real file (mark, list index or
// detection, edits, decode, the question for an odd cut of UTF-16).
//
// Input: byte 0 chooses the buffer's code page (bit 0 UTF-16, bit 1 the
// second page of the pair), the line-end kind (bits 2-3, 3 meaning a kind
// outside the list), the mark length of the byte edits (bits 4-5) and the
// read index (bits 6-7: detection, the other page, the page's own row, the
// row n % 8 + 1); byte 1 is n (FF: a huge n); the rest is the file's bytes.
// The question is answered No for an odd number of bytes.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <string_view>

#include "engine/encode_table.h"
#include "engine/job_context.h"
#include "engine/reader.h"
#include "fuzz/fuzz_units.h"
#include "platform/posix/icu_code_pages.h"
#include "platform/posix/posix_file_system.h"
#include "platform/program.h"
#include "platform/user_interaction.h"

namespace sorrel {
namespace {

void Fail(const char* what) {
  std::fprintf(stderr, "property failed: %s\n", what);
  std::abort();
}

// Cuts out one zero byte, or one zero pair at an even offset, at a time.
std::string ReferenceRemoveNulBytes(std::string bytes, bool utf16) {
  if (utf16) {
    size_t i = 0;
    while (i + 1 < bytes.size()) {
      if (bytes[i] == '\0' && bytes[i + 1] == '\0') {
        bytes.erase(i, 2);
      } else {
        i += 2;
      }
    }
  } else {
    size_t i = 0;
    while ((i = bytes.find('\0', i)) != std::string::npos) bytes.erase(i, 1);
  }
  return bytes;
}

std::string ReferenceLineEnd(LineEndKind kind, uint32_t code_page) {
  std::string ascii;
  if (kind == kLineEndCrLf) ascii = "\r\n";
  if (kind == kLineEndLf) ascii = "\n";
  if (kind == kLineEndCr) ascii = "\r";
  if (!IsUtf16CodePage(code_page)) return ascii;
  std::string units;
  for (char c : ascii) {
    if (IsUtf16BigEndianCodePage(code_page)) units.push_back('\0');
    units.push_back(c);
    if (!IsUtf16BigEndianCodePage(code_page)) units.push_back('\0');
  }
  return units;
}

// The UTF-16 unit at byte offset at.
unsigned ReferenceUnit(const std::string& bytes, size_t at, uint32_t code_page) {
  const auto first = static_cast<unsigned char>(bytes[at]);
  const auto second = static_cast<unsigned char>(bytes[at + 1]);
  return IsUtf16BigEndianCodePage(code_page) ? first << 8 | second : second << 8 | first;
}

// Inserts at p = skip + n while p lies inside, stepping over what went in;
// in UTF-16 with an even n, p moves on by a unit where it would part a
// high surrogate from the low one after it.
std::string ReferenceInsertEveryNBytes(std::string bytes, size_t skip, uint32_t n, LineEndKind kind,
                                       uint32_t code_page) {
  const std::string line_end = ReferenceLineEnd(kind, code_page);
  if (n == 0 || line_end.empty()) return bytes;
  const bool pairs = IsUtf16CodePage(code_page) && n % 2 == 0;
  for (uint64_t p = uint64_t{skip} + n; p < bytes.size(); p += n + line_end.size()) {
    if (pairs && p + 1 < bytes.size()) {
      const unsigned before = ReferenceUnit(bytes, p - 2, code_page);
      const unsigned after = ReferenceUnit(bytes, p, code_page);
      if (before >= 0xD800 && before <= 0xDBFF && after >= 0xDC00 && after <= 0xDFFF) p += 2;
      if (p >= bytes.size()) break;
    }
    bytes.insert(p, line_end);
  }
  return bytes;
}

void CheckByteEdits(std::string bytes, uint32_t code_page, LineEndKind kind, size_t skip,
                    uint32_t n) {
  const bool utf16 = IsUtf16CodePage(code_page);
  std::string expected = ReferenceRemoveNulBytes(bytes, utf16);
  RemoveNulBytes(bytes, utf16);
  if (bytes != expected) Fail("RemoveNulBytes");

  expected = ReferenceInsertEveryNBytes(bytes, skip, n, kind, code_page);
  InsertLineEndEveryNBytes(bytes, skip, n, kind, code_page);
  if (bytes != expected) Fail("InsertLineEndEveryNBytes");
}

platform::IcuCodePageService& Service() {
  static platform::IcuCodePageService service(platform::ProgramFolder());
  return service;
}

platform::CodePageConverter& Converter() {
  static std::unique_ptr<platform::CodePageConverter> converter = [] {
    platform::CreateStatus status;
    auto created = Service().Create(&status);
    if (!created) Fail("the code-page service cannot be created");
    return created;
  }();
  return *converter;
}

// Every page of the list decodes strictly; the Unicode pages give back the
// very bytes they decoded.
void CheckDecoding(std::string_view bytes) {
  platform::CodePageConverter& converter = Converter();
  uint32_t detected = 0;
  converter.Detect(bytes, &detected);
  for (int row = 1; row < kEncodeTableRows; ++row) {
    const uint32_t code_page = EncodeTable[row].code_page;
    if (code_page == 0) continue;
    std::u16string text = u"stale";
    if (!converter.Decode(code_page, bytes, &text)) continue;
    if (text.size() > bytes.size()) Fail("a decode gave more units than bytes");
    if (!IsUtf16CodePage(code_page) && !IsUtf8CodePage(code_page)) continue;
    std::string encoded;
    if (converter.Encode(code_page, text, &encoded, nullptr) != platform::EncodeStatus::Ok) {
      Fail("a decoded Unicode text does not encode again");
    }
    if (encoded != bytes) Fail("a Unicode decode does not give back its bytes");
  }
}

// Answers the odd-cut question and counts how often it was asked.
class AnsweringUser : public platform::UserInteraction {
 public:
  explicit AnsweringUser(platform::Answer answer) : answer_(answer) {}
  platform::Answer MessageBox(std::u16string_view, std::u16string_view, platform::Buttons,
                              platform::Icon) override {
    ++questions;
    return answer_;
  }
  bool IsForeground() override { return true; }
  bool IsAbortKeyDown() override { return false; }
  void ShowResult(std::u16string_view, std::u16string_view, const std::function<void()>&) override {
  }
  int questions = 0;

 private:
  platform::Answer answer_;
};

struct ReadOutcome {
  ReadResult result = ReadResult::Ok;
  uint32_t code_page = 0;
  uint32_t bom = 0;
  std::u16string text;
  int questions = 0;
};

// The read as the rules tell it, on bytes already in memory.
ReadOutcome RuleRead(std::string bytes, short read_index, uint32_t other_page, LineEndKind kind,
                     uint32_t n, platform::Answer answer) {
  ReadOutcome out;
  if (bytes.empty()) {
    out.result = ReadResult::Empty;
    return out;
  }
  size_t mark = 0;
  bool by_detection = false;
  out.code_page = other_page;
  if (bytes.size() % 4 == 0 && (bytes.starts_with(std::string_view("\xFF\xFE\0\0", 4)) ||
                                bytes.starts_with(std::string_view("\0\0\xFE\xFF", 4)))) {
    out.result = ReadResult::Utf32;
    return out;
  }
  if (bytes.starts_with("\xEF\xBB\xBF")) {
    out.code_page = 65001;
    mark = 3;
  } else if (bytes.starts_with("\xFF\xFE")) {
    out.code_page = 1200;
    mark = 2;
  } else if (bytes.starts_with("\xFE\xFF")) {
    out.code_page = 1201;
    mark = 2;
  } else if (read_index >= 1 && read_index <= 8) {
    out.code_page = EncodeTable[read_index].code_page;
  } else if (read_index == 0) {
    by_detection = true;
    uint32_t detected = 0;
    out.code_page = Converter().Detect(bytes, &detected) ? detected : 932;
    if (!IsUtf16CodePage(out.code_page) && bytes.find('\0') != std::string::npos) {
      out.result = ReadResult::Binary;
      return out;
    }
  }
  out.bom = mark > 0 ? 1 : 0;
  const bool utf16 = IsUtf16CodePage(out.code_page);
  bytes = ReferenceRemoveNulBytes(bytes, utf16);
  if (n > 0) {
    if (utf16 && n % 2 == 1) {
      out.questions = 1;
      if (answer == platform::Answer::No) {
        out.result = ReadResult::Aborted;
        return out;
      }
    }
    bytes = ReferenceInsertEveryNBytes(bytes, mark, n, kind, out.code_page);
  }
  const std::string body = bytes.substr(mark);
  if (utf16 && !by_detection) {
    // Unit by unit, lone surrogates too.
    if (body.size() % 2 != 0) {
      out.result = ReadResult::CannotDecode;
    } else {
      for (size_t i = 0; i < body.size(); i += 2) {
        out.text.push_back(static_cast<char16_t>(ReferenceUnit(body, i, out.code_page)));
      }
    }
  } else if (!Converter().Decode(out.code_page, body, &out.text)) {
    out.text.clear();
    out.result = ReadResult::CannotDecode;
  }
  return out;
}

void CheckReadTextFile(const std::string& bytes, short read_index, uint32_t other_page,
                       LineEndKind kind, uint32_t n) {
  const platform::Answer answer =
      bytes.size() % 2 == 1 ? platform::Answer::No : platform::Answer::Yes;
  const std::string path = fuzz::WriteScratchFile("input.txt", bytes);
  platform::PosixFileSystem fs;
  AnsweringUser user(answer);
  JobContext ctx;
  ctx.fs = &fs;
  ctx.code_pages = &Service();
  ctx.ui = &user;
  ReadOutcome got;
  got.code_page = other_page;
  got.bom = 7;
  got.text = u"stale";
  platform::FileSnapshot snapshot;
  got.result =
      ReadTextFile(ctx, path, got.text, read_index, got.code_page, got.bom, kind, n, &snapshot);
  got.questions = user.questions;

  const ReadOutcome expected = RuleRead(bytes, read_index, other_page, kind, n, answer);
  if (got.result != expected.result) Fail("ReadTextFile gives another status");
  if (got.questions != expected.questions) Fail("ReadTextFile asks otherwise");
  if (expected.result == ReadResult::Empty) return;
  if (got.code_page != expected.code_page || got.bom != expected.bom) {
    Fail("ReadTextFile settles another code page or mark");
  }
  if (expected.result == ReadResult::Ok && got.text != expected.text) {
    Fail("ReadTextFile decodes another text");
  }
}

}  // namespace
}  // namespace sorrel

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace sorrel;
  if (size < 2) return 0;
  const uint8_t options = data[0];
  const uint32_t n = data[1] == 0xFF ? 0x80000000u : data[1];
  const std::string bytes(reinterpret_cast<const char*>(data) + 2, size - 2);

  const bool utf16 = options & 1;
  const bool second = options & 2;
  const uint32_t code_page = utf16 ? (second ? 1201 : 1200) : (second ? 65001 : 932);
  const int kind_bits = (options >> 2) & 3;
  const LineEndKind kind = kind_bits == 3 ? LineEndKind{7} : LineEndKind(kind_bits);
  constexpr size_t kSkips[] = {0, 2, 3, 5};
  const size_t skip = kSkips[(options >> 4) & 3];

  const int index_choice = options >> 6;
  short read_index = 0;
  if (index_choice == 1) read_index = kOtherIndex;
  if (index_choice == 2) read_index = utf16 ? (second ? 3 : 2) : (second ? 4 : 1);
  if (index_choice == 3) read_index = static_cast<short>(data[1] % 8 + 1);

  CheckByteEdits(bytes, code_page, kind, skip, n);
  CheckDecoding(bytes);
  CheckReadTextFile(bytes, read_index, code_page, kind, n);
  return 0;
}
