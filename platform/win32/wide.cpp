// Wide text at the Win32 boundary, over the portable UTF conversion.
#include "platform/win32/wide.h"

#include "platform/utf.h"

namespace sorrel::platform {

static_assert(sizeof(wchar_t) == sizeof(char16_t), "Win32 wide text is UTF-16");

std::wstring Wide(std::string_view utf8) {
  const std::u16string text = Utf8ToUtf16(utf8);
  return std::wstring(AsWide(text));
}

std::string Narrow(std::wstring_view wide) {
  return Utf16ToUtf8(AsUtf16(wide));
}

}  // namespace sorrel::platform
