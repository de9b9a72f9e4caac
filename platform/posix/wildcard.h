// Wildcard matching of file names by the rules the program was designed with.
#pragma once

#include <string_view>

namespace sorrel::platform {

// True when name matches pattern. Only '*' (any run of characters, also none)
// and '?' (exactly one character: one UTF-8 sequence where the name holds a
// well-formed one, otherwise one byte) are special; '[' and every other byte
// stand for themselves, compared case-sensitively. A leading dot is matched
// like any other character. "*.*" matches every name, also one without a dot;
// a pattern that ends in a dot also matches names without any dot, as if the
// dot were not there ("*." matches "README", not "a.txt").
// Runs in time proportional to the product of the lengths at worst, never
// exponentially.
bool WildcardMatch(std::string_view pattern, std::string_view name);

}  // namespace sorrel::platform
