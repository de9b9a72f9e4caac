// The platform's services that one run of sorrel wires together, the same for
// the window and for CUI mode; only the user and the console differ.
#pragma once

#include <string_view>

#include "engine/job_context.h"
#include "platform/control_store.h"
#include "platform/posix/iconv_conversion.h"
#include "platform/posix/icu_code_pages.h"
#include "platform/posix/posix_file_system.h"
#include "platform/posix/posix_settings_files.h"
#include "platform/ui_language.h"
#include "platform/user_interaction.h"
#include "settings/hive_file_registry.h"
#include "settings/settings_context.h"

namespace sorrel {

// Writes a line as UTF-8 to standard error at once.
void WriteToStandardError(std::u16string_view line);

class ProgramServices {
 public:
  // The store's own report lines (a damaged settings file) go to standard
  // error in language.
  explicit ProgramServices(UiLanguage language);
  ProgramServices(const ProgramServices&) = delete;
  ProgramServices& operator=(const ProgramServices&) = delete;

  // The settings of the store ini_mode chooses; user shows the guard boxes.
  settings::SettingsContext Settings(bool ini_mode, platform::UserInteraction* user);

  // A job over dialog with these services; console may be null outside CUI
  // mode. save_settings is left for the caller.
  JobContext Job(ControlStore* dialog, bool cui_mode, platform::UserInteraction* user,
                 platform::Console* console);

 private:
  UiLanguage language_;
  platform::PosixFileSystem fs_;
  platform::IcuCodePageService code_pages_;
  platform::IconvSystemConversion system_conversion_;
  platform::PosixSettingsFiles files_;
  settings::HiveFileRegistry registry_;
};

}  // namespace sorrel
