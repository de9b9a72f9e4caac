// sorrel: the start-up sequence, then the main dialog (in CUI mode without a
// window, and without ever loading the window's view).
#include <string>

#include "app/sorrel/cui_main.h"
#include "app/sorrel/dialog_view.h"
#include "base/utf.h"
#include "gui/startup.h"
#include "gui/startup_texts.h"
#include "platform/file_system.h"
#include "platform/integrity.h"
#include "platform/program.h"
#include "platform/user_interaction.h"

SORREL_DEFINE_SEAL(kProgramSeal);

int main(int argc, char** argv) {
  using namespace sorrel;
  const UiLanguage language = platform::ProgramLanguage();
  const StartupMode mode = ParseStartup(platform::StartupArguments(argc, argv),
                                        platform::ProgramName(argc > 0 ? argv[0] : nullptr));

  // The INI file, the help and the view are found in the program's folder.
  const std::string folder = platform::ProgramFolder();
  if (!folder.empty()) platform::NewFileSystem()->SetCurrentDirectory(folder);

  if (!IsSealIntact(kProgramSeal)) {
    // An interactive start says it in a box when it can; the line on
    // standard error is there in every case.
    const std::u16string text = startup_texts::kDamagedProgram.In(language);
    const std::u16string line = startup_texts::kTitle.In(language) + (u": " + text) + u"\n";
    platform::WriteToStream(platform::StandardStream::Error, Utf16ToUtf8(line));
    if (!mode.cui_mode) ShowErrorInView(folder, &argc, argv, language, text);
    return 1;
  }
  if (mode.cui_mode) return RunCuiMode(language, mode);
  return RunDialogView(folder, &argc, argv, language, mode.ini_mode);
}
