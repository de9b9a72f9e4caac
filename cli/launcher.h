// One run of sorrelc from its arguments to its exit code: the usage text, the
// choice of store, the parse, one settings transaction, and the start of the
// GUI program in CUI mode, which takes over the store's lock until it has
// loaded the settings.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "base/ui_language.h"
#include "platform/process.h"
#include "platform/settings_files.h"

namespace sorrel::cli {

// What sorrelc's run asks of the program around it besides its services.
class CliHost {
 public:
  virtual ~CliHost() = default;
  // Writes bytes to standard output (the usage text) or standard error (every
  // message), unchanged. WriteOut gives false when they could not all be
  // written.
  virtual bool WriteOut(std::string_view bytes) = 0;
  virtual void WriteError(std::string_view bytes) = 0;
  // Whether a name is there in the file system (links not followed).
  virtual bool NameExists(const std::string& name) = 0;
};

struct CliEnvironment {
  UiLanguage lang = UiLanguage::English;  // of every text, handed on to the GUI program
  std::string program_name;               // the name started under, without its folder
  std::string program_folder;             // of the real executable; empty when unknown
  std::string current_directory;          // absolute; empty when unknown
};

struct LaunchPaths {
  std::string program;       // the GUI program beside sorrelc
  std::string ini_file;      // the INI file beside sorrelc
  std::string command_line;  // as the start-failure message shows it
};

// The paths in program_folder (the folder of sorrelc's real executable;
// empty when unknown, which leaves the program and the INI file empty so that
// nothing is started from a guessed place). In INI mode the program is the
// GUI program's INI-mode name.
LaunchPaths MakeLaunchPaths(const std::string& program_folder, bool ini_mode);

// The single argument that makes the GUI program run one job head-less.
inline constexpr const char* kCuiModeArgument = "/CUIMODE";

// args are the arguments after the program's name. Writes the usage text and
// gives 0 when asked for it (3 when it could not be written); gives 1 after the first parse
// failure, having touched nothing. Otherwise takes the store's lock (in INI mode, chosen by the
// program's name, the INI file beside the program), writes every setting of the command line and
// the full path of the first target that has one into the copy, and commits it once; a store that
// cannot be written, a settings file that is not a regular file, or a text the store would not give
// back as it is, stops the run there with a message and 1, and nothing is started. Then starts the
// GUI program, handing it the lock and the language, lets go of its own hold, waits for its end and
// gives its exit code (0 when it converted, 3 when its report was lost, 128 + a signal that killed
// it). A start that fails is said and the next target tried; 0 when none could be.
int RunSorrelc(const std::vector<std::string>& args, const CliEnvironment& env, CliHost* host,
               platform::SettingsFiles* files, platform::ProcessRunner* runner);

}  // namespace sorrel::cli
