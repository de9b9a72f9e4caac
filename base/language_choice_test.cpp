#include "base/language_choice.h"

#include <gtest/gtest.h>

#include <string>

namespace sorrel {
namespace {

constexpr UiLanguage ja = UiLanguage::Japanese;
constexpr UiLanguage en = UiLanguage::English;

TEST(ChooseUiLanguage, SorrelLangDecidesWhenSetAndNotEmpty) {
  EXPECT_EQ(ChooseUiLanguage("ja", nullptr, nullptr, "C"), ja);
  EXPECT_EQ(ChooseUiLanguage("JA", nullptr, nullptr, nullptr), ja);
  EXPECT_EQ(ChooseUiLanguage("EN", nullptr, nullptr, "ja_JP.UTF-8"), en);
  EXPECT_EQ(ChooseUiLanguage("ja_JP", nullptr, nullptr, "ja_JP.UTF-8"), en);
  EXPECT_EQ(ChooseUiLanguage("Japanese", nullptr, nullptr, nullptr), en);
  // An empty value, or one of 80 bytes or more, is as if unset.
  EXPECT_EQ(ChooseUiLanguage("", nullptr, nullptr, "ja_JP.UTF-8"), ja);
  EXPECT_EQ(ChooseUiLanguage(std::string(80, 'x').c_str(), nullptr, nullptr, "ja_JP.UTF-8"), ja);
}

TEST(ChooseUiLanguage, TheFirstLocaleVariableSetDecides) {
  EXPECT_EQ(ChooseUiLanguage(nullptr, "C", nullptr, "ja_JP.UTF-8"), en);
  EXPECT_EQ(ChooseUiLanguage(nullptr, "", "ja_JP.UTF-8", "C"), ja);
  EXPECT_EQ(ChooseUiLanguage(nullptr, nullptr, nullptr, "ja"), ja);
  EXPECT_EQ(ChooseUiLanguage(nullptr, nullptr, nullptr, nullptr), en);
  EXPECT_EQ(ChooseUiLanguage(nullptr, nullptr, nullptr, "jv_ID"), en);
}

TEST(ChooseCliUiLanguage, ASetButEmptySorrelLangMeansEnglish) {
  EXPECT_EQ(ChooseCliUiLanguage("", nullptr, nullptr, "ja_JP.UTF-8"), en);
  EXPECT_EQ(ChooseCliUiLanguage(std::string(80, 'x').c_str(), nullptr, nullptr, "ja"), en);
  EXPECT_EQ(ChooseCliUiLanguage("ja", nullptr, nullptr, "C"), ja);
  EXPECT_EQ(ChooseCliUiLanguage(nullptr, nullptr, nullptr, "ja_JP.UTF-8"), ja);
}

}  // namespace
}  // namespace sorrel
