// The names that /F:, /O: and /C: take.
#pragma once

#include <cstdint>
#include <string_view>

namespace sorrel::cli {

// A character-code name of /F: or /O:, compared without regard to ASCII
// case, as the index of the code-page lists (0 auto to 8 EBCDIC). Any other
// text whose leading number (the switch-number rule) is above 0 gives 9 and
// that number in *code_page, which is left alone otherwise. False for
// anything else.
bool ReadCodeChoice(std::string_view name, int32_t* choice, int32_t* code_page);

// A line-end name of /C:, compared without regard to ASCII case: 1 for LF,
// 2 for CR, 3 for CRLF. False for anything else.
bool ReadLineEndKind(std::string_view name, int32_t* kind);

}  // namespace sorrel::cli
