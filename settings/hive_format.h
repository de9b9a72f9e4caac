// The registry hive file: the text format of registry exports, parsed into
// keys of typed values and written back. Platform-free.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "settings/names.h"

namespace sorrel::settings {

// The first line of every hive file.
inline constexpr char16_t kHiveHeader[] = u"Windows Registry Editor Version 5.00";
// The root every key path of the file starts with.
inline constexpr char16_t kHiveRoot[] = u"HKEY_CURRENT_USER";

// One value; an empty name is the key's unnamed value ("@"). data holds the
// bytes the registry keeps (strings as UTF-16LE with their terminator).
struct HiveValue {
  std::u16string name;
  uint32_t type = 0;
  std::string data;
};

// One key by its full path ("HKEY_CURRENT_USER\Software\..."), with its values
// in the order of the file.
struct HiveKey {
  std::u16string path;
  std::vector<HiveValue> values;
};

struct Hive {
  std::vector<HiveKey> keys;
};

// Decodes text in the system's ANSI code page; false when it is not valid.
using AnsiDecoder = std::function<bool(std::string_view bytes, std::u16string* text)>;

// Parses a hive file: UTF-16LE when it starts with FF FE, else UTF-8 (a BOM is
// allowed); LF or CR+LF lines; blank lines and lines starting with ';' are
// skipped; "[-path]" and "name"=- delete what the file held before them. An
// empty file is an empty hive. An export in the older format, whose first
// line is "REGEDIT4", is read as ANSI text through ansi (ASCII needs none),
// its string types in hex lists too. False, with *hive undefined, for any
// other text that is not a registry export.
bool ParseHive(std::string_view bytes, Hive* hive, const AnsiDecoder& ansi = {});

// The hive as UTF-8 export text with CR+LF line ends (an ANSI export is thus
// written in the newer format, every value kept). A value that the quoted
// or dword forms cannot hold exactly is written as a hex list of its type, so
// parsing the result gives the same hive.
std::string SerializeHive(const Hive& hive);

// Keys and values are found by SameName.
HiveKey* FindHiveKey(Hive* hive, std::u16string_view path);
const HiveKey* FindHiveKey(const Hive& hive, std::u16string_view path);
// The key, appended empty when the hive lacks it.
HiveKey* FindOrAddHiveKey(Hive* hive, std::u16string_view path);
const HiveValue* FindHiveValue(const HiveKey& key, std::u16string_view name);
// Replaces the value of that name or appends it.
void SetHiveValue(HiveKey* key, std::u16string_view name, uint32_t type, std::string_view data);

}  // namespace sorrel::settings
