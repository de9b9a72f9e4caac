// Where the settings of one program live, fixed at start-up: the store (the
// registry, or the INI file in INI mode), the language of the guard messages
// and who shows them.
#pragma once

#include <string>

#include "platform/settings_files.h"
#include "platform/ui_language.h"
#include "platform/user_interaction.h"
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
  // The registry store; used when ini_mode is false.
  RegistryStore* registry = nullptr;
  // The INI file and the files it lives in; used when ini_mode is true.
  platform::SettingsFiles* files = nullptr;
  std::string ini_path = kIniRelativePath;
};

// The INI file beside a program: sorrelc addresses it by this full path.
std::string IniPathIn(const std::string& program_folder);

}  // namespace sorrel::settings
