// The settings' registry seam on the real registry: RegOpenKeyExW,
// RegCreateKeyExW, RegQueryValueExW and RegSetValueExW under one root key
// (the current user's, or a test's own).
#pragma once

#include "platform/win32/windows_api.h"

#include <memory>

#include "settings/registry_store.h"

namespace sorrel::platform {

class Win32RegistryStore : public settings::RegistryStore {
 public:
  // root must stay open as long as the store is used.
  explicit Win32RegistryStore(HKEY root = HKEY_CURRENT_USER) : root_(root) {}
  std::unique_ptr<settings::RegistryKey> OpenKey(std::u16string_view path, Access access) override;
  std::unique_ptr<settings::RegistryKey> CreateKey(std::u16string_view path) override;

 private:
  HKEY root_;
};

}  // namespace sorrel::platform
