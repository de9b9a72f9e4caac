// The private-profile rules over an INI file's lines.
#include "settings/ini_document.h"

#include <gtest/gtest.h>

#include "settings/test_support.h"

namespace sorrel::settings {
namespace {

using testing::Utf16LeBytes;

std::string Utf16File(std::u16string_view text) {
  return "\xFF\xFE" + Utf16LeBytes(text);
}

TEST(IniDocumentTest, ReadsValuesByTheProfileRules) {
  const IniDocument doc =
      ParseIni(Utf16File(u"; Main=commented\r\n"
                         u"[Other]\r\nTabs=9\r\n"
                         u"[ main ]\r\n"
                         u"  tab2spaceclm =  8  \r\n"
                         u"Quoted=\"  padded  \"\r\n"
                         u"Single='x'\r\n"
                         u"Mixed=\"x'\r\n"
                         u"Empty=\r\n"
                         u"; Commented=1\r\n"
                         u"NoEquals\r\n"
                         u"Twice=first\r\nTwice=second\r\n"
                         u"[Main]\r\nLater=1\r\n"));
  EXPECT_EQ(FindIniValue(doc, u"Main", u"Tab2SpaceClm"), u"8");
  EXPECT_EQ(FindIniValue(doc, u"Main", u"Quoted"), u"  padded  ");
  EXPECT_EQ(FindIniValue(doc, u"Main", u"Single"), u"x");
  EXPECT_EQ(FindIniValue(doc, u"Main", u"Mixed"), u"\"x'");
  EXPECT_EQ(FindIniValue(doc, u"Main", u"Empty"), u"");
  EXPECT_EQ(FindIniValue(doc, u"Main", u"Twice"), u"first");
  EXPECT_EQ(FindIniValue(doc, u"Main", u"Tabs"), std::nullopt);
  EXPECT_EQ(FindIniValue(doc, u"Main", u"Commented"), std::nullopt);
  EXPECT_EQ(FindIniValue(doc, u"Main", u"NoEquals"), std::nullopt);
  EXPECT_EQ(FindIniValue(doc, u"Main", u"Later"), std::nullopt);  // only the first section
  EXPECT_EQ(FindIniValue(doc, u"Nowhere", u"Tabs"), std::nullopt);
}

TEST(IniDocumentTest, WritesInPlaceAtTheSectionsEndOrInANewSection) {
  const std::string untouched = Utf16File(
      u"; keep me\r\n"
      u"[Main]\r\n"
      u"  CharEncode = 1 ; old\r\n"
      u"Gone=1\r\n"
      u"\r\n"
      u"[Other]\r\n"
      u"x=1");
  IniDocument doc = ParseIni(untouched);
  EXPECT_EQ(SerializeIni(doc), untouched + Utf16LeBytes(u"\r\n"));
  SetIniValue(&doc, u"MAIN", u"charencode", u"4");
  SetIniValue(&doc, u"Main", u"TargetPath", u"/a\r\n[Other]\r\nx=2");
  SetIniValue(&doc, u"Main", u"gone", std::nullopt);
  SetIniValue(&doc, u"Main", u"Missing", std::nullopt);
  SetIniValue(&doc, u"New", u"Missing", std::nullopt);
  EXPECT_EQ(SerializeIni(doc), Utf16File(u"; keep me\r\n"
                                         u"[Main]\r\n"
                                         u"CharEncode=4\r\n"
                                         u"TargetPath=/a\r\n"
                                         u"\r\n"
                                         u"[Other]\r\n"
                                         u"x=1\r\n"));
  // Values that reading would change are quoted so that they read back as given.
  for (std::u16string_view value : {u"  padded ", u"\"q\"", u"'", u"'a'", u"\"x' "}) {
    SetIniValue(&doc, u"Main", u"Before", value);
    EXPECT_EQ(FindIniValue(ParseIni(SerializeIni(doc)), u"Main", u"Before"), value);
  }
  IniDocument header = ParseIni(std::string("\xFF\xFE\x0D\x00\x0A\x00", 6));
  SetIniValue(&header, u"Main", u"SETTS", u"1");
  EXPECT_EQ(SerializeIni(header), Utf16File(u"\r\n[Main]\r\nSETTS=1\r\n"));
}

TEST(IniDocumentTest, Utf8FilesStayUtf8AndKeepBytesThatAreNotText) {
  // No mark: UTF-8, LF lines; a line that is not UTF-8 is given back as it was.
  IniDocument doc = ParseIni("\xEF\xBB\xBF[Main]\nName=\xE6\x97\xA5\n\x82\xA0\xFF=x\n");
  EXPECT_EQ(doc.encoding, IniEncoding::Utf8);
  EXPECT_EQ(FindIniValue(doc, u"Main", u"Name"), u"\u65e5");
  SetIniValue(&doc, u"Main", u"Name", u"\u6708");
  EXPECT_EQ(SerializeIni(doc), "\xEF\xBB\xBF[Main]\r\nName=\xE6\x9C\x88\r\n\x82\xA0\xFF=x\r\n");
  // An empty file becomes UTF-16LE, as a new one is.
  IniDocument empty = ParseIni("");
  SetIniValue(&empty, u"Main", u"A", u"1");
  EXPECT_EQ(SerializeIni(empty), Utf16File(u"[Main]\r\nA=1\r\n"));
}

}  // namespace
}  // namespace sorrel::settings
