// The command line of sorrelc: switches first, then the targets.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "base/ui_language.h"

namespace sorrel::cli {

// The switches of one command line, one field for each setting they store,
// at the values a command line without that switch stores.
struct CliOptions {
  bool backup = false;                        // /K
  bool subfolders = false;                    // /Y
  int32_t input_code = 1;                     // /F: index of the read list (Shift-JIS)
  int32_t input_code_page = 0;                // /F: with a number
  int32_t output_code = 0;                    // /O: index of the write list (same as read)
  int32_t output_code_page = 0;               // /O: with a number
  bool line_end_unify = false;                // /C:
  int32_t line_end_kind = 0;                  // /C: 1 LF, 2 CR, 3 CRLF
  bool full_width_space = false;              // /Z
  bool trailing_space = false;                // /W
  bool tab_expand = false;                    // /T:
  int32_t tab_width = 4;                      // /T:
  bool delete_control = false;                // /D
  bool control_to_space = false;              // /A
  bool keep_times = false;                    // /Q
  std::optional<std::string> before_replace;  // /RB: never empty
  std::optional<std::string> after_replace;   // /RA: may be empty
  bool use_regex = false;                     // /E
  bool ignore_case = false;                   // /P
  bool single_line = false;                   // /G
  bool dot_not_newline = false;               // /N
  int32_t insert_every_bytes = 0;             // /M:
  int32_t insert_every_chars = 0;             // /L:
  bool conversion_chosen = false;             // a switch that converts was given
  // The /RB: and /RA: arguments as given, for the messages that name them.
  std::string before_argument;
  std::string after_argument;
};

// True when args (the arguments after the program's name) ask for the usage
// text: there are none, or the first is exactly "/?" or "-?".
bool IsUsageRequest(const std::vector<std::string>& args);

// Whether a name is there in the file system (links not followed).
using NameExists = std::function<bool(const std::string& name)>;

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

// Parses the switches from args[0] on. "--" ends them: every argument after it
// is a target. An argument that begins with '-' is a switch. One that begins
// with '/' is a switch when it has the form of one in the usage text (or is
// "/?"); otherwise it is a target when it names something that exists, holds
// a wildcard in its last part, or has a second slash before any colon (an
// absolute path such as "/data.txt" or "/home/u/*.txt"), and else a switch
// that is mistyped. The first argument that is not a switch starts the
// targets, and it and every later argument are targets. Fails at the first
// switch that is unknown or malformed, names an invalid character code or
// line end, or gives a tab width outside 1-99; at the first target when no
// switch chose a conversion; and when no target follows the switches. Every
// failure has exit code 1.
ParseOutcome ParseCommandLine(const std::vector<std::string>& args, const NameExists& exists);

}  // namespace sorrel::cli
