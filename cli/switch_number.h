// How the number after a switch's colon is read.
#pragma once

#include <cstdint>
#include <string_view>

namespace sorrel::cli {

// Reads text as strtol does with base 10 where long is 32 bits: leading white
// space and one sign are skipped, reading stops at the first non-digit, a
// text without digits reads as 0, and a number out of range gives the
// nearest 32-bit limit.
int32_t ReadSwitchNumber(std::string_view text);

}  // namespace sorrel::cli
