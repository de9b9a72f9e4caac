// sorrel: the start-up sequence, then the main dialog (in CUI mode without a
// window, and without ever loading the window's library).
#include <string>
#include <vector>

#include "app/sorrel/cui_main.h"
#include "app/sorrel/dialog_view.h"
#include "base/language_choice.h"
#include "gui/startup.h"
#include "gui/startup_texts.h"
#include "platform/integrity.h"
#include "platform/posix/posix_file_system.h"
#include "platform/posix/terminal_interaction.h"
#include "platform/program.h"

SORREL_DEFINE_SEAL(kProgramSeal);

int main(int argc, char** argv) {
  using namespace sorrel;
  const UiLanguage language = UiLanguageFromEnvironment();
  const std::vector<std::string> args(argv + 1, argv + argc);
  const StartupMode mode = ParseStartup(args, platform::ProgramName(argv[0]));

  // The INI file, the converter data and the window's library are found in
  // the program's folder.
  const std::string folder = platform::ProgramFolder();
  if (!folder.empty()) platform::PosixFileSystem().SetCurrentDirectory(folder);

  if (!IsSealIntact(kProgramSeal)) {
    // An interactive start says it in a box when it can; the line on
    // standard error is there in every case.
    const std::u16string text = startup_texts::kDamagedProgram.In(language);
    platform::TerminalInteraction(language).MessageBox(
        text, startup_texts::kTitle.In(language), platform::Buttons::Ok, platform::Icon::Error);
    if (!mode.cui_mode) ShowErrorInView(folder, &argc, argv, language, text);
    return 1;
  }
  if (mode.cui_mode) return RunCuiMode(language, mode);
  return RunDialogView(folder, &argc, argv, language, mode.ini_mode);
}
