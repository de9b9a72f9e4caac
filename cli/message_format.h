// Fills in sorrelc's messages as the narrow bytes it writes (UTF-8 on Linux).
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <variant>

#include "platform/ui_language.h"

namespace sorrel::cli {

// "%s" takes bytes, passed on unchanged (an argument need not be UTF-8);
// "%08x" takes a number, written as eight lower-case hex digits.
using MessageArg = std::variant<std::string_view, uint32_t>;

// The message in lang with its conversions filled in from args in order; a
// conversion without a matching argument is kept as it is.
std::string FormatMessage(const TextPair& message, UiLanguage lang,
                          std::initializer_list<MessageArg> args = {});

}  // namespace sorrel::cli
