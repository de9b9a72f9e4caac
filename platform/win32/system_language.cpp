// The language choice over the system default language.
#include "platform/win32/system_language.h"

#include <optional>
#include <string>

#include "platform/language_choice.h"
#include "platform/win32/wide.h"
#include "platform/win32/windows_api.h"

namespace sorrel::platform {
namespace {

// SORREL_LANG as UTF-8; nullopt when it is not set.
std::optional<std::string> SorrelLang() {
  wchar_t value[80] = {};
  SetLastError(ERROR_SUCCESS);
  const DWORD length = GetEnvironmentVariableW(L"SORREL_LANG", value, 80);
  if (length == 0 && GetLastError() == ERROR_ENVVAR_NOT_FOUND) return std::nullopt;
  // A value of 80 characters or more does not fit and reads as empty.
  return length < 80 ? Narrow(std::wstring_view(value, length)) : std::string();
}

// The locale the portable rule looks at: "ja" on a Japanese system.
const char* SystemLocale() {
  return PRIMARYLANGID(GetSystemDefaultLangID()) == LANG_JAPANESE ? "ja" : "C";
}

}  // namespace

UiLanguage Win32UiLanguage() {
  const std::optional<std::string> lang = SorrelLang();
  return ChooseUiLanguage(lang ? lang->c_str() : nullptr, nullptr, nullptr, SystemLocale());
}

UiLanguage Win32CliUiLanguage() {
  const std::optional<std::string> lang = SorrelLang();
  return ChooseCliUiLanguage(lang ? lang->c_str() : nullptr, nullptr, nullptr, SystemLocale());
}

}  // namespace sorrel::platform
