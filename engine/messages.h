// Every text the conversion engine shows, in Japanese and in English.
#pragma once

#include "base/ui_language.h"

namespace sorrel::messages {

// The job and its result.
inline constexpr TextPair kCannotEnterTarget{u"指定されたフォルダに移動できません。",
                                             u"SetCurrentDirectory error."};
inline constexpr TextPair kAborted{u"中断されました。\r\n", u"Aborted.\r\n"};
inline constexpr TextPair kSummary{u"%d個中 %d個のファイルの置換を行いました。",
                                   u"Target files:%d, Replaced files:%d"};
inline constexpr TextPair kNoErrors{u"変換中にエラーはありませんでした。", u"No errors occured."};
inline constexpr const char16_t* kResultCaption = u"実行結果";
inline constexpr TextPair kResultInitialSummary{u"0個中0個のファイルを置換しました。",
                                                u"Target files:0, Replaced files:0"};
inline constexpr TextPair kResultLogLabel{u"変換中に発生した警告・エラー：",
                                          u"Warnings or Errors:"};

// The walk and the abort key.
inline constexpr TextPair kCannotEnterFolder{u"フォルダ %s に移動できません。\r\n",
                                             u"SetCurrentDirectory error. - %s\r\n"};
inline constexpr TextPair kAbortQuestion{u"Escキーが押されました。中断しますか?",
                                         u"Do you want to abort?"};
inline constexpr TextPair kAbortCaption{u"中断", u"Abort"};

// The reader's results.
inline constexpr TextPair kCannotOpen{u"ファイル %s を読み込みモードで開けません。\r\n",
                                      u"Cannot open %s.\r\n"};
inline constexpr TextPair kEmpty{u"ファイル %s は内容が空です。\r\n", u"%s is empty.\r\n"};
inline constexpr TextPair kReadError{u"ファイル %s の読み込み中にエラーが発生しました。\r\n",
                                     u"Cannot read %s.\r\n"};
inline constexpr TextPair kNoService{u"IMultiLanguage2のインスタンス作成に失敗しました。\r\n",
                                     u"Cannot create IMultiLanguage2.\r\n"};
inline constexpr TextPair kCannotDecode{
    u"ファイル %s "
    u"のUnicode変換工程でエラーが発生しました。ファイル内容が文字列として解釈できません。"
    u"\r\n",
    u"Cannot encode %s to Unicode.\r\n"};
inline constexpr TextPair kCannotDecodeInsLfByte{
    u"ファイル %s "
    u"のUnicode変換工程でエラーが発生しました。ファイル内容が文字列として解釈できないか、"
    u"「指定したバイト数毎に改行コードを挟む」によりファイル内容が破壊された可能性があります。\r\n",
    u"Cannot encode %s to Unicode.\r\n"};
inline constexpr TextPair kFileAborted{u"ファイル %s 処理中止しました。\r\n", u"Abort %s.\r\n"};
// Under detection, a file that is not text is left alone.
inline constexpr TextPair kBinarySkipped{
    u"ファイル %s はバイナリファイルのため、変換しませんでした。\r\n",
    u"Skipped a binary file - %s.\r\n"};
// A file written back without the NUL characters that the reader cut out.
inline constexpr TextPair kNulRemoved{u"ファイル %s のNUL文字を取り除きました。\r\n",
                                      u"Removed NUL characters - %s.\r\n"};
// A file with a UTF-32 mark is left alone: its units are not edited.
inline constexpr TextPair kUtf32Skipped{u"ファイル %s はUTF-32のため、変換しませんでした。\r\n",
                                        u"Skipped a UTF-32 file - %s.\r\n"};
// A symbolic link (to a file or a folder) whose owner is neither the running
// user nor the owner of what it leads to is not followed.
inline constexpr TextPair kLinkNotFollowed{
    u"シンボリックリンク %s は他のユーザーのものなので、たどりませんでした。\r\n",
    u"Did not follow a symbolic link of another user - %s.\r\n"};
// The reader's question before cutting UTF-16 at an odd byte count; Japanese
// in both languages.
inline constexpr const char16_t* kOddUtf16Question =
    u"ファイル %s の文字コードはUTF-16ですが、改行コードを %d "
    u"バイト毎に挟むように指定されています。ファイルが壊れる可能性がありますが、継続しますか?";
inline constexpr const char16_t* kOddUtf16Caption = u"指定したバイト数毎に改行コードを挟む";

// Per-file processing.
inline constexpr TextPair kBackupFailed{
    u"バックアップによるファイル %s の作成に失敗しました。置換は中止します。\r\n",
    u"Cannot create a backup file - %s.\r\n"};
inline constexpr TextPair kCannotReadTimes{
    u"ファイル %s の元のタイムスタンプの読み出しに失敗しました。\r\n",
    u"Cannot read the timestamp. - %s\r\n"};
inline constexpr TextPair kCannotOpenForTimes{
    u"ファイル %s タイムスタンプを設定するためのオープンに失敗。\r\n",
    u"Cannot open(for change the timestamp). - %s\r\n"};
inline constexpr TextPair kCannotSetTimes{u"ファイル %s タイムスタンプを設定できません。\r\n",
                                          u"Cannot change the timestamp. - %s\r\n"};
inline constexpr const char16_t* kWriterLine = u"%s:%s - %s\r\n";
inline constexpr TextPair kOutOfMemory{u"ファイル %s を読込むためのメモリが足りません。\r\n",
                                       u"Not enough memory. - %s\r\n"};
inline constexpr TextPair kOutOfRange{u"ファイル %s を処理中の内部エラーです：out_of_range\r\n",
                                      u"out_of_range. - %s\r\n"};
inline constexpr TextPair kException{u"ファイル %s を処理中の内部エラーです：exception\r\n",
                                     u"exception. - %s\r\n"};
inline constexpr TextPair kUnexpected{u"ファイル %s を処理中の内部エラーです：想定外の例外\r\n",
                                      u"error. - %s\r\n"};

// What a run finds of an earlier run that was killed while it rewrote a file
// in place: the rewrite is finished from its journal, unless the file was
// changed after it.
inline constexpr TextPair kInterruptedCompleted{
    u"ファイル %s の中断された書き込みを完了しました。\r\n",
    u"Completed an interrupted rewrite - %s.\r\n"};
inline constexpr TextPair kInterruptedChanged{
    u"ファイル %s は中断された書き込みの後で変更されていたため、そのままにしました。\r\n",
    u"Left as it is: changed after an interrupted rewrite - %s.\r\n"};
inline constexpr TextPair kInterruptedFailed{
    u"ファイル %s の中断された書き込みを完了できません。\r\n",
    u"Cannot complete an interrupted rewrite - %s.\r\n"};

// Preparing the replacement.
inline constexpr TextPair kNoMemoryBefore{
    u"文字列置換を行うためのメモリが足りません：\r\n置換前文字列", u"Not enough memory. [BS]"};
inline constexpr TextPair kNoMemoryAfter{
    u"文字列置換を行うためのメモリが足りません：\r\n置換後文字列", u"Not enough memory. [AS]"};
inline constexpr TextPair kBadExpression{u"正規表現の指定が不正です。",
                                         u"Regular Expression error. [bad_expression]"};
inline constexpr TextPair kExpressionException{u"正規表現の準備中にエラーが発生しました。",
                                               u"Regular Expression error. [exception]"};

// The writer's what and detail texts.
inline constexpr TextPair kCoCreateFailed{u"CoCreateInstance失敗", u"CoCreateInstance."};
inline constexpr TextPair kNoInterface{
    u"指定されたクラスでは要求されたインターフェースが実装されていません。", u"E_NOINTERFACE."};
inline constexpr TextPair kNoAggregation{
    u"指定されたクラスはアグリゲートオブジェクトの一部として作成できません。",
    u"CLASS_E_NOAGGREGATION."};
inline constexpr TextPair kClassNotRegistered{
    u"指定されたクラスが登録データベースに登録されていないか、dwClsContextパラメータで指定されたサ"
    u"ーバー"
    u"タイプが登録されていないか、レジストリのサーバータイプ値が不正です。",
    u"REGDB_E_CLASSNOTREG."};
inline constexpr TextPair kConversionError{u"文字列変換中エラー", u"Conversion error"};
inline constexpr TextPair kConvertFromUnicodeFailed{u"ConvertStringFromUnicodeEx失敗",
                                                    u"ConvertStringFromUnicodeEx error."};
inline constexpr TextPair kSystemConversionError{u"文字列変換中エラー", u"WideCharToMultiByte"};
inline constexpr TextPair kForcedConversion{u"強制変換しました", u"Force Conversion"};
inline constexpr TextPair kForcedConversionDetail{
    u"変換できない文字が含まれており、'?'に置換しました。",
    u"Unconvertible charactors are contained."};
// The service's own forced conversions, under kForcedConversion: half-width
// katakana that a JIS page writes in full width, alone and together with
// characters written as "?".
inline constexpr TextPair kHalfWidthKanaWidenedDetail{
    u"半角カタカナが含まれており、全角カタカナに置換しました。",
    u"Half-width katakana are converted to full-width."};
inline constexpr TextPair kForcedAndWidenedDetail{
    u"変換できない文字を'?'に、半角カタカナを全角カタカナに置換しました。",
    u"Unconvertible characters are contained, and half-width katakana are converted to "
    u"full-width."};
inline constexpr TextPair kCannotOpenForWrite{u"ファイルを書き込みモードで開けません",
                                              u"Cannot open a file as write mode"};
inline constexpr TextPair kWriteError{u"ファイル書き込み中エラー", u"WriteFile error"};
// An extended attribute (an access control list, a security label) of the
// file could not be given to its new content; the file was not written.
inline constexpr TextPair kCannotKeepAttributes{u"拡張属性を引き継げません",
                                                u"Cannot keep the extended attributes"};
// The file was changed by someone else between the read and the rewrite.
inline constexpr TextPair kChangedSinceRead{
    u"読み込み後にファイルが変更されたため、書き込みを中止しました。",
    u"The file was changed after it was read; it was not written."};
// The file may be written, but not its folder, where the new content is
// made before it replaces the file.
inline constexpr TextPair kFolderNotWritable{
    u"ファイルのあるフォルダに書き込めないため、書き込みを中止しました。",
    u"The file's folder cannot be written to; it was not written."};
// Another user's run was killed while it rewrote the file in place: the
// file may be half-written until that user's next run finishes it.
inline constexpr TextPair kOthersRewritePending{
    u"他のユーザーによる書き込みが中断されたままのため、書き込みを中止しました。",
    u"Another user's interrupted rewrite of the file is pending; it was not written."};

}  // namespace sorrel::messages
