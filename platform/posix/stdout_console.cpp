// Writes UTF-16 text to standard output as UTF-8, at once.
#include "platform/posix/stdout_console.h"

#include <cstdio>

#include "platform/utf.h"

namespace sorrel::platform {

void StdoutConsole::Write(std::u16string_view text) {
  const std::string bytes = Utf16ToUtf8(text);
  std::fwrite(bytes.data(), 1, bytes.size(), stdout);
  std::fflush(stdout);
}

}  // namespace sorrel::platform
