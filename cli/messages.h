// Every message sorrelc writes to standard error, in Japanese and in English.
// "%s" is the argument as given unless said otherwise.
#pragma once

#include "platform/ui_language.h"

namespace sorrel::cli::messages {

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

}  // namespace sorrel::cli::messages
