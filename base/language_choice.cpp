// The language rule of both programs.
#include "base/language_choice.h"

#include <cstring>
#include <initializer_list>

namespace sorrel {

namespace {

// SORREL_LANG's value as read into a buffer of 80 bytes.
const char* Bounded(const char* value) {
  return value != nullptr && std::strlen(value) >= 80 ? "" : value;
}

UiLanguage FromSorrelLang(const char* value) {
  const bool ja = (value[0] == 'j' || value[0] == 'J') && (value[1] == 'a' || value[1] == 'A') &&
                  value[2] == '\0';
  return ja ? UiLanguage::Japanese : UiLanguage::English;
}

UiLanguage FromLocale(const char* lc_all, const char* lc_messages, const char* lang) {
  for (const char* value : {lc_all, lc_messages, lang}) {
    if (value == nullptr || *value == '\0') continue;
    return std::strncmp(value, "ja", 2) == 0 ? UiLanguage::Japanese : UiLanguage::English;
  }
  return UiLanguage::English;
}

}  // namespace

UiLanguage ChooseUiLanguage(const char* sorrel_lang, const char* lc_all, const char* lc_messages,
                            const char* lang) {
  sorrel_lang = Bounded(sorrel_lang);
  if (sorrel_lang != nullptr && *sorrel_lang != '\0') return FromSorrelLang(sorrel_lang);
  return FromLocale(lc_all, lc_messages, lang);
}

UiLanguage ChooseCliUiLanguage(const char* sorrel_lang, const char* lc_all, const char* lc_messages,
                               const char* lang) {
  sorrel_lang = Bounded(sorrel_lang);
  if (sorrel_lang != nullptr) return FromSorrelLang(sorrel_lang);
  return FromLocale(lc_all, lc_messages, lang);
}

}  // namespace sorrel
