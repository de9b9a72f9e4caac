// The dialog's view, a library of its own beside the program
// (libsorrel_qt.so), loaded only when a window is needed: CUI mode never
// loads Qt. The library is sealed as the program is, and its seal is checked
// before any of its entry points is called (loading it runs only the static
// constructors of it and of the Qt libraries).
#pragma once

#include <string>
#include <string_view>

#include "base/ui_language.h"

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

// The library's exported names: its version, its seal, its entry points.
inline constexpr char kVersionSymbol[] = "sorrel_view_version";
inline constexpr char kSealSymbol[] = "sorrel_view_seal";
inline constexpr char kRunDialogEntry[] = "sorrel_view_run_dialog";
inline constexpr char kShowErrorEntry[] = "sorrel_view_show_error";
using RunDialogFunction = int (*)(int* argc, char** argv, const DialogViewStart* start);
using ShowErrorFunction = void (*)(int* argc, char** argv, const DialogViewStart* start,
                                   const char16_t* text);

// Runs the main dialog from the library in program_folder; when it cannot
// be loaded (missing, damaged, another build's, or its Qt libraries missing)
// says so on standard error and gives 1.
int RunDialogView(const std::string& program_folder, int* argc, char** argv, UiLanguage language,
                  bool ini_mode);

// Shows text in an error box from the library when a display is named in
// the environment and the library loads; false, having shown nothing, when
// not.
bool ShowErrorInView(const std::string& program_folder, int* argc, char** argv, UiLanguage language,
                     std::u16string_view text);

}  // namespace sorrel
