// Where the running program lives.
#pragma once

#include <string>

namespace sorrel::platform {

// The folder of the real executable (links resolved), without a trailing
// slash; empty when it cannot be found.
std::string ProgramFolder();

// The name the program was started under (argv[0] without its folder).
std::string ProgramName(const char* argv0);

}  // namespace sorrel::platform
