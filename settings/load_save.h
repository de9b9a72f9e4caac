// Loading the stored settings into the main dialog's controls and saving them
// back, key by key in the order of the key table, from and into the copy of
// the store that ctx holds (settings_store.h reads and writes the file).
#pragma once

#include "base/control_store.h"
#include "settings/settings_context.h"

namespace sorrel::settings {

// Sets every control of the table from its key; a missing or out-of-range
// value gives the control its default. The combo boxes must be filled first.
void LoadSettings(const SettingsContext& ctx, ControlStore* dialog);

// Stores every control under its key. Failed writes are not reported.
void SaveSettings(const SettingsContext& ctx, const ControlStore& dialog);

}  // namespace sorrel::settings
