// The start-up switches of sorrel.
#include "gui/startup.h"

#include "base/ini_mode_name.h"

namespace sorrel {
StartupMode ParseStartup(const std::vector<std::string>& args, std::string_view program_name) {
  StartupMode mode;
  if (args.size() == 1) {
    mode.cui_mode = args[0] == "/CUIMODE";
    mode.ini_mode = args[0] == "/O" || args[0] == "/o";
  }
  mode.ini_mode = mode.ini_mode || IsIniModeName(program_name);
  return mode;
}

}  // namespace sorrel
