// The table of settings keys: every option of a conversion under one key, its
// default, how it is loaded into and saved from the main dialog's controls,
// and its name in both programs' strings.
#pragma once

#include <cstdint>

#include "base/main_dialog_ids.h"

namespace sorrel::settings {

enum class KeyKind {
  String,         // the edit's text
  Flag,           // the check box; any non-zero value loads as checked
  CodePageIndex,  // the combo box's index 0-9; 9 enables the code-page edit
  CodePageOther,  // a code-page number in an edit; 0 shows "-"
  LineEndKind,    // the combo box: 1 LF, 2 CR, anything else CR+LF
  TabWidth,       // an unsigned number in an edit; 0 shows 4
  InsertEvery,    // a number in an edit behind a check box; 0 = off
};

struct SettingKey {
  const char16_t* name;
  const char* narrow_name;  // the same name, for sorrelc
  KeyKind kind;
  int32_t default_value;  // for every kind but String
  int control;            // the edit, check box or combo box
  int partner;            // CodePageIndex: its code-page edit; InsertEvery: its check box
};

inline constexpr SettingKey kTargetPath{
    u"TargetPath", "TargetPath", KeyKind::String, 0, ids::kTargetPath, 0};
inline constexpr SettingKey kFileBackup{
    u"FileBackup", "FileBackup", KeyKind::Flag, 0, ids::kFileBackup, 0};
inline constexpr SettingKey kSearchSubFolders{
    u"SearchSubFolders", "SearchSubFolders", KeyKind::Flag, 1, ids::kSearchSubFolders, 0};
inline constexpr SettingKey kCharEncode{u"CharEncode",          "CharEncode",
                                        KeyKind::CodePageIndex, 1,
                                        ids::kCharEncode,       ids::kCharEncodeOther};
inline constexpr SettingKey kCharEncodeOther{
    u"CharEncodeOther", "CharEncodeOther", KeyKind::CodePageOther, 0, ids::kCharEncodeOther, 0};
inline constexpr SettingKey kWriteEncode{u"WriteEncode",         "WriteEncode",
                                         KeyKind::CodePageIndex, 0,
                                         ids::kWriteEncode,      ids::kWriteEncodeOther};
inline constexpr SettingKey kWriteEncodeOther{
    u"WriteEncodeOther", "WriteEncodeOther", KeyKind::CodePageOther, 0, ids::kWriteEncodeOther, 0};
inline constexpr SettingKey kCrlfTrans{
    u"CrlfTrans", "CrlfTrans", KeyKind::Flag, 0, ids::kCrlfTrans, 0};
inline constexpr SettingKey kCrlfTransWay{
    u"CrlfTransWay", "CrlfTransWay", KeyKind::LineEndKind, 0, ids::kCrlfTransWay, 0};
inline constexpr SettingKey kZenSp2SpSp{
    u"ZenSp2SpSp", "ZenSp2SpSp", KeyKind::Flag, 0, ids::kZenSp2SpSp, 0};
inline constexpr SettingKey kDelRightWhiteSpace{
    u"DelRightWhiteSpace", "DelRightWhiteSpace", KeyKind::Flag, 0, ids::kDelRightWhiteSpace, 0};
inline constexpr SettingKey kTab2Space{
    u"Tab2Space", "Tab2Space", KeyKind::Flag, 0, ids::kTab2Space, 0};
inline constexpr SettingKey kTab2SpaceClm{
    u"Tab2SpaceClm", "Tab2SpaceClm", KeyKind::TabWidth, 4, ids::kTab2SpaceClm, 0};
inline constexpr SettingKey kDelControlCode{
    u"DelControlCode", "DelControlCode", KeyKind::Flag, 0, ids::kDelControlCode, 0};
inline constexpr SettingKey kControlCode2Space{
    u"ControlCode2Space", "ControlCode2Space", KeyKind::Flag, 0, ids::kControlCode2Space, 0};
inline constexpr SettingKey kSETTS{u"SETTS", "SETTS", KeyKind::Flag, 0, ids::kSETTS, 0};
inline constexpr SettingKey kReplaceString{
    u"ReplaceString", "ReplaceString", KeyKind::Flag, 0, ids::kReplaceString, 0};
inline constexpr SettingKey kBeforeReplace{
    u"BeforeReplace", "BeforeReplace", KeyKind::String, 0, ids::kBeforeReplace, 0};
inline constexpr SettingKey kAfterReplace{
    u"AfterReplace", "AfterReplace", KeyKind::String, 0, ids::kAfterReplace, 0};
inline constexpr SettingKey kRepUseRegex{
    u"RepUseRegex", "RepUseRegex", KeyKind::Flag, 0, ids::kRepUseRegex, 0};
inline constexpr SettingKey kRepICase{u"RepICase", "RepICase", KeyKind::Flag, 0, ids::kRepICase, 0};
inline constexpr SettingKey kRep1Line{u"Rep1Line", "Rep1Line", KeyKind::Flag, 0, ids::kRep1Line, 0};
inline constexpr SettingKey kRepMatchNotDotNewLine{u"RepMatchNotDotNewLine",
                                                   "RepMatchNotDotNewLine",
                                                   KeyKind::Flag,
                                                   0,
                                                   ids::kRepMatchNotDotNewLine,
                                                   0};
inline constexpr SettingKey kInsLfByte{
    u"InsLfByte", "InsLfByte", KeyKind::InsertEvery, 0, ids::kInsLfByte, ids::kInsLfByteCheck};
inline constexpr SettingKey kInsLfChar{
    u"InsLfChar", "InsLfChar", KeyKind::InsertEvery, 0, ids::kInsLfChar, ids::kInsLfCharCheck};

// Every key, in the order sorrel loads and saves them.
inline constexpr SettingKey kSettingKeys[] = {
    kTargetPath,      kFileBackup,     kSearchSubFolders,      kCharEncode,
    kCharEncodeOther, kWriteEncode,    kWriteEncodeOther,      kCrlfTrans,
    kCrlfTransWay,    kZenSp2SpSp,     kDelRightWhiteSpace,    kTab2Space,
    kTab2SpaceClm,    kDelControlCode, kControlCode2Space,     kSETTS,
    kReplaceString,   kBeforeReplace,  kAfterReplace,          kRepUseRegex,
    kRepICase,        kRep1Line,       kRepMatchNotDotNewLine, kInsLfByte,
    kInsLfChar,
};

// The entries of the code-page lists and the line-end list.
inline constexpr int32_t kCodePageEntries = 10;
inline constexpr int32_t kOtherCodePageEntry = 9;

}  // namespace sorrel::settings
