// Reading the export text of a hive file.
#include <unordered_map>
#include <vector>

#include "base/utf.h"
#include "settings/hive_format.h"
#include "settings/registry_store.h"
#include "settings/registry_value.h"

namespace sorrel::settings {
namespace {

bool IsBlank(char16_t c) {
  return c == u' ' || c == u'\t';
}

std::u16string_view Trim(std::u16string_view s) {
  while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
  return s;
}

int HexDigit(char16_t c) {
  if (c >= u'0' && c <= u'9') return c - u'0';
  if (c >= u'a' && c <= u'f') return c - u'a' + 10;
  if (c >= u'A' && c <= u'F') return c - u'A' + 10;
  return -1;
}

// One to max_digits hex digits, nothing else.
bool ParseHexNumber(std::u16string_view s, size_t max_digits, uint32_t* value) {
  if (s.empty() || s.size() > max_digits) return false;
  *value = 0;
  for (char16_t c : s) {
    const int d = HexDigit(c);
    if (d < 0) return false;
    *value = *value << 4 | static_cast<uint32_t>(d);
  }
  return true;
}

bool StartsWithNoCase(std::u16string_view s, std::u16string_view prefix) {
  return s.size() >= prefix.size() && SameName(s.substr(0, prefix.size()), prefix);
}

// The first line of an export in the older, ANSI format.
constexpr std::string_view kAnsiHeader = "REGEDIT4";

bool IsAnsiExport(std::string_view bytes) {
  const size_t start = bytes.find_first_not_of(" \t\r\n");
  if (start == std::string_view::npos || bytes.substr(start, kAnsiHeader.size()) != kAnsiHeader) {
    return false;
  }
  const size_t after = start + kAnsiHeader.size();
  return after == bytes.size() ||
         std::string_view(" \t\r\n").find(bytes[after]) != std::string_view::npos;
}

// Text in the system's ANSI code page; ASCII needs no decoder.
bool DecodeAnsi(std::string_view bytes, const AnsiDecoder& ansi, std::u16string* text) {
  bool ascii = true;
  for (char c : bytes) ascii = ascii && static_cast<unsigned char>(c) < 0x80;
  if (!ascii) return ansi && ansi(bytes, text);
  text->assign(bytes.begin(), bytes.end());
  return true;
}

bool DecodeHiveText(std::string_view bytes, std::u16string* text) {
  if (bytes.size() >= 2 && bytes[0] == '\xFF' && bytes[1] == '\xFE') {
    bytes.remove_prefix(2);
    if (bytes.size() % 2 != 0) return false;
    text->resize(bytes.size() / 2);
    for (size_t i = 0; i < text->size(); ++i) {
      (*text)[i] = static_cast<char16_t>(static_cast<unsigned char>(bytes[2 * i]) |
                                         static_cast<unsigned char>(bytes[2 * i + 1]) << 8);
    }
    return true;
  }
  if (bytes.substr(0, 3) == "\xEF\xBB\xBF") bytes.remove_prefix(3);
  return Utf8ToUtf16Strict(bytes, text);
}

std::vector<std::u16string_view> SplitLines(std::u16string_view text) {
  std::vector<std::u16string_view> lines;
  while (!text.empty()) {
    const size_t lf = text.find(u'\n');
    std::u16string_view line = text.substr(0, lf);
    if (!line.empty() && line.back() == u'\r') line.remove_suffix(1);
    lines.push_back(line);
    if (lf == std::u16string_view::npos) break;
    text.remove_prefix(lf + 1);
  }
  return lines;
}

// A quoted name or text starting at s[*pos]: backslash escapes the next
// character (an unknown escape keeps its backslash). *pos ends after the
// closing quote.
bool ParseQuoted(std::u16string_view s, size_t* pos, std::u16string* out) {
  if (*pos >= s.size() || s[*pos] != u'"') return false;
  out->clear();
  for (size_t i = *pos + 1; i < s.size(); ++i) {
    if (s[i] == u'"') {
      *pos = i + 1;
      return true;
    }
    if (s[i] == u'\\') {
      if (++i == s.size()) return false;
      if (s[i] != u'\\' && s[i] != u'"') out->push_back(u'\\');
    }
    out->push_back(s[i]);
  }
  return false;
}

// Comma-separated bytes of one to two hex digits; a trailing comma is allowed.
bool ParseHexBytes(std::u16string_view list, std::string* data) {
  data->clear();
  list = Trim(list);
  while (!list.empty()) {
    const size_t comma = list.find(u',');
    uint32_t byte;
    if (!ParseHexNumber(Trim(list.substr(0, comma)), 2, &byte)) return false;
    data->push_back(static_cast<char>(byte));
    if (comma == std::u16string_view::npos) break;
    list = Trim(list.substr(comma + 1));
  }
  return true;
}

class HiveParser {
 public:
  // ansi is set for an export in the ANSI format, whose string types given
  // as hex lists hold ANSI bytes rather than UTF-16LE.
  HiveParser(std::vector<std::u16string_view> lines, Hive* hive, const AnsiDecoder* ansi)
      : lines_(std::move(lines)), hive_(hive), ansi_(ansi) {}
  bool Run();

 private:
  bool ParseKeyLine(std::u16string_view line);
  bool ParseValueLine(std::u16string_view line);
  bool ParseData(std::u16string_view value_text, uint32_t* type, std::string* data);
  static bool IsStringType(uint32_t type);
  bool WidenAnsiData(std::string* data);
  bool JoinContinuedLines(std::u16string_view first, std::u16string* joined);
  void DeleteKeyTree(std::u16string_view path);
  void SetCurrentKey(HiveKey* key);
  void SetValue(std::u16string name, uint32_t type, std::string data);

  std::vector<std::u16string_view> lines_;
  size_t next_ = 0;
  Hive* hive_;
  const AnsiDecoder* ansi_;
  HiveKey* current_ = nullptr;
  // The current key's values by folded name, so a long key parses in linear time.
  std::unordered_map<std::u16string, size_t> value_at_;
  // After "[-path]" the values up to the next key belong to no key.
  bool in_deleted_key_ = false;
};

bool HiveParser::Run() {
  hive_->keys.clear();
  bool header_seen = false;
  while (next_ < lines_.size()) {
    const std::u16string_view line = Trim(lines_[next_++]);
    if (line.empty()) continue;
    if (!header_seen) {
      if (line != (ansi_ != nullptr ? std::u16string_view(u"REGEDIT4") : kHiveHeader)) return false;
      header_seen = true;
    } else if (line.front() == u';') {
      continue;
    } else if (line.front() == u'[') {
      if (!ParseKeyLine(line)) return false;
    } else if (!ParseValueLine(line)) {
      return false;
    }
  }
  return true;
}

bool HiveParser::ParseKeyLine(std::u16string_view line) {
  if (line.size() < 3 || line.back() != u']') return false;
  const std::u16string_view path = line.substr(1, line.size() - 2);
  SetCurrentKey(nullptr);
  in_deleted_key_ = path.front() == u'-';
  if (in_deleted_key_) {
    if (path.size() == 1) return false;
    DeleteKeyTree(path.substr(1));
    return true;
  }
  SetCurrentKey(FindOrAddHiveKey(hive_, path));
  return true;
}

bool HiveParser::ParseValueLine(std::u16string_view line) {
  std::u16string name;
  size_t pos = 0;
  if (line.front() == u'@') {
    pos = 1;
  } else if (!ParseQuoted(line, &pos, &name)) {
    return false;
  }
  while (pos < line.size() && IsBlank(line[pos])) ++pos;
  if (pos == line.size() || line[pos] != u'=') return false;
  std::u16string value_text;
  if (!JoinContinuedLines(Trim(line.substr(pos + 1)), &value_text)) return false;
  if (current_ == nullptr && !in_deleted_key_) return false;
  if (value_text == u"-") {
    if (current_ == nullptr) return true;
    std::erase_if(current_->values, [&](const HiveValue& v) { return SameName(v.name, name); });
    SetCurrentKey(current_);
    return true;
  }
  uint32_t type;
  std::string data;
  if (!ParseData(value_text, &type, &data)) return false;
  if (current_ != nullptr) SetValue(std::move(name), type, std::move(data));
  return true;
}

// Long hex lists go on over the next lines after a trailing backslash.
bool HiveParser::JoinContinuedLines(std::u16string_view first, std::u16string* joined) {
  joined->assign(first);
  if (!StartsWithNoCase(*joined, u"hex")) return true;
  while (!joined->empty() && joined->back() == u'\\') {
    joined->pop_back();
    if (next_ == lines_.size()) return false;
    joined->append(Trim(lines_[next_++]));
  }
  return true;
}

bool HiveParser::ParseData(std::u16string_view value_text, uint32_t* type, std::string* data) {
  if (!value_text.empty() && value_text.front() == u'"') {
    size_t pos = 0;
    std::u16string text;
    if (!ParseQuoted(value_text, &pos, &text) || !Trim(value_text.substr(pos)).empty())
      return false;
    *type = kRegSz;
    *data = EncodeRegString(text);
    return true;
  }
  if (StartsWithNoCase(value_text, u"dword:")) {
    uint32_t value;
    if (!ParseHexNumber(value_text.substr(6), 8, &value)) return false;
    *type = kRegDword;
    *data = EncodeRegDword(static_cast<int32_t>(value));
    return true;
  }
  if (StartsWithNoCase(value_text, u"hex:")) {
    *type = kRegBinary;
    return ParseHexBytes(value_text.substr(4), data);
  }
  if (StartsWithNoCase(value_text, u"hex(")) {
    const size_t close = value_text.find(u"):");
    if (close == std::u16string_view::npos) return false;
    if (!ParseHexNumber(value_text.substr(4, close - 4), 8, type) ||
        !ParseHexBytes(value_text.substr(close + 2), data)) {
      return false;
    }
    return ansi_ == nullptr || !IsStringType(*type) || WidenAnsiData(data);
  }
  return false;
}

bool HiveParser::IsStringType(uint32_t type) {
  return type == kRegSz || type == kRegExpandSz || type == kRegMultiSz;
}

// ANSI bytes, their NULs included, as the UTF-16LE bytes the registry keeps.
bool HiveParser::WidenAnsiData(std::string* data) {
  std::u16string text;
  if (!DecodeAnsi(*data, *ansi_, &text)) return false;
  data->clear();
  for (char16_t unit : text) {
    data->push_back(static_cast<char>(unit & 0xFF));
    data->push_back(static_cast<char>(unit >> 8));
  }
  return true;
}

void HiveParser::SetCurrentKey(HiveKey* key) {
  current_ = key;
  value_at_.clear();
  if (key == nullptr) return;
  for (size_t i = 0; i < key->values.size(); ++i) value_at_[FoldName(key->values[i].name)] = i;
}

// A later value of the same name replaces the earlier one in its place.
void HiveParser::SetValue(std::u16string name, uint32_t type, std::string data) {
  const auto [at, added] = value_at_.emplace(FoldName(name), current_->values.size());
  if (added) {
    current_->values.push_back(HiveValue{std::move(name), type, std::move(data)});
    return;
  }
  current_->values[at->second].type = type;
  current_->values[at->second].data = std::move(data);
}

void HiveParser::DeleteKeyTree(std::u16string_view path) {
  std::erase_if(hive_->keys, [&](const HiveKey& key) {
    const std::u16string_view k = key.path;
    if (k.size() < path.size() || !SameName(k.substr(0, path.size()), path)) return false;
    return k.size() == path.size() || k[path.size()] == u'\\';
  });
}

}  // namespace

bool ParseHive(std::string_view bytes, Hive* hive, const AnsiDecoder& ansi) {
  std::u16string text;
  if (IsAnsiExport(bytes)) {
    if (!DecodeAnsi(bytes, ansi, &text)) return false;
    return HiveParser(SplitLines(text), hive, &ansi).Run();
  }
  if (!DecodeHiveText(bytes, &text)) return false;
  return HiveParser(SplitLines(text), hive, nullptr).Run();
}

}  // namespace sorrel::settings
