// Wide names at the Win32 boundary, over the byte escapes of base/utf.h.
#include "platform/win32/wide.h"

#include "base/utf.h"

namespace sorrel::platform {

static_assert(sizeof(wchar_t) == sizeof(char16_t), "Win32 wide text is UTF-16");

std::wstring Wide(std::string_view name) {
  return std::wstring(AsWide(BytesToUtf16(name)));
}

std::string Narrow(std::wstring_view wide) {
  return Utf16ToBytes(AsUtf16(wide));
}

}  // namespace sorrel::platform
