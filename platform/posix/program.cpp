// The running program's file, from the kernel's link to the executable.
#include "platform/program.h"

#include <unistd.h>

#include <climits>
#include <cstdlib>
#include <vector>

#include "base/language_choice.h"

namespace sorrel::platform {

std::string ProgramPath() {
  std::vector<char> buf(PATH_MAX + 1);
  const ssize_t n = readlink("/proc/self/exe", buf.data(), buf.size());
  if (n <= 0 || static_cast<size_t>(n) >= buf.size()) return {};
  return std::string(buf.data(), static_cast<size_t>(n));
}

std::string ProgramFolder() {
  const std::string path = ProgramPath();
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

std::vector<std::string> CommandLineArguments(int argc, char** argv) {
  return argc > 1 ? std::vector<std::string>(argv + 1, argv + argc) : std::vector<std::string>();
}

std::vector<std::string> StartupArguments(int argc, char** argv) {
  return CommandLineArguments(argc, argv);
}

UiLanguage ProgramLanguage() {
  return ChooseUiLanguage(std::getenv("SORREL_LANG"), std::getenv("LC_ALL"),
                          std::getenv("LC_MESSAGES"), std::getenv("LANG"));
}

UiLanguage CommandLineLanguage() {
  return ChooseCliUiLanguage(std::getenv("SORREL_LANG"), std::getenv("LC_ALL"),
                             std::getenv("LC_MESSAGES"), std::getenv("LANG"));
}

}  // namespace sorrel::platform
