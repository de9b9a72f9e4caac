// String replacement in both modes. Literal: the result of the step-by-step
// rule, found on a folded copy when case is ignored. Regular expression: the
// library may refuse a pattern or a match, but a refusal is shown exactly
// once, a failed match leaves the text alone, the change flag tells the
// truth, and a pattern of plain letters and digits replaces as the literal
// mode does.
//
// Input: byte 0 holds the flags (bit 0 regular expression, 1 ignore case,
// 2 single line, 3 dot not matching line ends); then the search text, the
// replacement and the text, separated by FF bytes (see fuzz_units.h).
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>
#include <string>

#include "engine/job_context.h"
#include "engine/replacement.h"
#include "fuzz/fuzz_units.h"
#include "platform/user_interaction.h"

namespace sorrel {
namespace {

[[noreturn]] void Fail(const char* what) {
  std::fprintf(stderr, "property failed: %s\n", what);
  std::abort();
}

// Counts the error boxes of PrepareReplacement; nothing else is asked.
class CountingUser : public platform::UserInteraction {
 public:
  platform::Answer MessageBox(std::u16string_view, std::u16string_view, platform::Buttons,
                              platform::Icon) override {
    ++boxes;
    return platform::Answer::Ok;
  }
  bool IsForeground() override { return true; }
  bool IsAbortKeyDown() override { return false; }
  void ShowResult(std::u16string_view, std::u16string_view, const std::function<void()>&) override {
  }
  int boxes = 0;
};

std::u16string FoldAscii(std::u16string text) {
  for (char16_t& c : text) {
    if (c >= u'A' && c <= u'Z') c += u'a' - u'A';
  }
  return text;
}

std::u16string RuleReplaceLiteral(std::u16string text, const std::u16string& pattern,
                                  const std::u16string& replacement, bool ignore_case) {
  if (pattern.empty()) return text;
  std::u16string folded = ignore_case ? FoldAscii(text) : text;
  const std::u16string folded_pattern = ignore_case ? FoldAscii(pattern) : pattern;
  size_t pos = 0;
  while ((pos = folded.find(folded_pattern, pos)) != std::u16string::npos) {
    text.replace(pos, pattern.size(), replacement);
    folded.replace(pos, pattern.size(), replacement);
    pos += replacement.size();
  }
  return text;
}

bool IsPlainWord(const std::u16string& pattern) {
  if (pattern.empty()) return false;
  for (char16_t c : pattern) {
    const bool letter = (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
    if (!letter && !(c >= u'0' && c <= u'9')) return false;
  }
  return true;
}

// No dollar and no backslash: the default format syntax copies it as it is.
bool IsPlainReplacement(const std::u16string& replacement) {
  return replacement.find_first_of(u"$\\") == std::u16string::npos;
}

void CheckLiteral(const PreparedReplacement& prepared, const std::u16string& text) {
  const std::u16string expected = RuleReplaceLiteral(text, prepared.literal_pattern,
                                                     prepared.replacement, prepared.ignore_case);
  TextBuffer buffer = text;
  const bool changed = ApplyReplacement(buffer, prepared);
  if (buffer != expected) Fail("literal replacement differs from its rule");
  if (changed != (expected != text)) Fail("literal replacement misreports the change");
}

void CheckExpression(const PreparedReplacement& prepared, const std::u16string& search,
                     const std::u16string& text) {
  TextBuffer buffer = text;
  bool changed = false;
  try {
    changed = ApplyReplacement(buffer, prepared);
  } catch (const std::runtime_error&) {
    // Too complex a match is the library's to refuse; the text must survive.
    if (buffer != text) Fail("a refused match changed the text");
    return;
  }
  if (changed != (buffer != text)) Fail("expression replacement misreports the change");
  if (!prepared.ignore_case && IsPlainWord(search) && IsPlainReplacement(prepared.replacement)) {
    if (buffer != RuleReplaceLiteral(text, search, prepared.replacement, false)) {
      Fail("a plain-word expression replaces unlike the literal rule");
    }
  }
}

}  // namespace
}  // namespace sorrel

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace sorrel;
  if (size < 1) return 0;
  const uint8_t flags = data[0];
  const auto fields =
      fuzz::SplitFields(std::string_view(reinterpret_cast<const char*>(data) + 1, size - 1));
  const std::u16string search = fuzz::UnitsFromBytes(fuzz::Field(fields, 0));
  const std::u16string replace = fuzz::UnitsFromBytes(fuzz::Field(fields, 1));
  const std::u16string text = fuzz::UnitsFromBytes(fuzz::Field(fields, 2));
  const bool use_regex = flags & 1;
  // Backtracking can take long before the library gives up; keep it bounded.
  if (use_regex && (search.size() > 64 || replace.size() > 64 || text.size() > 1024)) return 0;

  CountingUser user;
  JobContext ctx;
  ctx.ui = &user;
  ctx.language = UiLanguage::English;
  PreparedReplacement prepared;
  const bool ready = PrepareReplacement(ctx, search, replace, use_regex, flags & 2, flags & 4,
                                        flags & 8, &prepared);
  if (user.boxes != (ready ? 0 : 1)) Fail("a preparation shows other than one box per failure");
  if (!ready) {
    if (!use_regex) Fail("a literal search failed to prepare");
    return 0;
  }
  if (use_regex) {
    CheckExpression(prepared, search, text);
  } else {
    if (prepared.literal_pattern != search || prepared.replacement != replace) {
      Fail("the prepared texts differ from the given ones");
    }
    CheckLiteral(prepared, text);
  }
  return 0;
}
