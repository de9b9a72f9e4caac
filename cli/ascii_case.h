// Comparisons of names and switches without regard to ASCII case; other
// bytes compare exactly.
#pragma once

#include <string_view>

namespace sorrel::cli {

// lower is all lower case in both.
bool EqualsIgnoringAsciiCase(std::string_view text, std::string_view lower);
bool StartsWithIgnoringAsciiCase(std::string_view text, std::string_view lower);
bool EndsWithIgnoringAsciiCase(std::string_view text, std::string_view lower);

}  // namespace sorrel::cli
