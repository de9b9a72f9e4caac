// The strtol rule of switch numbers, at 32 bits on every platform.
#include "cli/switch_number.h"

#include <cstdlib>
#include <limits>
#include <string>

namespace sorrel::cli {

int32_t ReadSwitchNumber(std::string_view text) {
  // strtol needs a terminated text; an argument never holds a NUL byte.
  const std::string terminated(text);
  const long value = std::strtol(terminated.c_str(), nullptr, 10);
  if (value > std::numeric_limits<int32_t>::max()) return std::numeric_limits<int32_t>::max();
  if (value < std::numeric_limits<int32_t>::min()) return std::numeric_limits<int32_t>::min();
  return static_cast<int32_t>(value);
}

}  // namespace sorrel::cli
