// Control ids of the main dialog, shared by the job that reads its options,
// the settings that are loaded into and saved from it, and its views.
#pragma once

namespace sorrel::ids {

inline constexpr int kStart = 1;
inline constexpr int kClose = 2;
inline constexpr int kHelp = 9;
inline constexpr int kTargetPath = 1000;
inline constexpr int kBrowse = 1001;
inline constexpr int kCrlfTrans = 1002;
inline constexpr int kZenSp2SpSp = 1005;
inline constexpr int kDelRightWhiteSpace = 1006;
inline constexpr int kTab2Space = 1007;
inline constexpr int kTab2SpaceClm = 1008;
inline constexpr int kTab2SpaceClmLabel = 1009;
inline constexpr int kDelControlCode = 1010;
inline constexpr int kControlCode2Space = 1011;
inline constexpr int kReplaceString = 1012;
inline constexpr int kBeforeReplace = 1013;
inline constexpr int kAfterReplace = 1014;
inline constexpr int kAbout = 1015;
inline constexpr int kSearchSubFolders = 1016;
inline constexpr int kBeforeLabel = 1017;
inline constexpr int kAfterLabel = 1018;
inline constexpr int kRepICase = 1019;
inline constexpr int kReplaceGroup = 1020;
inline constexpr int kRep1Line = 1021;
inline constexpr int kRepMatchNotDotNewLine = 1022;
inline constexpr int kFileBackup = 1023;
inline constexpr int kCrlfTransWay = 1024;
inline constexpr int kCharEncode = 1025;
inline constexpr int kInsLfCharCheck = 1026;
inline constexpr int kInsLfByteCheck = 1027;
inline constexpr int kInsLfByte = 1028;
inline constexpr int kInsLfChar = 1029;
inline constexpr int kBanner = 1030;
inline constexpr int kWriteEncode = 1031;
inline constexpr int kRepUseRegex = 1033;
inline constexpr int kCharEncodeOther = 1034;
inline constexpr int kWriteEncodeOther = 1036;
inline constexpr int kSETTS = 1037;

}  // namespace sorrel::ids
