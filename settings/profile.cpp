// The INI profile over a document in memory.
#include "settings/profile.h"

#include "settings/decimal.h"
#include "settings/registry_value.h"

namespace sorrel::settings {

std::u16string GetProfileString(const IniDocument& doc, std::u16string_view section,
                                std::u16string_view key, std::u16string_view default_value) {
  std::u16string text = FindIniValue(doc, section, key).value_or(std::u16string(default_value));
  if (text.size() > kMaxSettingUnits) text.resize(kMaxSettingUnits);
  return text;
}

int32_t GetProfileInt(const IniDocument& doc, std::u16string_view section, std::u16string_view key,
                      int32_t default_value) {
  const std::optional<std::u16string> text = FindIniValue(doc, section, key);
  return text ? ParseProfileInt(*text) : default_value;
}

void WriteProfileString(IniDocument* doc, std::u16string_view section, std::u16string_view key,
                        std::optional<std::u16string_view> value) {
  SetIniValue(doc, section, key, value);
}

bool EnsureIniFile(platform::SettingsFiles* files, const std::string& path) {
  if (files->CanRead(path)) return true;
  return files->CreateNew(path, std::string_view(kIniHeader, kIniHeaderSize));
}

}  // namespace sorrel::settings
