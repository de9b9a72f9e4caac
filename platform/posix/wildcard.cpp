// Greedy two-pointer wildcard matching: remember the last '*' and, on a
// mismatch, let it swallow one more character and try again from there.
#include "platform/posix/wildcard.h"

#include <string>

#include "base/utf.h"

namespace sorrel::platform {
namespace {

// The length of the character that starts at name[i]: the length of a
// well-formed UTF-8 sequence there, otherwise 1.
size_t CharacterLength(std::string_view name, size_t i) {
  const unsigned char lead = static_cast<unsigned char>(name[i]);
  size_t length = 1;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
  }
  if (length == 1 || length > name.size() - i) return 1;
  std::u16string unused;  // a single character stays in the short-string buffer
  return Utf8ToUtf16Strict(name.substr(i, length), &unused) ? length : 1;
}

bool Matches(std::string_view pattern, std::string_view name) {
  constexpr size_t kNoStar = std::string_view::npos;
  size_t p = 0;
  size_t n = 0;
  size_t star = kNoStar;  // the pattern position of the last '*' seen
  size_t resume = 0;      // where in the name that '*' currently ends
  while (n < name.size()) {
    if (p < pattern.size() && pattern[p] == '*') {
      star = p++;
      resume = n;
    } else if (p < pattern.size() && pattern[p] == '?') {
      n += CharacterLength(name, n);
      ++p;
    } else if (p < pattern.size() && pattern[p] == name[n]) {
      ++p;
      ++n;
    } else if (star != kNoStar) {
      resume += CharacterLength(name, resume);
      p = star + 1;
      n = resume;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == '*') ++p;
  return p == pattern.size();
}

}  // namespace

bool WildcardMatch(std::string_view pattern, std::string_view name) {
  // The old rule that "*.*" means every name, dotted or not.
  if (pattern == "*.*") return true;
  // And that a dot at the end stands for "no extension" as well: "*." is
  // every name without a dot, "read*." finds "readme" but not "readme.md".
  if (pattern.size() > 1 && pattern.back() == '.' && name.find('.') == std::string_view::npos &&
      Matches(pattern.substr(0, pattern.size() - 1), name)) {
    return true;
  }
  return Matches(pattern, name);
}

}  // namespace sorrel::platform
