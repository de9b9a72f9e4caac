// Detection of the code page of a file's bytes, tuned for Japanese text.
#pragma once

#include <cstdint>
#include <string_view>

namespace sorrel::platform {

// The one best code page for bytes that carry no byte-order mark; 932 when
// nothing better is found. In this order:
// - 7-bit bytes without NUL: 50220 when they hold an ISO-2022-JP escape, else
//   932 (ASCII decodes the same in 932, and Japanese text put in by a
//   replacement can then be written back);
// - well-formed UTF-16 that looks like Japanese or ASCII text: 1200 or 1201;
// - otherwise uchardet's answer, asking ICU's detector instead when uchardet
//   names a single-byte charset other than Japanese.
// The 7-bit check reads the whole buffer; the UTF-16 reading its first 1 MiB,
// the detectors 1 MiB from the first byte of 0x80 or more on.
uint32_t DetectCodePage(std::string_view bytes);

// The code page for a charset label of uchardet or of ICU's detector (case
// ignored), or 0 for a label without one.
uint32_t CodePageForCharset(std::string_view label);

}  // namespace sorrel::platform
