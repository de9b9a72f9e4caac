// File names on Windows: '\' and '/' separate, a drive's colon ends a folder
// part, programs end in ".exe", and the system forms full paths.
#include "platform/paths.h"

#include "platform/win32/windows_api.h"

#include "platform/file_system.h"
#include "platform/win32/wide.h"

namespace sorrel::platform {

size_t FolderPartLength(std::u16string_view path) {
  const size_t end = path.find_last_of(u"\\/:");
  return end == std::u16string_view::npos ? 0 : end + 1;
}

std::string JoinPath(std::string_view folder, std::string_view name) {
  std::string path(folder);
  if (!path.empty() && path.back() != '\\' && path.back() != '/' && path.back() != ':') {
    path.push_back('\\');
  }
  return path.append(name);
}

std::string ExecutableFileName(std::string_view stem) {
  return std::string(stem) + ".exe";
}

// GetFullPathNameW works on the text against the process's current
// directory, which is sorrelc's own: current_directory is not needed.
bool FormFullPath(std::string_view, std::string_view target, std::string* full) {
  if (target.empty()) return false;
  const std::wstring name = Wide(target);
  const DWORD size = GetFullPathNameW(name.c_str(), 0, nullptr, nullptr);
  if (size == 0) return false;
  std::wstring path(size, L'\0');
  const DWORD length = GetFullPathNameW(name.c_str(), size, path.data(), nullptr);
  if (length == 0 || length >= size) return false;
  path.resize(length);
  std::string result = Narrow(path);
  if (result.size() >= kMaxPathBytes) return false;
  *full = std::move(result);
  return true;
}

std::string CurrentDirectory() {
  const DWORD size = GetCurrentDirectoryW(0, nullptr);
  if (size == 0) return {};
  std::wstring folder(size, L'\0');
  const DWORD length = GetCurrentDirectoryW(size, folder.data());
  if (length == 0 || length >= size) return {};
  folder.resize(length);
  return Narrow(folder);
}

bool NameExists(const std::string& name) {
  return GetFileAttributesW(Wide(name).c_str()) != INVALID_FILE_ATTRIBUTES;
}

}  // namespace sorrel::platform
