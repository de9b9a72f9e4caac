// Reads a job's options from the main dialog's controls.
#pragma once

#include <string>

#include "base/control_store.h"
#include "engine/conversion_options.h"

namespace sorrel {

// Fills every field but Replacement, by the rules of the dialog's controls:
// only a fully checked box counts, numbers are unsigned decimals (anything
// else reads as 0), unification off is -1, the insert options are 0 when
// their box is off, and ControlCode2Space is false while DelControlCode is set.
void ReadConversionOptions(const ControlStore& dialog, ConversionOptions* options);

// Splits a target path into its folder (up to and including the last '/')
// and its file-name pattern. A path longer than the platform allows gives two
// empty parts.
void SplitTargetPath(std::u16string_view path, std::u16string* folder, std::u16string* pattern);

}  // namespace sorrel
