// The program-file seam: the running program's own file, the name it was
// started under, its folder, and its arguments as the platform passes them.
#pragma once

#include <string>
#include <vector>

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

}  // namespace sorrel::platform
