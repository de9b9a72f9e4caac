// Conversions between UTF-8 and UTF-16 shared by every folder.
#pragma once

#include <string>
#include <string_view>

namespace sorrel {

// Decodes UTF-8; every ill-formed sequence becomes one U+FFFD. Used for names
// shown in report lines, which are processed by their real bytes.
std::u16string Utf8ToUtf16(std::string_view bytes);

// Decodes UTF-8 strictly; false when the bytes are not well-formed UTF-8.
bool Utf8ToUtf16Strict(std::string_view bytes, std::u16string* out);

// Encodes UTF-16 as UTF-8; a lone surrogate becomes U+FFFD.
std::string Utf16ToUtf8(std::u16string_view text);

}  // namespace sorrel
