// Every text sorrelc writes: its messages to standard error and its usage
// text to standard output, in Japanese and in English, and the formatter that
// fills them in as the narrow bytes it writes (UTF-8 on Linux).
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <variant>

#include "base/ui_language.h"

namespace sorrel::cli {

namespace messages {

// "%s" is the argument as given unless said otherwise.
inline constexpr TextPair kInvalidOption{u"sorrelc: 不正なオプションです - %s\n",
                                         u"sorrelc: Invalid option - %s\n"};
inline constexpr TextPair kInvalidCharCode{u"sorrelc: 文字コードの指定が不正です - %s\n",
                                           u"sorrelc: Invalid Character Code - %s\n"};
inline constexpr TextPair kInvalidNewline{
    u"sorrelc: 改行コードには CR, LF, CRLFのいずれかを指定します - %s\n",
    u"sorrelc: Newline Code are CR, LF or CRLF. - %s\n"};
inline constexpr TextPair kInvalidTabCount{
    u"sorrelc: タブのスペース変換数には1～99を指定して下さい - %s\n",
    u"sorrelc: Invalid TAB count(1-99). - %s\n"};
inline constexpr TextPair kNoConversion{u"sorrelc: 変換オプションが指定されていません。\n",
                                        u"sorrelc: Please specify some options for converting.\n"};
inline constexpr TextPair kNoTarget{u"sorrelc: 変換対象のファイルを指定してください。\n",
                                    u"sorrelc: Please specify some target file names.\n"};
inline constexpr TextPair kInvalidFileName{u"sorrelc: 扱えないファイル名です - %s\n",
                                           u"sorrelc:Invalid file name - %s\n"};
// "%08x" is the system's error code, "%s" the command line.
inline constexpr TextPair kCannotStart{u"sorrelc: 実行できません(GetLastError()=%08x) - %s\n",
                                       u"sorrelc: Unexpected error(GetLastError()=%08x) - %s\n"};

// The settings cannot be stored: "%s" is the settings file, then the
// system's reason.
inline constexpr TextPair kCannotStore{u"sorrelc: 設定を %s に保存できません - %s\n",
                                       u"sorrelc: Cannot store the settings in %s - %s\n"};
// The settings file is a folder, a FIFO or a device: "%s" is its path.
inline constexpr TextPair kSettingsNotRegular{
    u"sorrelc: 設定ファイルが通常のファイルではありません - %s\n",
    u"sorrelc: The settings file is not a regular file - %s\n"};
// A text the store would not give back as it is: "%s" is the argument that
// gave it.
inline constexpr TextPair kCannotStoreExactly{
    u"sorrelc: この値は設定にそのまま保存できません - %s\n",
    u"sorrelc: Cannot store this value in the settings as it is - %s\n"};

}  // namespace messages

// The usage text in lang as the bytes written to standard output: every line
// ends in LF, and one more LF follows the last.
std::string UsageText(UiLanguage lang);

// "%s" takes bytes, passed on unchanged (an argument need not be UTF-8);
// "%08x" takes a number, written as eight lower-case hex digits.
using MessageArg = std::variant<std::string_view, uint32_t>;

// The message in lang with its conversions filled in from args in order; a
// conversion without a matching argument is kept as it is.
std::string FormatMessage(const TextPair& message, UiLanguage lang,
                          std::initializer_list<MessageArg> args = {});

}  // namespace sorrel::cli
