// Both parsers on random bytes: no crash, no hang, and what parses writes
// back to what parses the same.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "settings/hive_format.h"
#include "settings/ini_document.h"
#include "settings/profile.h"
#include "settings/regw.h"
#include "settings/settings_store.h"

namespace sorrel::settings {
namespace {

// Random bytes, half of the time a valid text with a few bytes changed.
std::string RandomInput(std::mt19937* rng, const std::string& valid) {
  std::uniform_int_distribution<int> byte(0, 255);
  std::string input;
  if ((*rng)() % 2 == 0) {
    input.resize((*rng)() % 600);
    for (char& c : input) c = static_cast<char>(byte(*rng));
    return input;
  }
  input = valid;
  for (int edits = 1 + static_cast<int>((*rng)() % 4); edits > 0; --edits) {
    input[(*rng)() % input.size()] = static_cast<char>(byte(*rng));
  }
  return input;
}

TEST(FuzzTest, ParsersTakeAnyBytes) {
  const std::string valid_hive =
      "Windows Registry Editor Version 5.00\r\n\r\n"
      "[HKEY_CURRENT_USER\\Software\\FenwrightAns\\sorrel\\CurrentVersion]\r\n"
      "\"CharEncode\"=dword:00000004\r\n\"TargetPath\"=\"a\\\\b\"\r\n"
      "\"X\"=hex(7):61,00,00,\\\r\n  00,00,00\r\n[-HKEY_CURRENT_USER\\A]\r\n\"Y\"=-\r\n";
  const std::string valid_ini = "[Main]\r\nCharEncode = '4'\r\n; x\r\n[Other]\r\nA=\"1\"\r\n";
  std::mt19937 rng(20261208);
  const AnsiDecoder latin1 = [](std::string_view bytes, std::u16string* text) {
    text->assign(bytes.begin(), bytes.end());
    return true;
  };
  for (int round = 0; round < 3000; ++round) {
    const std::string hive_bytes = RandomInput(&rng, valid_hive);
    Hive hive;
    if (ParseHive(hive_bytes, &hive)) {
      Hive again;
      EXPECT_TRUE(ParseHive(SerializeHive(hive), &again));
      EXPECT_EQ(SerializeHive(again), SerializeHive(hive));
    }
    SettingsCopy copy(false, UiLanguage::English, nullptr);
    copy.Parse(round % 2 == 0
                   ? hive_bytes
                   : "REGEDIT4\r\n" + hive_bytes.substr(std::min<size_t>(38, hive_bytes.size())),
               latin1);
    REGW reg(copy.context().registry, nullptr, UiLanguage::English);
    if (reg.OpenKey(REGW::Mode::Read)) {
      std::u16string text;
      reg.ReadStringW(u"TargetPath", &text);
      reg.ReadIntegerW(u"CharEncode", 0);
      reg.CloseKey();
    }

    const std::string ini_bytes = RandomInput(&rng, valid_ini);
    IniDocument doc = ParseIni(ini_bytes);
    FindIniValue(doc, u"Main", u"CharEncode");
    SetIniValue(&doc, u"Main", u"CharEncode", u"5");
    EXPECT_EQ(FindIniValue(ParseIni(SerializeIni(doc)), u"Main", u"CharEncode"), u"5");
    GetProfileString(doc, u"Main", u"A", u"");
    GetProfileInt(doc, u"Main", u"CharEncode", 1);
  }
}

}  // namespace
}  // namespace sorrel::settings
