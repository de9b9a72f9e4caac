// String replacement: the job's prepared search, and its application to one
// file's text, literally or through Boost.Regex over wide characters.
#include "engine/replacement.h"

#include <boost/regex.hpp>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <functional>
#include <iterator>
#include <new>
#include <optional>
#include <string>
#include <type_traits>
#include <vector>

#include "base/utf.h"
#include "engine/ascii_expression.h"
#include "engine/messages.h"
#include "engine/report.h"

namespace sorrel {

// One piece of a replacement: units of it to copy, or a sub-expression's
// match.
struct FormatPiece {
  int group;  // -1: the units from begin on
  size_t begin;
  size_t length;
};

struct CompiledExpression {
  boost::wregex regex;
  // The replacement in pieces, when it is plain (ParseSimpleFormat): every
  // match is then replaced by copying.
  bool simple_format = false;
  std::vector<FormatPiece> format;
  // When the expression matches ASCII only (ascii_expression.h), its case is
  // kept and the replacement is plain, without half a surrogate pair in a
  // piece: the same expression over bytes, and the pieces in UTF-8.
  std::optional<boost::regex> narrow;
  bool anchors = false;
  std::vector<std::string> utf8_format;
};

namespace {

// Asks every so many steps of a match whether the run is to stop; a match
// over a long text can take minutes, and an abort must end it at once.
class StepBudget {
 public:
  explicit StepBudget(const std::function<bool()>* should_stop) : should_stop_(should_stop) {}

  void Step() {
    if (--left_ == 0) Look();
  }

 private:
  // Steps between looks at the clock, and the time between two questions:
  // a look costs nothing next to 65,536 steps, and asking (which lets the
  // dialog handle its events) every 20 ms keeps an abort well under 0.5 s.
  static constexpr int kSteps = 1 << 16;
  static constexpr std::chrono::milliseconds kInterval{20};

  void Look() {
    left_ = kSteps;
    if (should_stop_ == nullptr || !*should_stop_) return;
    const auto now = std::chrono::steady_clock::now();
    if (now - last_ < kInterval) return;
    last_ = now;
    if ((*should_stop_)()) throw ReplacementAborted{};
  }

  const std::function<bool()>* should_stop_;
  int left_ = kSteps;
  std::chrono::steady_clock::time_point last_{};
};

// Shows a text to the expression as characters of its own kind, one per
// element (a UTF-16 text as wide characters, one per unit and never joined
// into code points, so that the expression sees and reports positions
// exactly as the transforms do), without a converted copy, and counting its
// steps.
template <typename Element, typename Char>
class StepIterator {
 public:
  using iterator_category = std::random_access_iterator_tag;
  using value_type = Char;
  using difference_type = std::ptrdiff_t;
  using pointer = const Char*;
  using reference = Char;

  StepIterator() = default;
  StepIterator(const Element* at, StepBudget* budget) : at_(at), budget_(budget) {}

  Char operator*() const { return static_cast<Char>(*at_); }
  Char operator[](difference_type n) const { return static_cast<Char>(at_[n]); }
  StepIterator& operator++() {
    ++at_;
    budget_->Step();
    return *this;
  }
  StepIterator operator++(int) {
    StepIterator old = *this;
    ++*this;
    return old;
  }
  StepIterator& operator--() {
    --at_;
    budget_->Step();
    return *this;
  }
  StepIterator operator--(int) {
    StepIterator old = *this;
    --*this;
    return old;
  }
  StepIterator& operator+=(difference_type n) {
    at_ += n;
    return *this;
  }
  StepIterator& operator-=(difference_type n) {
    at_ -= n;
    return *this;
  }
  friend difference_type operator-(const StepIterator& a, const StepIterator& b) {
    return a.at_ - b.at_;
  }
  friend bool operator==(const StepIterator& a, const StepIterator& b) { return a.at_ == b.at_; }

  const Element* get() const { return at_; }

 private:
  const Element* at_ = nullptr;
  StepBudget* budget_ = nullptr;
};

using UnitIterator = StepIterator<char16_t, wchar_t>;
using ByteIterator = StepIterator<char, char>;

// Receives a replacement's result in pieces while it stays within a budget,
// and beyond it only counts, so that a result too long to hold is refused
// before it is built, and one that fits is built once at its exact size.
template <typename Text>
class ResultPieces {
 public:
  using View = std::basic_string_view<typename Text::value_type>;

  explicit ResultPieces(size_t budget) : budget_(budget) {}

  void Append(typename Text::value_type unit) { Append(View(&unit, 1)); }

  void Append(View units) {
    total_ += units.size();
    if constexpr (std::is_same_v<Text, TextBuffer>) CheckTextLength(total_);
    if (total_ > budget_) {
      if (!pieces_.empty()) std::vector<Text>().swap(pieces_);
      return;
    }
    while (!units.empty()) {
      if (pieces_.empty() || pieces_.back().size() == kPieceUnits) {
        pieces_.emplace_back().reserve(kPieceUnits);
      }
      Text& piece = pieces_.back();
      const size_t room = std::min(kPieceUnits - piece.size(), units.size());
      piece.append(units.substr(0, room));
      units.remove_prefix(room);
    }
  }

  size_t total() const { return total_; }
  bool whole() const { return total_ <= budget_; }

  bool Equals(View text) const {
    if (text.size() != total_) return false;
    for (const Text& piece : pieces_) {
      if (text.substr(0, piece.size()) != piece) return false;
      text.remove_prefix(piece.size());
    }
    return true;
  }

  // Moves the pieces into out, which is emptied first; each piece is freed
  // as soon as it has been copied.
  void MoveTo(Text* out) {
    Text().swap(*out);
    out->reserve(total_);
    for (Text& piece : pieces_) {
      out->append(piece);
      Text().swap(piece);
    }
  }

 private:
  static constexpr size_t kPieceUnits = size_t{1} << 20;
  size_t budget_;
  size_t total_ = 0;
  std::vector<Text> pieces_;
};

// Appends to a text reserved at its final size.
template <typename Text>
struct ExactText {
  Text* out;
  void Append(typename Text::value_type unit) {
    Append(std::basic_string_view<typename Text::value_type>(&unit, 1));
  }
  void Append(std::basic_string_view<typename Text::value_type> units) {
    if constexpr (std::is_same_v<Text, TextBuffer>) CheckTextLength(out->size() + units.size());
    out->append(units);
  }
};

// An output iterator that appends the formatter's wide characters to a
// UTF-16 sink. A character beyond 0xFFFF can only come from an escape of the
// replacement; it becomes a surrogate pair, or U+FFFD beyond Unicode, rather
// than being cut to 16 bits.
template <typename Sink>
class Utf16Appender {
 public:
  using iterator_category = std::output_iterator_tag;
  using value_type = void;
  using difference_type = std::ptrdiff_t;
  using pointer = void;
  using reference = void;

  explicit Utf16Appender(Sink* sink) : sink_(sink) {}

  Utf16Appender& operator=(wchar_t c) {
    const auto code = static_cast<uint32_t>(c);
    if (code <= 0xFFFF) {
      sink_->Append(static_cast<char16_t>(code));
    } else if (code <= 0x10FFFF) {
      sink_->Append(static_cast<char16_t>(0xD800 + ((code - 0x10000) >> 10)));
      sink_->Append(static_cast<char16_t>(0xDC00 + ((code - 0x10000) & 0x3FF)));
    } else {
      sink_->Append(u'\uFFFD');
    }
    return *this;
  }
  Utf16Appender& operator*() { return *this; }
  Utf16Appender& operator++() { return *this; }
  Utf16Appender operator++(int) { return *this; }

 private:
  Sink* sink_;
};

std::wstring Widen(std::u16string_view text) {
  return std::wstring(text.begin(), text.end());
}

// The value of the hexadecimal digits of text; false when one is not.
[[maybe_unused]] bool HexValue(std::u16string_view text, uint32_t* value) {
  *value = 0;
  for (const char16_t c : text) {
    const int digit = c >= u'0' && c <= u'9'   ? c - u'0'
                      : c >= u'a' && c <= u'f' ? c - u'a' + 10
                      : c >= u'A' && c <= u'F' ? c - u'A' + 10
                                               : -1;
    if (digit < 0) return false;
    *value = *value * 16 + static_cast<uint32_t>(digit);
  }
  return true;
}

// The replacement's format for the formatter. Where wide characters have 16
// bits (Windows), a "\x{...}" escape beyond 0xFFFF would be cut to its low 16
// bits, a plainly wrong character: such an escape becomes the surrogate pair
// it stands for (U+FFFD beyond Unicode) before the formatter sees it.
std::wstring WidenFormat(std::u16string_view format) {
  if constexpr (sizeof(wchar_t) > 2) {
    return Widen(format);
  } else {
    std::wstring out;
    size_t i = 0;
    while (i < format.size()) {
      if (format[i] != u'\\' || i + 1 == format.size()) {
        out.push_back(static_cast<wchar_t>(format[i++]));
        continue;
      }
      const size_t close = format.find(u'}', i);
      uint32_t code = 0;
      if (format.substr(i + 1, 2) == u"x{" && close != std::u16string_view::npos && close > i + 3 &&
          close - i - 3 <= 8 && HexValue(format.substr(i + 3, close - i - 3), &code) &&
          code > 0xFFFF) {
        if (code <= 0x10FFFF) {
          out.push_back(static_cast<wchar_t>(0xD800 + ((code - 0x10000) >> 10)));
          out.push_back(static_cast<wchar_t>(0xDC00 + ((code - 0x10000) & 0x3FF)));
        } else {
          out.push_back(L'\uFFFD');
        }
        i = close + 1;
        continue;
      }
      // Any other escape, "\\" included, goes to the formatter as it is.
      out.push_back(static_cast<wchar_t>(format[i]));
      out.push_back(static_cast<wchar_t>(format[i + 1]));
      i += 2;
    }
    return out;
  }
}

char16_t FoldAsciiLetter(char16_t c) {
  return c >= u'A' && c <= u'Z' ? c + (u'a' - u'A') : c;
}

// Finds a fixed pattern with a Knuth-Morris-Pratt automaton, so that a search
// over the whole text never steps back and stays linear whatever the pattern.
class LiteralSearcher {
 public:
  LiteralSearcher(std::u16string_view pattern, bool ignore_case)
      : pattern_(pattern), ignore_case_(ignore_case), border_(pattern.size(), 0) {
    if (ignore_case_) {
      for (char16_t& c : pattern_) c = FoldAsciiLetter(c);
    }
    size_t k = 0;
    for (size_t i = 1; i < pattern_.size(); ++i) {
      while (k > 0 && pattern_[i] != pattern_[k]) k = border_[k - 1];
      if (pattern_[i] == pattern_[k]) ++k;
      border_[i] = k;
    }
  }

  // The start of the first occurrence at or after from, or npos.
  size_t Find(std::u16string_view text, size_t from) const {
    size_t matched = 0;
    for (size_t i = from; i < text.size(); ++i) {
      const char16_t c = ignore_case_ ? FoldAsciiLetter(text[i]) : text[i];
      while (matched > 0 && c != pattern_[matched]) matched = border_[matched - 1];
      if (c == pattern_[matched]) ++matched;
      if (matched == pattern_.size()) return i + 1 - matched;
    }
    return std::u16string_view::npos;
  }

 private:
  std::u16string pattern_;
  bool ignore_case_;
  // border_[i]: the longest proper prefix of pattern_[0..i] that also ends it.
  std::vector<size_t> border_;
};

// The pieces of a replacement as the library's default (Perl) format reads
// it, when it holds only plain units and references $n, ${n} (n of one to
// four digits) and $&: then every match can be replaced by copying, without
// the library reading the format again for each match. False for anything
// else (an escape, a case change, $` and the like, a lone $).
bool ParseSimpleFormat(std::u16string_view format, std::vector<FormatPiece>* pieces) {
  pieces->clear();
  auto digits = [&](size_t at) {
    size_t end = at;
    while (end < format.size() && format[end] >= u'0' && format[end] <= u'9') ++end;
    return end - at;
  };
  auto number = [&](size_t at, size_t count) {
    int n = 0;
    for (size_t i = at; i < at + count; ++i) n = n * 10 + (format[i] - u'0');
    return n;
  };
  size_t literal = 0;
  for (size_t i = 0; i < format.size();) {
    if (format[i] == u'\\') return false;
    if (format[i] != u'$') {
      ++i;
      continue;
    }
    if (i > literal) pieces->push_back({-1, literal, i - literal});
    if (i + 1 == format.size()) return false;
    const char16_t next = format[i + 1];
    if (next == u'&') {
      pieces->push_back({0, 0, 0});
      i += 2;
    } else if (const size_t count = digits(i + 1); count > 0) {
      if (count > 4) return false;
      pieces->push_back({number(i + 1, count), 0, 0});
      i += 1 + count;
    } else if (next == u'{') {
      const size_t inner = digits(i + 2);
      if (inner == 0 || inner > 4 || i + 2 + inner >= format.size() ||
          format[i + 2 + inner] != u'}') {
        return false;
      }
      pieces->push_back({number(i + 2, inner), 0, 0});
      i += 3 + inner;
    } else {
      return false;
    }
    literal = i;
  }
  if (format.size() > literal) pieces->push_back({-1, literal, format.size() - literal});
  return true;
}

using Matches = boost::regex_iterator<UnitIterator, wchar_t>;

// Appends the units of [first, last) of text, found by a match.
template <typename Sink>
void AppendUnits(Sink* sink, const TextBuffer& text, const UnitIterator& first,
                 const UnitIterator& last) {
  const UnitIterator begin(text.data(), nullptr);
  sink->Append(std::u16string_view(text).substr(first - begin, last - first));
}

template <typename Sink>
void ReplaceInto(const TextBuffer& text, const PreparedReplacement& prepared,
                 const std::wstring& format, StepBudget* budget, Sink* sink) {
  const UnitIterator begin(text.data(), budget);
  const UnitIterator end(text.data() + text.size(), budget);
  const auto flags = static_cast<boost::regex_constants::match_flag_type>(prepared.match_flags);
  const CompiledExpression& expression = *prepared.expression;
  if (!expression.simple_format) {
    boost::regex_replace(Utf16Appender<Sink>(sink), begin, end, expression.regex, format, flags);
    return;
  }
  // As regex_replace goes: the text before each match, the match's
  // replacement, and the text after the last.
  UnitIterator copied = begin;
  for (Matches it(begin, end, expression.regex, flags), last; it != last; ++it) {
    const boost::match_results<UnitIterator>& match = *it;
    AppendUnits(sink, text, copied, match[0].first);
    for (const FormatPiece& piece : expression.format) {
      if (piece.group < 0) {
        sink->Append(std::u16string_view(prepared.replacement).substr(piece.begin, piece.length));
      } else if (static_cast<size_t>(piece.group) < match.size() && match[piece.group].matched) {
        AppendUnits(sink, text, match[piece.group].first, match[piece.group].second);
      }
    }
    copied = match[0].second;
  }
  AppendUnits(sink, text, copied, end);
}

// The result is kept while it stays within the text's size and 4 MiB more;
// a longer one is counted first and then built again at its exact size.
bool ReplaceByExpression(TextBuffer& text, const PreparedReplacement& prepared,
                         const std::function<bool()>* should_stop) {
  if (!prepared.expression) return false;
  const std::wstring format = WidenFormat(prepared.replacement);
  StepBudget budget(should_stop);
  ResultPieces<TextBuffer> pieces(text.size() + (size_t{2} << 20));
  ReplaceInto(text, prepared, format, &budget, &pieces);
  if (pieces.whole()) {
    if (pieces.Equals(text)) return false;
    pieces.MoveTo(&text);
    return true;
  }
  const size_t total = pieces.total();
  pieces = ResultPieces<TextBuffer>(0);
  TextBuffer result;
  result.reserve(total);
  ExactText<TextBuffer> exact{&result};
  ReplaceInto(text, prepared, format, &budget, &exact);
  text.swap(result);
  return true;
}

// The literal search's hits in text, one by one.
template <typename Visit>
void ForEachHit(std::u16string_view text, const LiteralSearcher& searcher, size_t length,
                Visit visit) {
  for (size_t found = searcher.Find(text, 0); found != std::u16string_view::npos;
       found = searcher.Find(text, found + length)) {
    visit(found);
  }
}

// The text with every hit replaced, built at its exact size (the hits are
// counted first); false, with out untouched, when there is no hit.
bool ReplaceLiteralInto(std::u16string_view text, std::u16string_view pattern,
                        std::u16string_view replacement, bool ignore_case, std::u16string* out) {
  if (pattern.empty()) return false;
  const LiteralSearcher searcher(pattern, ignore_case);
  size_t hits = 0;
  ForEachHit(text, searcher, pattern.size(), [&](size_t) { ++hits; });
  if (hits == 0) return false;
  const size_t size = text.size() - hits * pattern.size() + hits * replacement.size();
  if (replacement.size() > pattern.size()) {
    CheckTextLength(text.size() + hits * (replacement.size() - pattern.size()));
  }
  std::u16string result;
  result.reserve(size);
  size_t copied = 0;
  ForEachHit(text, searcher, pattern.size(), [&](size_t found) {
    result.append(text.substr(copied, found - copied));
    result.append(replacement);
    copied = found + pattern.size();
  });
  result.append(text.substr(copied));
  out->swap(result);
  return true;
}

// Copies text into out; false when there was no memory for it.
bool CopyText(std::u16string_view text, std::u16string* out) {
  try {
    out->assign(text);
    return true;
  } catch (const std::bad_alloc&) {
    return false;
  }
}

uint32_t MatchFlags(bool single_line, bool dot_not_newline) {
  // Without match_any the matcher keeps the leftmost longest alternative a
  // Perl expression promises; with it, the first match met would do.
  uint32_t flags = boost::regex_constants::match_default;
  if (single_line) flags |= boost::regex_constants::match_single_line;
  if (dot_not_newline) flags |= boost::regex_constants::match_not_dot_newline;
  return flags;
}

bool IsPatternBlank(char16_t c) {
  return c == u' ' || (c >= u'\t' && c <= u'\r');
}

// Boost.Regex 1.74 never returns from compiling a possessive repeat that a
// comment follows, as in "a?+(?#)b": its look for a quantifier behind the
// comment stops moving. Blanks before the comment count too (free-spacing
// mode skips them), and so does a quantifier that is in fact escaped, so a
// few harmless patterns are refused with these.
bool HasCommentAfterPossessiveRepeat(std::u16string_view search) {
  constexpr std::u16string_view kComment = u"(?#";
  constexpr std::u16string_view kRepeatEnds = u"?*+}";
  for (size_t at = search.find(kComment); at != std::u16string_view::npos;
       at = search.find(kComment, at + 1)) {
    size_t end = at;
    while (end > 0 && IsPatternBlank(search[end - 1])) --end;
    if (end >= 2 && search[end - 1] == u'+' &&
        kRepeatEnds.find(search[end - 2]) != std::u16string_view::npos) {
      return true;
    }
  }
  return false;
}

// Compiles search as a Perl expression into expression; the message to show
// when that fails, or nullptr.
// Whether a piece of a replacement holds half a surrogate pair.
bool HasLoneSurrogate(std::u16string_view units) {
  for (size_t i = 0; i < units.size(); ++i) {
    const char16_t c = units[i];
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < units.size() && units[i + 1] >= 0xDC00 &&
        units[i + 1] <= 0xDFFF) {
      ++i;
    } else if (c >= 0xD800 && c <= 0xDFFF) {
      return true;
    }
  }
  return false;
}

// Whether \d takes the ten ASCII digits alone, over units and over bytes
// (where 0x80 stands for every unit beyond ASCII). Where the system's
// classes count other digits too (the full-width ones on Windows), an
// expression with \d stays on the text. Asked once.
bool DigitsAreAscii() {
  static const bool ascii = [] {
    const boost::wregex::traits_type wide;
    const wchar_t wide_name[] = L"d";
    const auto wide_digit = wide.lookup_classname(wide_name, wide_name + 1);
    for (unsigned unit = 0x80; unit <= 0xFFFF; ++unit) {
      if (wide.isctype(static_cast<wchar_t>(unit), wide_digit)) return false;
    }
    const boost::regex::traits_type narrow;
    const char narrow_name[] = "d";
    return !narrow.isctype('\x80', narrow.lookup_classname(narrow_name, narrow_name + 1));
  }();
  return ascii;
}

// Prepares the expression for bytes, where it and the replacement allow.
void PrepareForBytes(std::u16string_view search, std::u16string_view replace, bool ignore_case,
                     CompiledExpression* compiled) {
  const AsciiExpression ascii = ReadAsciiExpression(search);
  if (!ascii.ascii_only || ignore_case || !compiled->simple_format) return;
  if (ascii.digits && !DigitsAreAscii()) return;
  std::vector<std::string> utf8;
  for (const FormatPiece& piece : compiled->format) {
    const std::u16string_view units = replace.substr(piece.begin, piece.length);
    if (piece.group < 0 && HasLoneSurrogate(units)) return;
    utf8.push_back(piece.group < 0 ? Utf16ToUtf8(units) : std::string());
  }
  try {
    compiled->narrow.emplace(std::string(search.begin(), search.end()),
                             boost::regex_constants::perl);
  } catch (const std::exception&) {
    return;  // the text is replaced as a text
  }
  compiled->anchors = ascii.anchors;
  compiled->utf8_format = std::move(utf8);
}

const TextPair* Compile(std::u16string_view search, std::u16string_view replace, bool ignore_case,
                        std::shared_ptr<const CompiledExpression>* expression) {
  if (HasCommentAfterPossessiveRepeat(search)) return &messages::kBadExpression;
  try {
    boost::wregex::flag_type syntax = boost::regex_constants::perl;
    if (ignore_case) syntax |= boost::regex_constants::icase;
    auto compiled = std::make_shared<CompiledExpression>();
    compiled->regex.assign(Widen(search), syntax);
    compiled->simple_format = ParseSimpleFormat(replace, &compiled->format);
    PrepareForBytes(search, replace, ignore_case, compiled.get());
    *expression = std::move(compiled);
    return nullptr;
  } catch (const boost::regex_error&) {
    return &messages::kBadExpression;
  } catch (const std::exception&) {
    return &messages::kExpressionException;
  }
}

// The units of UTF-8 bytes as one byte each: ASCII as itself, any other
// unit as 0x80, which an expression that matches ASCII only never takes.
// Positions in it are positions in the text.
std::string UnitBytes(std::string_view utf8) {
  std::string units(utf8.size(), '\0');
  char* to = units.data();
  const char* p = utf8.data();
  const char* const end = p + utf8.size();
  while (p < end) {
    uint64_t word;
    if (end - p >= 8 && (std::memcpy(&word, p, 8), (word & 0x8080808080808080u) == 0)) {
      std::memcpy(to, p, 8);
      p += 8;
      to += 8;
      continue;
    }
    const auto b = static_cast<unsigned char>(*p);
    if (b < 0x80) {
      *to++ = *p++;
      continue;
    }
    const size_t length = b < 0xE0 ? 2 : b < 0xF0 ? 3 : 4;
    *to++ = '\x80';
    if (length == 4) *to++ = '\x80';  // two units
    p += length;
  }
  units.resize(static_cast<size_t>(to - units.data()));
  return units;
}

// Appends to sink the UTF-8 of the text that ReplaceInto builds, matching
// over units (UnitBytes of bytes).
template <typename Sink>
void ReplaceBytesInto(const std::string& bytes, const std::string& units,
                      const PreparedReplacement& prepared, StepBudget* budget, Sink* sink) {
  const CompiledExpression& expression = *prepared.expression;
  const ByteIterator begin(units.data(), budget);
  const ByteIterator end(units.data() + units.size(), budget);
  const auto flags = static_cast<boost::regex_constants::match_flag_type>(prepared.match_flags);
  size_t text_units = 0;  // of the result, as the text would have them
  size_t byte_at = 0;     // the bytes up to the unit unit_at are copied
  size_t unit_at = 0;
  auto copy_up_to = [&](size_t unit) {
    const size_t from = byte_at;
    while (unit_at < unit) {
      const auto b = static_cast<unsigned char>(bytes[byte_at]);
      const size_t length = b < 0x80 ? 1 : b < 0xE0 ? 2 : b < 0xF0 ? 3 : 4;
      byte_at += length;
      unit_at += length == 4 ? 2 : 1;
    }
    sink->Append(std::string_view(bytes).substr(from, byte_at - from));
  };
  for (boost::regex_iterator<ByteIterator, char> it(begin, end, *expression.narrow, flags), last;
       it != last; ++it) {
    const boost::match_results<ByteIterator>& match = *it;
    const size_t first = static_cast<size_t>(match[0].first.get() - units.data());
    const size_t after = static_cast<size_t>(match[0].second.get() - units.data());
    text_units += first - unit_at;
    copy_up_to(first);
    for (size_t i = 0; i < expression.format.size(); ++i) {
      const FormatPiece& piece = expression.format[i];
      if (piece.group < 0) {
        sink->Append(expression.utf8_format[i]);
        text_units += piece.length;
      } else if (static_cast<size_t>(piece.group) < match.size() && match[piece.group].matched) {
        // A match is ASCII: its units are its bytes.
        const std::string_view group(match[piece.group].first.get(), match[piece.group].length());
        sink->Append(group);
        text_units += group.size();
      }
    }
    CheckTextLength(text_units);
    byte_at += after - first;
    unit_at = after;
  }
  text_units += units.size() - unit_at;
  CheckTextLength(text_units);
  copy_up_to(units.size());
}

// Whether the bytes hold a line separator beyond ASCII: NEL, LS or PS,
// which the expression over units takes for line ends and the one over
// bytes does not.
bool HasWideLineSeparator(std::string_view utf8) {
  return utf8.find("\xC2\x85") != std::string_view::npos ||
         utf8.find("\xE2\x80\xA8") != std::string_view::npos ||
         utf8.find("\xE2\x80\xA9") != std::string_view::npos;
}

}  // namespace

bool PrepareReplacement(JobContext& ctx, std::u16string_view search, std::u16string_view replace,
                        bool use_regex, bool ignore_case, bool single_line, bool dot_not_newline,
                        PreparedReplacement* prepared) {
  // The result is stored only at the end: search or replace may view into it.
  PreparedReplacement built;
  built.enabled = prepared->enabled;
  built.use_regex = use_regex;
  std::u16string search_text;
  const TextPair* error = nullptr;
  if (!CopyText(search, &search_text)) {
    error = &messages::kNoMemoryBefore;
  } else if (!CopyText(replace, &built.replacement)) {
    error = &messages::kNoMemoryAfter;
  } else if (use_regex) {
    error = Compile(search_text, built.replacement, ignore_case, &built.expression);
  } else {
    built.literal_pattern = std::move(search_text);
  }
  if (error != nullptr) {
    *prepared = PreparedReplacement{};
    ShowJobError(ctx, ctx.Text(*error));
    return false;
  }
  built.ignore_case = ignore_case;
  built.single_line = single_line;
  built.dot_not_newline = dot_not_newline;
  built.match_flags = MatchFlags(single_line, dot_not_newline);
  *prepared = std::move(built);
  return true;
}

bool ApplyReplacement(TextBuffer& text, const PreparedReplacement& prepared,
                      const std::function<bool()>& should_stop) {
  if (prepared.use_regex) return ReplaceByExpression(text, prepared, &should_stop);
  TextBuffer result;
  if (!ReplaceLiteralInto(text, prepared.literal_pattern, prepared.replacement,
                          prepared.ignore_case, &result) ||
      result == text) {
    return false;
  }
  text.swap(result);
  return true;
}

void ReplaceLiteral(std::u16string& text, std::u16string_view pattern,
                    std::u16string_view replacement, bool ignore_case) {
  std::u16string result;
  if (ReplaceLiteralInto(text, pattern, replacement, ignore_case, &result)) text.swap(result);
}

bool ReplacesUtf8(const PreparedReplacement& prepared, std::string_view utf8) {
  if (!prepared.use_regex || !prepared.expression || !prepared.expression->narrow) return false;
  return !prepared.expression->anchors || prepared.single_line || !HasWideLineSeparator(utf8);
}

bool ApplyReplacementToUtf8(std::string& bytes, const PreparedReplacement& prepared,
                            const std::function<bool()>& should_stop) {
  const std::string units = UnitBytes(bytes);
  StepBudget budget(&should_stop);
  ResultPieces<std::string> pieces(bytes.size() + (size_t{4} << 20));
  ReplaceBytesInto(bytes, units, prepared, &budget, &pieces);
  if (pieces.whole()) {
    if (pieces.Equals(bytes)) return false;
    pieces.MoveTo(&bytes);
    return true;
  }
  const size_t total = pieces.total();
  pieces = ResultPieces<std::string>(0);
  std::string result;
  result.reserve(total);
  ExactText<std::string> exact{&result};
  ReplaceBytesInto(bytes, units, prepared, &budget, &exact);
  bytes.swap(result);
  return true;
}

}  // namespace sorrel
