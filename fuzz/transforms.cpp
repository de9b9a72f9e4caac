// Each text transform, and the pipeline (a) to (g) in its order, against the
// rules written out step by step: one erase or insert per hit, the scan
// moving on as the rule says.
//
// Input: byte 0 switches the steps (bit k: step a + k; f is cleared when e
// is on, as the job does); byte 1 holds the kind of (a) in bits 0-1 and of
// (g) in bits 2-3 (3: a kind outside the list); byte 2 is the tab width;
// byte 3 is n of (g); the rest is the text (see fuzz_units.h).
#include <algorithm>
#include <bitset>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "engine/text_buffer.h"
#include "engine/transforms.h"
#include "fuzz/fuzz_units.h"
#include "platform/posix/icu_code_pages.h"
#include "platform/program.h"

namespace sorrel {
namespace {

constexpr char16_t kCr = u'\r';
constexpr char16_t kLf = u'\n';
constexpr char16_t kTab = u'\t';
constexpr char16_t kSpace = u' ';

[[noreturn]] void Fail(const char* step) {
  std::fprintf(stderr, "property failed: %s differs from its rule\n", step);
  std::abort();
}

bool IsInvalidControl(char16_t c) {
  return c < 0x20 && c != kTab && c != kLf && c != kCr && c != 0x1A;
}

std::u16string LineEndOf(LineEndKind kind) {
  if (kind == kLineEndCrLf) return u"\r\n";
  if (kind == kLineEndLf) return u"\n";
  if (kind == kLineEndCr) return u"\r";
  return u"";
}

bool RuleUnifyLineEnds(std::u16string& t, LineEndKind kind) {
  bool changed = false;
  size_t i = 0;
  while (i < t.size()) {
    const char16_t c = t[i];
    const bool next_is_lf = i + 1 < t.size() && t[i + 1] == kLf;
    if (kind == kLineEndCrLf) {
      if (c == kLf && (i == 0 || t[i - 1] != kCr)) {
        t.insert(i, 1, kCr);
        changed = true;
        i += 2;
        continue;
      }
      if (c == kCr && !next_is_lf) {
        t.insert(i + 1, 1, kLf);
        changed = true;
        i += 2;
        continue;
      }
    } else if (kind == kLineEndLf) {
      if (c == kCr) {
        changed = true;
        if (next_is_lf) {
          t.erase(i, 1);
        } else {
          t[i] = kLf;
        }
      }
    } else if (kind == kLineEndCr) {
      if (c == kCr && next_is_lf) {
        t.erase(i + 1, 1);
        changed = true;
      } else if (c == kLf) {
        t[i] = kCr;
        changed = true;
      }
    }
    ++i;
  }
  return changed;
}

bool RuleSplitFullWidthSpaces(std::u16string& t) {
  bool changed = false;
  for (size_t i = 0; i < t.size(); ++i) {
    if (t[i] != u'\u3000') continue;
    t[i] = kSpace;
    t.insert(i + 1, 1, kSpace);
    ++i;
    changed = true;
  }
  return changed;
}

bool RuleDeleteTrailingWhiteSpace(std::u16string& t) {
  bool changed = false;
  size_t i = 0;
  while (i < t.size()) {
    if (t[i] != kSpace && t[i] != kTab) {
      ++i;
      continue;
    }
    size_t end = i;
    while (end < t.size() && (t[end] == kSpace || t[end] == kTab)) ++end;
    if (end == t.size()) {
      t.resize(i);
      return true;
    }
    if (t[end] == kCr || t[end] == kLf) {
      t.erase(i, end - i);
      changed = true;
    } else {
      i = end;
    }
  }
  return changed;
}

bool RuleExpandTabs(std::u16string& t, uint32_t width, const std::bitset<65536>& double_byte) {
  if (width == 0) return false;
  bool changed = false;
  uint64_t col = 0;
  for (size_t i = 0; i < t.size(); ++i) {
    const char16_t c = t[i];
    if (c == kTab) {
      t[i] = kSpace;
      t.insert(i + 1, width - col % width - 1, kSpace);
      col += 1;
      changed = true;
    } else if (c == kCr || c == kLf) {
      col = 0;
    } else {
      col += double_byte[c] ? 2 : 1;
    }
  }
  return changed;
}

bool RuleDeleteControlCodes(std::u16string& t) {
  bool changed = false;
  for (size_t i = 0; i < t.size(); ++i) {
    while (i < t.size() && IsInvalidControl(t[i])) {
      t.erase(i, 1);
      changed = true;
    }
  }
  return changed;
}

bool RuleControlCodesToSpaces(std::u16string& t) {
  bool changed = false;
  for (char16_t& c : t) {
    if (IsInvalidControl(c)) {
      c = kSpace;
      changed = true;
    }
  }
  return changed;
}

// Through the characters, a surrogate pair as one, a line end before every
// (n+1)-th; a kind outside the list inserts nothing but the step still counts.
bool RuleInsertEveryNChars(std::u16string& t, uint32_t n, LineEndKind kind) {
  if (n == 0) return false;
  const std::u16string line_end = LineEndOf(kind);
  bool cut = false;
  size_t count = 0;
  for (size_t i = 0; i < t.size(); ++count) {
    if (count == n) {
      cut = true;
      count = 0;
      t.insert(i, line_end);
      i += line_end.size();
    }
    const bool pair = t[i] >= 0xD800 && t[i] <= 0xDBFF && i + 1 < t.size() && t[i + 1] >= 0xDC00 &&
                      t[i + 1] <= 0xDFFF;
    i += pair ? 2 : 1;
  }
  return cut;
}

const std::bitset<65536>& DoubleByteUnits() {
  static platform::IcuCodePageService service(platform::ProgramFolder());
  const std::bitset<65536>& units = service.DoubleByteUnits932();
  if (units.none()) {
    std::fprintf(stderr, "the 932 converter data is missing beside the program\n");
    std::abort();
  }
  return units;
}

// Runs one step on the text and on the reference copy; both must agree in
// the text and in what the step reports.
template <typename Step, typename Rule>
void CheckStep(const char* name, TextBuffer& text, std::u16string& expected, Step step, Rule rule) {
  const bool changed = step(text);
  const bool expected_changed = rule(expected);
  if (text != expected || changed != expected_changed) Fail(name);
}

}  // namespace
}  // namespace sorrel

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace sorrel;
  if (size < 4) return 0;
  // The rules move the tail at every hit; longer texts only slow them down.
  size = std::min<size_t>(size, 4 + 2048);
  const uint8_t steps = data[0];
  const auto kind_of = [](int bits) { return bits == 3 ? LineEndKind{5} : LineEndKind(bits); };
  const LineEndKind unify_kind = kind_of(data[1] & 3);
  const LineEndKind insert_kind = kind_of((data[1] >> 2) & 3);
  const uint32_t tab_width = data[2];
  const uint32_t every_n = data[3];
  TextBuffer text =
      fuzz::UnitsFromBytes(std::string_view(reinterpret_cast<const char*>(data) + 4, size - 4));
  std::u16string expected = text;
  const std::bitset<65536>& double_byte = DoubleByteUnits();

  if (steps & 0x01) {
    CheckStep(
        "UnifyLineEnds", text, expected,
        [&](TextBuffer& t) { return UnifyLineEnds(t, unify_kind); },
        [&](std::u16string& t) { return RuleUnifyLineEnds(t, unify_kind); });
  }
  if (steps & 0x02) {
    CheckStep("SplitFullWidthSpaces", text, expected, SplitFullWidthSpaces,
              RuleSplitFullWidthSpaces);
  }
  if (steps & 0x04) {
    CheckStep("DeleteTrailingWhiteSpace", text, expected, DeleteTrailingWhiteSpace,
              RuleDeleteTrailingWhiteSpace);
  }
  if (steps & 0x08) {
    CheckStep(
        "ExpandTabs", text, expected,
        [&](TextBuffer& t) { return ExpandTabs(t, tab_width, double_byte); },
        [&](std::u16string& t) { return RuleExpandTabs(t, tab_width, double_byte); });
  }
  const bool delete_controls = steps & 0x10;
  if (delete_controls) {
    CheckStep("DeleteControlCodes", text, expected, DeleteControlCodes, RuleDeleteControlCodes);
  }
  if ((steps & 0x20) && !delete_controls) {
    CheckStep("ControlCodesToSpaces", text, expected, ControlCodesToSpaces,
              RuleControlCodesToSpaces);
  }
  if (steps & 0x40) {
    CheckStep(
        "InsertLineEndEveryNChars", text, expected,
        [&](TextBuffer& t) { return InsertLineEndEveryNChars(t, every_n, insert_kind); },
        [&](std::u16string& t) { return RuleInsertEveryNChars(t, every_n, insert_kind); });
  }
  return 0;
}
