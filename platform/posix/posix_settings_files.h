// The settings-files seam over POSIX calls: whole-file reads, an flock held
// on the file's folder, and replacement by a synced temporary file and rename.
#pragma once

#include "platform/settings_files.h"

namespace sorrel::platform {

class PosixSettingsFiles : public SettingsFiles {
 public:
  std::string ConfigFolder() override;
  SettingsReadStatus ReadFile(const std::string& path, std::string* bytes) override;
  bool CanRead(const std::string& path) override;
  bool CreateNew(const std::string& path, std::string_view data) override;
  std::unique_ptr<LockedSettingsFile> Lock(const std::string& path, bool make_folder) override;
};

}  // namespace sorrel::platform
