// The settings a sorrelc command line stores for the GUI program.
#pragma once

#include <string>

#include "cli/cli_options.h"
#include "cli/settings_writer.h"

namespace sorrel::cli {

// Writes every key but TargetPath from options, one value at a time in the
// order the GUI program's settings table gives them, defaults included, so
// the stored settings afterwards reflect this command line alone. A
// replacement text that was not given is passed as no text.
void WriteCliSettings(const CliOptions& options, SettingsWriter* writer);

// Writes the full path of the target about to be converted.
void WriteTargetPath(const std::string& full_path, SettingsWriter* writer);

}  // namespace sorrel::cli
