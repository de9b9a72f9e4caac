// The tool-tip texts.
#include "gui/tooltips.h"

namespace sorrel {
namespace {

constexpr ToolTipEntry kMainJapanese[] = {
    {1000, u"変換を行うファイルのフルパスを指定します。ワイルドカードも指定できます"},
    {1001, u"ファイルを一覧から選択できます"},
    {1023,
     u"変換時に (元のファイル名).bak "
     u"の名前でバックアップを作成します。すでに存在する場合は上書きされます"},
    {1016, u"指定された名前のファイルを、指定されたフォルダのサブフォルダでもサーチします"},
    {1025,
     u"BOMの無いファイルに対する文字コードを指定します。自動判別は完璧ではないので、バックアップを"
     u"取得してください"},
    {1031, u"ファイル書き込み時の文字コードを指定します"},
    {1027,
     u"ファイル読み込み時に、指定したバイト数ごとに改行コードとして指定したコードを挿入します"},
    {1028,
     u"右の入力欄に指定したバイト数毎に、改行コードとして指定したコードが挿入されます。0だと無視さ"
     u"れます"},
    {1002, u"改行コードの統一（変換）を行います。右の選択肢から選んでください"},
    {1024, u"どの改行コードで統一するかを選択します"},
    {1005, u"全角スペースを見つけると、半角スペース2つに分解します"},
    {1006, u"行末に無駄に配置された半角スペースやタブ記号を除去します"},
    {1007, u"タブ記号を、適切な数の半角スペースに置換します"},
    {1008, u"何カラム毎のタブで計算して、半角スペースに置換するかを指定します"},
    {1010, u"コントロールコードを除去し、通常のテキストファイルとして読めるような文字だけ残します"},
    {1011, u"コントロールコードを除去するのではなく、半角スペースに置換します"},
    {1026, u"右の入力欄に指定した文字数毎に、改行コードとして指定したコードを挿入します"},
    {1029,
     u"ここで指定した文字数毎に、改行コードとして指定したコードが挿入されます。0だと無視されます"},
    {1012, u"文字列置換を行います"},
    {1033,
     u"文字列置換で、置換前文字列に正規表現を使います。正規表現に関する簡単な説明についてはヘルプ"
     u"を参照してください"},
    {1013, u"置換前の文字列を指定してください"},
    {1014, u"置換後の文字列を指定してください"},
    {1019, u"アルファベットの大文字と小文字を区別せず、置換文字列を探します"},
    {1021,
     u"正規表現を使う場合に、テキストファイル全体を1行の文字列と見なして、置換文字列を探します"},
    {1022, u"正規表現を使う場合に、ドット記号(.)(あらゆる1文字を表す)を改行にマッチさせません"},
    {1, u"変換処理を開始します"},
    {2, u"このダイアログを閉じます"},
    {9, u"ヘルプファイルを開きます"},
    {1015, u"バージョン情報を表示します"},
    {0, nullptr},
};

constexpr ToolTipEntry kMainEnglish[] = {
    {1000, u"Specifies the target path. You can use the wildcards."},
    {1001, u"Selects from a list of files."},
    {1023,
     u"Creates backup files named *.bak. If a backup file with the same name already exists, "
     u"It's overwritten."},
    {1016,
     u"Searches in the subfolders of the specified folder, the file with the specified name."},
    {1025,
     u"Specifies the character code of the file without BOM. If you choose Automatic Detection, "
     u"please get the backup."},
    {1031, u"Specifies the character code of output files."},
    {1027, u"Inserts new-line code every n bytes."},
    {1002, u"Converts new-line code."},
    {1005, u"Converts a full-pitch space to two-half pitch spaces."},
    {1006, u"Removes the white space at the end of the line."},
    {1007, u"Converts a TAB code to some half-pitch spaces."},
    {1008, u"Specifies size of TAB."},
    {1010, u"Removes all control codes(0x00-0x1f excluded CR, LF, TAB and EOF)."},
    {1011, u"Converts control codes to half-pitch spaces."},
    {1026, u"Inserts new-line code every n characters."},
    {1012, u"Replaces strings."},
    {1033, u"Uses a Regular expression."},
    {1013, u"Specifies the string that will be searched for in target files."},
    {1014, u"Specifies the string after replacement."},
    {1019, u"Ignores the difference between uppercase and lowercase letters."},
    {1021, u"Treats text as single line and ignore any newline-codes when matching."},
    {1022, u"Newline-codes are not matched by '.'(dot)."},
    {1, u"Starts Replacement."},
    {2, u"Closes this application."},
    {9, u"Displays Japanese Help."},
    {1015, u"About this application."},
    {0, nullptr},
};

constexpr ToolTipEntry kAboutJapanese[] = {
    {2006, u"開発支援金の受付について詳細を表示します。インターネット接続が必要です"},
    {2, u"このダイアログを閉じます"},
    {2005,
     u"環境情報を表示します。制作元に質問を出す場合には、これで表示された情報を添付して下さい"},
    {2009,
     u"制作元へ連絡、感想、改善要望あるいは現状維持要望などを気軽に送りたい場合に利用します。イン"
     u"ターネット接続が必要です"},
    {0, nullptr},
};

constexpr ToolTipEntry kAboutEnglish[] = {
    {2006, u"About contribution"},
    {2, u"Closes this dialog box."},
    {2005, u"Displays Information of this environment."},
    {2009, u"Opens feedback page."},
    {0, nullptr},
};

}  // namespace

std::span<const ToolTipEntry> MainDialogToolTips(UiLanguage language) {
  if (language == UiLanguage::Japanese) return kMainJapanese;
  return kMainEnglish;
}

std::span<const ToolTipEntry> AboutBoxToolTips(UiLanguage language) {
  if (language == UiLanguage::Japanese) return kAboutJapanese;
  return kAboutEnglish;
}

std::vector<std::pair<int, std::u16string>> ToolTipPairs(std::span<const ToolTipEntry> table) {
  std::vector<std::pair<int, std::u16string>> tips;
  for (const ToolTipEntry& entry : table) {
    if (entry.id == 0 || entry.text == nullptr) break;
    tips.emplace_back(entry.id, entry.text);
  }
  return tips;
}

}  // namespace sorrel
