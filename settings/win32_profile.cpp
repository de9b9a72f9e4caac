// The INI profile on Windows: the system's own private-profile functions,
// which keep a file that starts with the UTF-16LE header in UTF-16.
#include "platform/win32/windows_api.h"
// The system's GetProfileString and friends would rename ours.
#undef GetProfileString
#undef GetProfileInt
#undef WriteProfileString

#include <string>

#include "platform/utf.h"

#include "settings/ini_document.h"
#include "settings/profile.h"
#include "settings/registry_value.h"

namespace sorrel::settings {
namespace {

// The profile functions look for a bare name in the Windows folder; a path
// with a backslash ("./sorrel.ini" written ".\sorrel.ini") stays where it is.
std::wstring ProfilePath(const std::string& path) {
  std::u16string wide = Utf8ToUtf16(path);
  for (char16_t& unit : wide) {
    if (unit == u'/') unit = u'\\';
  }
  return std::wstring(reinterpret_cast<const wchar_t*>(wide.c_str()), wide.size());
}

std::wstring W(std::u16string_view text) {
  return std::wstring(reinterpret_cast<const wchar_t*>(text.data()), text.size());
}

}  // namespace

std::u16string GetProfileString(platform::SettingsFiles*, const std::string& path,
                                std::u16string_view section, std::u16string_view key,
                                std::u16string_view default_value) {
  std::wstring buffer(kMaxSettingUnits + 1, L'\0');
  const DWORD length = GetPrivateProfileStringW(
      W(section).c_str(), W(key).c_str(), W(default_value).c_str(), buffer.data(),
      static_cast<DWORD>(buffer.size()), ProfilePath(path).c_str());
  buffer.resize(length);
  return std::u16string(reinterpret_cast<const char16_t*>(buffer.data()), buffer.size());
}

int32_t GetProfileInt(platform::SettingsFiles*, const std::string& path,
                      std::u16string_view section, std::u16string_view key, int32_t default_value) {
  return static_cast<int32_t>(GetPrivateProfileIntW(W(section).c_str(), W(key).c_str(),
                                                    default_value, ProfilePath(path).c_str()));
}

bool WriteProfileString(platform::SettingsFiles*, const std::string& path,
                        std::u16string_view section, std::u16string_view key,
                        std::optional<std::u16string_view> value) {
  // Blanks or quotes around the value would be lost on reading.
  const std::wstring text = value ? W(WrittenIniValue(*value)) : std::wstring();
  return WritePrivateProfileStringW(W(section).c_str(), W(key).c_str(),
                                    value ? text.c_str() : nullptr,
                                    ProfilePath(path).c_str()) != FALSE;
}

bool EnsureIniFile(platform::SettingsFiles*, const std::string& path) {
  const std::wstring file_path = ProfilePath(path);
  HANDLE file = CreateFileW(file_path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                            nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file != INVALID_HANDLE_VALUE) {
    CloseHandle(file);
    return true;
  }
  file = CreateFileW(file_path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                     FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  const bool ok =
      WriteFile(file, kIniHeader, kIniHeaderSize, &written, nullptr) && written == kIniHeaderSize;
  CloseHandle(file);
  return ok;
}

}  // namespace sorrel::settings
