// Starting the GUI program in CUI mode for the first target that allows it.
#pragma once

#include <span>
#include <string>

#include "cli/cli_host.h"
#include "cli/settings_writer.h"
#include "platform/process.h"
#include "platform/ui_language.h"

namespace sorrel::cli {

struct LaunchPaths {
  std::string program;       // the GUI program beside sorrelc
  std::string ini_file;      // the INI file beside sorrelc
  std::string command_line;  // as the start-failure message shows it
};

// The paths in program_folder (the folder of sorrelc's real executable;
// empty when unknown, which leaves the program and the INI file empty so that
// nothing is started from a guessed place). In INI mode the program is the
// GUI program's INI-mode name.
LaunchPaths MakeLaunchPaths(const std::string& program_folder, bool ini_mode);

// The single argument that makes the GUI program run one job head-less.
inline constexpr const char* kCuiModeArgument = "/CUIMODE";

// For each target in order: forms its full path against current_directory
// (a target that has none gets the invalid-file-name message and is passed
// over), stores it as TargetPath, and starts the program with the single
// argument "/CUIMODE" (a start that fails gets the cannot-start message with
// the system's error code and the command line, and the next target is
// tried). Once a start succeeds, waits until the program has ended and
// looks at no further target. Messages go to host's standard error in lang.
// Gives the exit code: the program's when it ran (0 when it converted, 3 when
// its report was lost, 128 + a signal that killed it), else 0.
int LaunchFirstTarget(std::span<const std::string> targets, const std::string& current_directory,
                      const LaunchPaths& paths, UiLanguage lang, SettingsWriter* settings,
                      platform::ProcessRunner* runner, CliHost* host);

}  // namespace sorrel::cli
