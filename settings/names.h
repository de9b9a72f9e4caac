// How both stores compare section, key and value names.
#pragma once

#include <string>
#include <string_view>

namespace sorrel::settings {

// True when a and b are equal but for the case of ASCII letters.
bool SameName(std::u16string_view a, std::u16string_view b);

// name with its ASCII letters folded: equal for names SameName matches.
std::u16string FoldName(std::u16string_view name);

}  // namespace sorrel::settings
