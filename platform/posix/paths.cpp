// File names on POSIX: one separator, '/', and full paths formed on the text
// alone.
#include "platform/paths.h"

#include <sys/stat.h>
#include <unistd.h>

#include <vector>

#include "platform/file_system.h"

namespace sorrel::platform {
namespace {

void AppendParts(std::string_view text, std::string* path) {
  size_t start = 0;
  while (start <= text.size()) {
    size_t end = text.find('/', start);
    if (end == std::string_view::npos) end = text.size();
    const std::string_view part = text.substr(start, end - start);
    if (!part.empty() && part != ".") {
      path->push_back('/');
      path->append(part);
    }
    start = end + 1;
  }
}

}  // namespace

size_t FolderPartLength(std::u16string_view path) {
  const size_t slash = path.find_last_of(u'/');
  return slash == std::u16string_view::npos ? 0 : slash + 1;
}

std::string JoinPath(std::string_view folder, std::string_view name) {
  std::string path(folder);
  if (!path.empty() && path.back() != '/') path.push_back('/');
  return path.append(name);
}

std::string ExecutableFileName(std::string_view stem) {
  return std::string(stem);
}

bool FormFullPath(std::string_view current_directory, std::string_view target, std::string* full) {
  if (target.empty()) return false;
  std::string path;
  if (target.front() != '/') {
    if (current_directory.empty() || current_directory.front() != '/') return false;
    AppendParts(current_directory, &path);
  }
  AppendParts(target, &path);
  if (path.empty() || target.back() == '/') path.push_back('/');
  if (path.size() >= kMaxPathBytes) return false;
  *full = std::move(path);
  return true;
}

std::string CurrentDirectory() {
  std::vector<char> buffer(kMaxPathBytes);
  return getcwd(buffer.data(), buffer.size()) != nullptr ? std::string(buffer.data()) : "";
}

bool NameExists(const std::string& name) {
  struct stat st;
  return lstat(name.c_str(), &st) == 0;
}

}  // namespace sorrel::platform
