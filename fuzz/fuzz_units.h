// How the fuzz targets turn raw fuzzer bytes into UTF-16 texts: a small
// alphabet that reaches line ends, tabs, control codes, wide and surrogate
// units often, and an escape for any unit at all; and the scratch file of
// the targets that read through the file system.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace sorrel::fuzz {

// Splits the input at every kFieldSeparator byte; there is always at least
// one field (maybe empty).
inline constexpr char kFieldSeparator = '\xFF';
std::vector<std::string_view> SplitFields(std::string_view bytes);

// Bytes 00-7F are the ASCII unit itself; 80-BF pick from a table of
// interesting units (U+3000, kana, kanji, half-width katakana, surrogate
// halves, U+FEFF, ...); C0-FE is an escape whose next two bytes are one
// unit, big-endian (a missing byte counts as zero).
std::u16string UnitsFromBytes(std::string_view bytes);

// The field of that index, or an empty view when there are fewer.
std::string_view Field(const std::vector<std::string_view>& fields, size_t index);

// Writes bytes as the file name in a folder of the process's own, removed
// when the fuzzer exits, and gives its path. Aborts when it cannot.
std::string WriteScratchFile(const std::string& name, std::string_view bytes);

}  // namespace sorrel::fuzz
