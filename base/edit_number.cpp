// An edit control's text as an unsigned number.
#include "base/edit_number.h"

namespace sorrel {

uint32_t ReadEditNumber(std::u16string_view text) {
  size_t i = 0;
  while (i < text.size() && (text[i] == u' ' || text[i] == u'\t')) ++i;
  if (i == text.size()) return 0;
  uint64_t value = 0;
  for (; i < text.size(); ++i) {
    if (text[i] < u'0' || text[i] > u'9') return 0;
    value = value * 10 + static_cast<uint64_t>(text[i] - u'0');
    if (value > UINT32_MAX) return 0;
  }
  return static_cast<uint32_t>(value);
}

}  // namespace sorrel
