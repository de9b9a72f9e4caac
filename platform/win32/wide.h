// Text at the Win32 boundary: the seam carries names as bytes (UTF-8, with
// the byte escapes of base/utf.h for what is not UTF-8) and texts as UTF-16;
// the wide Win32 calls take wchar_t, which is UTF-16 here.
#pragma once

#include <string>
#include <string_view>

namespace sorrel::platform {

// A name of the seam as the wide text of the Win32 calls: the exact inverse
// of Narrow, so that every name a listing gives reaches the same file.
std::wstring Wide(std::string_view name);
// A wide name as the seam's bytes (Utf16ToBytes).
std::string Narrow(std::wstring_view wide);

inline std::wstring_view AsWide(std::u16string_view text) {
  return {reinterpret_cast<const wchar_t*>(text.data()), text.size()};
}
inline std::u16string_view AsUtf16(std::wstring_view text) {
  return {reinterpret_cast<const char16_t*>(text.data()), text.size()};
}

}  // namespace sorrel::platform
