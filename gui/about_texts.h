// The texts of the About box and of its environment report.
#pragma once

#include "base/ui_language.h"

namespace sorrel::about_texts {

inline constexpr TextPair kTitle{u"バージョン情報", u"About"};

inline constexpr TextPair kContribution{u"開発支援金の受付について(&K)", u"Contribution(&K)"};
inline constexpr TextPair kClose{u"閉じる(&C)", u"&Close"};
inline constexpr TextPair kEnvironment{u"環境情報の表示(問合せの際にご活用下さい)(&E)",
                                       u"&Environment Information"};
inline constexpr TextPair kFeedback{u"フィードバック受付(&F)", u"&Feedback"};
// What the version text and the links show when the version block cannot be
// read.
inline constexpr char16_t kNull[] = u"(NULL)";

inline constexpr TextPair kDescription{
    u"Sorrel は、テキストファイルの内容を一括して変換するツールです。改行コードの統一"
    u"(CR+LF・LF・CR)、全角スペースの半角スペース2つへの変換、行末の余分なスペースやタブの"
    u"除去、タブのスペースへの展開、無効なコントロールコードの除去や半角スペースへの変換、"
    u"正規表現(boost::regex)を使った文字列の置換、指定した文字数毎の改行の挿入、文字コード"
    u"(Shift-JIS・EUC-JP・JIS・UTF-8・UTF-16 など)の変換を、1つのファイルにも、サブフォルダを"
    u"含むフォルダ全体にも行えます。\r\n"
    u"\r\n"
    u"本ソフトウェアはフリーソフトウェアです。個人・法人を問わず、商用・非商用のいずれの目的にも"
    u"無料でご利用いただけます。本ソフトウェアの使用によって生じたいかなる損害についても、作者は"
    u"一切の責任を負いません。大切なファイルを変換する前には、必ずバックアップを取ってください。\r"
    u"\n"
    u"\r\n"
    u"再配布は、アーカイブの内容を一切変更せず、無償で行う場合に限り自由に行えます。雑誌・書籍の"
    u"付録などに収録する場合は、事前に制作元までご連絡ください。\r\n"
    u"\r\n"
    u"Linux は Linus Torvalds 氏の米国およびその他の国における登録商標です。Windows は米国 "
    u"Microsoft Corporation の米国およびその他の国における登録商標です。その他、記載されている"
    u"会社名・製品名は、各社の商標または登録商標です。",
    u"Sorrel converts the contents of text files in one go: it unifies new-line codes (CR+LF, LF "
    u"or CR), converts full-pitch spaces to two half-pitch spaces, removes white space at the "
    u"end of lines, expands TAB codes to spaces, removes invalid control codes or converts them "
    u"to spaces, replaces strings with regular expressions (boost::regex), inserts new-line "
    u"codes every n characters and converts character codes (Shift-JIS, EUC-JP, JIS, UTF-8, "
    u"UTF-16 and others), in one file or in a whole folder with its subfolders.\r\n"
    u"\r\n"
    u"This software is free. Anyone may use it for any purpose, commercial or not, free of "
    u"charge. The author takes no responsibility for any damage caused by using this software. "
    u"Always make a backup before converting important files.\r\n"
    u"\r\n"
    u"You may pass this software on freely, as long as the archive is left unchanged and no "
    u"charge is made for it. Please contact the author before including it with a magazine or "
    u"a book.\r\n"
    u"\r\n"
    u"Linux is a registered trademark of Linus Torvalds in the U.S. and other countries. Windows "
    u"is a registered trademark of Microsoft Corporation in the U.S. and other countries. Other "
    u"company and product names are trademarks or registered trademarks of their respective "
    u"owners."};

inline constexpr char16_t kWebSiteLabel[] = u"[WebSite]";
inline constexpr char16_t kEmailLabel[] = u"[E-Mail]";
inline constexpr TextPair kContactLabel{u"[連絡先]", u"[Contact]"};
inline constexpr char16_t kMailNote[] =
    u"　メールフィルタやサーバによるドメイン着信拒否の対象になっていることがあります。質問している"
    u"のに返信がなかなか届かない場合は、ごみ箱や迷惑メールフォルダを確認するか、フィルタ作成者・サ"
    u"ーバ管理者にご相談下さい。";

// %s is the address.
inline constexpr TextPair kCannotOpenPage{
    u"%sを開けませんでした。\n上記のファイルまたはURLを直接開いて下さい。", u"Cannot open %s."};
inline constexpr TextPair kCannotOpenLink{u"%sを開けませんでした。\n上記のURLを直接開いて下さい。",
                                          u"Cannot open a browser"};

inline constexpr TextPair kReportCaption{u"環境情報の表示(簡易版)", u"RavelinLite"};
inline constexpr char16_t kReportRule[] = u"\r\n------------------------\r\n";
inline constexpr TextPair kReportQuestion{
    u"クリップボードにコピーする場合は[OK]ボタンを押して下さい。",
    u"Please click the [OK] button to copy to clipboard."};

inline constexpr TextPair kCannotOpenClipboard{u"クリップボードを開けません。",
                                               u"Cannot open clipboard."};
// The steps of the copy that only the Windows clipboard can fail at.
inline constexpr TextPair kOutOfMemory{u"作業用のメモリが足りません。", u"Out of memory."};
inline constexpr TextPair kGlobalLockError{u"GlobalLock失敗。", u"GlobalLock error."};
inline constexpr TextPair kEmptyClipboardError{u"クリップボードを空にできません。",
                                               u"EmptyClipboard error."};
inline constexpr TextPair kClipboardError{u"クリップボードへのコピーに失敗しました。",
                                          u"Clipboard error."};
inline constexpr TextPair kCopied{u"クリップボードへコピーしました。",
                                  u"Writing data to Clipboard."};

}  // namespace sorrel::about_texts
