// Reading the os-release format.
#include "platform/posix/os_release.h"

namespace sorrel::platform {
namespace {

std::string Unquote(std::string_view value) {
  while (!value.empty() && (value.back() == ' ' || value.back() == '\t' || value.back() == '\r')) {
    value.remove_suffix(1);
  }
  if (value.size() < 2 || (value.front() != '"' && value.front() != '\'') ||
      value.back() != value.front()) {
    return std::string(value);
  }
  const bool escapes = value.front() == '"';
  value = value.substr(1, value.size() - 2);
  std::string text;
  for (size_t i = 0; i < value.size(); ++i) {
    if (escapes && value[i] == '\\' && i + 1 < value.size()) ++i;
    text += value[i];
  }
  return text;
}

// The value of the first line that sets key, into value; false when none does.
bool Find(std::string_view content, std::string_view key, std::string* value) {
  while (!content.empty()) {
    const size_t end = content.find('\n');
    const std::string_view line = content.substr(0, end);
    content = end == std::string_view::npos ? std::string_view() : content.substr(end + 1);
    if (line.size() > key.size() && line.starts_with(key) && line[key.size()] == '=') {
      *value = Unquote(line.substr(key.size() + 1));
      return true;
    }
  }
  return false;
}

}  // namespace

std::string OsReleaseName(std::string_view content) {
  std::string name;
  if (Find(content, "PRETTY_NAME", &name) && !name.empty()) return name;
  if (Find(content, "NAME", &name)) return name;
  return {};
}

}  // namespace sorrel::platform
