// The Win32 services that one run of sorrel wires together, the same for the
// dialog and for CUI mode; only the user and the console differ.
#pragma once

#include "engine/job_context.h"
#include "platform/control_store.h"
#include "platform/win32/win32_code_pages.h"
#include "platform/win32/win32_file_system.h"
#include "platform/win32/win32_registry.h"
#include "settings/settings_context.h"

namespace sorrel::win32 {

class Win32Services {
 public:
  explicit Win32Services(UiLanguage language) : language_(language) {}
  Win32Services(const Win32Services&) = delete;
  Win32Services& operator=(const Win32Services&) = delete;

  // The settings of the store ini_mode chooses (.\sorrel.ini in the current
  // folder, which start-up made the program's); user shows the guard boxes.
  settings::SettingsContext Settings(bool ini_mode, platform::UserInteraction* user);
  // A job over dialog; console may be null outside CUI mode. save_settings
  // is left for the caller.
  JobContext Job(ControlStore* dialog, bool cui_mode, platform::UserInteraction* user,
                 platform::Console* console);

 private:
  UiLanguage language_;
  platform::Win32FileSystem fs_;
  platform::Win32CodePageService code_pages_;
  platform::Win32SystemConversion system_conversion_;
  platform::Win32RegistryStore registry_;
};

// Milliseconds since Windows started (the banner's tick).
uint64_t TickCount();

}  // namespace sorrel::win32
