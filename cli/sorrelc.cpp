// sorrelc's steps in their order: usage, store choice, parse, settings, start.
#include "cli/sorrelc.h"

#include <span>

#include "platform/ini_mode_name.h"
#include "cli/launcher.h"
#include "cli/message_format.h"
#include "cli/parser.h"
#include "cli/usage.h"
#include "cli/write_settings.h"

namespace sorrel::cli {

int RunSorrelc(const std::vector<std::string>& args, const CliEnvironment& env, CliHost* host,
               platform::ProcessRunner* runner) {
  if (IsUsageRequest(args)) {
    host->WriteOut(UsageText(env.lang));
    return 0;
  }
  const bool ini_mode = IsIniModeName(env.program_name);
  const ParseOutcome parsed = ParseCommandLine(args);
  if (!parsed.ok) {
    host->WriteError(FormatMessage(*parsed.message, env.lang, {parsed.argument}));
    return parsed.exit_code;
  }
  const LaunchPaths paths = MakeLaunchPaths(env.program_folder, ini_mode);
  const std::unique_ptr<SettingsWriter> settings = host->OpenSettings(ini_mode, paths.ini_file);
  WriteCliSettings(parsed.options, settings.get());
  const auto targets = std::span<const std::string>(args).subspan(parsed.first_target);
  return LaunchFirstTarget(targets, env.current_directory, paths, env.lang, settings.get(), runner,
                           host);
}

}  // namespace sorrel::cli
