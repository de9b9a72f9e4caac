// Text at the Win32 boundary: the seam carries names and texts as UTF-8 (or
// UTF-16 as char16_t); the wide Win32 calls take wchar_t, which is UTF-16
// here.
#pragma once

#include <string>
#include <string_view>

namespace sorrel::platform {

// UTF-8 to the wide text of the Win32 calls; ill-formed bytes become U+FFFD.
std::wstring Wide(std::string_view utf8);
// Wide text to UTF-8; a lone surrogate becomes U+FFFD.
std::string Narrow(std::wstring_view wide);

inline std::wstring_view AsWide(std::u16string_view text) {
  return {reinterpret_cast<const wchar_t*>(text.data()), text.size()};
}
inline std::u16string_view AsUtf16(std::wstring_view text) {
  return {reinterpret_cast<const char16_t*>(text.data()), text.size()};
}

}  // namespace sorrel::platform
