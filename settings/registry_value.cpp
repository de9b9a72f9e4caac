// Registry data to texts and integers.
#include "settings/registry_value.h"

#include "settings/decimal.h"
#include "settings/registry_store.h"

namespace sorrel::settings {
namespace {

// The data as UTF-16LE units up to the first NUL; an odd last byte reads as
// if followed by a zero byte, as the reader's zero-filled buffer gives it.
std::u16string UnitsUpToNul(std::string_view data, size_t max_units) {
  std::u16string text;
  for (size_t i = 0; i < data.size() && text.size() < max_units; i += 2) {
    const unsigned lo = static_cast<unsigned char>(data[i]);
    const unsigned hi = i + 1 < data.size() ? static_cast<unsigned char>(data[i + 1]) : 0;
    const char16_t unit = static_cast<char16_t>(lo | hi << 8);
    if (unit == 0) break;
    text.push_back(unit);
  }
  return text;
}

uint32_t Byte(std::string_view data, size_t i) {
  return i < data.size() ? static_cast<unsigned char>(data[i]) : 0u;
}

}  // namespace

std::string EncodeRegString(std::u16string_view text) {
  std::string data;
  for (char16_t unit : text) {
    if (unit == 0) break;
    data.push_back(static_cast<char>(unit & 0xFF));
    data.push_back(static_cast<char>(unit >> 8));
  }
  data.append(2, '\0');
  return data;
}

std::u16string DecodeRegString(std::string_view data) {
  return UnitsUpToNul(data.substr(0, kMaxStringReadBytes), kMaxSettingUnits);
}

int32_t RegValueToInteger(uint32_t type, std::string_view data, int32_t default_value) {
  switch (type) {
    case kRegSz:
    case kRegExpandSz:
    case kRegMultiSz: {
      int32_t value;
      return ParseIntegerLiteral(UnitsUpToNul(data, data.size()), &value) ? value : default_value;
    }
    case kRegDword:
    case kRegBinary:
    case kRegQword:
      return static_cast<int32_t>(Byte(data, 0) | Byte(data, 1) << 8 | Byte(data, 2) << 16 |
                                  Byte(data, 3) << 24);
    case kRegDwordBigEndian:
      return static_cast<int32_t>(Byte(data, 0) << 24 | Byte(data, 1) << 16 | Byte(data, 2) << 8 |
                                  Byte(data, 3));
    default:
      return default_value;
  }
}

std::string EncodeRegDword(int32_t value) {
  const uint32_t bits = static_cast<uint32_t>(value);
  std::string data(4, '\0');
  for (size_t i = 0; i < 4; ++i) data[i] = static_cast<char>(bits >> (8 * i) & 0xFF);
  return data;
}

}  // namespace sorrel::settings
