// Error texts from the C library's own message catalogue.
#include "platform/posix/system_error_text.h"

#include <locale.h>
#include <string.h>

#include "base/utf.h"

namespace sorrel::platform {
namespace {

// Created once and never freed: the locales live as long as the process.
locale_t EnglishLocale() {
  static const locale_t locale = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(0));
  return locale;
}

locale_t JapaneseLocale() {
  static const locale_t locale = [] {
    const locale_t japanese = newlocale(LC_ALL_MASK, "ja_JP.UTF-8", static_cast<locale_t>(0));
    return japanese != static_cast<locale_t>(0) ? japanese : EnglishLocale();
  }();
  return locale;
}

}  // namespace

std::u16string SystemErrorText(UiLanguage lang, int code) {
  const locale_t locale = lang == UiLanguage::Japanese ? JapaneseLocale() : EnglishLocale();
  // A code without a name has no text of its own: the library would make up
  // "Unknown error N" (and garble it in some translations).
  if (locale == static_cast<locale_t>(0) || strerrorname_np(code) == nullptr) {
    return u"FormatMessage() error";
  }
  std::u16string text = Utf8ToUtf16(strerror_l(code, locale));
  for (char16_t& unit : text) {
    if (unit >= 1 && unit <= 31) unit = u' ';
  }
  return text;
}

}  // namespace sorrel::platform
