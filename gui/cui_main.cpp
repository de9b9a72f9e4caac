// Wires the POSIX services into one head-less run of the main dialog.
#include "gui/cui_main.h"

#include <unistd.h>

#include <cstdio>
#include <ctime>

#include "engine/job.h"
#include "gui/main_dialog_model.h"
#include "gui/startup_texts.h"
#include "platform/posix/iconv_conversion.h"
#include "platform/posix/icu_code_pages.h"
#include "platform/posix/posix_file_system.h"
#include "platform/posix/posix_settings_files.h"
#include "platform/posix/program_folder.h"
#include "platform/posix/stdout_console.h"
#include "platform/posix/terminal_interaction.h"
#include "platform/utf.h"
#include "settings/hive_file_registry.h"
#include "settings/load_save.h"

namespace sorrel {
namespace {

void WriteToStandardError(std::u16string_view line) {
  const std::string bytes = Utf16ToUtf8(line);
  std::fwrite(bytes.data(), 1, bytes.size(), stderr);
  std::fflush(stderr);
}

uint64_t MillisecondsSinceBoot() {
  timespec now{};
  clock_gettime(CLOCK_BOOTTIME, &now);
  return static_cast<uint64_t>(now.tv_sec) * 1000 + static_cast<uint64_t>(now.tv_nsec) / 1000000;
}

}  // namespace

int RunCuiMode(UiLanguage language, const StartupMode& mode) {
  platform::TerminalInteraction::InstallInterruptHandler();
  platform::TerminalInteraction user(language);
  platform::StdoutConsole console;
  platform::PosixFileSystem fs;
  platform::IcuCodePageService code_pages(platform::ProgramFolder());
  platform::IconvSystemConversion system_conversion;
  platform::PosixSettingsFiles files;
  settings::HiveFileRegistry registry(&files, settings::HiveFilePath(&files), language,
                                      WriteToStandardError);

  settings::SettingsContext settings;
  settings.ini_mode = mode.ini_mode;
  settings.language = language;
  settings.user = &user;
  settings.registry = &registry;
  settings.files = &files;

  ControlStore dialog;
  JobContext job;
  job.dialog = &dialog;
  job.fs = &fs;
  job.code_pages = &code_pages;
  job.system_conversion = &system_conversion;
  job.ui = &user;
  job.console = &console;
  job.language = language;
  job.cui_mode = true;
  job.title = startup_texts::kTitle.In(language);

  MainDialogModel::Hooks hooks;
  hooks.load_settings = [&](ControlStore& store) { settings::LoadSettings(settings, &store); };
  hooks.run_job = [&] { RunConversionJob(job); };
  MainDialogModel model(dialog, language, /*cui_mode=*/true, std::move(hooks));
  model.Initialise(MillisecondsSinceBoot());
  return 0;
}

}  // namespace sorrel
