// String replacement: the job's prepared search, and its application to one
// file's text, literally or through Boost.Regex over wide characters.
#include "engine/replacement.h"

#include <boost/regex.hpp>
#include <chrono>
#include <cstddef>
#include <functional>
#include <iterator>
#include <new>
#include <vector>

#include "engine/messages.h"
#include "engine/report.h"

namespace sorrel {

struct CompiledExpression {
  boost::wregex regex;
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

// Shows a UTF-16 text to the expression as wide characters, one per unit and
// never joined into code points, so that the expression sees and reports
// positions exactly as the transforms do; without a widened copy, and
// counting its steps.
class UnitIterator {
 public:
  using iterator_category = std::random_access_iterator_tag;
  using value_type = wchar_t;
  using difference_type = std::ptrdiff_t;
  using pointer = const wchar_t*;
  using reference = wchar_t;

  UnitIterator() = default;
  UnitIterator(const char16_t* at, StepBudget* budget) : at_(at), budget_(budget) {}

  wchar_t operator*() const { return static_cast<wchar_t>(*at_); }
  wchar_t operator[](difference_type n) const { return static_cast<wchar_t>(at_[n]); }
  UnitIterator& operator++() {
    ++at_;
    budget_->Step();
    return *this;
  }
  UnitIterator operator++(int) {
    UnitIterator old = *this;
    ++*this;
    return old;
  }
  UnitIterator& operator--() {
    --at_;
    budget_->Step();
    return *this;
  }
  UnitIterator operator--(int) {
    UnitIterator old = *this;
    --*this;
    return old;
  }
  UnitIterator& operator+=(difference_type n) {
    at_ += n;
    return *this;
  }
  UnitIterator& operator-=(difference_type n) {
    at_ -= n;
    return *this;
  }
  friend difference_type operator-(const UnitIterator& a, const UnitIterator& b) {
    return a.at_ - b.at_;
  }
  friend bool operator==(const UnitIterator& a, const UnitIterator& b) { return a.at_ == b.at_; }

 private:
  const char16_t* at_ = nullptr;
  StepBudget* budget_ = nullptr;
};

// Receives a replacement's result in pieces while it stays within a budget,
// and beyond it only counts, so that a result too long to hold is refused
// before it is built, and one that fits is built once at its exact size.
class ResultPieces {
 public:
  explicit ResultPieces(size_t budget) : budget_(budget) {}

  void Append(char16_t unit) {
    CheckTextLength(++total_);
    if (total_ > budget_) {
      if (!pieces_.empty()) std::vector<std::u16string>().swap(pieces_);
      return;
    }
    if (pieces_.empty() || pieces_.back().size() == kPieceUnits) {
      pieces_.emplace_back().reserve(kPieceUnits);
    }
    pieces_.back().push_back(unit);
  }

  size_t total() const { return total_; }
  bool whole() const { return total_ <= budget_; }

  bool Equals(std::u16string_view text) const {
    if (text.size() != total_) return false;
    for (const std::u16string& piece : pieces_) {
      if (text.substr(0, piece.size()) != piece) return false;
      text.remove_prefix(piece.size());
    }
    return true;
  }

  // Moves the pieces into out, which is emptied first; each piece is freed
  // as soon as it has been copied.
  void MoveTo(std::u16string* out) {
    std::u16string().swap(*out);
    out->reserve(total_);
    for (std::u16string& piece : pieces_) {
      out->append(piece);
      std::u16string().swap(piece);
    }
  }

 private:
  static constexpr size_t kPieceUnits = size_t{1} << 20;
  size_t budget_;
  size_t total_ = 0;
  std::vector<std::u16string> pieces_;
};

// Appends to a text reserved at its final size.
struct ExactText {
  std::u16string* out;
  void Append(char16_t unit) {
    CheckTextLength(out->size() + 1);
    out->push_back(unit);
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

template <typename Sink>
void ReplaceInto(const TextBuffer& text, const ReplacementSpec& prepared,
                 const std::wstring& format, StepBudget* budget, Sink* sink) {
  const UnitIterator begin(text.data(), budget);
  const UnitIterator end(text.data() + text.size(), budget);
  boost::regex_replace(Utf16Appender<Sink>(sink), begin, end, prepared.expression->regex, format,
                       static_cast<boost::regex_constants::match_flag_type>(prepared.match_flags));
}

// The result is kept while it stays within the text's size and 4 MiB more;
// a longer one is counted first and then built again at its exact size.
bool ReplaceByExpression(TextBuffer& text, const ReplacementSpec& prepared,
                         const std::function<bool()>* should_stop) {
  if (!prepared.expression) return false;
  const std::wstring format = WidenFormat(prepared.replacement);
  StepBudget budget(should_stop);
  ResultPieces pieces(text.size() + (size_t{2} << 20));
  ReplaceInto(text, prepared, format, &budget, &pieces);
  if (pieces.whole()) {
    if (pieces.Equals(text)) return false;
    pieces.MoveTo(&text);
    return true;
  }
  const size_t total = pieces.total();
  pieces = ResultPieces(0);
  TextBuffer result;
  result.reserve(total);
  ExactText exact{&result};
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
const TextPair* Compile(std::u16string_view search, bool ignore_case,
                        std::shared_ptr<const CompiledExpression>* expression) {
  if (HasCommentAfterPossessiveRepeat(search)) return &messages::kBadExpression;
  try {
    boost::wregex::flag_type syntax = boost::regex_constants::perl;
    if (ignore_case) syntax |= boost::regex_constants::icase;
    *expression = std::make_shared<const CompiledExpression>(
        CompiledExpression{boost::wregex(Widen(search), syntax)});
    return nullptr;
  } catch (const boost::regex_error&) {
    return &messages::kBadExpression;
  } catch (const std::exception&) {
    return &messages::kExpressionException;
  }
}

}  // namespace

bool PrepareReplacement(JobContext& ctx, std::u16string_view search, std::u16string_view replace,
                        bool use_regex, bool ignore_case, bool single_line, bool dot_not_newline,
                        ReplacementSpec* prepared) {
  // The result is stored only at the end: search or replace may view into it.
  ReplacementSpec built;
  built.enabled = prepared->enabled;
  built.use_regex = use_regex;
  std::u16string search_text;
  const TextPair* error = nullptr;
  if (!CopyText(search, &search_text)) {
    error = &messages::kNoMemoryBefore;
  } else if (!CopyText(replace, &built.replacement)) {
    error = &messages::kNoMemoryAfter;
  } else if (use_regex) {
    error = Compile(search_text, ignore_case, &built.expression);
  } else {
    built.literal_pattern = std::move(search_text);
  }
  if (error != nullptr) {
    *prepared = ReplacementSpec{};
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

bool ApplyReplacement(TextBuffer& text, const ReplacementSpec& prepared,
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

}  // namespace sorrel
