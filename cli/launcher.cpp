// The target loop of sorrelc.
#include "cli/launcher.h"

#include "cli/full_path.h"
#include "cli/message_format.h"
#include "cli/messages.h"
#include "cli/write_settings.h"
#include "platform/path_rules.h"
#include "settings/settings_context.h"

namespace sorrel::cli {

LaunchPaths MakeLaunchPaths(const std::string& program_folder, bool ini_mode) {
  LaunchPaths paths;
  if (!program_folder.empty()) {
    // A root folder ("/", "C:\\") ends in its separator, every other one
    // comes without.
    std::string folder = program_folder;
    if (folder.back() != kPathSeparator) folder.push_back(kPathSeparator);
    paths.program = folder + std::string(ini_mode ? kIniGuiProgramFile : kGuiProgramFile);
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
    if (run.started) return 0;
    host->WriteError(FormatMessage(messages::kCannotStart, lang,
                                   {static_cast<uint32_t>(run.error), paths.command_line}));
  }
  return 0;
}

}  // namespace sorrel::cli
