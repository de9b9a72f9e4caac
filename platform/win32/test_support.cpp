// The Win32 tests' temporary folders and the Wine check.
#include "platform/win32/test_support.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>

#include "platform/win32/wide.h"
#include "platform/win32/windows_api.h"

namespace sorrel::platform::testing {
namespace {

std::filesystem::path FsPath(const std::string& utf8) {
  return std::filesystem::path(Wide(utf8));
}

}  // namespace

bool RunningUnderWine() {
  const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
  return ntdll != nullptr && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

TempFolder::TempFolder() {
  wchar_t base[MAX_PATH + 1];
  const DWORD length = GetTempPathW(MAX_PATH + 1, base);
  if (length == 0) throw std::runtime_error("GetTempPathW");
  for (unsigned n = 0;; ++n) {
    const std::wstring candidate = std::wstring(base, length) + L"sorrel-test-" +
                                   std::to_wstring(GetCurrentProcessId()) + L"-" +
                                   std::to_wstring(n);
    if (CreateDirectoryW(candidate.c_str(), nullptr)) {
      path_ = Narrow(candidate);
      return;
    }
    if (GetLastError() != ERROR_ALREADY_EXISTS) throw std::runtime_error("CreateDirectoryW");
  }
}

TempFolder::~TempFolder() {
  std::error_code error;
  // Read-only files would stop the removal.
  for (const auto& entry : std::filesystem::recursive_directory_iterator(FsPath(path_), error)) {
    SetFileAttributesW(entry.path().c_str(), FILE_ATTRIBUTE_NORMAL);
  }
  std::filesystem::remove_all(FsPath(path_), error);
}

void TempFolder::Write(const std::string& relative, const std::string& bytes) const {
  std::ofstream out(FsPath(Path(relative)), std::ios::binary | std::ios::trunc);
  out << bytes;
  if (!out) throw std::runtime_error("write " + relative);
}

std::string TempFolder::Read(const std::string& relative) const {
  std::ifstream in(FsPath(Path(relative)), std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

bool TempFolder::Exists(const std::string& relative) const {
  return std::filesystem::exists(FsPath(Path(relative)));
}

}  // namespace sorrel::platform::testing
