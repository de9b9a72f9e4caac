// sorrelc: stores its switches as sorrel's settings and runs sorrel head-less
// on the first target. Wires the POSIX services into the command line's run.
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <string>
#include <vector>

#include "base/language_choice.h"
#include "cli/launcher.h"
#include "platform/posix/posix_process.h"
#include "platform/posix/posix_settings_files.h"
#include "platform/program.h"

namespace {

void WriteBytes(std::FILE* stream, std::string_view bytes) {
  std::fwrite(bytes.data(), 1, bytes.size(), stream);
  std::fflush(stream);
}

class ConsoleHost : public sorrel::cli::CliHost {
 public:
  void WriteOut(std::string_view bytes) override { WriteBytes(stdout, bytes); }
  void WriteError(std::string_view bytes) override { WriteBytes(stderr, bytes); }
  bool NameExists(const std::string& name) override {
    struct stat st;
    return lstat(name.c_str(), &st) == 0;
  }
};

std::string CurrentDirectory() {
  std::vector<char> buffer(4096);
  return getcwd(buffer.data(), buffer.size()) != nullptr ? std::string(buffer.data()) : "";
}

}  // namespace

int main(int argc, char** argv) {
  sorrel::cli::CliEnvironment env;
  env.lang = sorrel::CliUiLanguageFromEnvironment();
  env.program_name = sorrel::platform::ProgramName(argc > 0 ? argv[0] : nullptr);
  env.program_folder = sorrel::platform::ProgramFolder();
  env.current_directory = CurrentDirectory();

  const std::vector<std::string> args(argv + (argc > 0 ? 1 : 0), argv + argc);
  ConsoleHost host;
  sorrel::platform::PosixSettingsFiles files;
  sorrel::platform::PosixProcessRunner runner;
  return sorrel::cli::RunSorrelc(args, env, &host, &files, &runner);
}
