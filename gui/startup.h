// What sorrel's command line and program name decide at start-up.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace sorrel {

struct StartupMode {
  bool cui_mode = false;  // the single argument "/CUIMODE", exactly
  bool ini_mode = false;  // the single argument "/O" in any case, or an INI program name
};

// args are the arguments after the program name; program_name is the name
// the program was started under, without its folder.
StartupMode ParseStartup(const std::vector<std::string>& args, std::string_view program_name);

}  // namespace sorrel
