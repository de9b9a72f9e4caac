// REGW: the wide-character key wrapper of sorrel. It owns at most one open
// handle of the settings key; every operation called out of the order
// open -> read/write -> close shows a guard message and is refused.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "base/ui_language.h"
#include "platform/user_interaction.h"
#include "settings/registry_store.h"

namespace sorrel::settings {

class REGW {
 public:
  enum class Mode { Read, Write };

  // store and user must outlive the wrapper; user may be null (no messages).
  REGW(RegistryStore* store, platform::UserInteraction* user, UiLanguage lang)
      : store_(store), user_(user), lang_(lang) {}
  // Closes a key still open, with the auto-close guard message.
  ~REGW();
  REGW(const REGW&) = delete;
  REGW& operator=(const REGW&) = delete;

  // Opens the settings key: for reading, or with full access for writing,
  // when it is missing creating it. An open key is closed first, with a guard
  // message. False when no key could be opened.
  bool OpenKey(Mode mode);
  // False (with a guard message) when no key is open, or when the close failed.
  bool CloseKey();

  // Sets *buffer to the text of the value, at most 8191 units, or to the
  // empty text when the value is missing or cannot be read. False when name
  // or buffer is null, no key is open (guard message), or the read failed.
  bool ReadStringW(const char16_t* name, std::u16string* buffer);
  // The value as an integer by its type (see RegValueToInteger); default_value
  // when no key is open (guard message), the value is missing or unreadable.
  int32_t ReadIntegerW(const char16_t* name, int32_t default_value);
  // Stores text (up to its first NUL) as a string value with its terminator.
  bool WriteStringW(const char16_t* name, std::u16string_view text);
  // Stores value as a dword.
  bool WriteIntegerW(const char16_t* name, int32_t value);

 private:
  RegistryStore* store_;
  platform::UserInteraction* user_;
  UiLanguage lang_;
  std::unique_ptr<RegistryKey> key_;
};

}  // namespace sorrel::settings
