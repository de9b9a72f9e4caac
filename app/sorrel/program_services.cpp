// The wiring shared by both ways sorrel runs.
#include "app/sorrel/program_services.h"

#include <string>

#include "base/utf.h"
#include "gui/startup_texts.h"
#include "platform/user_interaction.h"
#include "settings/settings_context.h"

namespace sorrel {

void WriteToStandardError(std::u16string_view line) {
  platform::WriteToStream(platform::StandardStream::Error, Utf16ToUtf8(line));
}

ProgramServices::ProgramServices(UiLanguage language, bool ini_mode)
    : language_(language),
      ini_mode_(ini_mode),
      fs_(platform::NewFileSystem()),
      code_pages_(platform::NewCodePageService()),
      system_conversion_(platform::NewSystemConversion()),
      files_(platform::NewSettingsFiles()) {}

std::unique_ptr<settings::SettingsStore> ProgramServices::OpenSettings(
    platform::UserInteraction* user) {
  // Start-up made the program's folder the current directory.
  const std::string path =
      ini_mode_ ? settings::kIniRelativePath : settings::RegistryStorePath(files_.get());
  return std::make_unique<settings::SettingsStore>(files_.get(), ini_mode_, path, language_, user,
                                                   WriteToStandardError);
}

JobContext ProgramServices::Job(ControlStore* dialog, bool cui_mode,
                                platform::UserInteraction* user, platform::Console* console) {
  JobContext job;
  job.dialog = dialog;
  job.fs = fs_.get();
  job.code_pages = code_pages_.get();
  job.system_conversion = system_conversion_.get();
  job.ui = user;
  job.console = console;
  job.language = language_;
  job.cui_mode = cui_mode;
  job.title = startup_texts::kTitle.In(language_);
  return job;
}

}  // namespace sorrel
