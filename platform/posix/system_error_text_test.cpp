#include "platform/posix/system_error_text.h"

#include <locale.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string>

#include <gtest/gtest.h>

namespace sorrel::platform {
namespace {

// The system's Japanese texts can be expected only where the locale exists
// and no LANGUAGE preference puts another language first.
bool JapaneseTextsAvailable() {
  const locale_t japanese = newlocale(LC_ALL_MASK, "ja_JP.UTF-8", static_cast<locale_t>(0));
  if (japanese == static_cast<locale_t>(0)) return false;
  freelocale(japanese);
  const char* language = std::getenv("LANGUAGE");
  return language == nullptr || *language == '\0' || std::strncmp(language, "ja", 2) == 0;
}

TEST(SystemErrorTextTest, EnglishComesFromTheCLocale) {
  EXPECT_EQ(SystemErrorText(UiLanguage::English, EACCES), u"Permission denied");
  EXPECT_EQ(SystemErrorText(UiLanguage::English, ENOSPC), u"No space left on device");
}

TEST(SystemErrorTextTest, JapaneseComesFromTheSystemTranslations) {
  if (!JapaneseTextsAvailable()) GTEST_SKIP() << "no ja_JP.UTF-8 locale";
  EXPECT_EQ(SystemErrorText(UiLanguage::Japanese, EACCES), u"許可がありません");
}

TEST(SystemErrorTextTest, UnknownCodeHasTheFallbackTextInBothLanguages) {
  for (const int code : {9999, -1}) {
    EXPECT_EQ(SystemErrorText(UiLanguage::English, code), u"FormatMessage() error");
    EXPECT_EQ(SystemErrorText(UiLanguage::Japanese, code), u"FormatMessage() error");
  }
}

}  // namespace
}  // namespace sorrel::platform
