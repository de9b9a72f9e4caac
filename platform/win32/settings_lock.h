// The lock of a settings store on Windows, a named mutex, and how it is
// handed on: a mutex belongs to the thread that holds it, so the program
// that takes it keeps it until the program it started has loaded the
// settings, which that program says by setting an event named after its own
// process and the lock.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "platform/settings_files.h"

namespace sorrel::platform {

// The key of the lock of a store: a digest of the store's identity (an INI
// file's full path after its folder's links, or the registry key's path),
// without regard to case.
uint64_t SettingsLockKey(std::u16string_view identity);

// The identity of the settings file at path, as SettingsLockKey takes it.
std::u16string SettingsFileIdentity(const std::string& path);

// Takes the lock of key, waiting as long as another holds it; a lock whose
// holder ended without letting go is taken as well. Null with the system's
// error code in *error when it cannot be taken.
std::unique_ptr<SettingsLock> TakeSettingsLock(uint64_t key, int* error);

// The event by which the program process_id says it has let go of the lock
// of key that its starter holds for it.
std::wstring HandOnEventName(unsigned long process_id, uint64_t key);

// Sets this process's event for key, when its starter made one.
void SignalHandOn(uint64_t key);

}  // namespace sorrel::platform
