// The command line of sorrelc: switches first, then the targets.
#pragma once

#include <string>
#include <vector>

#include "cli/cli_options.h"
#include "platform/ui_language.h"

namespace sorrel::cli {

// True when args (the arguments after the program's name) ask for the usage
// text: there are none, or the first is exactly "/?" or "-?".
bool IsUsageRequest(const std::vector<std::string>& args);

struct ParseOutcome {
  bool ok = false;
  CliOptions options;
  size_t first_target = 0;  // index in args of the first target, when ok

  // When not ok: the message to write, the argument for its "%s" (empty for
  // the messages without one) and the exit code.
  const TextPair* message = nullptr;
  std::string argument;
  int exit_code = 0;
};

// Parses the switches from args[0] on. An argument that begins with '-' is a
// switch, and so is one that begins with '/' unless it has a second slash
// before any colon (an absolute path such as "/home/u/a.txt"); the first
// argument that is not a switch starts the targets, and it and every later
// argument are targets. Fails at the first switch that is unknown
// or malformed, names an invalid character code or line end, or gives a tab
// width outside 1-99; at the first target when no switch chose a conversion;
// and when no target follows the switches. Every failure has exit code 1.
ParseOutcome ParseCommandLine(const std::vector<std::string>& args);

}  // namespace sorrel::cli
