// Full paths on Windows: the system's own full-path function, which works on
// the text alone (drive letters, both separators, "." and "..") against the
// current directory of the process.
#include <windows.h>

#include <string>

#include "cli/full_path.h"
#include "platform/file_system.h"
#include "platform/utf.h"

namespace sorrel::cli {

bool FormFullPath(std::string_view, std::string_view target, std::string* full) {
  if (target.empty()) return false;
  const std::u16string wide = Utf8ToUtf16(target);
  const auto* name = reinterpret_cast<const wchar_t*>(wide.c_str());
  const DWORD size = GetFullPathNameW(name, 0, nullptr, nullptr);
  if (size == 0) return false;
  std::u16string path(size, u'\0');
  const DWORD length =
      GetFullPathNameW(name, size, reinterpret_cast<wchar_t*>(path.data()), nullptr);
  if (length == 0 || length >= size) return false;
  path.resize(length);
  std::string result = Utf16ToUtf8(path);
  if (result.size() >= platform::kMaxPathBytes) return false;
  *full = std::move(result);
  return true;
}

}  // namespace sorrel::cli
