// The running program's folder, from the kernel's link to the executable.
#include "platform/posix/program_folder.h"

#include <unistd.h>

#include <climits>
#include <vector>

namespace sorrel::platform {

std::string ProgramFolder() {
  std::vector<char> buf(PATH_MAX + 1);
  const ssize_t n = readlink("/proc/self/exe", buf.data(), buf.size());
  if (n <= 0 || static_cast<size_t>(n) >= buf.size()) return {};
  std::string path(buf.data(), static_cast<size_t>(n));
  const size_t slash = path.rfind('/');
  if (slash == std::string::npos) return {};
  return slash == 0 ? std::string("/") : path.substr(0, slash);
}

std::string ProgramName(const char* argv0) {
  if (argv0 == nullptr) return {};
  std::string name(argv0);
  const size_t slash = name.rfind('/');
  return slash == std::string::npos ? name : name.substr(slash + 1);
}

}  // namespace sorrel::platform
