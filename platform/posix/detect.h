// Detection of the code page of a file's bytes, tuned for Japanese text.
#pragma once

#include <cstdint>
#include <string_view>

#include "platform/code_pages.h"

namespace sorrel::platform {

// The one best code page for bytes that carry no byte-order mark: always a
// page that all of bytes decode in strictly with converter, or 932 when
// there is none. In this order:
// - 7-bit bytes without NUL: 50220 when they hold an ISO-2022-JP escape
//   and decode in it, else 932 (ASCII decodes the same in 932, and Japanese
//   text put in by a replacement can then be written back);
// - well-formed UTF-16 that looks like Japanese or ASCII text: 1200 or 1201;
// - the readings of the bytes in Shift-JIS, EUC-JP, UTF-8 and UTF-16, best
//   first, when the best holds what Japanese text is made of; UTF-8 with
//   multi-byte letters goes before readings that are not mostly kana;
// - else UTF-8, when its reading is that of letters and symbols;
// - uchardet's answer, after ICU's when uchardet names a page of Latin
//   script;
// - the other Japanese readings.
// The 7-bit check reads the whole buffer; the weighing reads 64 KiB and the
// detectors 1 MiB (from the first byte of 0x80 or more on, but for UTF-16);
// the answer is then checked on all of the bytes.
uint32_t DetectCodePage(std::string_view bytes, CodePageConverter& converter);

// The code page for a charset label of uchardet or of ICU's detector (case
// ignored), or 0 for a label without one.
uint32_t CodePageForCharset(std::string_view label);

}  // namespace sorrel::platform
