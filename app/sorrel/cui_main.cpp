// Wires the platform's services into one head-less run of the main dialog.
#include "app/sorrel/cui_main.h"

#include <chrono>

#include "app/sorrel/program_services.h"
#include "engine/job.h"
#include "gui/main_dialog_model.h"
#include "gui/startup_texts.h"
#include "platform/user_interaction.h"

namespace sorrel {
namespace {

// The tick the dialog's banner is chosen by; it shows no banner here.
uint64_t Milliseconds() {
  const auto now = std::chrono::steady_clock::now().time_since_epoch();
  return static_cast<uint64_t>(std::chrono::duration_cast<std::chrono::milliseconds>(now).count());
}

// One run; its exit code.
int RunOnce(UiLanguage language, const StartupMode& mode) {
  const std::unique_ptr<platform::UserInteraction> user = platform::NewConsoleUser(language);
  const std::unique_ptr<platform::Console> console = platform::NewReportConsole();
  ProgramServices services(language, mode.ini_mode);
  const std::unique_ptr<settings::SettingsStore> settings = services.OpenSettings(user.get());
  ControlStore dialog;
  JobContext job = services.Job(&dialog, /*cui_mode=*/true, user.get(), console.get());

  MainDialogModel::Hooks hooks;
  hooks.load_settings = [&](ControlStore& store) {
    WarnAboutSettings(*settings, settings->Load(&store), user.get(),
                      startup_texts::kTitle.In(language));
  };
  hooks.run_job = [&] { RunConversionJob(job); };
  MainDialogModel model(dialog, language, /*cui_mode=*/true, std::move(hooks));
  model.Initialise(Milliseconds());
  // A report that could not be written whole must not pass for success.
  return console->lost() ? kOutputLostExitCode : 0;
}

}  // namespace

int RunCuiMode(UiLanguage language, const StartupMode& mode) {
  const int exit_code = RunOnce(language, mode);
  // Every object of the run is gone: the settings are stored and no file is
  // half-written, so an interrupted run can now end as interrupted.
  platform::EndByStopSignal();
  return exit_code;
}

}  // namespace sorrel
