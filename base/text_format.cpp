// A printf-like formatter for UTF-16 texts with just the conversions the
// programs' texts use.
#include "base/text_format.h"

#include <vector>

namespace sorrel {

std::u16string FormatText(std::u16string_view format, std::initializer_list<FormatArg> args) {
  std::u16string out;
  out.reserve(format.size() + 64);
  auto next = args.begin();
  for (size_t i = 0; i < format.size(); ++i) {
    const char16_t c = format[i];
    if (c != u'%' || i + 1 == format.size()) {
      out.push_back(c);
      continue;
    }
    const char16_t conv = format[++i];
    if (conv == u'%') {
      out.push_back(u'%');
    } else if ((conv == u's' || conv == u'd') && next != args.end()) {
      if (const auto* s = std::get_if<std::u16string_view>(&*next)) {
        out.append(*s);
      } else {
        const int64_t n = std::get<int64_t>(*next);
        const std::string digits = std::to_string(n);
        out.append(digits.begin(), digits.end());
      }
      ++next;
    } else {
      out.push_back(u'%');
      out.push_back(conv);
    }
  }
  return out;
}

}  // namespace sorrel
