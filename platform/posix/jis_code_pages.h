// The three JIS code pages. All are ISO-2022-JP (ASCII, JIS X 0201 Roman,
// JIS X 0208) and differ only in how they write half-width katakana: 50220
// in their full-width forms, 50221 after ESC ( I, 50222 between SO and SI.
// All three read both kana forms back.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "platform/code_pages.h"

namespace sorrel::platform {

bool IsJisCodePage(uint32_t code_page);

// The ICU converter that writes the pages without half-width katakana:
// plain ISO-2022-JP, which knows no kana form of its own.
inline constexpr char kJisWriterConverterName[] = "ISO-2022-JP";

// Encodes a piece of text that holds no half-width katakana in plain
// ISO-2022-JP, from and back to the ASCII state, into *out (replaced);
// adds the characters written as "?" to *replaced. False on failure.
using PlainJisEncoder =
    std::function<bool(std::u16string_view text, std::string* out, size_t* replaced)>;

// Encodes text into the JIS page code_page, the kana as that page writes
// them and the rest through encode_plain. out is replaced; losses receives
// the characters written as "?" and the kana widened. False when
// encode_plain fails.
bool EncodeJis(uint32_t code_page, std::u16string_view text, const PlainJisEncoder& encode_plain,
               std::string* out, EncodeLosses* losses);

}  // namespace sorrel::platform
