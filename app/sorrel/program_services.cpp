// The wiring shared by both ways sorrel runs.
#include "app/sorrel/program_services.h"

#include <cstdio>
#include <string>

#include "base/utf.h"
#include "gui/startup_texts.h"
#include "platform/program.h"
#include "settings/settings_context.h"

namespace sorrel {

void WriteToStandardError(std::u16string_view line) {
  const std::string bytes = Utf16ToUtf8(line);
  std::fwrite(bytes.data(), 1, bytes.size(), stderr);
  std::fflush(stderr);
}

ProgramServices::ProgramServices(UiLanguage language, bool ini_mode)
    : language_(language), ini_mode_(ini_mode), code_pages_(platform::ProgramFolder()) {}

std::unique_ptr<settings::SettingsStore> ProgramServices::OpenSettings(
    platform::UserInteraction* user) {
  // Start-up made the program's folder the current directory.
  const std::string path = ini_mode_ ? settings::kIniRelativePath : settings::HiveFilePath(&files_);
  return std::make_unique<settings::SettingsStore>(&files_, ini_mode_, path, language_, user,
                                                   WriteToStandardError);
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
