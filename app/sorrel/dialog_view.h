// The dialog's view, a library of its own beside the program
// (libsorrel_qt.so), loaded only when a window is needed: CUI mode never
// loads Qt.
#pragma once

#include <string>
#include <string_view>

#include "platform/ui_language.h"

namespace sorrel {

// The name of the library in the program's folder.
inline constexpr char kDialogViewLibrary[] = "libsorrel_qt.so";

// What the program hands the library. kDialogViewVersion changes whenever
// this record or the entry points do; the library exports its own as
// kVersionSymbol, so that a library from another build is refused.
inline constexpr int kDialogViewVersion = 1;
struct DialogViewStart {
  int japanese;  // the UI language: 1 Japanese, 0 English
  int ini_mode;
};

// The library's exported names: its version and its entry point.
inline constexpr char kVersionSymbol[] = "sorrel_view_version";
inline constexpr char kRunDialogEntry[] = "sorrel_view_run_dialog";
using RunDialogFunction = int (*)(int* argc, char** argv, const DialogViewStart* start);

// Runs the main dialog from the library in program_folder; when it cannot
// be loaded (missing, another build's, or its Qt libraries missing)
// says so on standard error and gives 1.
int RunDialogView(const std::string& program_folder, int* argc, char** argv, UiLanguage language,
                  bool ini_mode);

}  // namespace sorrel
