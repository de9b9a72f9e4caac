// Names compared without regard to ASCII case.
#include "settings/names.h"

#include "base/ascii_case.h"

namespace sorrel::settings {

bool SameName(std::u16string_view a, std::u16string_view b) {
  return EqualsIgnoringAsciiCase(a, b);
}

std::u16string FoldName(std::u16string_view name) {
  std::u16string folded(name);
  for (char16_t& c : folded) c = AsciiLower(c);
  return folded;
}

}  // namespace sorrel::settings
