// The export text of the hive file, read and written.
#include "settings/hive_format.h"

#include <gtest/gtest.h>

#include "base/utf.h"
#include "settings/registry_store.h"
#include "settings/registry_value.h"
#include "settings/test_support.h"

namespace sorrel::settings {
namespace {

using testing::Utf16LeBytes;

constexpr char16_t kKey[] = u"HKEY_CURRENT_USER\\Software\\FenwrightAns\\sorrel\\CurrentVersion";

// An export as the Windows registry editor writes it: UTF-16LE with its mark,
// CR+LF, string types as hex lists of UTF-16LE bytes, long lists continued.
constexpr char16_t kWindowsExport[] =
    u"Windows Registry Editor Version 5.00\r\n"
    u"\r\n"
    u"[HKEY_CURRENT_USER\\Software\\FenwrightAns\\sorrel]\r\n"
    u"\r\n"
    u"[HKEY_CURRENT_USER\\Software\\FenwrightAns\\sorrel\\CurrentVersion]\r\n"
    u"@=\"default\"\r\n"
    u"\"TargetPath\"=\"C:\\\\Users\\\\me\\\\*.txt\"\r\n"
    u"\"CharEncode\"=dword:00000004\r\n"
    u"\"Expand\"=hex(2):25,00,54,00,45,00,4d,00,50,00,25,00,00,00\r\n"
    u"\"Multi\"=hex(7):61,00,00,00,62,00,00,00,00,00\r\n"
    u"\"Big\"=hex(b):ff,ff,ff,ff,ff,ff,ff,7f\r\n"
    u"\"BE\"=hex(5):00,00,00,09\r\n"
    u"\"Bin\"=hex:05,00,00,00\r\n"
    u"\"Long\"=hex(2):41,00,42,00,43,00,44,00,45,00,46,00,47,00,48,00,49,00,4a,00,\\\r\n"
    u"  4b,00,4c,00,4d,00,4e,00,4f,00,50,00,51,00,52,00,53,00,54,00,55,00,56,00,57,\\\r\n"
    u"  00,00,00\r\n"
    u"\r\n";

Hive Parsed(std::string_view bytes) {
  Hive hive;
  EXPECT_TRUE(ParseHive(bytes, &hive));
  return hive;
}

const HiveValue& ValueOf(const Hive& hive, std::u16string_view name) {
  static const HiveValue kNone;
  const HiveKey* key = FindHiveKey(hive, kKey);
  const HiveValue* value = key == nullptr ? nullptr : FindHiveValue(*key, name);
  return value == nullptr ? kNone : *value;
}

TEST(HiveFormatTest, ReadsAnExportAsWindowsWritesIt) {
  const Hive hive = Parsed("\xFF\xFE" + Utf16LeBytes(kWindowsExport));
  ASSERT_EQ(hive.keys.size(), 2u);
  EXPECT_EQ(DecodeRegString(ValueOf(hive, u"").data), u"default");
  EXPECT_EQ(DecodeRegString(ValueOf(hive, u"targetpath").data), u"C:\\Users\\me\\*.txt");
  EXPECT_EQ(ValueOf(hive, u"CharEncode").type, kRegDword);
  EXPECT_EQ(RegValueToInteger(kRegDword, ValueOf(hive, u"CharEncode").data, 0), 4);
  EXPECT_EQ(ValueOf(hive, u"Expand").type, kRegExpandSz);
  EXPECT_EQ(DecodeRegString(ValueOf(hive, u"Expand").data), u"%TEMP%");
  EXPECT_EQ(ValueOf(hive, u"Multi").type, kRegMultiSz);
  EXPECT_EQ(ValueOf(hive, u"Multi").data, Utf16LeBytes(std::u16string(u"a\0b\0\0", 5)));
  EXPECT_EQ(ValueOf(hive, u"Big").type, kRegQword);
  EXPECT_EQ(RegValueToInteger(kRegQword, ValueOf(hive, u"Big").data, 0), -1);
  EXPECT_EQ(RegValueToInteger(kRegDwordBigEndian, ValueOf(hive, u"BE").data, 0), 9);
  EXPECT_EQ(RegValueToInteger(kRegBinary, ValueOf(hive, u"Bin").data, 0), 5);
  EXPECT_EQ(DecodeRegString(ValueOf(hive, u"Long").data), u"ABCDEFGHIJKLMNOPQRSTUVW");
  // The same text in UTF-8 with LF line ends reads the same.
  const Hive utf8 = Parsed(Utf16ToUtf8(kWindowsExport));
  EXPECT_EQ(ValueOf(utf8, u"Long").data, ValueOf(hive, u"Long").data);
}

TEST(HiveFormatTest, WritesWhatItReadsAndKeepsLinesShort) {
  Hive hive = Parsed("\xFF\xFE" + Utf16LeBytes(kWindowsExport));
  HiveKey* key = FindHiveKey(&hive, kKey);
  SetHiveValue(key, u"Odd", kRegSz, std::string("a\0b", 3));  // not a well-formed string
  SetHiveValue(key, u"Break", kRegSz, EncodeRegString(u"line\r\nbreak"));
  SetHiveValue(key, u"Short", kRegDword, std::string("\x01", 1));
  SetHiveValue(key, u"Quote\"d", kRegSz, EncodeRegString(u"\\\"\u65e5\U0001F600"));
  SetHiveValue(key, u"Huge", 0x12345678, std::string(300, '\x7f'));
  const std::string text = SerializeHive(hive);
  EXPECT_EQ(text.substr(0, 40), "Windows Registry Editor Version 5.00\r\n\r\n");
  EXPECT_NE(text.find("\"CharEncode\"=dword:00000004\r\n"), std::string::npos);
  EXPECT_NE(text.find("\"TargetPath\"=\"C:\\\\Users\\\\me\\\\*.txt\"\r\n"), std::string::npos);
  EXPECT_NE(text.find("\"Short\"=hex(4):01\r\n"), std::string::npos);
  size_t start = 0;
  for (size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2) {
    EXPECT_LE(end - start, 80u) << text.substr(start, end - start);
  }
  const Hive again = Parsed(text);
  ASSERT_EQ(again.keys.size(), hive.keys.size());
  for (size_t k = 0; k < hive.keys.size(); ++k) {
    EXPECT_EQ(again.keys[k].path, hive.keys[k].path);
    ASSERT_EQ(again.keys[k].values.size(), hive.keys[k].values.size());
    for (size_t v = 0; v < hive.keys[k].values.size(); ++v) {
      EXPECT_EQ(again.keys[k].values[v].name, hive.keys[k].values[v].name);
      EXPECT_EQ(again.keys[k].values[v].type, hive.keys[k].values[v].type);
      EXPECT_EQ(again.keys[k].values[v].data, hive.keys[k].values[v].data);
    }
  }
  EXPECT_EQ(SerializeHive(again), text);
}

TEST(HiveFormatTest, DeletionsApplyToWhatCameBefore) {
  const Hive hive = Parsed(
      "Windows Registry Editor Version 5.00\n\n"
      "[HKEY_CURRENT_USER\\A]\n\"x\"=dword:1\n\"y\"=dword:2\n"
      "[HKEY_CURRENT_USER\\A\\B]\n\"z\"=\"\"\n"
      "[HKEY_CURRENT_USER\\AB]\n"
      "; a comment\n"
      "[HKEY_CURRENT_USER\\A]\n\"X\"=-\n"
      "[-HKEY_CURRENT_USER\\a\\b]\n\"ignored\"=dword:3\n");
  ASSERT_EQ(hive.keys.size(), 2u);
  EXPECT_EQ(hive.keys[0].path, u"HKEY_CURRENT_USER\\A");
  ASSERT_EQ(hive.keys[0].values.size(), 1u);
  EXPECT_EQ(hive.keys[0].values[0].name, u"y");
  EXPECT_EQ(hive.keys[1].path, u"HKEY_CURRENT_USER\\AB");
}

TEST(HiveFormatTest, AnythingElseIsNotAnExport) {
  Hive hive;
  EXPECT_TRUE(ParseHive("", &hive));
  EXPECT_TRUE(hive.keys.empty());
  for (const char* text : {
           "[HKEY_CURRENT_USER\\A]\r\n",
           "Windows Registry Editor Version 5.00\r\n\"x\"=dword:1\r\n",
           "Windows Registry Editor Version 5.00\r\n[HKEY_CURRENT_USER\\A\r\n",
           "Windows Registry Editor Version 5.00\r\n[]\r\n",
           "Windows Registry Editor Version 5.00\r\n[A]\r\n\"x\"=dword:123456789\r\n",
           "Windows Registry Editor Version 5.00\r\n[A]\r\n\"x\"=hex:1,2,zz\r\n",
           "Windows Registry Editor Version 5.00\r\n[A]\r\n\"x\"=hex:01,\\\r\n",
           "Windows Registry Editor Version 5.00\r\n[A]\r\n\"x\"=\"open\r\n",
           "Windows Registry Editor Version 5.00\r\n[A]\r\n\"x\"=\"a\" b\r\n",
           "Windows Registry Editor Version 5.00\r\n[A]\r\nx=1\r\n",
           "Windows Registry Editor Version 5.00\r\n[A]\r\n\"x\"=qword:1\r\n",
           "Windows Registry Editor Version 5.00\r\n[A]\r\n\"x\"=\"\xff\"\r\n",
       }) {
    EXPECT_FALSE(ParseHive(text, &hive)) << text;
  }
  EXPECT_FALSE(ParseHive("\xFF\xFE\x41", &hive));  // half a unit
  // An ANSI export that is not ASCII needs the system's code page to be read.
  EXPECT_TRUE(ParseHive("REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\A]\r\n", &hive));
  EXPECT_FALSE(ParseHive("REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\\x93\xfa]\r\n", &hive));
  EXPECT_FALSE(ParseHive("REGEDIT 4\r\n", &hive));
}

}  // namespace
}  // namespace sorrel::settings
