// The settings-files seam: what the two settings stores (the registry, or
// its hive file where the platform has no registry, and the INI profile) ask
// of the platform. Paths are native (bytes on POSIX), absolute or relative
// to the current directory.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "base/ui_language.h"

namespace sorrel::platform {

enum class SettingsReadStatus {
  Ok,
  Missing,     // the file does not exist
  NotRegular,  // a folder, a FIFO, a device: never opened for reading
  Error,       // it exists but cannot be read; the error code says why
};

// The exclusive lock that every writer of one settings store holds, from its
// reading to its writing; released when the object goes.
class SettingsLock {
 public:
  virtual ~SettingsLock() = default;

  // The lock as the platform names it to a program started to hold it on
  // (see ProcessRunner): the descriptor on POSIX, the key of its mutex on
  // Windows; valid while this object lives.
  virtual intptr_t Handle() const = 0;
};

// A settings file held under the lock. A file that is a symbolic link is read
// and written through the link: the lock is taken on the folder of the file
// the link leads to, so every name of the file shares one lock.
class LockedSettingsFile : public SettingsLock {
 public:
  // The file's content as it is under the lock; *error is set on Error.
  virtual SettingsReadStatus Read(std::string* bytes, int* error) = 0;

  // Replaces the whole file with data, all or nothing: written to a temporary
  // file beside it, synced once, given the old file's permission bits (0600
  // for a new file) and renamed over it. False with the system's error code in
  // *error on any failure; the file is then as it was and no temporary file is
  // left.
  virtual bool Replace(std::string_view data, int* error) = 0;

  // Renames the file to "<path>.damaged-<local time as YYYYMMDDTHHMMSS>"
  // (with "-2", "-3", ... appended when that name is taken) and gives that
  // path. False with the system's error code in *error when it cannot be
  // renamed; the file is then left where it is.
  virtual bool SetAside(std::string* aside_path, int* error) = 0;
};

// One value of a registry key: its name, the number of its type and the
// bytes the registry keeps.
struct RegistryValue {
  std::u16string name;
  uint32_t type = 0;
  std::string data;
};

// The current user's registry, on a platform that has one. Key paths are
// below the current user's root ("Software\...").
class SystemRegistry {
 public:
  virtual ~SystemRegistry() = default;

  // Every value of the key at path; Missing when there is no such key, Error
  // with the system's error code in *error when it cannot be read.
  virtual SettingsReadStatus ReadKey(std::u16string_view path, std::vector<RegistryValue>* values,
                                     int* error) = 0;

  // Stores values in the key at path, creating it when it is missing; the
  // key's other values are left as they are. False with the system's error
  // code in *error at the first that fails.
  virtual bool WriteKey(std::u16string_view path, const std::vector<RegistryValue>& values,
                        int* error) = 0;

  // Takes the lock that every writer of the key holds, waiting for it as long
  // as another holds it; null with *error when it cannot be taken.
  virtual std::unique_ptr<SettingsLock> Lock(std::u16string_view path, int* error) = 0;

  // Lets go of the lock on the key that the program that started this one
  // handed on to it; nothing when it handed none on.
  virtual void ReleaseHandedOnLock(std::u16string_view path) = 0;
};

class SettingsFiles {
 public:
  virtual ~SettingsFiles() = default;

  // The per-user folder of the programs' settings:
  // ${XDG_CONFIG_HOME:-$HOME/.config}/sorrel (a relative XDG_CONFIG_HOME is
  // ignored). Empty when neither variable names a folder. Nothing is created.
  virtual std::string ConfigFolder() = 0;

  // Reads a whole regular file without taking the lock; the atomic
  // replacement makes sure a reader sees either the old or the new content.
  // Anything but a regular file is NotRegular and never blocks the caller.
  virtual SettingsReadStatus ReadFile(const std::string& path, std::string* bytes, int* error) = 0;

  // True when the file can be opened for reading.
  virtual bool CanRead(const std::string& path) = 0;

  // Creates path holding data, only when no file of that name exists; false
  // when it exists or cannot be created.
  virtual bool CreateNew(const std::string& path, std::string_view data) = 0;

  // Takes the lock that every writer of path holds, waiting for it as long as
  // another holds it. With make_folder the missing folders of path are
  // created first (mode 0700). Null with the system's error code in *error
  // when the lock cannot be taken (the folder is missing and cannot be made,
  // or a link leads where the running user may not follow).
  virtual std::unique_ptr<LockedSettingsFile> Lock(const std::string& path, bool make_folder,
                                                   int* error) = 0;

  // Lets go of the lock on path's store that the program that started this
  // one handed on to it; nothing when it handed none on.
  virtual void ReleaseHandedOnLock(const std::string& path) = 0;

  // The system's one-line text for an error code, in lang.
  virtual std::u16string ErrorText(UiLanguage lang, int error) = 0;

  // The registry of the platform, where it has one of its own; null where
  // registry mode keeps the hive file in ConfigFolder() instead (POSIX).
  virtual SystemRegistry* Registry() = 0;

  // bytes in the system's ANSI code page (932 under a Japanese locale, 1252
  // otherwise) as UTF-16; false when they are not valid in it.
  virtual bool DecodeAnsi(std::string_view bytes, std::u16string* text) = 0;
};

// The platform's settings files.
std::unique_ptr<SettingsFiles> NewSettingsFiles();

}  // namespace sorrel::platform
