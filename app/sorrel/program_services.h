// The POSIX services that one run of sorrel wires together, the same for the
// window and for CUI mode; only the user and the console differ.
#pragma once

#include <memory>
#include <string_view>

#include "base/ui_language.h"
#include "gui/session_services.h"
#include "platform/posix/iconv_conversion.h"
#include "platform/posix/icu_code_pages.h"
#include "platform/posix/posix_file_system.h"
#include "platform/posix/posix_settings_files.h"

namespace sorrel {

// Writes a line as UTF-8 to standard error at once.
void WriteToStandardError(std::u16string_view line);

class ProgramServices : public SessionServices {
 public:
  // The store is the INI file beside the program in INI mode, else the
  // registry file; its own report lines (a damaged file kept aside) go to
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
  platform::PosixFileSystem fs_;
  platform::IcuCodePageService code_pages_;
  platform::IconvSystemConversion system_conversion_;
  platform::PosixSettingsFiles files_;
};

}  // namespace sorrel
