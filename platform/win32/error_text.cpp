// The system's texts for Win32 error codes, through FormatMessageW.
#include "platform/win32/error_text.h"

#include "platform/win32/windows_api.h"

#include "platform/win32/wide.h"

namespace sorrel::platform {

std::u16string Win32ErrorText(UiLanguage lang, unsigned long code) {
  const DWORD language = lang == UiLanguage::Japanese
                             ? MAKELANGID(LANG_JAPANESE, SUBLANG_DEFAULT)
                             : MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US);
  wchar_t* buffer = nullptr;
  DWORD length = FormatMessageW(
      FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS | FORMAT_MESSAGE_ALLOCATE_BUFFER,
      nullptr, code, language, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
  if (length == 0 && lang == UiLanguage::Japanese) {
    // A system without Japanese texts answers in its own language.
    length = FormatMessageW(
        FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS | FORMAT_MESSAGE_ALLOCATE_BUFFER,
        nullptr, code, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
  }
  if (length == 0 || buffer == nullptr) return u"FormatMessage() error";
  std::u16string text(AsUtf16(std::wstring_view(buffer, length)));
  LocalFree(buffer);
  for (char16_t& unit : text) {
    if (unit >= 1 && unit <= 31) unit = u' ';
  }
  return text;
}

}  // namespace sorrel::platform
