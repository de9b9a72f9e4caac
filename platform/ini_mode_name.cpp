// The INI-mode rule of a program's name.
#include "platform/ini_mode_name.h"

namespace sorrel {
namespace {

bool EndsWithIgnoringAsciiCase(std::string_view text, std::string_view lower_suffix) {
  if (text.size() < lower_suffix.size()) return false;
  const std::string_view tail = text.substr(text.size() - lower_suffix.size());
  for (size_t i = 0; i < tail.size(); ++i) {
    const char c =
        tail[i] >= 'A' && tail[i] <= 'Z' ? static_cast<char>(tail[i] - 'A' + 'a') : tail[i];
    if (c != lower_suffix[i]) return false;
  }
  return true;
}

}  // namespace

bool IsIniModeName(std::string_view program_name) {
  return EndsWithIgnoringAsciiCase(program_name, "_o") ||
         EndsWithIgnoringAsciiCase(program_name, "_o.exe");
}

}  // namespace sorrel
