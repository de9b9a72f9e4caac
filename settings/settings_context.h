// What the settings accessors work on: the copy of the store that one run
// holds in memory (the registry, or the INI document in INI mode), the
// language of the guard messages and who shows them.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "base/ui_language.h"
#include "platform/user_interaction.h"
#include "settings/ini_document.h"
#include "settings/registry_store.h"

namespace sorrel::settings {

// The INI file of sorrel, relative to the current directory (start-up makes
// that the program's folder).
inline constexpr char kIniRelativePath[] = "./sorrel.ini";
// The section that holds every setting in the INI file.
inline constexpr char16_t kIniSection[] = u"Main";

struct SettingsContext {
  bool ini_mode = false;
  UiLanguage language = UiLanguage::English;
  // Shows the key wrappers' guard messages; may be null.
  platform::UserInteraction* user = nullptr;
  // The registry; used when ini_mode is false.
  RegistryStore* registry = nullptr;
  // The INI document; used when ini_mode is true.
  IniDocument* ini = nullptr;
  // When set, each text written is noted here with its key, so that a
  // transaction can check that it reads back the same once stored.
  std::vector<std::pair<std::u16string, std::u16string>>* written = nullptr;
};

// The INI file beside a program: sorrelc addresses it by this full path.
std::string IniPathIn(const std::string& program_folder);

}  // namespace sorrel::settings
