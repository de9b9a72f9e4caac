// The three ways a setting's decimal text becomes a number, and back. Each
// accumulates modulo 2^32, as the platform's readers do.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace sorrel::settings {

// An integer literal of a string value: a sign or a digit first, then digits
// only. False for anything else, the empty text included.
bool ParseIntegerLiteral(std::u16string_view text, int32_t* value);

// A profile integer: optional blanks, an optional sign, then as many decimal
// digits as follow; a text without digits reads as 0.
int32_t ParseProfileInt(std::u16string_view text);

// The value's bits as unsigned decimal text (so -1 is "4294967295").
std::u16string FormatUnsigned(int32_t value);

}  // namespace sorrel::settings
