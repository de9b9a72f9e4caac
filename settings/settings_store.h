// The settings store of one program, and the only two ways a run touches its
// file (or, where the platform has a registry, its registry key): a snapshot
// read once without the lock (sorrel's load), and a transaction that takes
// the lock, reads and parses the store once, changes the copy in memory and
// writes the store once (the dialog's save, sorrelc's write). Two runs
// therefore never interleave value by value.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "base/control_store.h"
#include "base/ui_language.h"
#include "platform/settings_files.h"
#include "platform/user_interaction.h"
#include "settings/hive_format.h"
#include "settings/hive_registry.h"
#include "settings/ini_document.h"
#include "settings/settings_context.h"

namespace sorrel::settings {

// Where registry mode keeps the settings: the hive file in the per-user
// settings folder, or, where the platform has a registry of its own, the
// settings key's full name ("HKEY_CURRENT_USER\Software\..."). Empty when
// there is no settings folder.
std::string RegistryStorePath(platform::SettingsFiles* files);

// How the file was found when it was read. Every state but Ok reads as an
// empty store.
enum class StoreState {
  Ok,          // read and parsed, or missing
  Damaged,     // a hive file that is no registry export
  NotRegular,  // a folder, a FIFO, a device: never read
  Unreadable,  // it exists but cannot be read
};

// The file's content in memory, with the accessors' context over it.
class SettingsCopy {
 public:
  SettingsCopy(bool ini_mode, UiLanguage lang, platform::UserInteraction* user);
  SettingsCopy(const SettingsCopy&) = delete;
  SettingsCopy& operator=(const SettingsCopy&) = delete;

  // Replaces the copy with the file's bytes; false for a hive file that is no
  // registry export (the copy is then empty). An INI file always parses.
  bool Parse(std::string_view bytes, const AnsiDecoder& ansi);
  // The copy as the file's bytes.
  std::string Serialize() const;
  // Replaces the copy with the values of the settings key in the system's
  // registry, and gives them back as they are now.
  void SetRegistryValues(const std::vector<platform::RegistryValue>& values);
  std::vector<platform::RegistryValue> RegistryValues() const;
  SettingsContext& context() { return context_; }

 private:
  Hive hive_;
  HiveRegistry registry_{&hive_};
  IniDocument ini_;
  SettingsContext context_;
};

// The lock, the copy read under it, and the texts written to it.
class SettingsTransaction {
 public:
  // Over a file that the lock holds.
  SettingsTransaction(std::unique_ptr<platform::LockedSettingsFile> lock,
                      std::unique_ptr<SettingsCopy> copy, AnsiDecoder ansi);
  // Over the settings key of the system's registry, whose values read under
  // the lock were read_values.
  SettingsTransaction(std::unique_ptr<platform::SettingsLock> lock,
                      platform::SystemRegistry* registry,
                      std::vector<platform::RegistryValue> read_values,
                      std::unique_ptr<SettingsCopy> copy, AnsiDecoder ansi);

  // What the accessors change: the copy. Every text written through it is
  // noted with its key for ValuesNotKept.
  const SettingsContext& context() const { return copy_->context(); }

  // The keys whose last text written would not read back the same from the
  // file once committed: a line break in INI mode, more than 8191 units, a
  // text the file's encoding cannot hold. Empty when every text reads back.
  std::vector<std::u16string> ValuesNotKept() const;

  // Replaces the file with the copy: one temporary file, one sync, one
  // rename. False with the system's error code in *error; the file is then
  // as it was. In the system's registry, writes the values that differ from
  // what was read, in one opening of the key. May be called again after a
  // change.
  bool Commit(int* error);

  // The lock, for a program started to hold it on (ProcessRunner).
  const platform::SettingsLock& lock() const { return *lock_; }

 private:
  std::unique_ptr<platform::SettingsLock> lock_;
  platform::LockedSettingsFile* file_ = nullptr;  // the lock's file, or null
  platform::SystemRegistry* registry_ = nullptr;  // or the registry
  std::vector<platform::RegistryValue> read_values_;
  std::unique_ptr<SettingsCopy> copy_;
  AnsiDecoder ansi_;
  std::vector<std::pair<std::u16string, std::u16string>> written_;
};

class SettingsStore {
 public:
  // Takes one line of text about the file to show the user.
  using ReportLine = std::function<void(std::u16string_view line)>;

  // files must outlive the store. path is the hive file, or the INI file in
  // INI mode; empty when there is none (every load then gives the defaults
  // and every transaction fails with ENOENT's code). user shows the key
  // wrappers' guard messages (may be null); report gets the line that tells a
  // damaged hive file was kept aside.
  SettingsStore(platform::SettingsFiles* files, bool ini_mode, std::string path, UiLanguage lang,
                platform::UserInteraction* user, ReportLine report);

  bool ini_mode() const { return ini_mode_; }
  const std::string& path() const { return path_; }
  UiLanguage language() const { return lang_; }

  // sorrel's load: in INI mode a missing file is first created holding its
  // header; then the file is read once, without the lock, every control is
  // set from it, and a lock that sorrelc handed on is let go. A damaged file
  // is left where it is (a transaction sets it aside).
  StoreState Load(ControlStore* dialog);

  // Takes the lock (in registry mode making the settings folder first) and
  // reads and parses the file under it. A damaged hive file is renamed aside
  // and reported, and the copy starts empty. Null, with the state that
  // stopped it and the system's error code, when the lock cannot be taken
  // (Unreadable), the file is not a regular file (NotRegular) or cannot be
  // read (Unreadable), or a damaged file cannot be renamed aside (Damaged).
  std::unique_ptr<SettingsTransaction> Begin(StoreState* state, int* error);

  // The dialog's save: every control into one transaction. False when it
  // could not be stored; nothing is reported.
  bool Save(const ControlStore& dialog);

  // The system's text for an error code, in the store's language.
  std::u16string ErrorText(int error) const { return files_->ErrorText(lang_, error); }

 private:
  std::unique_ptr<SettingsCopy> NewCopy() const;
  AnsiDecoder Ansi() const;
  // The system's registry when registry mode uses it, else null.
  platform::SystemRegistry* SystemRegistry() const;
  std::unique_ptr<SettingsTransaction> BeginInRegistry(platform::SystemRegistry* registry,
                                                       StoreState* state, int* error);

  platform::SettingsFiles* files_;
  bool ini_mode_;
  std::string path_;
  UiLanguage lang_;
  platform::UserInteraction* user_;
  ReportLine report_;
};

}  // namespace sorrel::settings
