// The settings-files seam over POSIX calls: whole-file reads that never block,
// an flock held on the file's folder, replacement by a synced temporary file
// and rename, and the hand-on of that lock to a started program.
#pragma once

#include "platform/settings_files.h"

namespace sorrel::platform {

// The descriptor at which a started program finds a settings lock handed on
// to it (see ProcessRunner). The receiver lets go of it only when it is
// indeed the lock of its own store's folder.
inline constexpr int kHandedOnLockDescriptor = 3;

class PosixSettingsFiles : public SettingsFiles {
 public:
  std::string ConfigFolder() override;
  SettingsReadStatus ReadFile(const std::string& path, std::string* bytes, int* error) override;
  bool CanRead(const std::string& path) override;
  bool CreateNew(const std::string& path, std::string_view data) override;
  std::unique_ptr<LockedSettingsFile> Lock(const std::string& path, bool make_folder,
                                           int* error) override;
  void ReleaseHandedOnLock(const std::string& path) override;
  // Registry mode keeps the hive file.
  SystemRegistry* Registry() override { return nullptr; }
  std::u16string ErrorText(UiLanguage lang, int error) override;
  // Through iconv; the locale is LC_ALL, then LC_CTYPE, then LANG.
  bool DecodeAnsi(std::string_view bytes, std::u16string* text) override;
};

}  // namespace sorrel::platform
