#include "engine/transforms.h"

#include <gtest/gtest.h>

#include <chrono>
#include <random>

namespace sorrel {
namespace {

// Kana, the ideographic space and the main CJK block count two columns, as
// code page 932 has them; the rest of the units count one.
const std::bitset<65536>& DoubleByte() {
  static const std::bitset<65536> bits = [] {
    std::bitset<65536> b;
    b.set(0x3000);
    for (char32_t c = 0x3041; c <= 0x30FF; ++c) b.set(c);
    for (char32_t c = 0x4E00; c <= 0x9FFF; ++c) b.set(c);
    return b;
  }();
  return bits;
}

// --- The step-by-step rules, one edit per hit, as the oracle. ---

bool ReferenceUnify(TextBuffer& t, LineEndKind kind) {
  if (t.empty()) return false;
  bool changed = false;
  for (size_t i = 0; i < t.size(); ++i) {
    if (kind == 1 && t[i] == u'\r') {
      changed = true;
      if (i + 1 < t.size() && t[i + 1] == u'\n') {
        t.erase(i, 1);
      } else {
        t[i] = u'\n';
      }
    } else if (kind == 2 && t[i] == u'\r') {
      if (i + 1 < t.size() && t[i + 1] == u'\n') {
        t.erase(i + 1, 1);
        changed = true;
      }
    } else if (kind == 2 && t[i] == u'\n') {
      t[i] = u'\r';
      changed = true;
    } else if (kind == 0 && t[i] == u'\n' && (i == 0 || t[i - 1] != u'\r')) {
      t.insert(i, 1, u'\r');
      ++i;
      changed = true;
    } else if (kind == 0 && t[i] == u'\r' && (i + 1 == t.size() || t[i + 1] != u'\n')) {
      t.insert(i + 1, 1, u'\n');
      ++i;
      changed = true;
    }
  }
  return changed;
}

bool ReferenceSplit(TextBuffer& t) {
  bool changed = false;
  for (size_t i = 0; i < t.size(); ++i) {
    if (t[i] == u'\u3000') {
      t[i] = u' ';
      t.insert(i + 1, 1, u' ');
      ++i;
      changed = true;
    }
  }
  return changed;
}

bool ReferenceTrim(TextBuffer& t) {
  bool changed = false;
  size_t i = 0;
  while (i < t.size()) {
    if (t[i] != u' ' && t[i] != u'\t') {
      ++i;
      continue;
    }
    size_t end = i;
    while (end < t.size() && (t[end] == u' ' || t[end] == u'\t')) ++end;
    if (end == t.size()) {
      t.erase(i);
      return true;
    }
    if (t[end] == u'\r' || t[end] == u'\n') {
      t.erase(i, end - i);
      changed = true;
    } else {
      i = end;
    }
  }
  return changed;
}

bool ReferenceExpand(TextBuffer& t, uint32_t width) {
  bool changed = false;
  uint64_t col = 0;
  for (size_t i = 0; i < t.size(); ++i) {
    if (t[i] == u'\t') {
      t[i] = u' ';
      t.insert(i + 1, width - (col % width) - 1, u' ');
      ++col;
      changed = true;
    } else if (t[i] == u'\r' || t[i] == u'\n') {
      col = 0;
    } else {
      col += DoubleByte()[t[i]] ? 2 : 1;
    }
  }
  return changed;
}

bool IsBadControl(char16_t c) {
  return c < 0x20 && c != u'\t' && c != u'\n' && c != u'\r' && c != 0x1A;
}

bool ReferenceDeleteControls(TextBuffer& t) {
  bool changed = false;
  for (size_t i = 0; i < t.size(); ++i) {
    while (i < t.size() && IsBadControl(t[i])) {
      t.erase(i, 1);
      changed = true;
    }
  }
  return changed;
}

bool ReferenceControlsToSpaces(TextBuffer& t) {
  bool changed = false;
  for (char16_t& c : t) {
    if (IsBadControl(c)) {
      c = u' ';
      changed = true;
    }
  }
  return changed;
}

bool ReferenceInsert(TextBuffer& t, uint32_t n, LineEndKind kind) {
  // Step through the characters, a pair as one, with a line end before
  // every (n+1)-th.
  const std::u16string ends[] = {u"\r\n", u"\n", u"\r"};
  bool cut = false;
  size_t count = 0;
  for (size_t i = 0; i < t.size(); ++count) {
    if (count == n) {
      cut = true;
      count = 0;
      if (kind >= 0 && kind <= 2) {
        t.insert(i, ends[kind]);
        i += ends[kind].size();
      }
    }
    const bool pair = t[i] >= 0xD800 && t[i] <= 0xDBFF && i + 1 < t.size() && t[i + 1] >= 0xDC00 &&
                      t[i + 1] <= 0xDFFF;
    i += pair ? 2 : 1;
  }
  return cut;
}

// Short texts over the units every rule looks at, with runs likely.
TextBuffer RandomText(std::mt19937& rng) {
  static const char16_t kAlphabet[] = {
      u'\r',   u'\n',   u'\t', u' ', u'\u3000', u'\u3042', u'\u4E00', u'\x01',   u'\x0B',   u'\x1A',
      u'\x1F', u'\x7F', u'a',  u'B', u'\xD83D', u'\xDE00', u'\x00',   u'\uFF76', u'\u00E9', u'z'};
  std::uniform_int_distribution<size_t> length(0, 24);
  std::uniform_int_distribution<size_t> pick(0, std::size(kAlphabet) - 1);
  TextBuffer t(length(rng), u'a');
  for (char16_t& c : t) c = kAlphabet[pick(rng)];
  return t;
}

// Runs each transform and its oracle on the same random texts.
template <typename Linear, typename Oracle>
void ExpectSameAsRule(uint32_t seed, Linear linear, Oracle oracle) {
  std::mt19937 rng(seed);
  for (int round = 0; round < 3000; ++round) {
    const TextBuffer input = RandomText(rng);
    TextBuffer fast = input;
    TextBuffer slow = input;
    const bool fast_changed = linear(fast);
    const bool slow_changed = oracle(slow);
    ASSERT_EQ(fast, slow) << "round " << round;
    ASSERT_EQ(fast_changed, slow_changed) << "round " << round;
  }
}

TEST(TransformsMatchRule, UnifyLineEnds) {
  for (LineEndKind kind : {0, 1, 2}) {
    ExpectSameAsRule(
        kind, [&](TextBuffer& t) { return UnifyLineEnds(t, kind); },
        [&](TextBuffer& t) { return ReferenceUnify(t, kind); });
  }
}

TEST(TransformsMatchRule, SplitFullWidthSpaces) {
  ExpectSameAsRule(
      7, [](TextBuffer& t) { return SplitFullWidthSpaces(t); }, ReferenceSplit);
}

TEST(TransformsMatchRule, DeleteTrailingWhiteSpace) {
  ExpectSameAsRule(
      8, [](TextBuffer& t) { return DeleteTrailingWhiteSpace(t); }, ReferenceTrim);
}

TEST(TransformsMatchRule, ExpandTabs) {
  for (uint32_t width : {1u, 2u, 3u, 4u, 8u}) {
    ExpectSameAsRule(
        width, [&](TextBuffer& t) { return ExpandTabs(t, width, DoubleByte()); },
        [&](TextBuffer& t) { return ReferenceExpand(t, width); });
  }
}

TEST(TransformsMatchRule, ControlCodes) {
  ExpectSameAsRule(
      9, [](TextBuffer& t) { return DeleteControlCodes(t); }, ReferenceDeleteControls);
  ExpectSameAsRule(
      10, [](TextBuffer& t) { return ControlCodesToSpaces(t); }, ReferenceControlsToSpaces);
}

TEST(TransformsMatchRule, InsertLineEndEveryNChars) {
  for (LineEndKind kind : {-1, 0, 1, 2, 3}) {
    for (uint32_t n : {1u, 2u, 3u, 5u, 7u}) {
      ExpectSameAsRule(
          kind * 10 + n, [&](TextBuffer& t) { return InsertLineEndEveryNChars(t, n, kind); },
          [&](TextBuffer& t) { return ReferenceInsert(t, n, kind); });
    }
  }
}

// --- Cases that pin the rules down where a slip is easy. ---

TEST(TransformsLineEnds, EveryKindFromMixedEnds) {
  const TextBuffer mixed = u"p\rq\nr\r\ns";
  TextBuffer t = mixed;
  EXPECT_TRUE(UnifyLineEnds(t, kLineEndCrLf));
  EXPECT_EQ(t, u"p\r\nq\r\nr\r\ns");
  t = mixed;
  EXPECT_TRUE(UnifyLineEnds(t, kLineEndLf));
  EXPECT_EQ(t, u"p\nq\nr\ns");
  t = mixed;
  EXPECT_TRUE(UnifyLineEnds(t, kLineEndCr));
  EXPECT_EQ(t, u"p\rq\rr\rs");
}

TEST(TransformsLineEnds, LfBeforeCrIsTwoLineEnds) {
  TextBuffer t = u"\n\r";
  EXPECT_TRUE(UnifyLineEnds(t, kLineEndCrLf));
  EXPECT_EQ(t, u"\r\n\r\n");
  t = u"\n\r";
  EXPECT_TRUE(UnifyLineEnds(t, kLineEndLf));
  EXPECT_EQ(t, u"\n\n");
  t = u"\n\r";
  EXPECT_TRUE(UnifyLineEnds(t, kLineEndCr));
  EXPECT_EQ(t, u"\r\r");
}

TEST(TransformsLineEnds, AlreadyUnifiedOrUnknownKindIsNoChange) {
  TextBuffer t = u"a\r\nb\r\n";
  EXPECT_FALSE(UnifyLineEnds(t, kLineEndCrLf));
  t = u"a\nb";
  EXPECT_FALSE(UnifyLineEnds(t, kLineEndLf));
  t = u"a\rb\r";
  EXPECT_FALSE(UnifyLineEnds(t, kLineEndCr));
  for (LineEndKind kind : {-1, 3, 100}) {
    t = u"a\rb\n";
    EXPECT_FALSE(UnifyLineEnds(t, kind));
    EXPECT_EQ(t, u"a\rb\n");
  }
}

TEST(TransformsLineEnds, EveryNCharsNeverCutsAPair) {
  TextBuffer t = u"a\U0001F600b";
  EXPECT_TRUE(InsertLineEndEveryNChars(t, 2, kLineEndLf));
  EXPECT_EQ(t, u"a\U0001F600\nb");
  t = u"\U0001F600\U0001F600";
  EXPECT_FALSE(InsertLineEndEveryNChars(t, 2, kLineEndLf));
  EXPECT_TRUE(InsertLineEndEveryNChars(t, 1, kLineEndCrLf));
  EXPECT_EQ(t, u"\U0001F600\r\n\U0001F600");
}

TEST(TransformsEmpty, EveryStepLeavesAnEmptyTextAlone) {
  TextBuffer t;
  for (LineEndKind kind : {0, 1, 2}) EXPECT_FALSE(UnifyLineEnds(t, kind));
  EXPECT_FALSE(SplitFullWidthSpaces(t));
  EXPECT_FALSE(DeleteTrailingWhiteSpace(t));
  EXPECT_FALSE(ExpandTabs(t, 4, DoubleByte()));
  EXPECT_FALSE(DeleteControlCodes(t));
  EXPECT_FALSE(ControlCodesToSpaces(t));
  EXPECT_FALSE(InsertLineEndEveryNChars(t, 1, kLineEndCrLf));
  EXPECT_TRUE(t.empty());
}

TEST(TransformsSpaces, SplitThenTrimRemovesFullWidthSpaceAtLineEnd) {
  TextBuffer t = u"x\u3000\u3000y";
  EXPECT_TRUE(SplitFullWidthSpaces(t));
  EXPECT_EQ(t, u"x    y");
  t = u"p\u3000\r\n";
  EXPECT_FALSE(DeleteTrailingWhiteSpace(t));
  EXPECT_TRUE(SplitFullWidthSpaces(t));
  EXPECT_TRUE(DeleteTrailingWhiteSpace(t));
  EXPECT_EQ(t, u"p\r\n");
}

TEST(TransformsSpaces, TrimKeepsInnerWhiteSpace) {
  TextBuffer t = u"pq \t \r\nrs\t";
  EXPECT_TRUE(DeleteTrailingWhiteSpace(t));
  EXPECT_EQ(t, u"pq\r\nrs");
  t = u"pq r";
  EXPECT_FALSE(DeleteTrailingWhiteSpace(t));
  t = u" \t ";
  EXPECT_TRUE(DeleteTrailingWhiteSpace(t));
  EXPECT_EQ(t, u"");
}

TEST(TransformsTabs, StopsCountDoubleByteUnitsAndRestartPerLine) {
  struct Case {
    TextBuffer in, out;
  };
  const Case cases[] = {
      {u"\tx", u"    x"},
      {u"pqr\tx", u"pqr x"},
      {u"\u3042\tx", u"\u3042  x"},
      {u"ab\r\tx", u"ab\r    x"},
      {u"ab\n\t\t", u"ab\n        "},
      // A half-width katakana is one column, each half of a surrogate pair too.
      {u"\uFF76\t", u"\uFF76   "},
      {u"\U0001F600\t", u"\U0001F600  "},
  };
  for (const Case& c : cases) {
    TextBuffer t = c.in;
    EXPECT_TRUE(ExpandTabs(t, 4, DoubleByte()));
    EXPECT_EQ(t, c.out);
  }
  TextBuffer none = u"abc";
  EXPECT_FALSE(ExpandTabs(none, 4, DoubleByte()));
  TextBuffer zero_width = u"a\tb";
  EXPECT_FALSE(ExpandTabs(zero_width, 0, DoubleByte()));
  EXPECT_EQ(zero_width, u"a\tb");
}

TEST(TransformsControlCodes, InvalidCodesGoOrBecomeSpaces) {
  const TextBuffer in = u"p\x01q\x1Ar\x0Bs\x7F";
  TextBuffer t = in;
  EXPECT_TRUE(DeleteControlCodes(t));
  EXPECT_EQ(t, u"pq\x1Ars\x7F");
  t = in;
  EXPECT_TRUE(ControlCodesToSpaces(t));
  EXPECT_EQ(t, u"p q\x1Ar s\x7F");
  t = u"pq\x0C\x04";
  EXPECT_TRUE(DeleteControlCodes(t));
  EXPECT_EQ(t, u"pq");
  t = TextBuffer(u"\x00\x1F\x08", 3);
  EXPECT_TRUE(DeleteControlCodes(t));
  EXPECT_TRUE(t.empty());
  t = u"\t\r\n\x1A";
  EXPECT_FALSE(DeleteControlCodes(t));
  EXPECT_FALSE(ControlCodesToSpaces(t));
}

TEST(TransformsInsertLineEnd, CutsEveryNUnitsButNotAfterTheLast) {
  TextBuffer t = u"pqrstuv";
  EXPECT_TRUE(InsertLineEndEveryNChars(t, 3, kLineEndCrLf));
  EXPECT_EQ(t, u"pqr\r\nstu\r\nv");
  t = u"pqrstu";
  EXPECT_TRUE(InsertLineEndEveryNChars(t, 3, kLineEndCrLf));
  EXPECT_EQ(t, u"pqr\r\nstu");
  t = u"pqr";
  EXPECT_FALSE(InsertLineEndEveryNChars(t, 3, kLineEndCrLf));
  // Existing line ends count as units and may be split.
  t = u"a\r\nb";
  EXPECT_TRUE(InsertLineEndEveryNChars(t, 2, kLineEndLf));
  EXPECT_EQ(t, u"a\r\n\nb");
}

TEST(TransformsInsertLineEnd, UnknownKindReportsChangeAndZeroIsOff) {
  TextBuffer t = u"pqrs";
  EXPECT_TRUE(InsertLineEndEveryNChars(t, 2, 7));
  EXPECT_EQ(t, u"pqrs");
  EXPECT_FALSE(InsertLineEndEveryNChars(t, 0, kLineEndCrLf));
  EXPECT_EQ(t, u"pqrs");
  EXPECT_FALSE(InsertLineEndEveryNChars(t, 4'000'000'000u, kLineEndCrLf));
}

// --- The length guard: sizes computed before anything is allocated. ---

TEST(TransformsLimit, HugeTabWidthThrowsQuicklyAndKeepsText) {
  const TextBuffer in = u"a\tb\t\tc";
  TextBuffer t = in;
  const auto start = std::chrono::steady_clock::now();
  EXPECT_THROW(ExpandTabs(t, 4'000'000'000u, DoubleByte()), std::bad_alloc);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
  EXPECT_EQ(t, in);
}

TEST(TransformsLimit, OneUnitOverTheLimitThrows) {
  // The tab fills up to column 2^31 + 1, one unit more than a text may hold.
  TextBuffer t = u"a\t";
  EXPECT_THROW(ExpandTabs(t, 2'147'483'649u, DoubleByte()), std::bad_alloc);
  EXPECT_EQ(t, u"a\t");
}

}  // namespace
}  // namespace sorrel
