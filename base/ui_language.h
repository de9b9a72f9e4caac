// The language of every text the programs show, chosen once at start-up.
#pragma once

namespace sorrel {

enum class UiLanguage { Japanese, English };

// One user-visible text in both languages.
struct TextPair {
  const char16_t* ja;
  const char16_t* en;
  const char16_t* In(UiLanguage lang) const { return lang == UiLanguage::Japanese ? ja : en; }
};

}  // namespace sorrel
