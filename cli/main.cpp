// sorrelc: stores its switches as sorrel's settings and runs sorrel head-less
// on the first target.
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "cli/cli_host.h"
#include "cli/sorrelc.h"
#include "cli/store_writer.h"
#include "platform/file_system.h"
#include "platform/language_choice.h"
#include "platform/posix/posix_file_system.h"
#include "platform/posix/posix_process.h"
#include "platform/posix/posix_settings_files.h"
#include "platform/posix/program_folder.h"
#include "platform/utf.h"
#include "settings/hive_file_registry.h"
#include "settings/settings_context.h"

namespace {

using sorrel::UiLanguage;

void WriteBytes(std::FILE* stream, std::string_view bytes) {
  std::fwrite(bytes.data(), 1, bytes.size(), stream);
  std::fflush(stream);
}

// The streams, and the registry file or the INI file beside the program.
class ConsoleHost : public sorrel::cli::CliHost {
 public:
  explicit ConsoleHost(UiLanguage lang)
      : lang_(lang),
        registry_(&files_, sorrel::settings::HiveFilePath(&files_), lang,
                  [](std::u16string_view line) { WriteBytes(stderr, sorrel::Utf16ToUtf8(line)); }) {
  }

  void WriteOut(std::string_view bytes) override { WriteBytes(stdout, bytes); }
  void WriteError(std::string_view bytes) override { WriteBytes(stderr, bytes); }

  std::unique_ptr<sorrel::cli::SettingsWriter> OpenSettings(bool ini_mode,
                                                            const std::string& ini_file) override {
    sorrel::settings::SettingsContext context;
    context.ini_mode = ini_mode;
    context.language = lang_;
    context.registry = &registry_;
    context.files = &files_;
    context.ini_path = ini_file;
    return sorrel::cli::OpenStoreWriter(context);
  }

 private:
  UiLanguage lang_;
  sorrel::platform::PosixSettingsFiles files_;
  sorrel::settings::HiveFileRegistry registry_;
};

}  // namespace

int main(int argc, char** argv) {
  sorrel::cli::CliEnvironment env;
  env.lang = sorrel::CliUiLanguageFromEnvironment();
  env.program_name = sorrel::platform::ProgramName(argc > 0 ? argv[0] : nullptr);
  env.program_folder = sorrel::platform::ProgramFolder();
  sorrel::platform::PosixFileSystem file_system;
  if (!file_system.GetCurrentDirectory(&env.current_directory)) env.current_directory.clear();

  const std::vector<std::string> args(argv + (argc > 0 ? 1 : 0), argv + argc);
  ConsoleHost host(env.lang);
  sorrel::platform::PosixProcessRunner runner;
  return sorrel::cli::RunSorrelc(args, env, &host, &runner);
}
