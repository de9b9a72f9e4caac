#include "gui/about_model.h"

#include <gtest/gtest.h>

#include "platform/paths.h"

namespace sorrel {
namespace {

VersionStrings ThisRelease() {
  return {u"1.5.0.0", u"beta", u"2021/04/19", u"Copyright (C) 2021 FenwrightAns",
          u"Sorrel text file converter"};
}

TEST(AboutModelTest, InfoPointsAtTheMakersPages) {
  const AboutBoxInfo info = MakeAboutBoxInfo(UiLanguage::Japanese);
  EXPECT_EQ(info.title, u"Sorrel");
  EXPECT_EQ(info.icon_id, 107);
  EXPECT_EQ(info.site, u"https://fenwrightans.example/");
  EXPECT_EQ(info.contact, u"https://fenwrightans.example/mail.html");
  EXPECT_EQ(info.contribution, u"https://fenwrightans.example/kifu.html");
  EXPECT_EQ(info.feedback, u"https://fenwrightans.example/ifa.php?SORREL");
  // Each language has its own description of several hundred characters.
  const AboutBoxInfo english = MakeAboutBoxInfo(UiLanguage::English);
  EXPECT_NE(info.description, english.description);
  EXPECT_GT(info.description.size(), 300u);
  EXPECT_GT(english.description.size(), 300u);
}

TEST(AboutModelTest, VersionTextPerLanguage) {
  const VersionStrings version = ThisRelease();
  EXPECT_EQ(VersionText(MakeAboutBoxInfo(UiLanguage::Japanese), version, u"x64"),
            u"Sorrel ver.1.50.00β [2021/04/19] (x64) \r\nSorrel text file converter\r\n"
            u"Copyright (C) 2021 FenwrightAns");
  EXPECT_EQ(VersionText(MakeAboutBoxInfo(UiLanguage::English), version, u"x64"),
            u"Sorrel ver.1.50.00beta [2021/04/19] (x64) \r\nSorrel text file converter\r\n"
            u"Copyright (C) 2021 FenwrightAns");
}

TEST(AboutModelTest, VersionTextOddValues) {
  const AboutBoxInfo ja = MakeAboutBoxInfo(UiLanguage::Japanese);
  VersionStrings version;
  version.file_version = u"2.1.3.7";
  version.special_build = u"alpha";
  EXPECT_EQ(VersionText(ja, version, u"ARM64"), u"Sorrel ver.2.13.07α [] (ARM64) \r\n\r\n");
  // Only exactly "beta" becomes the letter; missing numbers count as 0.
  version.file_version = u"1.5";
  version.special_build = u"Beta";
  EXPECT_EQ(VersionText(ja, version, u"x64").substr(0, 25), u"Sorrel ver.1.50.00Beta []");
  version.file_version = u"x";
  version.special_build = u"";
  EXPECT_EQ(VersionText(ja, version, u"x64").substr(0, 18), u"Sorrel ver.0.00.00");
  version.file_version = u"1.2.3.456";
  EXPECT_EQ(VersionText(ja, version, u"x64").substr(0, 19), u"Sorrel ver.1.23.456");
}

TEST(AboutModelTest, LinksOfThisProgram) {
  EXPECT_EQ(LinkText(MakeAboutBoxInfo(UiLanguage::English)),
            u"[WebSite]\r\n  <a id=\"https://fenwrightans.example/\">https://fenwrightans.example/"
            u"</a>\r\n\r\n[Contact]\r\n  <a id=\"https://fenwrightans.example/mail.html\">"
            u"https://fenwrightans.example/mail.html</a>\r\n\r\n");
  const std::u16string ja = LinkText(MakeAboutBoxInfo(UiLanguage::Japanese));
  EXPECT_NE(ja.find(u"\r\n\r\n[連絡先]\r\n  <a id=\"https://fenwrightans.example/mail.html\">"),
            std::u16string::npos);
  EXPECT_TRUE(
      ja.ends_with(u"</a>\r\n\r\n　メールフィルタやサーバによるドメイン着信拒否の対象になっ"
                   u"ていることがあります。質問しているのに返信がなかなか届かない場合は、"
                   u"ごみ箱や迷惑メールフォルダを確認するか、フィルタ作成者・サーバ管理者"
                   u"にご相談下さい。"));
}

TEST(AboutModelTest, EmailContactAndMissingBlocks) {
  AboutBoxInfo info = MakeAboutBoxInfo(UiLanguage::English);
  info.contact = u"someone@fenwrightans.example";
  info.site.reset();
  EXPECT_EQ(LinkText(info),
            u"\r\n  <a id=\"\"></a>\r\n\r\n[E-Mail]\r\n  <a id=\"mailto:someone@fenwrightans."
            u"example\">someone@fenwrightans.example</a>\r\n\r\n");
  info.contact.reset();
  EXPECT_EQ(LinkText(info), u"\r\n  <a id=\"\"></a>\r\n\r\n\r\n  <a id=\"\"></a>\r\n\r\n");
  // Without a contact the Japanese note is left out too.
  info.language = UiLanguage::Japanese;
  EXPECT_EQ(LinkText(info), u"\r\n  <a id=\"\"></a>\r\n\r\n\r\n  <a id=\"\"></a>\r\n\r\n");
}

TEST(AboutModelTest, EmailAddressIsWhatIsNotAWebAddress) {
  EXPECT_FALSE(IsEmailAddress(u"https://a.example/"));
  EXPECT_FALSE(IsEmailAddress(u"HTTP://A.EXAMPLE/"));
  EXPECT_FALSE(IsEmailAddress(u"hTtPs://a"));
  EXPECT_TRUE(IsEmailAddress(u"http:/a"));
  EXPECT_TRUE(IsEmailAddress(u"me@a.example"));
  EXPECT_TRUE(IsEmailAddress(u""));
}

TEST(AboutModelTest, ReportGetsTheFirstVersionLine) {
  EXPECT_EQ(ReportWithClient(u"R", u"Sorrel ver.1.50.00β [x] (x64) \r\nline 2"),
            u"R\r\n[Client]\r\n Sorrel ver.1.50.00β [x] (x64) ");
  EXPECT_EQ(ReportWithClient(u"R", u"a\tb"), u"R\r\n[Client]\r\n a");
  EXPECT_EQ(ReportWithClient(u"R", u"(NULL)"), u"R\r\n[Client]\r\n (NULL)");
  const std::u16string long_line(400, u'v');
  EXPECT_EQ(ReportWithClient(u"", long_line), u"\r\n[Client]\r\n " + std::u16string(299, u'v'));
}

TEST(AboutModelTest, ConfirmationAndFailureTexts) {
  EXPECT_EQ(ReportConfirmation(UiLanguage::English, u"R"),
            u"R\r\n------------------------\r\nPlease click the [OK] button to copy to "
            u"clipboard.");
  EXPECT_EQ(ReportConfirmation(UiLanguage::Japanese, u"R"),
            u"R\r\n------------------------\r\nクリップボードにコピーする場合は[OK]ボタンを押して"
            u"下さい。");
  EXPECT_EQ(CannotOpenText(UiLanguage::English, u"https://x/", false), u"Cannot open https://x/.");
  EXPECT_EQ(CannotOpenText(UiLanguage::English, u"https://x/", true), u"Cannot open a browser");
  EXPECT_EQ(CannotOpenText(UiLanguage::Japanese, u"https://x/", true),
            u"https://x/を開けませんでした。\n上記のURLを直接開いて下さい。");
  EXPECT_EQ(CannotOpenText(UiLanguage::Japanese, u"100%s", false),
            u"100%sを開けませんでした。\n上記のファイルまたはURLを直接開いて下さい。");
}

TEST(AboutModelTest, TemporaryFilePath) {
  EXPECT_EQ(AboutTempFilePath("/var/tmp/"), "/var/tmp/Ravelin32LIB_TEMP.TXT");
  // Joined by the platform's separator.
  EXPECT_EQ(AboutTempFilePath("/tmp"), platform::JoinPath("/tmp", "Ravelin32LIB_TEMP.TXT"));
  EXPECT_EQ(AboutTempFilePath(""), platform::JoinPath(".", "Ravelin32LIB_TEMP.TXT"));
}

}  // namespace
}  // namespace sorrel
