// The target loop of sorrelc.
#include "cli/launcher.h"

#include "cli/full_path.h"
#include "cli/message_format.h"
#include "cli/messages.h"
#include "cli/write_settings.h"
#include "settings/settings_context.h"

namespace sorrel::cli {

LaunchPaths MakeLaunchPaths(const std::string& program_folder, bool ini_mode) {
  LaunchPaths paths;
  if (!program_folder.empty()) {
    // The root folder is "/", every other one comes without a trailing slash.
    const std::string folder = program_folder.back() == '/' ? program_folder : program_folder + "/";
    paths.program = folder + (ini_mode ? "sorrel_o" : "sorrel");
    paths.ini_file = settings::IniPathIn(program_folder);
  }
  paths.command_line = "\"" + paths.program + "\" " + kCuiModeArgument;
  return paths;
}

int LaunchFirstTarget(std::span<const std::string> targets, const std::string& current_directory,
                      const LaunchPaths& paths, UiLanguage lang, SettingsWriter* settings,
                      platform::ProcessRunner* runner, CliHost* host) {
  for (const std::string& target : targets) {
    std::string full_path;
    if (!FormFullPath(current_directory, target, &full_path)) {
      host->WriteError(FormatMessage(messages::kInvalidFileName, lang, {target}));
      continue;
    }
    WriteTargetPath(full_path, settings);
    const platform::RunResult run =
        runner->RunAndWait(paths.program, {paths.program, kCuiModeArgument});
    // A run that ended badly (its report lost, or the program killed) must not
    // pass for success.
    if (run.started) return run.exit_code;
    host->WriteError(FormatMessage(messages::kCannotStart, lang,
                                   {static_cast<uint32_t>(run.error), paths.command_line}));
  }
  return 0;
}

}  // namespace sorrel::cli
