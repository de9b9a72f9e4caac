// An INI profile file under the private-profile rules, platform-free: section
// and key names compare without regard to ASCII case, values are trimmed of
// blanks and lose one pair of surrounding quotes, writing replaces a value in
// place or appends the key at the end of its section, and every line it does
// not write is given back byte for byte.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace sorrel::settings {

enum class IniEncoding { Utf16Le, Utf8 };

struct IniLine {
  std::u16string text;  // decoded, without its line end
  std::string raw;      // the line's bytes as read, without its line end
  bool edited = false;  // written from text rather than given back from raw
};

struct IniDocument {
  IniEncoding encoding = IniEncoding::Utf16Le;
  bool has_bom = false;  // the UTF-16LE byte-order mark
  std::vector<IniLine> lines;
};

// The value as a line holds it: a value that reading would trim or unquote
// is written inside one more pair of quotes, so that it reads back as it was.
std::u16string WrittenIniValue(std::u16string_view value);

// Reads any bytes: UTF-16LE after an FF FE mark, else UTF-8 (bytes that are
// not UTF-8 read as U+FFFD but are written back unchanged). Lines end at LF
// or CR+LF. An empty file is a new UTF-16LE document with its mark.
IniDocument ParseIni(std::string_view bytes);

// The document in its encoding, every line ending in CR+LF.
std::string SerializeIni(const IniDocument& doc);

// The value of key in the first section named section; nullopt when missing.
std::optional<std::u16string> FindIniValue(const IniDocument& doc, std::u16string_view section,
                                           std::u16string_view key);

// Sets key in section to value, cut before its first CR, LF or NUL (a line
// cannot hold them) and quoted when reading would otherwise trim or unquote
// it: replaces the first such key's line, or appends the key
// after the last non-blank line of the section, or appends the section at the
// end. nullopt deletes the key and leaves a missing section missing.
void SetIniValue(IniDocument* doc, std::u16string_view section, std::u16string_view key,
                 std::optional<std::u16string_view> value);

}  // namespace sorrel::settings
