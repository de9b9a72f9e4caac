// The one table of code-page choices behind the read and the write lists.
#pragma once

#include <cstdint>

#include "base/ui_language.h"
#include "engine/conversion_options.h"

namespace sorrel {

struct EncodeRow {
  const char16_t* name;  // null ends the table
  uint32_t code_page;    // 0 in rows 0 and 9, which are handled by rule
};

inline constexpr int kEncodeTableRows = 11;
extern const EncodeRow EncodeTable[kEncodeTableRows];

// The list indexes handled by rule rather than by a row's code page.
inline constexpr short kAutomaticIndex = 0;
inline constexpr short kOtherIndex = 9;

// The first entries of the read and the write list; rows 1 to 9 follow.
inline constexpr TextPair kReadListFirst{u"自動判別 (あまりお勧めしません)",
                                         u"Automatic Detection"};
inline constexpr TextPair kWriteListFirst{u"読込み時と同じ", u"None"};

// UTF-16 is the code page of row 2 or row 3, however it was reached.
bool IsUtf16CodePage(uint32_t code_page);
bool IsUtf16BigEndianCodePage(uint32_t code_page);
bool IsUtf8CodePage(uint32_t code_page);

// The output code page of the write list's index, given the code page the
// file was read with.
uint32_t OutputCodePage(const ConversionOptions& options, uint32_t input_code_page);

}  // namespace sorrel
