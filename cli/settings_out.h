// The settings a sorrelc command line stores for the GUI program, written
// from the same key table that the GUI program reads.
#pragma once

#include <string>

#include "cli/parser.h"
#include "settings/settings_context.h"

namespace sorrel::cli {

// Writes every key but TargetPath from options into ctx, in the order of the
// key table, defaults included, so that the stored settings afterwards
// reflect this command line alone. A replacement text that was not given is
// passed as no text.
void WriteCliSettings(const CliOptions& options, const settings::SettingsContext& ctx);

// Writes the full path of the target about to be converted.
void WriteTargetPath(const std::string& full_path, const settings::SettingsContext& ctx);

}  // namespace sorrel::cli
