// The running program on Windows: its module's file, the wide command line,
// and the language rules over the system's language and the console.
#include "platform/program.h"

#include "platform/win32/windows_api.h"
// After <windows.h>, whose types it uses.
#include <shellapi.h>

#include <optional>

#include "base/language_choice.h"
#include "platform/win32/wide.h"

namespace sorrel::platform {
namespace {

std::wstring ModulePath() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0) return {};
    if (length < path.size()) {
      path.resize(length);
      return path;
    }
    if (path.size() >= 32768) return {};
    path.resize(path.size() * 2);
  }
}

// SORREL_LANG's bytes; nullopt when it is not set. A value of 80 characters
// or more does not fit the buffer the rule reads it into, and reads empty.
std::optional<std::string> SorrelLang() {
  wchar_t value[80] = {};
  SetLastError(ERROR_SUCCESS);
  const DWORD length = GetEnvironmentVariableW(L"SORREL_LANG", value, 80);
  if (length == 0 && GetLastError() == ERROR_ENVVAR_NOT_FOUND) return std::nullopt;
  return length < 80 ? Narrow(std::wstring_view(value, length)) : std::string();
}

// The locale the portable rule looks at.
const char* LocaleFor(bool japanese) {
  return japanese ? "ja" : "C";
}

}  // namespace

std::string ProgramPath() {
  return Narrow(ModulePath());
}

std::string ProgramFolder() {
  const std::string path = ProgramPath();
  const size_t slash = path.find_last_of("\\/");
  if (slash == std::string::npos || slash == 0) return {};
  // A program in a drive's root lives in "C:\", not in "C:".
  if (slash <= 2 && path.size() > 1 && path[1] == ':') return path.substr(0, slash + 1);
  return path.substr(0, slash);
}

std::string ProgramName(const char*) {
  const std::string path = ProgramPath();
  const size_t slash = path.find_last_of("\\/");
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::vector<std::string> CommandLineArguments(int, char**) {
  std::vector<std::string> args;
  int count = 0;
  wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
  if (wide == nullptr) return args;
  for (int i = 1; i < count; ++i) args.push_back(Narrow(wide[i]));
  LocalFree(wide);
  return args;
}

// The C runtime's rule for the end of the program's name: a quoted name
// ends at the next quote, any other at the first blank; the blanks that
// follow it are skipped.
std::vector<std::string> StartupArguments(int, char**) {
  const std::wstring_view line = GetCommandLineW();
  size_t at = 0;
  if (!line.empty() && line[0] == L'"') {
    const size_t close = line.find(L'"', 1);
    at = close == std::wstring_view::npos ? line.size() : close + 1;
  } else {
    while (at < line.size() && line[at] != L' ' && line[at] != L'\t') ++at;
  }
  while (at < line.size() && (line[at] == L' ' || line[at] == L'\t')) ++at;
  if (at == line.size()) return {};
  return {Narrow(line.substr(at))};
}

UiLanguage ProgramLanguage() {
  const std::optional<std::string> lang = SorrelLang();
  const bool japanese = PRIMARYLANGID(GetSystemDefaultLangID()) == LANG_JAPANESE;
  return ChooseUiLanguage(lang ? lang->c_str() : nullptr, nullptr, nullptr, LocaleFor(japanese));
}

UiLanguage CommandLineLanguage() {
  const std::optional<std::string> lang = SorrelLang();
  UINT code_page = GetConsoleOutputCP();
  if (code_page == 0) code_page = GetOEMCP();  // no console
  return ChooseCliUiLanguage(lang ? lang->c_str() : nullptr, nullptr, nullptr,
                             LocaleFor(code_page == 932));
}

}  // namespace sorrel::platform
