// What sorrelc's flow asks of the program around it: its two output streams
// and the settings store of the run.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "cli/settings_writer.h"

namespace sorrel::cli {

class CliHost {
 public:
  virtual ~CliHost() = default;
  // Writes bytes to standard output (the usage text) or standard error (every
  // message), unchanged.
  virtual void WriteOut(std::string_view bytes) = 0;
  virtual void WriteError(std::string_view bytes) = 0;
  // The store of this run, never null: in INI mode the INI file at ini_file,
  // created with its header first when it cannot be opened for reading;
  // otherwise the current user's registry.
  virtual std::unique_ptr<SettingsWriter> OpenSettings(bool ini_mode,
                                                       const std::string& ini_file) = 0;
};

}  // namespace sorrel::cli
