// The program seam: the running program's own file, the name it was started
// under, its folder, its arguments as the platform passes them, and the
// language its start-up chooses.
#pragma once

#include <string>
#include <vector>

#include "base/ui_language.h"

namespace sorrel::platform {

// The full path of the running program's real file (links resolved); empty
// when it cannot be found.
std::string ProgramPath();

// The folder of ProgramPath() without a trailing separator, except for a
// root folder ("/", "C:\"); empty when it cannot be found.
std::string ProgramFolder();

// The name the program was started under, without its folder: argv0's last
// part on POSIX, where a link's name (sorrel_o) chooses INI mode; the file
// name of the program itself on Windows, whose copies carry their own names.
std::string ProgramName(const char* argv0);

// The arguments after the program's name, as the C runtime splits them (on
// Windows from the wide command line, as UTF-8).
std::vector<std::string> CommandLineArguments(int argc, char** argv);

// sorrel's arguments as its start-up compares them: on POSIX the same as
// CommandLineArguments; on Windows the whole command line after the
// program's name and the blanks that follow it, as one argument, none when
// it is empty.
std::vector<std::string> StartupArguments(int argc, char** argv);

// sorrel's language: SORREL_LANG when it is set and not empty (Japanese
// exactly for "JA" in any case), else the system's: on POSIX the locale
// (LC_ALL, LC_MESSAGES, LANG) beginning with "ja"; on Windows the system's
// default language being Japanese.
UiLanguage ProgramLanguage();

// sorrelc's language: a SORREL_LANG that is set decides even when empty
// (then English); else on POSIX the locale as above, on Windows the
// console's output code page being 932 (the OEM code page when there is no
// console).
UiLanguage CommandLineLanguage();

}  // namespace sorrel::platform
