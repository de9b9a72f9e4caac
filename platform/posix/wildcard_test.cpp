#include "platform/posix/wildcard.h"

#include <string>

#include <gtest/gtest.h>

namespace sorrel::platform {
namespace {

struct Case {
  const char* pattern;
  const char* name;
  bool matches;
};

TEST(WildcardTest, FollowsTheOldRules) {
  const Case cases[] = {
      {"*.*", "readme", true},  // no dot, still every name
      {"*.*", ".profile", true},
      {"*.*", "", true},
      {"*", ".hidden", true},
      {".*", ".hidden", true},
      {"*.txt", "a.txt", true},
      {"*.txt", ".txt", true},
      {"*.txt", "a.TXT", false},  // case counts
      {"*.txt", "a.txt.bak", false},
      {"*.txt*", "a.txt.bak", true},
      {"a*b*c", "aXbYc", true},
      {"a*b*c", "abcabc", true},
      {"a*b*c", "acb", false},
      {"a*", "a", true},
      {"?", "", false},
      {"?", "ab", false},
      {"??", "ab", true},
      {"a?c", "abc", true},
      {"a?c", "ac", false},
      {"[ab].txt", "[ab].txt", true},  // no character classes
      {"[ab].txt", "a.txt", false},
      {"", "", true},
      {"", "a", false},
      {"**", "", true},
      {"*.", "README", true},  // a dot at the end: no extension
      {"*.", "a.txt", false},
      {"*.", "a.", true},
      {"*.", ".profile", false},
      {"read*.", "readme", true},
      {"read*.", "readme.md", false},
      {"a.", "a", true},
      {".", "a", false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(WildcardMatch(c.pattern, c.name), c.matches) << c.pattern << " / " << c.name;
  }
}

TEST(WildcardTest, QuestionMarkIsOneCharacterOfUtf8OrOneStrayByte) {
  const std::string kana = "\xE3\x81\x82";  // one character, three bytes
  EXPECT_TRUE(WildcardMatch("?", kana));
  EXPECT_FALSE(WildcardMatch("???", kana));
  EXPECT_TRUE(WildcardMatch("?.txt", kana + ".txt"));
  EXPECT_TRUE(WildcardMatch("*?", "a" + kana));
  EXPECT_FALSE(WildcardMatch("*??", kana));
  // Ill-formed bytes are characters of their own.
  EXPECT_TRUE(WildcardMatch("??", "\xE3\x81"));
  EXPECT_TRUE(WildcardMatch("???", "\xC0\xAF\xFF"));
}

TEST(WildcardTest, ManyStarsOnALongNameFinishQuickly) {
  const std::string name(20000, 'a');
  EXPECT_FALSE(WildcardMatch("*a*a*a*a*a*a*a*a*b", name));
  EXPECT_TRUE(WildcardMatch("*a*a*a*a*a*a*a*a", name));
}

}  // namespace
}  // namespace sorrel::platform
