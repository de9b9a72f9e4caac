// REGA: the narrow-string key wrapper of sorrelc, which only writes. Its
// strings are the programs' narrow text (UTF-8 on Linux), stored as the same
// string values REGW reads. Out-of-order calls show guard messages, as REGW's.
#pragma once

#include <cstdint>
#include <memory>

#include "base/ui_language.h"
#include "platform/user_interaction.h"
#include "settings/registry_store.h"

namespace sorrel::settings {

class REGA {
 public:
  // store and user must outlive the wrapper; user may be null (no messages).
  REGA(RegistryStore* store, platform::UserInteraction* user, UiLanguage lang)
      : store_(store), user_(user), lang_(lang) {}
  // Closes a key still open, with the auto-close guard message.
  ~REGA();
  REGA(const REGA&) = delete;
  REGA& operator=(const REGA&) = delete;

  // Opens the settings key with full access, creating it when it is missing;
  // an open key is closed first, with a guard message. False when no key
  // could be opened.
  bool OpenKey();
  // False (with a guard message) when no key is open, or when the close failed.
  bool CloseKey();

  // Stores text as a string value. False when name or text is null, no key is
  // open (guard message) or the store fails.
  bool WriteStringA(const char* name, const char* text);
  // Stores value as a dword.
  bool WriteIntegerA(const char* name, int32_t value);

 private:
  RegistryStore* store_;
  platform::UserInteraction* user_;
  UiLanguage lang_;
  std::unique_ptr<RegistryKey> key_;
};

}  // namespace sorrel::settings
