// sorrelc's usage text and its message formatter. The indented lines of the
// usage text begin with an IDEOGRAPHIC SPACE (U+3000) in both languages,
// except where the table of switches has always had two blanks.
#include "cli/texts.h"

#include <cstdio>

#include "base/utf.h"

namespace sorrel::cli {

namespace {

constexpr TextPair kUsage{
    u"Sorrelコマンドライン版\n"
    u"\n"
    u"テキストファイルの改行コードの統一を行います。特殊コードに対する処理や、正規表現を利用した文"
    u"字列変換なども行えます。本プログラムを利用するには、本プログラムと同一のフォルダ内にsorrel."
    u"exe(Sorrel[GUI版] ver.1.50以上)が必要です。\n"
    u"\n"
    u"sorrelc [options] <target...>\n"
    u"\n"
    u"・optionsの指定：\n"
    u"　/K … ファイルのバックアップを行う\n"
    u"　/Y … サブフォルダも検索する\n"
    u"　/F:文字コード … BOMがないファイルの文字コードを指定。文字コードには sjis, utf16, utf16be, "
    u"utf8, utf7, euc, jis, ebcdic,任意のコードページ のいずれかを指定。\n"
    u"　/M:n … nバイト毎に改行コードを挟む\n"
    u"　/L:n … n文字毎に改行コードを挟む\n"
    u"　/C:改行コード … 改行コードの統一を行う。CR, LF, CRLF のいずれかを指定。\n"
    u"　/Z … 全角スペースを半角スペース2つに変換\n"
    u"　/W … 行末のホワイトスペースを除去\n"
    u"　/T:n … タブをnカラムのスペースに変換\n"
    u"　/D … 無効なコントロールコード(0x01～0x1Fのうち改行・TAB・EOF以外)を取り除く\n"
    u"　/A … 無効なコントロールコード(同上)を半角スペースに変換(/Dと同時指定不可)\n"
    u"　/O:文字コード … 書込時のファイルの文字コードを指定。文字コードは /F と同じ\n"
    u"　/Q … タイムスタンプを維持する\n"
    u"　/RB:bbbb /RA:aaaa … 文字列置換\n"
    u"  /E … /RB,/RAの文字列変換で正規表現(boost::regex)を用いる\n"
    u"　/P … /RB,/RAを使う場合に、英大小文字の違いを無視する\n"
    u"　/G … /Eを使う場合に、全体で一行と見なす\n"
    u"　/N … /Eを使う場合に、'.'(ドット)を改行にマッチさせない\n"
    u"\n"
    u"・target...の指定：\n"
    u"　置換対象のテキストファイルの名前を指定できます。ワイルドカード指定・複数指定が可能です。\n",
    u"Sorrel for Command Line Edition\n"
    u"\n"
    u"Make the unification of line feed code in the text file. I can also be performed, such as "
    u"string conversion using and processing for the special code, regular expressions. In order "
    u"to use this program, sorrel.exe is required in the same folder as the present program.\n"
    u"\n"
    u"sorrelc [options] <target...>\n"
    u"\n"
    u"*options:\n"
    u"　/K -- Creates backup files.\n"
    u"　/Y -- Searches in the subfolders of the specified folder.\n"
    u"　/F:CharCode -- Specifies Character code without BOM. You can use sjis, utf16, utf16be, "
    u"utf8, utf7, euc, jis,ebcdic or Code-Page.\n"
    u"　/M:n -- Inserts new-line code every n bytes.\n"
    u"　/L:n -- Inserts new-line code every n characters.\n"
    u"　/C:Newline -- Converts new-line code. You can use CR, LF or CRLF.\n"
    u"　/Z -- Converts a full-pitch space to two-half pitch spaces.\n"
    u"　/W -- Removes the white space at the end of the line.\n"
    u"　/T:n -- Converts a TAB code to n half-pitch spaces.\n"
    u"　/D -- Removes all control codes(0x01-0x1f excluded CR, LF, TAB and EOF).\n"
    u"　/A -- Removes all control codes to half-pitch space.\n"
    u"　/O:CharCode -- Specifies Character code for output files.\n"
    u"  /Q -- Do not change the timestamp.\n"
    u"　/RB:bbbb /RA:aaaa -- String replacement\n"
    u"  /E -- /RB,/RA use regular expression.\n"
    u"　/P -- /RB,/RA case insensitive.\n"
    u"　/G -- /E An all-text are matched single-line.\n"
    u"　/N -- /E A dot('.') does not match a newline code.\n"
    u"\n"
    u"*target...:\n"
    u"　Specifies some target path. You can use the wildcards.\n"};

constexpr std::string_view kText = "%s";
constexpr std::string_view kHex = "%08x";

std::string Hex8(uint32_t value) {
  char digits[9];
  std::snprintf(digits, sizeof(digits), "%08x", static_cast<unsigned>(value));
  return digits;
}

}  // namespace

std::string UsageText(UiLanguage lang) {
  return Utf16ToUtf8(kUsage.In(lang)) + "\n";
}

std::string FormatMessage(const TextPair& message, UiLanguage lang,
                          std::initializer_list<MessageArg> args) {
  // The texts are ours, so their conversions never meet an argument's bytes.
  const std::string format = Utf16ToUtf8(message.In(lang));
  std::string out;
  auto next = args.begin();
  size_t i = 0;
  while (i < format.size()) {
    const std::string_view rest = std::string_view(format).substr(i);
    const auto* text = next != args.end() ? std::get_if<std::string_view>(&*next) : nullptr;
    const auto* number = next != args.end() ? std::get_if<uint32_t>(&*next) : nullptr;
    if (text != nullptr && rest.starts_with(kText)) {
      out.append(*text);
      i += kText.size();
      ++next;
    } else if (number != nullptr && rest.starts_with(kHex)) {
      out.append(Hex8(*number));
      i += kHex.size();
      ++next;
    } else {
      out.push_back(format[i++]);
    }
  }
  return out;
}

}  // namespace sorrel::cli
