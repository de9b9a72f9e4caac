// The INI profile over the settings files.
#include "settings/profile.h"

#include "settings/decimal.h"
#include "settings/ini_document.h"
#include "settings/registry_value.h"

namespace sorrel::settings {
namespace {

std::optional<std::u16string> ReadValue(platform::SettingsFiles* files, const std::string& path,
                                        std::u16string_view section, std::u16string_view key) {
  std::string bytes;
  if (files->ReadFile(path, &bytes) != platform::SettingsReadStatus::Ok) return std::nullopt;
  return FindIniValue(ParseIni(bytes), section, key);
}

}  // namespace

std::u16string GetProfileString(platform::SettingsFiles* files, const std::string& path,
                                std::u16string_view section, std::u16string_view key,
                                std::u16string_view default_value) {
  std::u16string text =
      ReadValue(files, path, section, key).value_or(std::u16string(default_value));
  if (text.size() > kMaxSettingUnits) text.resize(kMaxSettingUnits);
  return text;
}

int32_t GetProfileInt(platform::SettingsFiles* files, const std::string& path,
                      std::u16string_view section, std::u16string_view key, int32_t default_value) {
  const std::optional<std::u16string> text = ReadValue(files, path, section, key);
  return text ? ParseProfileInt(*text) : default_value;
}

bool WriteProfileString(platform::SettingsFiles* files, const std::string& path,
                        std::u16string_view section, std::u16string_view key,
                        std::optional<std::u16string_view> value) {
  const std::unique_ptr<platform::LockedSettingsFile> file = files->Lock(path, false);
  if (file == nullptr) return false;
  std::string bytes;
  const platform::SettingsReadStatus status = file->Read(&bytes);
  if (status == platform::SettingsReadStatus::Error) return false;
  // Deleting from a file that is not there leaves it not there.
  if (status == platform::SettingsReadStatus::Missing && !value) return true;
  IniDocument doc = ParseIni(bytes);
  SetIniValue(&doc, section, key, value);
  const std::string updated = SerializeIni(doc);
  return updated == bytes || file->Replace(updated);
}

bool EnsureIniFile(platform::SettingsFiles* files, const std::string& path) {
  if (files->CanRead(path)) return true;
  return files->CreateNew(path, std::string_view(kIniHeader, kIniHeaderSize));
}

}  // namespace sorrel::settings
