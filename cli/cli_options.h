// The switches of one sorrelc command line, one field for each setting it
// writes, at the values a command line without that switch stores.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace sorrel::cli {

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
};

}  // namespace sorrel::cli
