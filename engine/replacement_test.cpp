#include "engine/replacement.h"

#include <gtest/gtest.h>

#include <boost/regex.hpp>
#include <random>
#include <stdexcept>

#include "base/utf.h"
#include "engine/ascii_expression.h"
#include "engine/messages.h"
#include "engine/test_support.h"

namespace sorrel {
namespace {

// A CUI-mode job context: job errors land on the recording console.
struct CuiJob {
  explicit CuiJob(UiLanguage language = UiLanguage::English) {
    ctx.cui_mode = true;
    ctx.console = &console;
    ctx.language = language;
  }
  JobContext ctx;
  testing::RecordingConsole console;
};

PreparedReplacement Prepared(std::u16string_view search, std::u16string_view replace,
                             bool use_regex, bool ignore_case = false, bool single_line = false,
                             bool dot_not_newline = false) {
  CuiJob job;
  PreparedReplacement prepared;
  EXPECT_TRUE(PrepareReplacement(job.ctx, search, replace, use_regex, ignore_case, single_line,
                                 dot_not_newline, &prepared));
  EXPECT_EQ(job.console.out, u"");
  return prepared;
}

// The text after a regular-expression replacement over it.
std::u16string Regex(std::u16string text, std::u16string_view search, std::u16string_view replace,
                     bool single_line = false, bool dot_not_newline = false) {
  ApplyReplacement(text, Prepared(search, replace, true, false, single_line, dot_not_newline));
  return text;
}

std::u16string Literal(std::u16string text, std::u16string_view pattern,
                       std::u16string_view replacement, bool ignore_case = false) {
  ReplaceLiteral(text, pattern, replacement, ignore_case);
  return text;
}

// The step-by-step rule: find, erase and insert per hit, scanning on behind
// the inserted text; the folded copy is edited alike to stay aligned.
void ReferenceReplaceLiteral(std::u16string& text, std::u16string_view pattern,
                             std::u16string_view replacement, bool ignore_case) {
  auto fold = [&](std::u16string s) {
    if (ignore_case) {
      for (char16_t& c : s) {
        if (c >= u'A' && c <= u'Z') c += 32;
      }
    }
    return s;
  };
  std::u16string folded = fold(text);
  const std::u16string folded_pattern = fold(std::u16string(pattern));
  size_t pos = 0;
  while ((pos = folded.find(folded_pattern, pos)) != std::u16string::npos) {
    text.replace(pos, pattern.size(), replacement);
    folded.replace(pos, pattern.size(), replacement);
    pos += replacement.size();
  }
}

TEST(ReplaceLiteral, MatchesTheStepByStepRuleOnRandomTexts) {
  static const char16_t kAlphabet[] = {u'a', u'A', u'b', u'B', u'\r', u'\n', u'\uFF21', u'\xE9'};
  std::mt19937 rng(42);
  std::uniform_int_distribution<size_t> pick(0, std::size(kAlphabet) - 1);
  auto random = [&](size_t min, size_t max) {
    std::u16string s(std::uniform_int_distribution<size_t>(min, max)(rng), u'a');
    for (char16_t& c : s) c = kAlphabet[pick(rng)];
    return s;
  };
  for (int round = 0; round < 4000; ++round) {
    const std::u16string text = random(0, 30);
    const std::u16string pattern = random(1, 4);
    const std::u16string replacement = random(0, 5);
    const bool ignore_case = round % 2 == 1;
    std::u16string expected = text;
    ReferenceReplaceLiteral(expected, pattern, replacement, ignore_case);
    ASSERT_EQ(Literal(text, pattern, replacement, ignore_case), expected) << "round " << round;
  }
}

TEST(ReplaceLiteral, LeftToRightWithoutOverlapOrLooping) {
  EXPECT_EQ(Literal(u"aaa", u"a", u"aa"), u"aaaaaa");
  EXPECT_EQ(Literal(u"aaa", u"aa", u"x"), u"xa");
  // A pattern whose prefix repeats must still be found after a false start.
  EXPECT_EQ(Literal(u"aabaabaaab", u"aaab", u"X"), u"aabaabX");
  EXPECT_EQ(Literal(u"p$1\\q", u"q", u"$2\\1"), u"p$1\\$2\\1");
  EXPECT_EQ(Literal(u"abc", u"", u"x"), u"abc");
  EXPECT_EQ(Literal(u"abc", u"abcd", u"x"), u"abc");
}

TEST(ReplaceLiteral, IgnoreCaseFoldsOnlyAsciiLetters) {
  EXPECT_EQ(Literal(u"ABC abc Abc", u"abc", u"x", true), u"x x x");
  EXPECT_EQ(Literal(u"ABC abc", u"abc", u"Q", false), u"ABC Q");
  // Full-width capitals match only themselves; accented letters are exact.
  EXPECT_EQ(Literal(u"\uFF21\uFF22 \uFF41\uFF42", u"\uFF21\uFF22", u"x", true), u"x \uFF41\uFF42");
  EXPECT_EQ(Literal(u"\xC9 \xE9", u"\xE9", u"e", true), u"\xC9 e");
  // Units whose low byte is a capital are not letters.
  EXPECT_EQ(Literal(u"\u0141\u0161", u"\u0161", u"s", true), u"\u0141s");
}

TEST(ReplaceLiteral, LinearOnAdversarialInput) {
  // A naive search compares most of the pattern at every position here.
  const std::u16string text(2'000'000, u'a');
  const std::u16string pattern = std::u16string(50'000, u'a') + u"b";
  std::u16string edited = text;
  ReplaceLiteral(edited, pattern, u"x", false);
  EXPECT_EQ(edited, text);
  edited = text;
  ReplaceLiteral(edited, u"a", u"", false);
  EXPECT_EQ(edited, u"");
}

TEST(PrepareReplacement, FlagsFollowTheOptionsWithoutMatchAny) {
  using boost::regex_constants::match_not_dot_newline;
  using boost::regex_constants::match_single_line;
  EXPECT_EQ(Prepared(u"x", u"y", true).match_flags, 0u);
  EXPECT_EQ(Prepared(u"x", u"y", true, false, true).match_flags, uint32_t{match_single_line});
  EXPECT_EQ(Prepared(u"x", u"y", true, false, false, true).match_flags,
            uint32_t{match_not_dot_newline});
  EXPECT_EQ(Prepared(u"x", u"y", false, false, true, true).match_flags,
            uint32_t{match_single_line | match_not_dot_newline});
}

TEST(PrepareReplacement, LiteralModeKeepsThePatternAndTheCallersGate) {
  CuiJob job;
  PreparedReplacement prepared;
  prepared.enabled = true;
  ASSERT_TRUE(PrepareReplacement(job.ctx, u"a.b", u"$0", false, true, false, false, &prepared));
  EXPECT_TRUE(prepared.enabled);
  EXPECT_FALSE(prepared.use_regex);
  EXPECT_TRUE(prepared.ignore_case);
  EXPECT_EQ(prepared.literal_pattern, u"a.b");
  EXPECT_EQ(prepared.replacement, u"$0");
  EXPECT_EQ(prepared.expression, nullptr);
  std::u16string text = u"A.B axb";
  EXPECT_TRUE(ApplyReplacement(text, prepared));
  EXPECT_EQ(text, u"$0 axb");
}

TEST(PrepareReplacement, TextsMayViewIntoTheReplacementBeingPrepared) {
  CuiJob job;
  PreparedReplacement prepared;
  prepared.literal_pattern = u"(a)";
  prepared.replacement = u"[$1]";
  ASSERT_TRUE(PrepareReplacement(job.ctx, prepared.literal_pattern, prepared.replacement, true,
                                 false, false, false, &prepared));
  std::u16string text = u"xay";
  EXPECT_TRUE(ApplyReplacement(text, prepared));
  EXPECT_EQ(text, u"x[a]y");
}

TEST(PrepareReplacement, BadExpressionIsShownAndFails) {
  for (UiLanguage language : {UiLanguage::English, UiLanguage::Japanese}) {
    CuiJob job(language);
    PreparedReplacement prepared;
    prepared.enabled = true;
    EXPECT_FALSE(PrepareReplacement(job.ctx, u"(\\d+", u"x", true, false, false, false, &prepared));
    EXPECT_EQ(job.console.out, std::u16string(messages::kBadExpression.In(language)) + u"\n");
    EXPECT_EQ(prepared.expression, nullptr);
    EXPECT_TRUE(prepared.replacement.empty());
  }
}

// The library would loop for ever on these; they are refused as malformed.
TEST(PrepareReplacement, CommentAfterPossessiveRepeatIsRefused) {
  for (std::u16string_view search :
       {u"a?+(?#)b", u"x*+(?#c)y", u"(?x)a{2}+ (?#)b", u"a++(?#)(?#)b"}) {
    CuiJob job;
    PreparedReplacement prepared;
    EXPECT_FALSE(PrepareReplacement(job.ctx, search, u"x", true, false, false, false, &prepared));
    EXPECT_EQ(job.console.out,
              std::u16string(messages::kBadExpression.In(UiLanguage::English)) + u"\n");
  }
  EXPECT_EQ(Regex(u"aab", u"a++b(?#c)", u"x"), u"x");
  EXPECT_EQ(Regex(u"aab", u"a+(?#c)b", u"x"), u"x");
}

TEST(ApplyReplacement, SwapsNumbersGreedily) {
  EXPECT_EQ(Regex(u"12-34 x 5-6", u"(\\d+)-(\\d+)", u"$2-$1"), u"34-12 x 6-5");
}

TEST(ApplyReplacement, AnchorsMatchLinesUnlessSingleLine) {
  const std::u16string text = u"ab\r\nab\nab";
  EXPECT_EQ(Regex(text, u"^a", u"X"), u"Xb\r\nXb\nXb");
  EXPECT_EQ(Regex(text, u"b$", u"Y"), u"aY\r\naY\naY");
  EXPECT_EQ(Regex(text, u"^a", u"X", true), u"Xb\r\nab\nab");
  EXPECT_EQ(Regex(text, u"b$", u"Y", true), u"ab\r\nab\naY");
  // No line starts between the CR and the LF of a pair.
  EXPECT_EQ(Regex(u"a\r\nb", u"^", u"|"), u"|a\r\n|b");
}

TEST(ApplyReplacement, DotMatchesLineEndsUnlessAsked) {
  EXPECT_EQ(Regex(u"a\nb a\rb", u"a.b", u"X"), u"X X");
  EXPECT_EQ(Regex(u"a\nb a\rb axb", u"a.b", u"X", false, true), u"a\nb a\rb X");
}

TEST(ApplyReplacement, IgnoreCaseAndFormatEscapes) {
  std::u16string text = u"Hello HELLO";
  EXPECT_TRUE(ApplyReplacement(text, Prepared(u"hello", u"\\U$&\\E!", true, true)));
  EXPECT_EQ(text, u"HELLO! HELLO!");
}

TEST(ApplyReplacement, UnitsAreCharactersOneToOne) {
  // A surrogate pair is two characters for the expression, as for the rest.
  EXPECT_EQ(Regex(u"x\U0001F600y", u"x..y", u"ok"), u"ok");
  EXPECT_EQ(Regex(u"x\U0001F600y", u"\\x{D83D}", u"<hi>"), u"x<hi>\xDE00y");
  // A character beyond 16 bits written by the replacement stays whole.
  EXPECT_EQ(Regex(u"a", u"a", u"\\x{1F600}"), u"\U0001F600");
  EXPECT_EQ(Regex(u"a", u"a", u"\\\\x{1F600}"), u"\\x{1F600}");  // an escaped backslash
}

TEST(ApplyReplacement, SameTextIsNoChange) {
  std::u16string text = u"xyz";
  EXPECT_FALSE(ApplyReplacement(text, Prepared(u"x", u"x", true)));
  EXPECT_FALSE(ApplyReplacement(text, Prepared(u"q", u"r", true)));
  EXPECT_FALSE(ApplyReplacement(text, Prepared(u"x", u"x", false)));
  EXPECT_FALSE(ApplyReplacement(text, Prepared(u"", u"r", false)));
  EXPECT_EQ(text, u"xyz");
  EXPECT_TRUE(ApplyReplacement(text, Prepared(u"y", u"", true)));
  EXPECT_EQ(text, u"xz");
}

TEST(ApplyReplacement, MatchingTooComplexPassesToTheCaller) {
  std::u16string text = std::u16string(40, u'a') + u"!";
  const std::u16string before = text;
  const PreparedReplacement prepared = Prepared(u"(a|aa)*(a|aa)*(a|aa)*$b", u"x", true);
  EXPECT_THROW(ApplyReplacement(text, prepared), std::runtime_error);
  EXPECT_EQ(text, before);
}

TEST(ApplyReplacement, AResultFarLongerThanTheTextIsBuiltAtItsSize) {
  // Past the text's size and 4 MiB the result is counted, then built again.
  const std::u16string long_piece(size_t{3} << 20, u'z');
  for (const bool regex : {true, false}) {
    std::u16string text = u"a-b-c-d-e";
    EXPECT_TRUE(ApplyReplacement(text, Prepared(u"-", long_piece, regex)));
    EXPECT_EQ(text,
              u"a" + long_piece + u"b" + long_piece + u"c" + long_piece + u"d" + long_piece + u"e");
    EXPECT_EQ(text.capacity(), text.size());
  }
}

// The expressions that match ASCII only, which may run over bytes.
TEST(AsciiExpression, TakesOnlyWhatMatchesAsciiAndNeverNothing) {
  for (const char16_t* pattern :
       {u"([0-9]+)-([0-9]+)", u"a|bc", u"(?:ab)+c{2,3}?", u"[-a-z\\d\\]]x", u"\\.\\t\\ $",
        u"^#include", u"[]]+", u"x(y|)z"}) {
    EXPECT_TRUE(ReadAsciiExpression(pattern).ascii_only) << std::string(pattern, pattern + 3);
  }
  for (const char16_t* pattern :
       {u"a.b", u"[^a]", u"\\w+", u"\\s", u"a\\b", u"(a)\\1", u"(?=a)a", u"(?i)a", u"[[:alpha:]]",
        u"\u3042", u"a*", u"^", u"x|", u"(?#c)a", u"a{2", u"\\x41", u"a**"}) {
    EXPECT_FALSE(ReadAsciiExpression(pattern).ascii_only);
  }
  EXPECT_TRUE(ReadAsciiExpression(u"^a$").anchors);
  EXPECT_FALSE(ReadAsciiExpression(u"a").anchors);
}

// Over the UTF-8 of random texts (kana, a pair, line separators beyond
// ASCII), the bytes give the text's replacement, its answer and its
// refusals, whenever ReplacesUtf8 lets them.
TEST(ApplyReplacement, OnUtf8BytesAsOnTheText) {
  const std::u16string alphabet[] = {u"1",      u"23",     u"-", u"a",      u"B",
                                     u"\n",     u"\r\n",   u" ", u"\u3042", u"\U0001F600",
                                     u"\u2028", u"\u0085", u"#", u"\uFF11"};
  struct Case {
    const char16_t* search;
    const char16_t* replace;
    bool single_line;
  };
  const Case cases[] = {{u"([0-9]+)-([0-9]+)", u"$2\u3042$1", false},
                        {u"^([a-z]+)", u"<$1>", false},
                        {u"^([a-z]+)", u"<${1}>", true},
                        {u"[0-9]$", u"$&$&", false},
                        {u"(B)|(#)", u"$2$1$3", false},
                        {u"a", u"\U0001F600", false},
                        {u"(\\d+)-([\\d]+)", u"$2-$1", false}};
  std::mt19937 random(29);
  int on_bytes = 0;
  for (const Case& c : cases) {
    const PreparedReplacement prepared = Prepared(c.search, c.replace, true, false, c.single_line);
    for (int i = 0; i < 400; ++i) {
      std::u16string text;
      for (size_t n = random() % 30; n > 0; --n) text += alphabet[random() % std::size(alphabet)];
      std::string bytes = Utf16ToUtf8(text);
      if (!ReplacesUtf8(prepared, bytes)) continue;
      ++on_bytes;
      const bool changed = ApplyReplacement(text, prepared);
      ASSERT_EQ(ApplyReplacementToUtf8(bytes, prepared), changed);
      ASSERT_EQ(bytes, Utf16ToUtf8(text));
    }
  }
  EXPECT_GT(on_bytes, 1500);
  // A replacement with half a pair, or an escape, stays on the text.
  EXPECT_FALSE(ReplacesUtf8(Prepared(u"a", u"\xD800", true), "a"));
  EXPECT_FALSE(ReplacesUtf8(Prepared(u"a", u"\\n", true), "a"));
  EXPECT_FALSE(ReplacesUtf8(Prepared(u"a", u"b", true, true), "a"));
}

}  // namespace
}  // namespace sorrel
