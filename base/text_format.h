// The printf-like formatter of every report line and message: "%s" takes a
// UTF-16 text, "%d" a number, "%%" is a percent sign. Nothing is cut: the
// result is as long as it needs to be.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <variant>

namespace sorrel {

using FormatArg = std::variant<std::u16string_view, int64_t>;

std::u16string FormatText(std::u16string_view format, std::initializer_list<FormatArg> args);

}  // namespace sorrel
