// ASCII case folding for the command line's names.
#include "cli/ascii_case.h"

namespace sorrel::cli {

namespace {

char AsciiLower(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

}  // namespace

bool EqualsIgnoringAsciiCase(std::string_view text, std::string_view lower) {
  if (text.size() != lower.size()) return false;
  for (size_t i = 0; i < text.size(); ++i) {
    if (AsciiLower(text[i]) != lower[i]) return false;
  }
  return true;
}

bool StartsWithIgnoringAsciiCase(std::string_view text, std::string_view lower) {
  return text.size() >= lower.size() &&
         EqualsIgnoringAsciiCase(text.substr(0, lower.size()), lower);
}

bool EndsWithIgnoringAsciiCase(std::string_view text, std::string_view lower) {
  return text.size() >= lower.size() &&
         EqualsIgnoringAsciiCase(text.substr(text.size() - lower.size()), lower);
}

}  // namespace sorrel::cli
