// sorrelc.exe: stores its switches as sorrel's settings (the registry, or
// sorrel.ini beside it under an _o.exe name) and runs sorrel.exe /CUIMODE on
// the first target.
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "cli/cli_host.h"
#include "cli/sorrelc.h"
#include "cli/store_writer.h"
#include "platform/utf.h"
#include "platform/win32/program_folder.h"
#include "platform/win32/system_language.h"
#include "platform/win32/wide.h"
#include "platform/win32/win32_console.h"
#include "platform/win32/win32_file_system.h"
#include "platform/win32/win32_process.h"
#include "platform/win32/win32_registry.h"
#include "settings/settings_context.h"

namespace {

using sorrel::UiLanguage;

// sorrelc's texts are UTF-8 inside; a console gets them as wide text, a
// file or a pipe as Shift-JIS bytes.
void WriteStream(sorrel::platform::Win32Console::Stream which, std::string_view utf8) {
  sorrel::platform::Win32Console(which).Write(sorrel::Utf8ToUtf16(utf8));
}

class ConsoleHost : public sorrel::cli::CliHost {
 public:
  explicit ConsoleHost(UiLanguage lang) : lang_(lang) {}

  void WriteOut(std::string_view bytes) override {
    WriteStream(sorrel::platform::Win32Console::Stream::Output, bytes);
  }
  void WriteError(std::string_view bytes) override {
    WriteStream(sorrel::platform::Win32Console::Stream::Error, bytes);
  }

  std::unique_ptr<sorrel::cli::SettingsWriter> OpenSettings(bool ini_mode,
                                                            const std::string& ini_file) override {
    sorrel::settings::SettingsContext context;
    context.ini_mode = ini_mode;
    context.language = lang_;
    context.user = &user_;
    context.registry = &registry_;
    context.ini_path = ini_file;
    return sorrel::cli::OpenStoreWriter(context);
  }

 private:
  UiLanguage lang_;
  sorrel::platform::Win32CuiInteraction user_;
  sorrel::platform::Win32RegistryStore registry_;
};

}  // namespace

int wmain(int argc, wchar_t** argv) {
  sorrel::cli::CliEnvironment env;
  env.lang = sorrel::platform::Win32CliUiLanguage();
  env.program_name = sorrel::platform::ProgramName();
  env.program_folder = sorrel::platform::ProgramFolder();
  sorrel::platform::Win32FileSystem file_system;
  if (!file_system.GetCurrentDirectory(&env.current_directory)) env.current_directory.clear();

  std::vector<std::string> args;
  for (int i = 1; i < argc; ++i) args.push_back(sorrel::platform::Narrow(argv[i]));
  ConsoleHost host(env.lang);
  sorrel::platform::Win32ProcessRunner runner;
  return sorrel::cli::RunSorrelc(args, env, &host, &runner);
}
