// The registry of the current user kept in a hive file that users can read
// and edit. Reads never change the file system; every write is one locked
// read-modify-replace of the file, so concurrent writers lose no value and
// everything else the file holds is kept.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "platform/settings_files.h"
#include "platform/ui_language.h"
#include "settings/hive_format.h"
#include "settings/registry_store.h"

namespace sorrel::settings {

// The hive file in the per-user settings folder; empty when there is none.
std::string HiveFilePath(platform::SettingsFiles* files);

class HiveFileRegistry : public RegistryStore {
 public:
  // Takes one line of text to show on standard error.
  using ReportLine = std::function<void(std::u16string_view line)>;

  // files must outlive the registry. A file that cannot be parsed reads as an
  // empty hive; the first write renames it aside and says so through report
  // in lang, and a file that cannot be renamed aside is never overwritten.
  HiveFileRegistry(platform::SettingsFiles* files, std::string path, UiLanguage lang,
                   ReportLine report);

  std::unique_ptr<RegistryKey> OpenKey(std::u16string_view path, Access access) override;
  std::unique_ptr<RegistryKey> CreateKey(std::u16string_view path) override;

  // The hive as the file holds it now; an unreadable or damaged file gives
  // an empty hive. False only when the file exists but cannot be read.
  bool Load(Hive* hive);
  // One locked read-modify-replace: edit changes the hive read under the
  // lock, and the result replaces the file when it differs from it. False
  // when the file cannot be locked, read or replaced.
  bool Update(const std::function<void(Hive*)>& edit);

 private:
  // Parses bytes read under the lock; a damaged file is renamed aside first.
  bool ParseForUpdate(platform::LockedSettingsFile* file, std::string_view bytes, Hive* hive);

  platform::SettingsFiles* files_;
  std::string path_;
  UiLanguage lang_;
  ReportLine report_;
};

}  // namespace sorrel::settings
