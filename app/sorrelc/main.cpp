// sorrelc: stores its switches as sorrel's settings and runs sorrel head-less
// on the first target. Wires the platform's services into the command
// line's run.
#include <memory>
#include <string>
#include <vector>

#include "cli/launcher.h"
#include "platform/paths.h"
#include "platform/process.h"
#include "platform/program.h"
#include "platform/settings_files.h"
#include "platform/user_interaction.h"

namespace {

class ConsoleHost : public sorrel::cli::CliHost {
 public:
  bool WriteOut(std::string_view bytes) override {
    return sorrel::platform::WriteToStream(sorrel::platform::StandardStream::Output, bytes);
  }
  void WriteError(std::string_view bytes) override {
    sorrel::platform::WriteToStream(sorrel::platform::StandardStream::Error, bytes);
  }
  bool NameExists(const std::string& name) override { return sorrel::platform::NameExists(name); }
};

}  // namespace

int main(int argc, char** argv) {
  namespace platform = sorrel::platform;
  sorrel::cli::CliEnvironment env;
  env.lang = platform::CommandLineLanguage();
  env.program_name = platform::ProgramName(argc > 0 ? argv[0] : nullptr);
  env.program_folder = platform::ProgramFolder();
  env.current_directory = platform::CurrentDirectory();

  ConsoleHost host;
  const std::unique_ptr<platform::SettingsFiles> files = platform::NewSettingsFiles();
  const std::unique_ptr<platform::ProcessRunner> runner = platform::NewProcessRunner();
  const int exit_code = sorrel::cli::RunSorrelc(platform::CommandLineArguments(argc, argv), env,
                                                &host, files.get(), runner.get());
  // sorrel ended by Ctrl+C: so does sorrelc, for the shell that waits on it.
  platform::PassOnStopSignal(exit_code);
  return exit_code;
}
