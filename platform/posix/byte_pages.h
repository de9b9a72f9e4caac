// Builds the tables of an ASCII-compatible code page by asking its ICU
// converter about every character code, as the reader and the writer use it:
// strict decoding, and encoding with fallbacks off.
#pragma once

#include <cstdint>
#include <memory>

#include "base/byte_page.h"

struct UConverter;  // ICU's

namespace sorrel::platform {

// The tables of code_page, whose converter is converter (its state and
// callbacks are changed), or null when the page is not laid out as BytePage
// requires: a byte below 0x80 that is not itself, a character that starts
// below 0x80 or has a control code or a space among its bytes, a lead byte
// whose characters differ in length, shift states, more than one lead of
// three-byte characters, or characters of four bytes and more.
std::unique_ptr<BytePage> BuildBytePage(UConverter* converter, uint32_t code_page);

}  // namespace sorrel::platform
