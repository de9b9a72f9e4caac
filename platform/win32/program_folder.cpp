// The program's own file.
#include "platform/win32/program_folder.h"

#include "platform/win32/windows_api.h"

#include "platform/win32/wide.h"

namespace sorrel::platform {

std::string ProgramPath() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0) return {};
    if (length < path.size()) {
      path.resize(length);
      return Narrow(path);
    }
    if (path.size() >= 32768) return {};
    path.resize(path.size() * 2);
  }
}

std::string ProgramFolder() {
  const std::string path = ProgramPath();
  const size_t slash = path.find_last_of("\\/");
  if (slash == std::string::npos || slash == 0) return {};
  // "C:\sorrel.exe" lives in "C:\", not in "C:".
  if (slash <= 2 && path.size() > 1 && path[1] == ':') return path.substr(0, slash + 1);
  return path.substr(0, slash);
}

std::string ProgramName() {
  const std::string path = ProgramPath();
  const size_t slash = path.find_last_of("\\/");
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace sorrel::platform
