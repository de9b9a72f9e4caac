// Every text the settings store shows, in Japanese and in English.
#pragma once

#include "base/ui_language.h"

namespace sorrel::settings::messages {

// The caption of the key wrappers' guard messages; the same in both languages.
inline constexpr const char16_t* kGuardCaption = u"Registory Class";

// Guard messages of REGW.
inline constexpr TextPair kRegwAutoClose{
    u"レジストリを自動クローズしました。\n"
    u"このメッセージが表示されたら、現在編集している/していたダイアログの名前を、"
    u"メッセージの内容と共に正確に作者まで報告して下さい。",
    u"An error has occurred in REGW::~REGW()."};
inline constexpr TextPair kRegwOpenTwice{
    u"レジストリキーを多重オープンしようとしたので保護しました(REGW::OpenKey())。\n"
    u"このメッセージが表示されたら、現在編集している/していたダイアログの名前を、"
    u"メッセージの内容と共に正確に作者まで報告して下さい。",
    u"An error has occurred in REGW::OpenKey()."};
inline constexpr TextPair kRegwCloseTwice{
    u"レジストリを多重クローズしようとしたので保護しました(REGW::CloseKey)。\n"
    u"このメッセージが表示されたら、現在編集している/していたダイアログの名前を、"
    u"メッセージの内容と共に正確に作者まで報告して下さい。",
    u"An error has occurred in REGW::CloseKey()."};
inline constexpr TextPair kReadStringWUnopened{
    u"開かれていないキーを対象に ReadStringW が行われようとしたので保護します。\n"
    u"このメッセージが表示されたら、現在編集している/していたダイアログの名前を、"
    u"メッセージの内容と共に正確に作者まで報告して下さい。",
    u"An error has occurred in ReadStringW."};
inline constexpr TextPair kReadIntegerWUnopened{
    u"開かれていないキーを対象に ReadIntegerW が行われようとしたので保護します。\n"
    u"このメッセージが表示されたら、現在編集している/していたダイアログの名前を、"
    u"メッセージの内容と共に正確に作者まで報告して下さい。",
    u"An error has occurred in ReadIntegerW."};
inline constexpr TextPair kWriteStringWUnopened{
    u"開かれていないキーを対象に WriteStringW が行われようとしたので保護します。\n"
    u"このメッセージが表示されたら、現在編集している/していたダイアログの名前を、"
    u"メッセージの内容と共に正確に作者まで報告して下さい。",
    u"An error has occurred in WriteStringW."};
inline constexpr TextPair kWriteIntegerWUnopened{
    u"開かれていないキーを対象に WriteIntegerW が行われようとしたので保護します。\n"
    u"このメッセージが表示されたら、現在編集している/していたダイアログの名前を、"
    u"メッセージの内容と共に正確に作者まで報告して下さい。",
    u"An error has occurred in WriteIntegerW."};

// Guard messages of REGA.
inline constexpr TextPair kRegaAutoClose{
    u"レジストリを自動クローズしました。\n"
    u"このメッセージが表示されたら、現在編集している/していたダイアログの名前を、"
    u"メッセージの内容と共に正確に作者まで報告して下さい。",
    u"An error has occurred in REGA::~REGA()."};
inline constexpr TextPair kRegaOpenTwice{
    u"レジストリキーを多重オープンしようとしたので保護しました(REGA::OpenKey())。\n"
    u"このメッセージが表示されたら、現在編集している/していたダイアログの名前を、"
    u"メッセージの内容と共に正確に作者まで報告して下さい。",
    u"An error has occurred in REGA::OpenKey()."};
inline constexpr TextPair kRegaCloseTwice{
    u"レジストリを多重クローズしようとしたので保護しました(REGA::CloseKey)。\n"
    u"このメッセージが表示されたら、現在編集している/していたダイアログの名前を、"
    u"メッセージの内容と共に正確に作者まで報告して下さい。",
    u"An error has occurred in REGA::CloseKey()."};
inline constexpr TextPair kWriteStringAUnopened{
    u"開かれていないキーを対象に WriteStringA が行われようとしたので保護します。\n"
    u"このメッセージが表示されたら、現在編集している/していたダイアログの名前を、"
    u"メッセージの内容と共に正確に作者まで報告して下さい。",
    u"An error has occurred in WriteStringA."};
inline constexpr TextPair kWriteIntegerAUnopened{
    u"開かれていないキーを対象に WriteIntegerA が行われようとしたので保護します。\n"
    u"このメッセージが表示されたら、現在編集している/していたダイアログの名前を、"
    u"メッセージの内容と共に正確に作者まで報告して下さい。",
    u"An error has occurred in WriteIntegerA."};

// One line on standard error when the hive file cannot be parsed and is kept
// aside before a write: the file's path, then where it was kept.
inline constexpr TextPair kHiveKeptAside{
    u"設定ファイル %s を解釈できないため %s として保存し、空の設定から始めます。\n",
    u"Cannot parse the settings file %s. Kept it as %s and started with empty settings.\n"};

}  // namespace sorrel::settings::messages
