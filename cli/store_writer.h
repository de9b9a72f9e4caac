// sorrelc's settings writer over the settings store of this run.
#pragma once

#include <memory>

#include "cli/settings_writer.h"
#include "settings/settings_context.h"

namespace sorrel::cli {

// The writer of the store that context chooses. In INI mode the INI file at
// context.ini_path is created with its header first when it cannot be opened
// for reading. The context's registry, files and user must outlive the
// writer.
std::unique_ptr<SettingsWriter> OpenStoreWriter(const settings::SettingsContext& context);

}  // namespace sorrel::cli
