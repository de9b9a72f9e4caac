// Wires the POSIX services into one head-less run of the main dialog.
#include "gui/cui_main.h"

#include <ctime>

#include "engine/job.h"
#include "gui/main_dialog_model.h"
#include "gui/program_services.h"
#include "platform/posix/stdout_console.h"
#include "platform/posix/terminal_interaction.h"
#include "settings/load_save.h"

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
  ProgramServices services(language);
  const settings::SettingsContext settings = services.Settings(mode.ini_mode, &user);
  ControlStore dialog;
  JobContext job = services.Job(&dialog, /*cui_mode=*/true, &user, &console);

  MainDialogModel::Hooks hooks;
  hooks.load_settings = [&](ControlStore& store) { settings::LoadSettings(settings, &store); };
  hooks.run_job = [&] { RunConversionJob(job); };
  MainDialogModel model(dialog, language, /*cui_mode=*/true, std::move(hooks));
  model.Initialise(MillisecondsSinceBoot());
  // A report that could not be written whole must not pass for success.
  return console.lost() ? kReportLostExitCode : 0;
}

}  // namespace sorrel
