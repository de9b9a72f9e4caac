// Where the running program lives, from GetModuleFileNameW.
#pragma once

#include <string>

namespace sorrel::platform {

// The full path of the running program's file; empty when it cannot be had.
std::string ProgramPath();
// Its folder without a trailing backslash (with it for a drive's root, "C:\").
std::string ProgramFolder();
// Its file name without the folder.
std::string ProgramName();

}  // namespace sorrel::platform
