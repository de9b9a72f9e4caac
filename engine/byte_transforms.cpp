// The transforms on bytes. Line ends, blanks, tabs and control codes are
// single bytes below 0x21 that are never part of another character, so the
// steps search for them a word at a time (or with memchr) and move the runs
// between them whole; only tab columns, full-width spaces and character
// counts need the characters themselves, read by the page's tables.
#include "engine/byte_transforms.h"

#include <algorithm>
#include <cstring>
#include <string_view>
#include <vector>

#include "base/utf.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace sorrel {
namespace {

using platform::BytePage;

constexpr char kCr = '\r';
constexpr char kLf = '\n';
constexpr char kTab = '\t';
constexpr char kSpace = ' ';
constexpr char16_t kFullWidthSpace = 0x3000;

bool IsInvalidControlByte(char c) {
  const auto b = static_cast<unsigned char>(c);
  return b < 0x20 && c != kTab && c != kLf && c != kCr && b != 0x1A;
}

// The first index at or after from whose byte is below limit (at most
// 0x80), or the size: eight bytes at a time while none of them is.
size_t FindBelow(const std::string& bytes, size_t from, unsigned limit) {
  const char* p = bytes.data() + from;
  const char* const end = bytes.data() + bytes.size();
  const uint64_t ones = 0x0101010101010101u;
  while (end - p >= 8) {
    uint64_t word;
    std::memcpy(&word, p, sizeof word);
    if (((word - ones * limit) & ~word & (ones * 0x80)) != 0) break;
    p += 8;
  }
  while (p < end && static_cast<unsigned char>(*p) >= limit) ++p;
  return static_cast<size_t>(p - bytes.data());
}

// The first index at or after from that holds c, or the size.
size_t Find(const std::string& bytes, size_t from, char c) {
  const void* found = std::memchr(bytes.data() + from, c, bytes.size() - from);
  return found == nullptr ? bytes.size()
                          : static_cast<size_t>(static_cast<const char*>(found) - bytes.data());
}

// Moves bytes[from, to) down to write (write <= from) and returns the new
// write position.
size_t MoveDown(std::string& bytes, size_t write, size_t from, size_t to) {
  if (write != from) std::memmove(bytes.data() + write, bytes.data() + from, to - from);
  return write + (to - from);
}

// Moves the bytes from *read up to the next c down to *write, and leaves
// *read at that c (or the end) and *write behind the moved bytes. Once the
// bytes have moved down by 16 or more, they go 16 at a time: a whole block
// is stored even where it holds c, since what lies behind c in it is
// written over later and the store reaches no byte not yet read.
void MoveRunUntil(std::string& bytes, size_t* read, size_t* write, char c) {
#if defined(__SSE2__)
  if (*read - *write >= 16) {
    // Locals, which the stores through data cannot be taken to change.
    char* const data = bytes.data();
    const char* from = data + *read;
    char* to = data + *write;
    const char* const last = data + bytes.size() - 16;
    const __m128i wanted = _mm_set1_epi8(c);
    while (from <= last) {
      const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(from));
      _mm_storeu_si128(reinterpret_cast<__m128i*>(to), block);
      const int found = _mm_movemask_epi8(_mm_cmpeq_epi8(block, wanted));
      if (found != 0) {
        const int at = __builtin_ctz(static_cast<unsigned>(found));
        *read = static_cast<size_t>(from - data) + at;
        *write = static_cast<size_t>(to - data) + at;
        return;
      }
      from += 16;
      to += 16;
    }
    *read = static_cast<size_t>(from - data);
    *write = static_cast<size_t>(to - data);
  }
#endif
  const size_t next = Find(bytes, *read, c);
  *write = MoveDown(bytes, *write, *read, next);
  *read = next;
}

std::string_view LineEnd(LineEndKind kind) {
  switch (kind) {
    case kLineEndCrLf:
      return "\r\n";
    case kLineEndLf:
      return "\n";
    case kLineEndCr:
      return "\r";
    default:
      return {};
  }
}

// The length of the character that starts with byte b in page.
size_t CharLength(const BytePage& page, unsigned char b) {
  if (!page.utf8) return page.length[b];
  return b < 0x80 ? 1 : b < 0xE0 ? 2 : b < 0xF0 ? 3 : 4;
}

// The code point of the valid character of length len at p.
char32_t CodePoint(const BytePage& page, const unsigned char* p, size_t len) {
  if (!page.utf8) return BytePage::Unit(page.Entry(p, len));
  char32_t cp = 0;
  Utf8Sequence({reinterpret_cast<const char*>(p), len}, &cp);
  return cp;
}

// The units of bytes as a text, where that may be beyond kMaxTextUnits.
size_t UnitCount(const std::string& bytes, const BytePage& page) {
  size_t units = 0;
  for (size_t i = 0; i < bytes.size();) {
    const auto b = static_cast<unsigned char>(bytes[i]);
    const size_t len = CharLength(page, b);
    units += len == 4 ? 2 : 1;
    i += len;
  }
  return units;
}

// Throws std::bad_alloc as the step on the text would, growing its text by
// growth units. The text has no more units than the bytes have bytes.
void CheckGrowth(const std::string& bytes, const BytePage& page, size_t growth) {
  if (bytes.size() + growth <= kMaxTextUnits) return;
  CheckTextLength(UnitCount(bytes, page) + growth);
}

// For the steps that need no page: as many units as bytes at most.
void CheckGrowth(const std::string& bytes, size_t growth) {
  if (bytes.size() + growth > kMaxTextUnits) {
    BytePage utf8;
    utf8.utf8 = true;
    CheckGrowth(bytes, utf8, growth);
  }
}

bool UnifyToLf(std::string& bytes) {
  size_t read = Find(bytes, 0, kCr);
  if (read == bytes.size()) return false;
  size_t write = read;
  while (read < bytes.size()) {
    const bool pair = read + 1 < bytes.size() && bytes[read + 1] == kLf;
    if (!pair) bytes[write++] = kLf;
    ++read;
    MoveRunUntil(bytes, &read, &write, kCr);
  }
  bytes.resize(write);
  return true;
}

bool UnifyToCr(std::string& bytes) {
  size_t read = Find(bytes, 0, kLf);
  if (read == bytes.size()) return false;
  size_t write = read;
  // Only line feeds are rewritten, so the byte before one is as it was
  // unless it is the line feed handled last.
  size_t last_lf = bytes.size();
  while (read < bytes.size()) {
    const bool pair = read > 0 && read - 1 != last_lf && bytes[read - 1] == kCr;
    if (!pair) bytes[write++] = kCr;
    last_lf = read++;
    MoveRunUntil(bytes, &read, &write, kLf);
  }
  bytes.resize(write);
  return true;
}

bool IsLoneLineEnd(const std::string& bytes, size_t i) {
  return (bytes[i] == kLf && (i == 0 || bytes[i - 1] != kCr)) ||
         (bytes[i] == kCr && (i + 1 == bytes.size() || bytes[i + 1] != kLf));
}

bool UnifyToCrLf(std::string& bytes) {
  std::vector<size_t> lone;
  for (size_t i = FindBelow(bytes, 0, 0x0E); i < bytes.size(); i = FindBelow(bytes, i + 1, 0x0E)) {
    if (IsLoneLineEnd(bytes, i)) lone.push_back(i);
  }
  if (lone.empty()) return false;
  CheckGrowth(bytes, lone.size());
  size_t end = bytes.size();
  bytes.resize(bytes.size() + lone.size());
  // From the back: each piece moves up by the line ends still to come.
  for (size_t k = lone.size(); k > 0; --k) {
    const size_t at = lone[k - 1];
    const size_t shift = k;
    std::memmove(bytes.data() + at + 1 + shift, bytes.data() + at + 1, end - at - 1);
    bytes[at + shift - 1] = kCr;
    bytes[at + shift] = kLf;
    end = at;
  }
  return true;
}

// Calls on_tab(index, spaces) for every TAB of bytes in order; as the text
// step counts columns, with each character's units looked up in double_byte.
template <typename OnTab>
void VisitTabs(const std::string& bytes, uint32_t width, const BytePage& page,
               const std::bitset<65536>& double_byte, OnTab on_tab) {
  uint64_t column = 0;
  size_t scanned = 0;
  for (size_t tab = Find(bytes, 0, kTab); tab < bytes.size(); tab = Find(bytes, tab + 1, kTab)) {
    // The column restarts after the last line end before the tab.
    const std::string_view before(bytes.data() + scanned, tab - scanned);
    const size_t cr = before.rfind(kCr);
    const size_t lf = before.rfind(kLf);
    size_t i = scanned;
    if (cr != std::string_view::npos || lf != std::string_view::npos) {
      const size_t last = cr == std::string_view::npos   ? lf
                          : lf == std::string_view::npos ? cr
                                                         : std::max(cr, lf);
      column = 0;
      i = scanned + last + 1;
    }
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    while (i < tab) {
      if (p[i] < 0x80) {
        ++column;
        ++i;
        continue;
      }
      const size_t len = CharLength(page, p[i]);
      const char32_t cp = CodePoint(page, p + i, len);
      if (cp > 0xFFFF) {
        column += (double_byte[0xD800 + ((cp - 0x10000) >> 10)] ? 2 : 1) +
                  (double_byte[0xDC00 + ((cp - 0x10000) & 0x3FF)] ? 2 : 1);
      } else {
        column += double_byte[cp] ? 2 : 1;
      }
      i += len;
    }
    const uint64_t spaces = width - column % width;
    on_tab(tab, spaces);
    column += spaces;
    scanned = tab + 1;
  }
}

}  // namespace

bool UnifyLineEnds(std::string& bytes, LineEndKind kind) {
  switch (kind) {
    case kLineEndCrLf:
      return UnifyToCrLf(bytes);
    case kLineEndLf:
      return UnifyToLf(bytes);
    case kLineEndCr:
      return UnifyToCr(bytes);
    default:
      return false;
  }
}

bool SplitFullWidthSpaces(std::string& bytes, const BytePage& page) {
  std::vector<size_t> found;  // where each such character starts
  size_t length = 0;
  const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
  for (size_t i = 0; i < bytes.size();) {
    if (p[i] < 0x80) {
      ++i;
      continue;
    }
    const size_t len = CharLength(page, p[i]);
    if (CodePoint(page, p + i, len) == kFullWidthSpace) {
      found.push_back(i);
      length = len;
    }
    i += len;
  }
  if (found.empty()) return false;
  CheckGrowth(bytes, page, found.size());
  std::string split;
  split.reserve(bytes.size() - found.size() * length + found.size() * 2);
  size_t copied = 0;
  for (const size_t at : found) {
    split.append(bytes, copied, at - copied);
    split.append(2, kSpace);
    copied = at + length;
  }
  split.append(bytes, copied);
  bytes.swap(split);
  return true;
}

bool DeleteTrailingWhiteSpace(std::string& bytes) {
  const size_t size = bytes.size();
  size_t read = 0;
  size_t write = 0;
  while (read < size) {
    const size_t next = FindBelow(bytes, read, 0x21);
    write = MoveDown(bytes, write, read, next);
    read = next;
    if (read == size) break;
    const char c = bytes[read];
    if (c != kSpace && c != kTab) {
      bytes[write++] = c;
      ++read;
      continue;
    }
    size_t end = read;
    while (end < size && (bytes[end] == kSpace || bytes[end] == kTab)) ++end;
    if (end < size && bytes[end] != kCr && bytes[end] != kLf)
      write = MoveDown(bytes, write, read, end);
    read = end;
  }
  bytes.resize(write);
  return write != size;
}

bool ExpandTabs(std::string& bytes, uint32_t width, const BytePage& page,
                const std::bitset<65536>& double_byte) {
  if (width == 0) return false;
  uint64_t extra = 0;
  bool any_tab = false;
  VisitTabs(bytes, width, page, double_byte, [&](size_t, uint64_t spaces) {
    extra += spaces - 1;
    any_tab = true;
  });
  if (!any_tab) return false;
  CheckGrowth(bytes, page, extra);
  std::string expanded;
  expanded.reserve(bytes.size() + extra);
  size_t copied = 0;
  VisitTabs(bytes, width, page, double_byte, [&](size_t index, uint64_t spaces) {
    expanded.append(bytes, copied, index - copied);
    expanded.append(spaces, kSpace);
    copied = index + 1;
  });
  expanded.append(bytes, copied);
  bytes.swap(expanded);
  return true;
}

bool DeleteControlCodes(std::string& bytes) {
  const size_t size = bytes.size();
  size_t read = 0;
  size_t write = 0;
  while (read < size) {
    const size_t next = FindBelow(bytes, read, 0x20);
    write = MoveDown(bytes, write, read, next);
    read = next;
    if (read == size) break;
    if (!IsInvalidControlByte(bytes[read])) bytes[write++] = bytes[read];
    ++read;
  }
  bytes.resize(write);
  return write != size;
}

bool ControlCodesToSpaces(std::string& bytes) {
  bool changed = false;
  for (size_t i = FindBelow(bytes, 0, 0x20); i < bytes.size(); i = FindBelow(bytes, i + 1, 0x20)) {
    if (IsInvalidControlByte(bytes[i])) {
      bytes[i] = kSpace;
      changed = true;
    }
  }
  return changed;
}

bool InsertLineEndEveryNChars(std::string& bytes, uint32_t n, LineEndKind kind,
                              const BytePage& page) {
  if (n == 0) return false;
  const size_t units = UnitCount(bytes, page);
  if (units <= n) return false;
  const std::string_view line_end = LineEnd(kind);
  if (line_end.empty()) return true;
  const size_t cuts = (units - 1) / n;
  CheckTextLength(units + cuts * line_end.size());
  std::string cut;
  cut.reserve(bytes.size() + cuts * line_end.size());
  size_t copied = 0;
  size_t count = 0;
  for (size_t i = 0; i < bytes.size();) {
    if (count == n) {
      cut.append(bytes, copied, i - copied);
      cut.append(line_end);
      copied = i;
      count = 0;
    }
    i += CharLength(page, static_cast<unsigned char>(bytes[i]));
    ++count;
  }
  cut.append(bytes, copied);
  bytes.swap(cut);
  return true;
}

void CheckTextUnits(const std::string& bytes, const BytePage& page) {
  CheckGrowth(bytes, page, 0);
}

bool OneUnitEach(std::string_view bytes, const BytePage& page) {
  if (!page.utf8) return true;  // a character of several units is not plain
  return std::none_of(bytes.begin(), bytes.end(),
                      [](char c) { return static_cast<unsigned char>(c) >= 0xF0; });
}

}  // namespace sorrel
