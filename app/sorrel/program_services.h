// The services that one run of sorrel wires together, the same for the
// window and for CUI mode; only the user and the console differ.
#pragma once

#include <memory>
#include <string_view>

#include "base/ui_language.h"
#include "gui/session_services.h"
#include "platform/code_pages.h"
#include "platform/file_system.h"
#include "platform/settings_files.h"

namespace sorrel {

// Writes a line to standard error at once.
void WriteToStandardError(std::u16string_view line);

class ProgramServices : public SessionServices {
 public:
  // The store is the INI file beside the program in INI mode, else the
  // registry; its own report lines (a damaged file kept aside) go to
  // standard error in language.
  ProgramServices(UiLanguage language, bool ini_mode);
  ProgramServices(const ProgramServices&) = delete;
  ProgramServices& operator=(const ProgramServices&) = delete;

  std::unique_ptr<settings::SettingsStore> OpenSettings(platform::UserInteraction* user) override;
  JobContext Job(ControlStore* dialog, bool cui_mode, platform::UserInteraction* user,
                 platform::Console* console) override;

 private:
  UiLanguage language_;
  bool ini_mode_;
  std::unique_ptr<platform::FileSystem> fs_;
  std::unique_ptr<platform::CodePageService> code_pages_;
  std::unique_ptr<platform::SystemConversion> system_conversion_;
  std::unique_ptr<platform::SettingsFiles> files_;
};

}  // namespace sorrel
