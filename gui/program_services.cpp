// The wiring shared by both ways sorrel runs.
#include "gui/program_services.h"

#include <cstdio>
#include <string>

#include "gui/startup_texts.h"
#include "platform/posix/program_folder.h"
#include "platform/utf.h"

namespace sorrel {

void WriteToStandardError(std::u16string_view line) {
  const std::string bytes = Utf16ToUtf8(line);
  std::fwrite(bytes.data(), 1, bytes.size(), stderr);
  std::fflush(stderr);
}

ProgramServices::ProgramServices(UiLanguage language)
    : language_(language),
      code_pages_(platform::ProgramFolder()),
      registry_(&files_, settings::HiveFilePath(&files_), language, WriteToStandardError) {}

settings::SettingsContext ProgramServices::Settings(bool ini_mode,
                                                    platform::UserInteraction* user) {
  settings::SettingsContext settings;
  settings.ini_mode = ini_mode;
  settings.language = language_;
  settings.user = user;
  settings.registry = &registry_;
  settings.files = &files_;
  return settings;
}

JobContext ProgramServices::Job(ControlStore* dialog, bool cui_mode,
                                platform::UserInteraction* user, platform::Console* console) {
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

}  // namespace sorrel
