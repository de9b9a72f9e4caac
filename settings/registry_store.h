// The registry seam of the key wrappers: keys under the current user's root,
// holding values of the registry's types as the bytes the registry keeps.
// The hive file is one implementation; tests supply failing ones.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace sorrel::settings {

// The registry's value types, by their numbers.
inline constexpr uint32_t kRegNone = 0;
inline constexpr uint32_t kRegSz = 1;
inline constexpr uint32_t kRegExpandSz = 2;
inline constexpr uint32_t kRegBinary = 3;
inline constexpr uint32_t kRegDword = 4;
inline constexpr uint32_t kRegDwordBigEndian = 5;
inline constexpr uint32_t kRegMultiSz = 7;
inline constexpr uint32_t kRegQword = 11;

// The key of every setting, under the current user's root.
inline constexpr char16_t kSettingsKeyPath[] = u"Software\\FenwrightAns\\sorrel\\CurrentVersion";

// An open key. Value names compare without regard to ASCII case; the empty
// name is the key's unnamed value.
class RegistryKey {
 public:
  virtual ~RegistryKey() = default;
  // The type and data of a value; false when it is missing or cannot be read.
  virtual bool QueryValue(std::u16string_view name, uint32_t* type, std::string* data) = 0;
  // Stores a value; false when the key was opened for reading or the store
  // cannot be written.
  virtual bool SetValue(std::u16string_view name, uint32_t type, std::string_view data) = 0;
  // Releases the key; false when that failed. The key is unusable afterwards.
  virtual bool Close() = 0;
};

class RegistryStore {
 public:
  enum class Access { Read, All };
  virtual ~RegistryStore() = default;
  // Opens an existing key; null when it does not exist or cannot be opened.
  // Never creates anything.
  virtual std::unique_ptr<RegistryKey> OpenKey(std::u16string_view path, Access access) = 0;
  // Opens the key with full access, creating it when it is missing; null when
  // it can be neither opened nor created.
  virtual std::unique_ptr<RegistryKey> CreateKey(std::u16string_view path) = 0;
};

}  // namespace sorrel::settings
