// The text transforms of transforms.h, run on the bytes of a page whose
// tables (base/byte_page.h) show its characters, without decoding them.
// Each gives exactly the bytes that decoding, running the step on the text
// and encoding would give, provided the bytes are valid and plain in the
// page (ScanPage), and reports a change as the step on the text does. Each
// runs in time linear in the bytes and throws std::bad_alloc, leaving the
// bytes as they were, where the text would grow beyond kMaxTextUnits.
#pragma once

#include <bitset>
#include <cstdint>
#include <string>
#include <string_view>

#include "engine/text_buffer.h"
#include "base/byte_page.h"

namespace sorrel {

// (a) Line ends are single bytes in every such page.
bool UnifyLineEnds(std::string& bytes, LineEndKind kind);

// (b) Each character that decodes to U+3000 becomes two spaces.
bool SplitFullWidthSpaces(std::string& bytes, const platform::BytePage& page);

// (c) Spaces and tabs are single bytes.
bool DeleteTrailingWhiteSpace(std::string& bytes);

// (d) A character counts the columns its units count in double_byte.
bool ExpandTabs(std::string& bytes, uint32_t width, const platform::BytePage& page,
                const std::bitset<65536>& double_byte);

// (e) and (f): control codes are single bytes.
bool DeleteControlCodes(std::string& bytes);
bool ControlCodesToSpaces(std::string& bytes);

// (g) Counts characters as units: only for bytes in which every character
// is one unit (OneUnitEach).
bool InsertLineEndEveryNChars(std::string& bytes, uint32_t n, LineEndKind kind,
                              const platform::BytePage& page);

// Throws std::bad_alloc where the text of bytes (valid in page) would hold
// more than kMaxTextUnits units, as decoding them would.
void CheckTextUnits(const std::string& bytes, const platform::BytePage& page);

// Whether every character of bytes (valid in page) decodes to one unit:
// false for UTF-8 that holds a character beyond U+FFFF.
bool OneUnitEach(std::string_view bytes, const platform::BytePage& page);

}  // namespace sorrel
