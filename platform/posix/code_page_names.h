// The one table from a Windows code-page number to the names the two converter
// libraries know the page by: the ICU converter and the glibc iconv charset.
#pragma once

#include <cstdint>
#include <string>

namespace sorrel::platform {

// The name of our own converter for code page 932, built from Microsoft's
// best-fit table; it opens only with ucnv_openPackage from the program folder.
inline constexpr char kOwn932ConverterName[] = "ms932-bestfit";

// ICU's ISO-2022-JP with both 7-bit forms of half-width katakana (JIS7),
// which reads all three JIS pages.
inline constexpr char kJisReaderConverterName[] = "ISO_2022,locale=ja,version=3";

// The ICU converter name for code_page, or empty when ICU has none. For 932 it
// is kOwn932ConverterName.
std::string IcuConverterName(uint32_t code_page);

// The iconv charset name for code_page, or empty when no rule gives one. glibc
// may still lack the name: iconv_open decides.
std::string IconvCharsetName(uint32_t code_page);

}  // namespace sorrel::platform
