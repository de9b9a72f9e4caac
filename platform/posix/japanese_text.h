// How much a decoded text looks like Japanese: the evidence that detection
// weighs between the Japanese readings of a file's bytes, and against the
// answer of a detector made for other languages.
#pragma once

#include <cstddef>
#include <string_view>

namespace sorrel::platform {

struct JapaneseEvidence {
  // The sum of the weights of the characters other than ASCII: kana, the
  // usual punctuation and common kanji count for, rare kanji, symbols of
  // other scripts, private-use and control characters against.
  double weight = 0;
  size_t characters = 0;  // characters other than ASCII
  // Characters that only Japanese text is made of: kana, and the common
  // kanji and punctuation of JIS X 0208.
  size_t japanese = 0;
  // Those of them in full width other than kanji: kana and the usual
  // punctuation, which bytes of other pages are least often read as.
  size_t kana = 0;

  double Mean() const { return characters == 0 ? 0 : weight / static_cast<double>(characters); }
};

// Weighs text, a pair of surrogates as one character. The weights are rough
// log-odds of a character in Japanese text against one in a misread byte
// string: bytes of another code page read as Shift-JIS, EUC-JP, UTF-8 or
// UTF-16 come out as half-width katakana soup, random or rare kanji,
// private-use characters and C1 controls.
JapaneseEvidence WeighJapanese(std::u16string_view text);

}  // namespace sorrel::platform
