#include "cli/texts.h"

#include <gtest/gtest.h>

#include <string>

namespace sorrel::cli {
namespace {

// U+3000 in UTF-8: the indentation of most switch lines in both languages.
#define IDEOGRAPHIC_SPACE "\xE3\x80\x80"

TEST(UsageText, EnglishByteForByte) {
  const std::string expected =
      "Sorrel for Command Line Edition\n"
      "\n"
      "Make the unification of line feed code in the text file. I can also be performed, such as "
      "string conversion using and processing for the special code, regular expressions. In order "
      "to use this program, sorrel.exe is required in the same folder as the present program.\n"
      "\n"
      "sorrelc [options] <target...>\n"
      "\n"
      "*options:\n" IDEOGRAPHIC_SPACE "/K -- Creates backup files.\n" IDEOGRAPHIC_SPACE
      "/Y -- Searches in the subfolders of the specified folder.\n" IDEOGRAPHIC_SPACE
      "/F:CharCode -- Specifies Character code without BOM. You can use sjis, utf16, utf16be, "
      "utf8, utf7, euc, jis,ebcdic or Code-Page.\n" IDEOGRAPHIC_SPACE
      "/M:n -- Inserts new-line code every n bytes.\n" IDEOGRAPHIC_SPACE
      "/L:n -- Inserts new-line code every n characters.\n" IDEOGRAPHIC_SPACE
      "/C:Newline -- Converts new-line code. You can use CR, LF or CRLF.\n" IDEOGRAPHIC_SPACE
      "/Z -- Converts a full-pitch space to two-half pitch spaces.\n" IDEOGRAPHIC_SPACE
      "/W -- Removes the white space at the end of the line.\n" IDEOGRAPHIC_SPACE
      "/T:n -- Converts a TAB code to n half-pitch spaces.\n" IDEOGRAPHIC_SPACE
      "/D -- Removes all control codes(0x01-0x1f excluded CR, LF, TAB and EOF).\n" IDEOGRAPHIC_SPACE
      "/A -- Removes all control codes to half-pitch space.\n" IDEOGRAPHIC_SPACE
      "/O:CharCode -- Specifies Character code for output files.\n"
      "  /Q -- Do not change the timestamp.\n" IDEOGRAPHIC_SPACE
      "/RB:bbbb /RA:aaaa -- String replacement\n"
      "  /E -- /RB,/RA use regular expression.\n" IDEOGRAPHIC_SPACE
      "/P -- /RB,/RA case insensitive.\n" IDEOGRAPHIC_SPACE
      "/G -- /E An all-text are matched single-line.\n" IDEOGRAPHIC_SPACE
      "/N -- /E A dot('.') does not match a newline code.\n"
      "\n"
      "*target...:\n" IDEOGRAPHIC_SPACE
      "Specifies some target path. You can use the wildcards.\n"
      "\n";
  EXPECT_EQ(UsageText(UiLanguage::English), expected);
}

TEST(UsageText, JapaneseByteForByte) {
  const std::string expected =
      "Sorrelコマンドライン版\n"
      "\n"
      "テキストファイルの改行コードの統一を行います。特殊コードに対する処理や、正規表現を利用した文"
      "字列変換なども行えます。本プログラムを利用するには、本プログラムと同一のフォルダ内にsorrel."
      "exe(Sorrel[GUI版] ver.1.50以上)が必要です。\n"
      "\n"
      "sorrelc [options] <target...>\n"
      "\n"
      "・optionsの指定：\n" IDEOGRAPHIC_SPACE
      "/K … ファイルのバックアップを行う\n" IDEOGRAPHIC_SPACE
      "/Y … サブフォルダも検索する\n" IDEOGRAPHIC_SPACE
      "/F:文字コード … BOMがないファイルの文字コードを指定。文字コードには sjis, utf16, utf16be, "
      "utf8, utf7, euc, jis, ebcdic,任意のコードページ のいずれかを指定。\n" IDEOGRAPHIC_SPACE
      "/M:n … nバイト毎に改行コードを挟む\n" IDEOGRAPHIC_SPACE
      "/L:n … n文字毎に改行コードを挟む\n" IDEOGRAPHIC_SPACE
      "/C:改行コード … 改行コードの統一を行う。CR, LF, CRLF のいずれかを指定。\n" IDEOGRAPHIC_SPACE
      "/Z … 全角スペースを半角スペース2つに変換\n" IDEOGRAPHIC_SPACE
      "/W … 行末のホワイトスペースを除去\n" IDEOGRAPHIC_SPACE
      "/T:n … タブをnカラムのスペースに変換\n" IDEOGRAPHIC_SPACE
      "/D … "
      "無効なコントロールコード(0x01～0x1Fのうち改行・TAB・EOF以外)を取り除く\n" IDEOGRAPHIC_SPACE
      "/A … "
      "無効なコントロールコード(同上)を半角スペースに変換(/Dと同時指定不可)\n" IDEOGRAPHIC_SPACE
      "/O:文字コード … 書込時のファイルの文字コードを指定。文字コードは /F "
      "と同じ\n" IDEOGRAPHIC_SPACE "/Q … タイムスタンプを維持する\n" IDEOGRAPHIC_SPACE
      "/RB:bbbb /RA:aaaa … 文字列置換\n"
      "  /E … /RB,/RAの文字列変換で正規表現(boost::regex)を用いる\n" IDEOGRAPHIC_SPACE
      "/P … /RB,/RAを使う場合に、英大小文字の違いを無視する\n" IDEOGRAPHIC_SPACE
      "/G … /Eを使う場合に、全体で一行と見なす\n" IDEOGRAPHIC_SPACE
      "/N … /Eを使う場合に、'.'(ドット)を改行にマッチさせない\n"
      "\n"
      "・target...の指定：\n" IDEOGRAPHIC_SPACE
      "置換対象のテキストファイルの名前を指定できます。ワイルドカード指定・複数指定が可能です。\n"
      "\n";
  EXPECT_EQ(UsageText(UiLanguage::Japanese), expected);
}

#undef IDEOGRAPHIC_SPACE

TEST(FormatMessage, FillsInTheArgumentBytesUnchanged) {
  EXPECT_EQ(FormatMessage(messages::kInvalidOption, UiLanguage::English, {"/X"}),
            "sorrelc: Invalid option - /X\n");
  EXPECT_EQ(FormatMessage(messages::kInvalidFileName, UiLanguage::Japanese, {"\xFF%s"}),
            "sorrelc: \xE6\x89\xB1\xE3\x81\x88\xE3\x81\xAA\xE3\x81\x84"
            "\xE3\x83\x95\xE3\x82\xA1\xE3\x82\xA4\xE3\x83\xAB\xE5\x90\x8D"
            "\xE3\x81\xA7\xE3\x81\x99 - \xFF%s\n");
  EXPECT_EQ(FormatMessage(messages::kNoTarget, UiLanguage::English, {"unused"}),
            "sorrelc: Please specify some target file names.\n");
}

TEST(FormatMessage, ErrorCodesAsEightHexDigits) {
  EXPECT_EQ(FormatMessage(messages::kCannotStart, UiLanguage::English,
                          {uint32_t{2}, "\"/opt/sorrel\" /CUIMODE"}),
            "sorrelc: Unexpected error(GetLastError()=00000002) - \"/opt/sorrel\" /CUIMODE\n");
  EXPECT_EQ(FormatMessage(messages::kCannotStart, UiLanguage::English, {uint32_t{0xDEADBEEF}, ""}),
            "sorrelc: Unexpected error(GetLastError()=deadbeef) - \n");
}

}  // namespace
}  // namespace sorrel::cli
