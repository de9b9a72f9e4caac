// The start-up switches of sorrel.
#include "gui/startup.h"

namespace sorrel {
namespace {

bool EndsWithIgnoringCase(std::string_view text, std::string_view suffix) {
  if (text.size() < suffix.size()) return false;
  const std::string_view tail = text.substr(text.size() - suffix.size());
  for (size_t i = 0; i < suffix.size(); ++i) {
    char c = tail[i];
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    if (c != suffix[i]) return false;
  }
  return true;
}

}  // namespace

bool IsIniProgramName(std::string_view program_name) {
  return EndsWithIgnoringCase(program_name, "_o") || EndsWithIgnoringCase(program_name, "_o.exe");
}

StartupMode ParseStartup(const std::vector<std::string>& args, std::string_view program_name) {
  StartupMode mode;
  if (args.size() == 1) {
    mode.cui_mode = args[0] == "/CUIMODE";
    mode.ini_mode = args[0] == "/O" || args[0] == "/o";
  }
  mode.ini_mode = mode.ini_mode || IsIniProgramName(program_name);
  return mode;
}

}  // namespace sorrel
