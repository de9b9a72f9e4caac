// One run of sorrelc from its arguments to its exit code.
#pragma once

#include <string>
#include <vector>

#include "cli/cli_host.h"
#include "platform/process.h"
#include "platform/ui_language.h"

namespace sorrel::cli {

struct CliEnvironment {
  UiLanguage lang = UiLanguage::English;  // of every text
  std::string program_name;               // the name started under, without its folder
  std::string program_folder;             // of the real executable; empty when unknown
  std::string current_directory;          // absolute; empty when unknown
};

// args are the arguments after the program's name. Writes the usage text and
// gives 0 when asked for it; gives 1 after the first parse failure, having
// written nothing to the store; otherwise stores every setting of the
// command line (in INI mode, chosen by the program's name, in the INI file
// beside the program), then starts the GUI program for the first target
// that allows it, waits for its end, and gives 0.
int RunSorrelc(const std::vector<std::string>& args, const CliEnvironment& env, CliHost* host,
               platform::ProcessRunner* runner);

}  // namespace sorrel::cli
