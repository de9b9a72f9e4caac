// Writing a hive as export text, and finding keys and values in it.
#include "settings/hive_format.h"

#include "base/utf.h"
#include "settings/registry_store.h"

namespace sorrel::settings {
namespace {

constexpr char16_t kCrLf[] = u"\r\n";
// Hex lists are wrapped before a line grows past 80 columns, as exports are.
constexpr size_t kWrapColumn = 77;

void AppendQuoted(std::u16string* out, std::u16string_view text) {
  out->push_back(u'"');
  for (char16_t c : text) {
    if (c == u'\\' || c == u'"') out->push_back(u'\\');
    out->push_back(c);
  }
  out->push_back(u'"');
}

void AppendHex(std::u16string* out, uint32_t value, int digits) {
  static constexpr char16_t kDigits[] = u"0123456789abcdef";
  for (int shift = 4 * (digits - 1); shift >= 0; shift -= 4)
    out->push_back(kDigits[value >> shift & 0xF]);
}

int HexDigitCount(uint32_t value) {
  int digits = 1;
  while (digits < 8 && value >> (4 * digits) != 0) ++digits;
  return digits;
}

// The text of a string value that the quoted form gives back exactly: one
// terminator at the end, no other NUL, no line break, no lone surrogate.
bool PlainStringText(std::string_view data, std::u16string* text) {
  if (data.size() < 2 || data.size() % 2 != 0) return false;
  text->clear();
  for (size_t i = 0; i + 2 < data.size(); i += 2) {
    text->push_back(static_cast<char16_t>(static_cast<unsigned char>(data[i]) |
                                          static_cast<unsigned char>(data[i + 1]) << 8));
  }
  if (data[data.size() - 2] != 0 || data[data.size() - 1] != 0) return false;
  for (size_t i = 0; i < text->size(); ++i) {
    const char16_t c = (*text)[i];
    if (c == 0 || c == u'\r' || c == u'\n') return false;
    const bool high = c >= 0xD800 && c <= 0xDBFF;
    const bool low = c >= 0xDC00 && c <= 0xDFFF;
    if (low) return false;
    if (high) {
      if (i + 1 == text->size() || (*text)[i + 1] < 0xDC00 || (*text)[i + 1] > 0xDFFF) return false;
      ++i;
    }
  }
  return true;
}

void AppendHexList(std::u16string* out, std::u16string line, std::string_view data) {
  for (size_t i = 0; i < data.size(); ++i) {
    AppendHex(&line, static_cast<unsigned char>(data[i]), 2);
    if (i + 1 == data.size()) break;
    line.push_back(u',');
    if (line.size() >= kWrapColumn) {
      line.push_back(u'\\');
      out->append(line).append(kCrLf);
      line = u"  ";
    }
  }
  out->append(line).append(kCrLf);
}

void AppendValue(std::u16string* out, const HiveValue& value) {
  std::u16string line;
  if (value.name.empty()) {
    line = u"@";
  } else {
    AppendQuoted(&line, value.name);
  }
  line.push_back(u'=');
  std::u16string text;
  if (value.type == kRegSz && PlainStringText(value.data, &text)) {
    AppendQuoted(&line, text);
    out->append(line).append(kCrLf);
    return;
  }
  if (value.type == kRegDword && value.data.size() == 4) {
    uint32_t bits = 0;
    for (int i = 3; i >= 0; --i) bits = bits << 8 | static_cast<unsigned char>(value.data[i]);
    line.append(u"dword:");
    AppendHex(&line, bits, 8);
    out->append(line).append(kCrLf);
    return;
  }
  if (value.type == kRegBinary) {
    line.append(u"hex:");
  } else {
    line.append(u"hex(");
    AppendHex(&line, value.type, HexDigitCount(value.type));
    line.append(u"):");
  }
  AppendHexList(out, std::move(line), value.data);
}

}  // namespace

std::string SerializeHive(const Hive& hive) {
  std::u16string text(kHiveHeader);
  text.append(kCrLf).append(kCrLf);
  for (const HiveKey& key : hive.keys) {
    text.append(u"[").append(key.path).append(u"]").append(kCrLf);
    for (const HiveValue& value : key.values) AppendValue(&text, value);
    text.append(kCrLf);
  }
  return Utf16ToUtf8(text);
}

HiveKey* FindHiveKey(Hive* hive, std::u16string_view path) {
  for (HiveKey& key : hive->keys) {
    if (SameName(key.path, path)) return &key;
  }
  return nullptr;
}

const HiveKey* FindHiveKey(const Hive& hive, std::u16string_view path) {
  return FindHiveKey(const_cast<Hive*>(&hive), path);
}

HiveKey* FindOrAddHiveKey(Hive* hive, std::u16string_view path) {
  if (HiveKey* key = FindHiveKey(hive, path)) return key;
  hive->keys.push_back(HiveKey{std::u16string(path), {}});
  return &hive->keys.back();
}

const HiveValue* FindHiveValue(const HiveKey& key, std::u16string_view name) {
  for (const HiveValue& value : key.values) {
    if (SameName(value.name, name)) return &value;
  }
  return nullptr;
}

void SetHiveValue(HiveKey* key, std::u16string_view name, uint32_t type, std::string_view data) {
  for (HiveValue& value : key->values) {
    if (SameName(value.name, name)) {
      value.type = type;
      value.data = data;
      return;
    }
  }
  key->values.push_back(HiveValue{std::u16string(name), type, std::string(data)});
}

}  // namespace sorrel::settings
