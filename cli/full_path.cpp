// Lexical full paths: the target need not exist yet, and what is stored is
// the path the user named, not where its links lead.
#include "cli/full_path.h"

#include <vector>

#include "platform/file_system.h"

namespace sorrel::cli {

namespace {

// Applies the parts of path to the stack of folders from the root.
void Collapse(std::string_view path, std::vector<std::string_view>* parts) {
  size_t start = 0;
  while (start <= path.size()) {
    size_t end = path.find('/', start);
    if (end == std::string_view::npos) end = path.size();
    const std::string_view part = path.substr(start, end - start);
    if (part == "..") {
      if (!parts->empty()) parts->pop_back();
    } else if (!part.empty() && part != ".") {
      parts->push_back(part);
    }
    start = end + 1;
  }
}

}  // namespace

bool FormFullPath(std::string_view current_directory, std::string_view target, std::string* full) {
  if (target.empty()) return false;
  std::vector<std::string_view> parts;
  if (target.front() != '/') {
    if (current_directory.empty() || current_directory.front() != '/') return false;
    Collapse(current_directory, &parts);
  }
  Collapse(target, &parts);

  std::string path;
  for (const std::string_view part : parts) {
    path.push_back('/');
    path.append(part);
    if (path.size() >= platform::kMaxPathBytes) return false;
  }
  if (path.empty() || target.back() == '/') path.push_back('/');
  if (path.size() >= platform::kMaxPathBytes) return false;
  *full = std::move(path);
  return true;
}

}  // namespace sorrel::cli
