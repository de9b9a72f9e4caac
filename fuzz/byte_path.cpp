// The steps on bytes against the steps on the text: the same file, with the
// same options, is processed once as the program does it and once with
// every page's tables withheld, which sends it through decoding, the text's
// steps and encoding. The file's bytes afterwards, the report lines, the
// counts and the answer must be the same.
//
// Input: byte 0 chooses the read page (bits 0-2: UTF-8, Shift-JIS, EUC-JP,
// windows-1252, GBK, ISO-8859-1, detection, UTF-8 with a mark), the write
// page (bits 3-4: the same, UTF-8, Shift-JIS, EUC-JP) and whether the rest is
// the file's raw bytes (bit 7) or a text (see fuzz_units.h) encoded in the
// read page; byte 1 switches the steps (bit k: step a + k, bit 7: a line end
// every n bytes); byte 2 holds the kind of (a) in bits 0-1 (3: a kind
// outside the list) and of the inserted line ends in bits 2-3, and the tab
// width in bits 4-7; byte 3 is n of (g), byte 4 the n of the byte cut;
// byte 5 chooses a regular-expression replacement (0: none).
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <memory>
#include <sstream>
#include <string>

#include "engine/conversion_options.h"
#include "engine/encode_table.h"
#include "engine/job_context.h"
#include "engine/process_file.h"
#include "engine/replacement.h"
#include "fuzz/fuzz_units.h"
#include "platform/posix/iconv_conversion.h"
#include "platform/posix/icu_code_pages.h"
#include "platform/posix/posix_file_system.h"
#include "platform/program.h"
#include "platform/user_interaction.h"

namespace sorrel {
namespace {

[[noreturn]] void Fail(const char* what) {
  std::fprintf(stderr, "property failed: %s\n", what);
  std::abort();
}

platform::IcuCodePageService& Service() {
  static platform::IcuCodePageService service(platform::ProgramFolder());
  return service;
}

// The real service without any page's tables: everything is decoded.
class TextOnlyService : public platform::CodePageService {
 public:
  std::unique_ptr<platform::CodePageConverter> Create(platform::CreateStatus* status) override {
    return Service().Create(status);
  }
  const std::bitset<65536>& DoubleByteUnits932() override { return Service().DoubleByteUnits932(); }
  const platform::BytePage* BytePageFor(uint32_t) override { return nullptr; }
};

// Never aborts, answers every question Yes, shows nothing.
class QuietUser : public platform::UserInteraction {
 public:
  platform::Answer MessageBox(std::u16string_view, std::u16string_view, platform::Buttons,
                              platform::Icon) override {
    return platform::Answer::Yes;
  }
  bool IsForeground() override { return true; }
  bool IsAbortKeyDown() override { return false; }
  void ShowResult(std::u16string_view, std::u16string_view, const std::function<void()>&) override {
  }
};

std::string ReadFile(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  std::ostringstream content;
  content << file.rdbuf();
  return content.str();
}

struct Outcome {
  bool go_on = false;
  std::string bytes;
  std::u16string log;
  uint32_t targets = 0;
  uint32_t replaced = 0;
};

Outcome Run(platform::CodePageService& code_pages, const std::string& bytes,
            const ConversionOptions& options) {
  const std::string path = fuzz::WriteScratchFile("f.txt", bytes);
  platform::PosixFileSystem fs;
  platform::IconvSystemConversion system_conversion;
  QuietUser user;
  JobContext ctx;
  ctx.fs = &fs;
  ctx.code_pages = &code_pages;
  ctx.system_conversion = &system_conversion;
  ctx.ui = &user;
  ctx.language = UiLanguage::English;
  Outcome outcome;
  outcome.go_on = ProcessFile(ctx, path, options);
  outcome.bytes = ReadFile(path);
  outcome.log = ctx.MessageLog;
  outcome.targets = ctx.TargetCount;
  outcome.replaced = ctx.ReplacedCount;
  return outcome;
}

constexpr uint32_t kReadPages[] = {65001, 932, 51932, 1252, 936, 28591, 0, 65001};
constexpr short kWriteIndexes[] = {0, 4, 1, 6};

// Expressions that match ASCII only (with and without anchors) and some
// that do not, with replacements plain and not.
struct Expression {
  const char16_t* search;
  const char16_t* replace;
};
constexpr Expression kExpressions[] = {{u"([0-9]+)-([0-9]+)", u"$2-$1"},
                                       {u"^([a-z]+)", u"<$1>"},
                                       {u"[ \t]+$", u""},
                                       {u"(a|bc)+", u"\u3042$&"},
                                       {u"a.", u"$&$&"},
                                       {u"\\w+", u"x"},
                                       {u"[0-9]", u"\\n"},
                                       {u"(x)|(y)", u"$2${1}$9"},
                                       {u"\r\n", u"\n"},
                                       {u"[^a]", u"b"}};

}  // namespace
}  // namespace sorrel

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace sorrel;
  if (size < 6) return 0;
  size = std::min<size_t>(size, 6 + 4096);
  const uint8_t pages = data[0];
  const uint8_t steps = data[1];
  const uint8_t kinds = data[2];
  const std::string_view rest(reinterpret_cast<const char*>(data) + 6, size - 6);

  ConversionOptions options;
  const uint32_t read_page = kReadPages[pages & 7];
  if (read_page == 0) {
    options.CharEncode = kAutomaticIndex;
  } else {
    options.CharEncode = kOtherIndex;
    options.CharEncodeOther = read_page;
  }
  options.WriteEncode = kWriteIndexes[(pages >> 3) & 3];
  const auto kind_of = [](int bits) { return bits == 3 ? LineEndKind{5} : LineEndKind(bits); };
  options.UnifyLineEndKind = (steps & 0x01) ? kind_of(kinds & 3) : LineEndKind{-1};
  options.InsertLineEndKind = kind_of((kinds >> 2) & 3);
  options.ZenSp2SpSp = steps & 0x02;
  options.DelRightWhiteSpace = steps & 0x04;
  options.Tab2Space = steps & 0x08;
  options.Tab2SpaceClm = kinds >> 4;
  options.DelControlCode = steps & 0x10;
  options.ControlCode2Space = (steps & 0x20) && !options.DelControlCode;
  options.InsLfChar = (steps & 0x40) ? data[3] : 0;
  options.InsLfByte = (steps & 0x80) ? data[4] : 0;
  if (data[5] != 0) {
    const Expression& e = kExpressions[data[5] % std::size(kExpressions)];
    options.ReplaceString = true;
    JobContext quiet;
    if (!PrepareReplacement(quiet, e.search, e.replace, true, false, data[5] & 0x80, false,
                            &options.Replacement)) {
      Fail("an expression of the list is refused");
    }
  }

  std::string bytes;
  if (pages & 0x80) {
    bytes.assign(rest);
  } else {
    platform::CreateStatus status;
    auto converter = Service().Create(&status);
    if (!converter) Fail("the code-page service cannot be created");
    const uint32_t page = read_page == 0 ? 65001 : read_page;
    converter->Encode(page, fuzz::UnitsFromBytes(rest), &bytes, nullptr);
    if ((pages & 7) == 7) bytes.insert(0, "\xEF\xBB\xBF");
  }

  TextOnlyService text_only;
  const Outcome on_text = Run(text_only, bytes, options);
  const Outcome as_run = Run(Service(), bytes, options);
  if (as_run.go_on != on_text.go_on) Fail("the answer differs");
  if (as_run.bytes != on_text.bytes) Fail("the file's bytes differ");
  if (as_run.log != on_text.log) Fail("the report lines differ");
  if (as_run.targets != on_text.targets || as_run.replaced != on_text.replaced) {
    Fail("the counts differ");
  }
  return 0;
}
