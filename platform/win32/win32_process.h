// The process seam on Win32: CreateProcessW, WaitForInputIdle and
// WaitForSingleObject.
#pragma once

#include "platform/process.h"

namespace sorrel::platform {

class Win32ProcessRunner : public ProcessRunner {
 public:
  // The command line is args[0] in double quotes, then each further argument
  // after a blank (quoted when it holds a blank or a quote). The started
  // program gets this program's standard handles, so that its report lines
  // reach wherever this program's output goes, a redirection included.
  // Ctrl+C is left to the started program while this one waits.
  RunResult RunAndWait(const std::string& program, const std::vector<std::string>& args) override;
};

// The command line RunAndWait builds, for the tests.
std::wstring Win32CommandLine(const std::vector<std::string>& args);

}  // namespace sorrel::platform
