// The text transforms. Each one gives exactly the text of the per-hit edit the
// rule describes, but in one or two linear passes: insertions are counted and
// filled from the back, erasures are compacted behind a write cursor, and tab
// expansion, whose output depends on the columns before it, is built by
// appending.
#include "engine/transforms.h"

#include <algorithm>
#include <string_view>

namespace sorrel {
namespace {

constexpr char16_t kCr = u'\r';
constexpr char16_t kLf = u'\n';
constexpr char16_t kTab = u'\t';
constexpr char16_t kSpace = u' ';
constexpr char16_t kFullWidthSpace = u'\u3000';

bool IsLineEndUnit(char16_t c) {
  return c == kCr || c == kLf;
}

bool IsInvalidControlCode(char16_t c) {
  return c < 0x20 && c != kTab && c != kLf && c != kCr && c != 0x1A;
}

// The units of a line end of kind; empty for a kind that is none of the three.
std::u16string_view LineEnd(LineEndKind kind) {
  switch (kind) {
    case kLineEndCrLf:
      return u"\r\n";
    case kLineEndLf:
      return u"\n";
    case kLineEndCr:
      return u"\r";
    default:
      return {};
  }
}

// A CR without an LF after it, or an LF without a CR before it, at index i of
// the first size units of text.
bool IsLoneLineEnd(const TextBuffer& text, size_t i, size_t size) {
  return (text[i] == kLf && (i == 0 || text[i - 1] != kCr)) ||
         (text[i] == kCr && (i + 1 == size || text[i + 1] != kLf));
}

bool UnifyToCrLf(TextBuffer& text) {
  const size_t old_size = text.size();
  size_t missing = 0;
  for (size_t i = 0; i < old_size; ++i) {
    if (IsLoneLineEnd(text, i, old_size)) ++missing;
  }
  if (missing == 0) return false;
  CheckTextLength(old_size + missing);
  text.resize(old_size + missing);
  // Writes stay at or above write, which stays above the units still to be
  // looked at, read + 1 included; once they meet, the rest is in place.
  size_t read = old_size;
  size_t write = text.size();
  while (write > read) {
    --read;
    if (IsLoneLineEnd(text, read, old_size)) {
      text[--write] = kLf;
      text[--write] = kCr;
    } else {
      text[--write] = text[read];
    }
  }
  return true;
}

bool UnifyToLf(TextBuffer& text) {
  bool changed = false;
  size_t write = 0;
  for (size_t read = 0; read < text.size(); ++read) {
    const char16_t c = text[read];
    if (c != kCr) {
      text[write++] = c;
      continue;
    }
    changed = true;
    const bool pair = read + 1 < text.size() && text[read + 1] == kLf;
    if (!pair) text[write++] = kLf;
  }
  text.resize(write);
  return changed;
}

bool UnifyToCr(TextBuffer& text) {
  bool changed = false;
  size_t write = 0;
  for (size_t read = 0; read < text.size(); ++read) {
    const char16_t c = text[read];
    if (c == kCr && read + 1 < text.size() && text[read + 1] == kLf) {
      ++read;
      changed = true;
    } else if (c == kLf) {
      changed = true;
    }
    text[write++] = c == kLf ? kCr : c;
  }
  text.resize(write);
  return changed;
}

// Calls on_tab(index, spaces) for every TAB of text in order, spaces being
// the count of SPACE units that reach the next tab stop. Columns are 64-bit so
// that no width and no text length can wrap them.
template <typename OnTab>
void VisitTabs(const TextBuffer& text, uint32_t width, const std::bitset<65536>& double_byte,
               OnTab on_tab) {
  uint64_t column = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    const char16_t c = text[i];
    if (c == kTab) {
      const uint64_t spaces = width - column % width;
      on_tab(i, spaces);
      column += spaces;
    } else if (IsLineEndUnit(c)) {
      column = 0;
    } else {
      column += double_byte[c] ? 2 : 1;
    }
  }
}

bool IsHighSurrogate(char16_t unit) {
  return unit >= 0xD800 && unit <= 0xDBFF;
}

bool IsLowSurrogate(char16_t unit) {
  return unit >= 0xDC00 && unit <= 0xDFFF;
}

// The units of the character at text[i]: 2 for a surrogate pair, else 1.
size_t CharacterUnits(const TextBuffer& text, size_t i) {
  return IsHighSurrogate(text[i]) && i + 1 < text.size() && IsLowSurrogate(text[i + 1]) ? 2 : 1;
}

// InsertLineEndEveryNChars for a text with surrogate pairs in it: the
// pieces differ in units, so the text is built anew.
bool InsertLineEndAroundPairs(TextBuffer& text, uint32_t n, std::u16string_view line_end) {
  CheckTextLength(text.size() + (text.size() - 1) / n * line_end.size());
  TextBuffer out;
  out.reserve(text.size() + (text.size() - 1) / n * line_end.size());
  size_t characters = 0;
  bool cut = false;
  for (size_t i = 0; i < text.size();) {
    if (characters == n) {
      out.append(line_end);
      characters = 0;
      cut = true;
    }
    const size_t units = CharacterUnits(text, i);
    out.append(text, i, units);
    i += units;
    ++characters;
  }
  if (!line_end.empty()) text.swap(out);
  return cut;
}

}  // namespace

bool UnifyLineEnds(TextBuffer& text, LineEndKind kind) {
  switch (kind) {
    case kLineEndCrLf:
      return UnifyToCrLf(text);
    case kLineEndLf:
      return UnifyToLf(text);
    case kLineEndCr:
      return UnifyToCr(text);
    default:
      return false;
  }
}

bool SplitFullWidthSpaces(TextBuffer& text) {
  const size_t old_size = text.size();
  const size_t count = std::count(text.begin(), text.end(), kFullWidthSpace);
  if (count == 0) return false;
  CheckTextLength(old_size + count);
  text.resize(old_size + count);
  size_t read = old_size;
  size_t write = text.size();
  while (write > read) {
    const char16_t c = text[--read];
    if (c == kFullWidthSpace) {
      text[--write] = kSpace;
      text[--write] = kSpace;
    } else {
      text[--write] = c;
    }
  }
  return true;
}

bool DeleteTrailingWhiteSpace(TextBuffer& text) {
  // White space is copied as it comes and dropped again, by moving the write
  // cursor back to where its run began, once a line end or the end follows.
  const size_t old_size = text.size();
  size_t write = 0;
  size_t run_start = 0;
  bool in_run = false;
  for (size_t read = 0; read < old_size; ++read) {
    const char16_t c = text[read];
    if (c == kSpace || c == kTab) {
      if (!in_run) run_start = write;
      in_run = true;
    } else {
      if (in_run && IsLineEndUnit(c)) write = run_start;
      in_run = false;
    }
    text[write++] = c;
  }
  if (in_run) write = run_start;
  text.resize(write);
  return write != old_size;
}

bool ExpandTabs(TextBuffer& text, uint32_t width, const std::bitset<65536>& double_byte) {
  // A width of 0 has no tab stops; it never comes from the settings.
  if (width == 0) return false;
  // At most 2^31 tabs of fewer than 2^32 extra units each: no wrap in 64 bits.
  uint64_t extra = 0;
  bool any_tab = false;
  VisitTabs(text, width, double_byte, [&](size_t, uint64_t spaces) {
    extra += spaces - 1;
    any_tab = true;
  });
  if (!any_tab) return false;
  CheckTextLength(text.size() + extra);
  TextBuffer expanded;
  expanded.reserve(text.size() + extra);
  size_t copied = 0;
  VisitTabs(text, width, double_byte, [&](size_t index, uint64_t spaces) {
    expanded.append(text, copied, index - copied);
    expanded.append(spaces, kSpace);
    copied = index + 1;
  });
  expanded.append(text, copied);
  text.swap(expanded);
  return true;
}

bool DeleteControlCodes(TextBuffer& text) {
  return std::erase_if(text, IsInvalidControlCode) > 0;
}

bool ControlCodesToSpaces(TextBuffer& text) {
  bool changed = false;
  for (char16_t& c : text) {
    if (IsInvalidControlCode(c)) {
      c = kSpace;
      changed = true;
    }
  }
  return changed;
}

bool InsertLineEndEveryNChars(TextBuffer& text, uint32_t n, LineEndKind kind) {
  // n = 0 means the step is off; taken literally it would insert for ever.
  if (n == 0 || text.size() <= n) return false;
  const std::u16string_view line_end = LineEnd(kind);
  // A pair counts as one character and is never cut in two.
  if (std::any_of(text.begin(), text.end(), IsLowSurrogate)) {
    return InsertLineEndAroundPairs(text, n, line_end);
  }
  if (line_end.empty()) return true;
  const size_t old_size = text.size();
  const size_t cuts = (old_size - 1) / n;
  CheckTextLength(old_size + cuts * line_end.size());
  text.resize(old_size + cuts * line_end.size());
  // Piece k of n units moves from k * n to k * (n + len), the last first so
  // that no piece is overwritten before it has moved; piece 0 stays.
  const size_t stride = n + line_end.size();
  for (size_t k = cuts; k > 0; --k) {
    const size_t from = k * n;
    const size_t length = std::min<size_t>(n, old_size - from);
    const size_t to = k * stride;
    std::copy_backward(text.begin() + from, text.begin() + from + length,
                       text.begin() + to + length);
    std::copy(line_end.begin(), line_end.end(), text.begin() + to - line_end.size());
  }
  return true;
}

}  // namespace sorrel
