// The settings-files seam: what the two settings stores (the registry hive file
// and the INI profile) ask of the platform's files. Paths are native (bytes on
// POSIX), absolute or relative to the current directory.
#pragma once

#include <memory>
#include <string>
#include <string_view>

namespace sorrel::platform {

enum class SettingsReadStatus {
  Ok,
  Missing,  // the file does not exist
  Error,    // it exists but cannot be read
};

// A settings file held under an exclusive advisory lock, from its reading to
// its replacement; the lock is released when the object goes.
class LockedSettingsFile {
 public:
  virtual ~LockedSettingsFile() = default;

  // The file's content as it is under the lock.
  virtual SettingsReadStatus Read(std::string* bytes) = 0;

  // Replaces the whole file with data, all or nothing: written to a temporary
  // file beside it, synced, given the old file's permission bits (0600 for a
  // new file) and renamed over it. False on any failure; the file is then as
  // it was and no temporary file is left.
  virtual bool Replace(std::string_view data) = 0;

  // Renames the file to "<path>.damaged-<local time as YYYYMMDDTHHMMSS>"
  // (with "-2", "-3", ... appended when that name is taken) and gives that
  // path. False when it cannot be renamed; the file is then left where it is.
  virtual bool SetAside(std::string* aside_path) = 0;
};

class SettingsFiles {
 public:
  virtual ~SettingsFiles() = default;

  // The per-user folder of the programs' settings:
  // ${XDG_CONFIG_HOME:-$HOME/.config}/sorrel (a relative XDG_CONFIG_HOME is
  // ignored). Empty when neither variable names a folder. Nothing is created.
  virtual std::string ConfigFolder() = 0;

  // Reads a whole file without taking the lock; the atomic replacement makes
  // sure a reader sees either the old or the new content.
  virtual SettingsReadStatus ReadFile(const std::string& path, std::string* bytes) = 0;

  // True when the file can be opened for reading.
  virtual bool CanRead(const std::string& path) = 0;

  // Creates path holding data, only when no file of that name exists; false
  // when it exists or cannot be created.
  virtual bool CreateNew(const std::string& path, std::string_view data) = 0;

  // Takes the lock that every writer of path holds. With make_folder the
  // missing folders of path are created first (mode 0700). Null when the lock
  // cannot be taken (for example, the folder is missing).
  virtual std::unique_ptr<LockedSettingsFile> Lock(const std::string& path, bool make_folder) = 0;
};

}  // namespace sorrel::platform
