// The one ASCII case fold of both programs: switch and code names, settings
// key and section names, program names. Only A-Z and a-z fold; every other
// unit compares exactly.
#pragma once

#include <string_view>

namespace sorrel {

template <typename Char>
constexpr Char AsciiLower(Char c) {
  return c >= Char('A') && c <= Char('Z') ? static_cast<Char>(c - Char('A') + Char('a')) : c;
}

template <typename Char>
constexpr bool EqualsIgnoringAsciiCase(std::basic_string_view<Char> a,
                                       std::basic_string_view<Char> b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (AsciiLower(a[i]) != AsciiLower(b[i])) return false;
  }
  return true;
}

template <typename Char>
constexpr bool StartsWithIgnoringAsciiCase(std::basic_string_view<Char> text,
                                           std::basic_string_view<Char> prefix) {
  return text.size() >= prefix.size() &&
         EqualsIgnoringAsciiCase(text.substr(0, prefix.size()), prefix);
}

template <typename Char>
constexpr bool EndsWithIgnoringAsciiCase(std::basic_string_view<Char> text,
                                         std::basic_string_view<Char> suffix) {
  return text.size() >= suffix.size() &&
         EqualsIgnoringAsciiCase(text.substr(text.size() - suffix.size()), suffix);
}

}  // namespace sorrel
