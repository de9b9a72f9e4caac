// Which settings store a program's name asks for; both programs follow it.
#pragma once

#include <string_view>

namespace sorrel {

// True when program_name, the name the program was started under without its
// folder, ends in "_o" or "_o.exe" (letters in any case): the settings then go
// to the INI file beside the program instead of the registry.
bool IsIniModeName(std::string_view program_name);

}  // namespace sorrel
