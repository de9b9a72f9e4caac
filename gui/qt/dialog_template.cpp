// The dialog templates of the main dialog and the result dialog.
#include "gui/qt/dialog_template.h"

#include <iterator>

#include "base/main_dialog_ids.h"
#include "engine/messages.h"

namespace sorrel::qt {
namespace {

using K = ControlKind;

constexpr ControlTemplate kMainJa[] = {
    {kNoId,
     K::Label,
     {6, 4, 262, 8},
     u"各種変換の対象となるファイル名を指定してください(&I)："
     u"\u3000\u3000\u3000\u3000\u3000\u3000\u3000\u3000\u3000\u3000\u3000※ワイルドカード使用可"},
    {ids::kTargetPath, K::Edit, {6, 17, 249, 14}, nullptr},
    {ids::kBrowse, K::PushButton, {257, 17, 43, 14}, u"参照(&B)..."},
    {ids::kFileBackup, K::CheckBox, {17, 35, 95, 10}, u"変換時にバックアップを行う(&K)"},
    {ids::kSearchSubFolders, K::CheckBox, {177, 36, 85, 10}, u"サブフォルダも検索する(&Y)"},
    {kNoId, K::Label, {7, 53, 142, 8}, u"BOMがない場合のファイルの文字コードを指定(&F)："},
    {ids::kCharEncode, K::DropList, {155, 51, 114, 480}, nullptr},
    {ids::kCharEncodeOther, K::DigitsEdit, {272, 51, 29, 14}, nullptr},
    {ids::kInsLfByteCheck,
     K::CheckBox,
     {6, 70, 207, 10},
     u"右に指定したバイト数毎に改行コードを挟む(&M)："},
    {ids::kInsLfByte, K::DigitsEdit, {218, 69, 83, 14}, nullptr},
    {ids::kCrlfTrans, K::CheckBox, {6, 88, 68, 10}, u"改行コードを変換(&C)"},
    {ids::kCrlfTransWay, K::DropList, {86, 87, 214, 120}, nullptr},
    {ids::kZenSp2SpSp, K::CheckBox, {6, 103, 128, 10}, u"全角スペースを半角スペース2つに変換(&Z)"},
    {ids::kDelRightWhiteSpace,
     K::CheckBox,
     {6, 117, 167, 10},
     u"行末のホワイトスペース(半角スペースおよびタブ)除去(&W)"},
    {ids::kTab2Space, K::CheckBox, {6, 131, 80, 10}, u"タブをスペースに変換(&T)"},
    {ids::kTab2SpaceClmLabel, K::Label, {38, 147, 70, 8}, u"タブのカラム数を指定(&U)："},
    {ids::kTab2SpaceClm, K::DigitsEdit, {118, 144, 40, 14}, nullptr},
    {ids::kDelControlCode,
     K::CheckBox,
     {6, 163, 266, 10},
     u"無効なコントロールコード(文字コード0x01～0x1Fのうち改行・TAB・EOFを除くもの)を除去(&D)"},
    {ids::kControlCode2Space,
     K::CheckBox,
     {6, 177, 169, 10},
     u"無効なコントロールコード(同上)を半角スペースに変換(&A)"},
    {ids::kInsLfCharCheck,
     K::CheckBox,
     {6, 190, 143, 10},
     u"右に指定した文字数毎に改行コードを挟む(&L)："},
    {ids::kInsLfChar, K::DigitsEdit, {218, 188, 83, 14}, nullptr},
    {kNoId, K::Label, {6, 208, 142, 8}, u"書き込み時のファイルの文字コードを指定(&O)："},
    {ids::kWriteEncode, K::DropList, {155, 206, 114, 480}, nullptr},
    {ids::kWriteEncodeOther, K::DigitsEdit, {272, 205, 29, 14}, nullptr},
    {ids::kSETTS, K::CheckBox, {6, 223, 194, 10}, u"タイムスタンプを維持する(&Q)"},
    {ids::kReplaceString, K::CheckBox, {6, 235, 65, 10}, u"文字列の置換(&R)"},
    {ids::kReplaceGroup, K::GroupBox, {9, 243, 294, 57}, nullptr},
    {ids::kRepUseRegex,
     K::CheckBox,
     {90, 235, 176, 10},
     u"文字列の置換に正規表現(boost::regex)を使用"},
    {ids::kBeforeLabel, K::Label, {17, 253, 34, 8}, u"置換前(&E)："},
    {ids::kBeforeReplace, K::Edit, {61, 251, 240, 14}, nullptr},
    {ids::kAfterLabel, K::Label, {17, 270, 34, 8}, u"置換後(&J)："},
    {ids::kAfterReplace, K::Edit, {61, 267, 240, 14}, nullptr},
    {ids::kRepICase, K::CheckBox, {19, 285, 73, 10}, u"英大小文字無視(&P)"},
    {ids::kRep1Line, K::CheckBox, {99, 285, 77, 10}, u"全体で1行とみなす(&G)"},
    {ids::kRepMatchNotDotNewLine,
     K::CheckBox,
     {183, 285, 113, 10},
     u"\". \"(ドット)を改行にマッチさせない(&N)"},
    {ids::kStart, K::DefaultPushButton, {53, 311, 79, 14}, u"開始(&S)"},
    {ids::kClose, K::PushButton, {133, 311, 50, 14}, u"閉じる(&X)"},
    {ids::kHelp, K::PushButton, {184, 311, 50, 14}, u"ヘルプ(&H)"},
    {ids::kAbout, K::PushButton, {235, 311, 65, 14}, u"バージョン情報(&V)..."},
    {ids::kBanner, K::Bitmap, {34, 300, 182, 11}, nullptr},
};

constexpr ControlTemplate kMainEn[] = {
    {kNoId,
     K::Label,
     {6, 4, 262, 8},
     u"Target f&ile name:             *You can use wildcards(ex:*, ?)"},
    {ids::kTargetPath, K::Edit, {6, 17, 249, 14}, nullptr},
    {ids::kBrowse, K::PushButton, {257, 17, 43, 14}, u"&Browse..."},
    {ids::kFileBackup, K::CheckBox, {17, 34, 95, 10}, u"Bac&kup file"},
    {ids::kSearchSubFolders, K::CheckBox, {177, 35, 86, 10}, u"Search in the subfolders.(&Y)"},
    {kNoId, K::Label, {6, 51, 129, 9}, u"Charactor Code of &files without BOM:"},
    {ids::kCharEncode, K::DropList, {144, 47, 112, 480}, nullptr},
    {ids::kCharEncodeOther, K::DigitsEdit, {260, 48, 40, 14}, nullptr},
    {ids::kInsLfByteCheck,
     K::CheckBox,
     {6, 69, 200, 11},
     u"Inserts CR/LF every n characters(&M).  --->"},
    {ids::kInsLfByte, K::DigitsEdit, {199, 66, 97, 15}, nullptr},
    {ids::kCrlfTrans, K::CheckBox, {6, 88, 68, 10}, u"&Converts CR-LF"},
    {ids::kCrlfTransWay, K::DropList, {86, 85, 214, 120}, nullptr},
    {ids::kZenSp2SpSp,
     K::CheckBox,
     {6, 102, 128, 10},
     u"Full pitch space -> 2 half pitch spaces.(&Z)"},
    {ids::kDelRightWhiteSpace,
     K::CheckBox,
     {6, 117, 167, 10},
     u"Deletes &white spaces in the end of a line."},
    {ids::kTab2Space, K::CheckBox, {6, 130, 80, 10}, u"&TAB code -> spaces"},
    {ids::kTab2SpaceClmLabel, K::Label, {38, 146, 70, 8}, u"1 TAB code = (&U):"},
    {ids::kTab2SpaceClm, K::DigitsEdit, {118, 144, 40, 14}, nullptr},
    {ids::kDelControlCode, K::CheckBox, {6, 162, 266, 10}, u"&Deletes Invalid control code."},
    {ids::kControlCode2Space,
     K::CheckBox,
     {6, 176, 169, 10},
     u"Inv&alid control -> half pitch space"},
    {ids::kInsLfCharCheck,
     K::CheckBox,
     {6, 189, 167, 11},
     u"Inserts CR/&LF every n characters.  --->"},
    {ids::kInsLfChar, K::DigitsEdit, {200, 185, 97, 15}, nullptr},
    {kNoId, K::Label, {6, 207, 72, 8}, u"Write File Enc&ode :"},
    {ids::kWriteEncode, K::DropList, {86, 205, 170, 480}, nullptr},
    {ids::kWriteEncodeOther, K::DigitsEdit, {261, 205, 40, 14}, nullptr},
    {ids::kSETTS, K::CheckBox, {6, 221, 227, 11}, u"Do not change the time stamp(&Q)"},
    {ids::kReplaceString, K::CheckBox, {6, 233, 92, 10}, u"&Replaces string"},
    {ids::kRepUseRegex, K::CheckBox, {106, 233, 71, 10}, u"uses boost::regex."},
    {ids::kReplaceGroup, K::GroupBox, {6, 241, 294, 57}, nullptr},
    {ids::kBeforeLabel, K::Label, {16, 251, 34, 8}, u"B&efore text:"},
    {ids::kBeforeReplace, K::Edit, {61, 249, 240, 14}, nullptr},
    {ids::kAfterLabel, K::Label, {16, 269, 34, 8}, u"After text(&J):"},
    {ids::kAfterReplace, K::Edit, {61, 265, 240, 14}, nullptr},
    {ids::kRepICase, K::CheckBox, {19, 283, 73, 10}, u"case insensitive(&P)"},
    {ids::kRep1Line, K::CheckBox, {99, 283, 77, 10}, u"match_sin&gle_line"},
    {ids::kRepMatchNotDotNewLine, K::CheckBox, {184, 283, 113, 10}, u"match_&not_dot_newline"},
    {ids::kStart, K::DefaultPushButton, {25, 302, 79, 14}, u"&Start"},
    {ids::kClose, K::PushButton, {105, 302, 50, 14}, u"E&xit"},
    {ids::kHelp, K::PushButton, {159, 302, 75, 14}, u"&Help(Japanese)"},
    {ids::kAbout, K::PushButton, {235, 302, 65, 14}, u"About(&V)..."},
};

constexpr ControlTemplate kResultJa[] = {
    {result_ids::kSummary, K::Label, {7, 7, 360, 8}, messages::kResultInitialSummary.ja},
    {result_ids::kLogLabel, K::Label, {7, 25, 360, 8}, messages::kResultLogLabel.ja},
    {result_ids::kLog, K::LogEdit, {7, 37, 360, 177}, nullptr},
    {result_ids::kOk, K::DefaultPushButton, {157, 220, 50, 14}, u"OK"},
};

constexpr ControlTemplate kResultEn[] = {
    {result_ids::kSummary, K::Label, {7, 7, 360, 8}, messages::kResultInitialSummary.en},
    {result_ids::kLogLabel, K::Label, {7, 23, 360, 8}, messages::kResultLogLabel.en},
    {result_ids::kLog, K::LogEdit, {7, 36, 360, 178}, nullptr},
    {result_ids::kOk, K::DefaultPushButton, {162, 220, 50, 14}, u"OK"},
};

constexpr DialogTemplate kMainDialogJa{u"Sorrel", 307, 333, kMainJa, std::size(kMainJa)};
constexpr DialogTemplate kMainDialogEn{u"Sorrel", 307, 324, kMainEn, std::size(kMainEn)};
constexpr DialogTemplate kResultDialogJa{messages::kResultCaption, 374, 241, kResultJa,
                                         std::size(kResultJa)};
constexpr DialogTemplate kResultDialogEn{messages::kResultCaption, 374, 241, kResultEn,
                                         std::size(kResultEn)};

}  // namespace

const DialogTemplate& MainDialogTemplate(UiLanguage language) {
  return language == UiLanguage::Japanese ? kMainDialogJa : kMainDialogEn;
}

const DialogTemplate& ResultDialogTemplate(UiLanguage language) {
  return language == UiLanguage::Japanese ? kResultDialogJa : kResultDialogEn;
}

}  // namespace sorrel::qt
