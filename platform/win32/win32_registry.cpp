// Registry keys and values through the wide Reg* calls.
#include "platform/win32/win32_registry.h"

#include <string>

#include "platform/win32/wide.h"

namespace sorrel::platform {
namespace {

class Win32RegistryKey : public settings::RegistryKey {
 public:
  explicit Win32RegistryKey(HKEY key) : key_(key) {}
  ~Win32RegistryKey() override {
    if (key_ != nullptr) RegCloseKey(key_);
  }
  Win32RegistryKey(const Win32RegistryKey&) = delete;
  Win32RegistryKey& operator=(const Win32RegistryKey&) = delete;

  bool QueryValue(std::u16string_view name, uint32_t* type, std::string* data) override {
    if (key_ == nullptr) return false;
    const std::wstring value_name(AsWide(name));
    for (int attempt = 0; attempt < 4; ++attempt) {
      DWORD value_type = REG_NONE;
      DWORD size = 0;
      if (RegQueryValueExW(key_, value_name.c_str(), nullptr, &value_type, nullptr, &size) !=
          ERROR_SUCCESS) {
        return false;
      }
      data->assign(size, '\0');
      const LONG result = RegQueryValueExW(key_, value_name.c_str(), nullptr, &value_type,
                                           reinterpret_cast<BYTE*>(data->data()), &size);
      if (result == ERROR_MORE_DATA) continue;  // it grew in between
      if (result != ERROR_SUCCESS) return false;
      data->resize(size);
      *type = value_type;
      return true;
    }
    return false;
  }

  bool SetValue(std::u16string_view name, uint32_t type, std::string_view data) override {
    if (key_ == nullptr) return false;
    const std::wstring value_name(AsWide(name));
    return RegSetValueExW(key_, value_name.c_str(), 0, type,
                          reinterpret_cast<const BYTE*>(data.data()),
                          static_cast<DWORD>(data.size())) == ERROR_SUCCESS;
  }

  bool Close() override {
    if (key_ == nullptr) return false;
    const bool closed = RegCloseKey(key_) == ERROR_SUCCESS;
    key_ = nullptr;
    return closed;
  }

 private:
  HKEY key_;
};

}  // namespace

std::unique_ptr<settings::RegistryKey> Win32RegistryStore::OpenKey(std::u16string_view path,
                                                                   Access access) {
  const std::wstring key_path(AsWide(path));
  HKEY key = nullptr;
  const REGSAM rights = access == Access::Read ? KEY_READ : KEY_ALL_ACCESS;
  if (RegOpenKeyExW(root_, key_path.c_str(), 0, rights, &key) != ERROR_SUCCESS) return nullptr;
  return std::make_unique<Win32RegistryKey>(key);
}

std::unique_ptr<settings::RegistryKey> Win32RegistryStore::CreateKey(std::u16string_view path) {
  const std::wstring key_path(AsWide(path));
  HKEY key = nullptr;
  if (RegCreateKeyExW(root_, key_path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS,
                      nullptr, &key, nullptr) != ERROR_SUCCESS) {
    return nullptr;
  }
  return std::make_unique<Win32RegistryKey>(key);
}

}  // namespace sorrel::platform
