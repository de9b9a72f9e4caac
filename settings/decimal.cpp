// Decimal texts of settings.
#include "settings/decimal.h"

namespace sorrel::settings {
namespace {

bool IsDigit(char16_t c) {
  return c >= u'0' && c <= u'9';
}
bool IsBlank(char16_t c) {
  return c == u' ' || c == u'\t';
}

// Accumulates the digits from text[i] on, modulo 2^32; stops at the first
// other unit and leaves i there.
uint32_t AccumulateDigits(std::u16string_view text, size_t* i) {
  uint32_t value = 0;
  for (; *i < text.size() && IsDigit(text[*i]); ++*i) {
    value = value * 10u + static_cast<uint32_t>(text[*i] - u'0');
  }
  return value;
}

// Applies a sign to the bits, as the platform's readers do.
int32_t Signed(uint32_t magnitude, bool negative) {
  return static_cast<int32_t>(negative ? 0u - magnitude : magnitude);
}

}  // namespace

bool ParseIntegerLiteral(std::u16string_view text, int32_t* value) {
  if (text.empty()) return false;
  const bool negative = text[0] == u'-';
  size_t i = text[0] == u'+' || negative ? 1 : 0;
  const uint32_t magnitude = AccumulateDigits(text, &i);
  if (i != text.size()) return false;
  *value = Signed(magnitude, negative);
  return true;
}

int32_t ParseProfileInt(std::u16string_view text) {
  size_t i = 0;
  while (i < text.size() && IsBlank(text[i])) ++i;
  const bool negative = i < text.size() && text[i] == u'-';
  if (i < text.size() && (text[i] == u'+' || negative)) ++i;
  return Signed(AccumulateDigits(text, &i), negative);
}

std::u16string FormatUnsigned(int32_t value) {
  uint32_t bits = static_cast<uint32_t>(value);
  std::u16string text;
  do {
    text.insert(text.begin(), static_cast<char16_t>(u'0' + bits % 10));
    bits /= 10;
  } while (bits != 0);
  return text;
}

}  // namespace sorrel::settings
