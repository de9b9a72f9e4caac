// Writes UTF-16 text to standard output as UTF-8, at once.
#include "platform/posix/stdout_console.h"

#include <cstdio>

#include "base/utf.h"

namespace sorrel::platform {

void StdoutConsole::Write(std::u16string_view text) {
  if (lost_) return;
  const std::string bytes = Utf16ToUtf8(text);
  if (std::fwrite(bytes.data(), 1, bytes.size(), stdout) != bytes.size() ||
      std::fflush(stdout) != 0) {
    lost_ = true;
  }
}

std::unique_ptr<Console> NewReportConsole() {
  return std::make_unique<StdoutConsole>();
}

bool WriteToStream(StandardStream stream, std::string_view bytes) {
  std::FILE* file = stream == StandardStream::Output ? stdout : stderr;
  const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
  return std::fflush(file) == 0 && written;
}

}  // namespace sorrel::platform
