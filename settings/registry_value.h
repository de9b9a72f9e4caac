// How the key wrappers turn registry data into texts and integers and back.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace sorrel::settings {

// The longest text a setting holds, in UTF-16 units (a buffer of 8192 units
// with its terminator).
inline constexpr size_t kMaxSettingUnits = 8191;
// The most bytes of a value a string read copies.
inline constexpr size_t kMaxStringReadBytes = 16384;

// The data of a string value: the text's UTF-16LE bytes up to its first NUL,
// and a terminator.
std::string EncodeRegString(std::u16string_view text);

// The text held in data, whatever its type: its first kMaxStringReadBytes
// bytes read as UTF-16LE, up to the first NUL, at most kMaxSettingUnits units.
std::u16string DecodeRegString(std::string_view data);

// A value as an integer by its type: a string type holding an integer literal
// (first unit '+', '-' or a digit, every later unit up to the terminator a
// digit) gives its value modulo 2^32; a dword, binary or qword gives its first
// four bytes little-endian, a big-endian dword its four bytes big-endian (a
// shorter value reads as if padded with zero bytes). Anything else gives
// default_value.
int32_t RegValueToInteger(uint32_t type, std::string_view data, int32_t default_value);

// The four little-endian bytes of a dword value.
std::string EncodeRegDword(int32_t value);

}  // namespace sorrel::settings
