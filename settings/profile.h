// The private-profile functions over an INI document held in memory: read a
// key of a section with the caller's default, write or delete it; and the
// creation of the INI file with its UTF-16LE header. The settings store reads
// the document from its file once and writes it back once
// (settings_store.h).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/settings_files.h"
#include "settings/ini_document.h"

namespace sorrel::settings {

// The six bytes of a new INI file: the UTF-16LE mark and one CR+LF, so that
// every key written later is kept in UTF-16.
inline constexpr char kIniHeader[] = "\xFF\xFE\x0D\x00\x0A\x00";
inline constexpr size_t kIniHeaderSize = 6;

// The key's value, at most 8191 units; default_value (cut the same way) when
// the section or the key is missing.
std::u16string GetProfileString(const IniDocument& doc, std::u16string_view section,
                                std::u16string_view key, std::u16string_view default_value);

// The key's value read as a profile integer (see ParseProfileInt);
// default_value when it is missing.
int32_t GetProfileInt(const IniDocument& doc, std::u16string_view section, std::u16string_view key,
                      int32_t default_value);

// Writes the key's value, or deletes the key when value is nullopt (see
// SetIniValue).
void WriteProfileString(IniDocument* doc, std::u16string_view section, std::u16string_view key,
                        std::optional<std::u16string_view> value);

// When the file cannot be opened for reading, creates it holding exactly the
// six header bytes. False only when it can neither be opened nor created.
bool EnsureIniFile(platform::SettingsFiles* files, const std::string& path);

}  // namespace sorrel::settings
