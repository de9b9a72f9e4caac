// String replacement: the job's prepared search, and its application to one
// file's text, literally or through Boost.Regex over wide characters.
#include "engine/replacement.h"

#include <boost/regex.hpp>
#include <cstddef>
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

// UTF-16 units widen one to one, never joined into code points, so that the
// expression sees and reports positions exactly as the transforms do.
std::wstring Widen(std::u16string_view text) {
  return std::wstring(text.begin(), text.end());
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
      if (format[i + 1] == u'x' && i + 2 < format.size() && format[i + 2] == u'{' &&
          close != std::u16string_view::npos && close > i + 3 && close - i - 3 <= 8) {
        uint32_t code = 0;
        bool hex = true;
        for (size_t k = i + 3; k < close && hex; ++k) {
          const char16_t c = format[k];
          const int digit = c >= u'0' && c <= u'9'   ? c - u'0'
                            : c >= u'a' && c <= u'f' ? c - u'a' + 10
                            : c >= u'A' && c <= u'F' ? c - u'A' + 10
                                                     : -1;
          hex = digit >= 0;
          code = code * 16 + static_cast<uint32_t>(digit);
        }
        if (hex && code > 0xFFFF) {
          if (code <= 0x10FFFF) {
            out.push_back(static_cast<wchar_t>(0xD800 + ((code - 0x10000) >> 10)));
            out.push_back(static_cast<wchar_t>(0xDC00 + ((code - 0x10000) & 0x3FF)));
          } else {
            out.push_back(L'\uFFFD');
          }
          i = close + 1;
          continue;
        }
      }
      // Any other escape, "\\" included, goes to the formatter as it is.
      out.push_back(static_cast<wchar_t>(format[i]));
      out.push_back(static_cast<wchar_t>(format[i + 1]));
      i += 2;
    }
    return out;
  }
}

// An output iterator that appends the formatter's wide characters to a UTF-16
// text. A character beyond 0xFFFF can only come from an escape of the
// replacement; it becomes a surrogate pair, or U+FFFD beyond Unicode, rather
// than being cut to 16 bits.
class Utf16Appender {
 public:
  using iterator_category = std::output_iterator_tag;
  using value_type = void;
  using difference_type = std::ptrdiff_t;
  using pointer = void;
  using reference = void;

  explicit Utf16Appender(std::u16string* out) : out_(out) {}

  Utf16Appender& operator=(wchar_t c) {
    const auto code = static_cast<uint32_t>(c);
    if (code <= 0xFFFF) {
      Append(static_cast<char16_t>(code));
    } else if (code <= 0x10FFFF) {
      CheckTextLength(out_->size() + 2);
      out_->push_back(static_cast<char16_t>(0xD800 + ((code - 0x10000) >> 10)));
      out_->push_back(static_cast<char16_t>(0xDC00 + ((code - 0x10000) & 0x3FF)));
    } else {
      Append(u'\uFFFD');
    }
    return *this;
  }
  Utf16Appender& operator*() { return *this; }
  Utf16Appender& operator++() { return *this; }
  Utf16Appender operator++(int) { return *this; }

 private:
  void Append(char16_t unit) {
    CheckTextLength(out_->size() + 1);
    out_->push_back(unit);
  }

  std::u16string* out_;
};

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

void AppendBounded(std::u16string& out, std::u16string_view piece) {
  CheckTextLength(out.size() + piece.size());
  out.append(piece);
}

TextBuffer ReplaceByExpression(const TextBuffer& text, const ReplacementSpec& prepared) {
  if (!prepared.expression) return text;
  const std::wstring subject = Widen(text);
  const std::wstring format = WidenFormat(prepared.replacement);
  TextBuffer result;
  boost::regex_replace(Utf16Appender(&result), subject.begin(), subject.end(),
                       prepared.expression->regex, format,
                       static_cast<boost::regex_constants::match_flag_type>(prepared.match_flags));
  return result;
}

TextBuffer ReplaceLiterally(const TextBuffer& text, const ReplacementSpec& prepared) {
  TextBuffer result = text;
  ReplaceLiteral(result, prepared.literal_pattern, prepared.replacement, prepared.ignore_case);
  return result;
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

bool ApplyReplacement(TextBuffer& text, const ReplacementSpec& prepared) {
  TextBuffer result =
      prepared.use_regex ? ReplaceByExpression(text, prepared) : ReplaceLiterally(text, prepared);
  if (result == text) return false;
  text.swap(result);
  return true;
}

void ReplaceLiteral(std::u16string& text, std::u16string_view pattern,
                    std::u16string_view replacement, bool ignore_case) {
  if (pattern.empty()) return;
  const LiteralSearcher searcher(pattern, ignore_case);
  const std::u16string_view source = text;
  size_t found = searcher.Find(source, 0);
  if (found == std::u16string_view::npos) return;
  // The edited text is built apart, so a text that would grow too long is
  // left exactly as it was.
  std::u16string result;
  size_t copied = 0;
  while (found != std::u16string_view::npos) {
    AppendBounded(result, source.substr(copied, found - copied));
    AppendBounded(result, replacement);
    copied = found + pattern.size();
    found = searcher.Find(source, copied);
  }
  AppendBounded(result, source.substr(copied));
  text.swap(result);
}

}  // namespace sorrel
