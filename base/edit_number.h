// How a number is read from an edit control's text, by the job, the settings
// and the dialog alike.
#pragma once

#include <cstdint>
#include <string_view>

namespace sorrel {

// Optional leading blanks, then only decimal digits, at most 4294967295;
// anything else (empty, "-", a sign, a letter, a larger number) reads as 0.
uint32_t ReadEditNumber(std::u16string_view text);

}  // namespace sorrel
