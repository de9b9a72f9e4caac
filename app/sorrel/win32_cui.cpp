// Wires the Win32 services into one head-less run of the main dialog. No
// window is made: the dialog's logic runs over a control store, as on
// Linux, so a run needs no desktop at all.
#include "app/sorrel/win32_cui.h"

#include "engine/job.h"
#include "gui/main_dialog_model.h"
#include "gui/win32/win32_services.h"
#include "platform/win32/win32_console.h"
#include "settings/load_save.h"

namespace sorrel {

int RunWin32CuiMode(UiLanguage language, bool ini_mode) {
  platform::Win32Console console;
  platform::Win32CuiInteraction::InstallInterruptHandler();
  platform::Win32CuiInteraction user;
  win32::Win32Services services(language);
  const settings::SettingsContext settings = services.Settings(ini_mode, &user);
  ControlStore dialog;
  JobContext job = services.Job(&dialog, /*cui_mode=*/true, &user, &console);

  MainDialogModel::Hooks hooks;
  hooks.load_settings = [&](ControlStore& store) { settings::LoadSettings(settings, &store); };
  hooks.run_job = [&] { RunConversionJob(job); };
  MainDialogModel model(dialog, language, /*cui_mode=*/true, std::move(hooks));
  model.Initialise(win32::TickCount());
  return 0;
}

}  // namespace sorrel
