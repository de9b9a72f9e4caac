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

// Whether bytes are well-formed UTF-8 throughout (no overlong form, no
// surrogate, nothing beyond U+10FFFF, no sequence cut short): the same test
// as Utf8ToUtf16Strict, without decoding, and fast over ASCII.
bool IsUtf8(std::string_view bytes);

// The length of the well-formed UTF-8 sequence at the start of bytes, and
// its code point in *cp; 0 when bytes do not start with one.
size_t Utf8Sequence(std::string_view bytes, char32_t* cp);

// Encodes UTF-16 as UTF-8; a lone surrogate becomes U+FFFD.
std::string Utf16ToUtf8(std::u16string_view text);

// Native bytes (a file name, an argument) as UTF-16 that gives the same bytes
// back: UTF-8 is decoded, and each byte that is not part of well-formed UTF-8
// becomes the lone surrogate U+DC80 + (byte - 0x80), so bytes in Shift-JIS or
// EUC-JP survive a trip through a UTF-16 store.
std::u16string BytesToUtf16(std::string_view bytes);

// The inverse of BytesToUtf16: a lone U+DC80-U+DCFF becomes its byte again;
// any other lone surrogate becomes U+FFFD, and everything else UTF-8.
std::string Utf16ToBytes(std::u16string_view text);

}  // namespace sorrel
