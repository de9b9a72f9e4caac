// The wiring shared by both ways sorrel runs on Windows.
#include "gui/win32/win32_services.h"

#include "gui/startup_texts.h"

namespace sorrel::win32 {

settings::SettingsContext Win32Services::Settings(bool ini_mode, platform::UserInteraction* user) {
  settings::SettingsContext settings;
  settings.ini_mode = ini_mode;
  settings.language = language_;
  settings.user = user;
  settings.registry = &registry_;
  return settings;
}

JobContext Win32Services::Job(ControlStore* dialog, bool cui_mode, platform::UserInteraction* user,
                              platform::Console* console) {
  JobContext job;
  job.dialog = dialog;
  job.fs = &fs_;
  job.code_pages = &code_pages_;
  job.system_conversion = &system_conversion_;
  job.ui = user;
  job.console = console;
  job.language = language_;
  job.cui_mode = cui_mode;
  job.title = startup_texts::kTitle.In(language_);
  return job;
}

uint64_t TickCount() {
  return GetTickCount64();
}

}  // namespace sorrel::win32
