// The INI-mode rule of a program's name.
#include "base/ini_mode_name.h"

#include "base/ascii_case.h"

namespace sorrel {

bool IsIniModeName(std::string_view program_name) {
  return EndsWithIgnoringAsciiCase(program_name, std::string_view("_o")) ||
         EndsWithIgnoringAsciiCase(program_name, std::string_view("_o.exe"));
}

}  // namespace sorrel
