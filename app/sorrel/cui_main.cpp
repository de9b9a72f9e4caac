// Wires the POSIX services into one head-less run of the main dialog.
#include "app/sorrel/cui_main.h"

#include <ctime>

#include "app/sorrel/program_services.h"
#include "engine/job.h"
#include "gui/main_dialog_model.h"
#include "gui/startup_texts.h"
#include "platform/posix/stdout_console.h"
#include "platform/posix/terminal_interaction.h"

namespace sorrel {
namespace {

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
  ProgramServices services(language, mode.ini_mode);
  const std::unique_ptr<settings::SettingsStore> settings = services.OpenSettings(&user);
  ControlStore dialog;
  JobContext job = services.Job(&dialog, /*cui_mode=*/true, &user, &console);

  MainDialogModel::Hooks hooks;
  hooks.load_settings = [&](ControlStore& store) {
    WarnAboutSettings(*settings, settings->Load(&store), &user, startup_texts::kTitle.In(language));
  };
  hooks.run_job = [&] { RunConversionJob(job); };
  MainDialogModel model(dialog, language, /*cui_mode=*/true, std::move(hooks));
  model.Initialise(MillisecondsSinceBoot());
  // A report that could not be written whole must not pass for success.
  return console.lost() ? kOutputLostExitCode : 0;
}

}  // namespace sorrel
