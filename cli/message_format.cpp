// The narrow formatter of sorrelc's messages.
#include "cli/message_format.h"

#include <cstdio>

#include "platform/utf.h"

namespace sorrel::cli {

namespace {

constexpr std::string_view kText = "%s";
constexpr std::string_view kHex = "%08x";

std::string Hex8(uint32_t value) {
  char digits[9];
  std::snprintf(digits, sizeof(digits), "%08x", static_cast<unsigned>(value));
  return digits;
}

}  // namespace

std::string FormatMessage(const TextPair& message, UiLanguage lang,
                          std::initializer_list<MessageArg> args) {
  // The texts are ours, so their conversions never meet an argument's bytes.
  const std::string format = Utf16ToUtf8(message.In(lang));
  std::string out;
  auto next = args.begin();
  size_t i = 0;
  while (i < format.size()) {
    const std::string_view rest = std::string_view(format).substr(i);
    const auto* text = next != args.end() ? std::get_if<std::string_view>(&*next) : nullptr;
    const auto* number = next != args.end() ? std::get_if<uint32_t>(&*next) : nullptr;
    if (text != nullptr && rest.starts_with(kText)) {
      out.append(*text);
      i += kText.size();
      ++next;
    } else if (number != nullptr && rest.starts_with(kHex)) {
      out.append(Hex8(*number));
      i += kHex.size();
      ++next;
    } else {
      out.push_back(format[i++]);
    }
  }
  return out;
}

}  // namespace sorrel::cli
