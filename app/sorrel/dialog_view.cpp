// Loading the dialog's view on demand.
#include "app/sorrel/dialog_view.h"

#include <dlfcn.h>

#include <cstdio>
#include <cstdlib>

#include "base/text_format.h"
#include "base/utf.h"
#include "gui/startup_texts.h"
#include "platform/integrity.h"
#include "platform/paths.h"

namespace sorrel {
namespace {

// The library and its entry point, or why it cannot be used.
struct View {
  void* entry = nullptr;
  std::u16string problem;
};

// An object without a seal, with a broken one or from another build is not
// ours to run. The library is never unloaded: Qt keeps threads and handlers
// of its own until the process ends.
View LoadView(const std::string& program_folder, const char* entry, UiLanguage language) {
  View view;
  const std::string path = platform::JoinPath(program_folder, kDialogViewLibrary);
  void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (handle == nullptr) {
    const char* error = dlerror();
    view.problem = Utf8ToUtf16(error != nullptr ? error : path);
    return view;
  }
  const auto* version = static_cast<const int*>(dlsym(handle, kVersionSymbol));
  const auto* seal = static_cast<const Seal*>(dlsym(handle, kSealSymbol));
  if (version == nullptr || *version != kDialogViewVersion) {
    view.problem = startup_texts::kOtherBuild.In(language);
  } else if (seal == nullptr || !IsSealIntact(*seal)) {
    view.problem = startup_texts::kDamagedFile.In(language);
  } else if ((view.entry = dlsym(handle, entry)) == nullptr) {
    view.problem = startup_texts::kOtherBuild.In(language);
  }
  return view;
}

void SayCannotLoad(const std::string& program_folder, UiLanguage language,
                   std::u16string_view problem) {
  const std::u16string path = Utf8ToUtf16(platform::JoinPath(program_folder, kDialogViewLibrary));
  const std::string line = Utf16ToUtf8(FormatText(startup_texts::kCannotLoadWindow.In(language),
                                                  {std::u16string_view(path), problem}));
  std::fwrite(line.data(), 1, line.size(), stderr);
  std::fflush(stderr);
}

DialogViewStart Start(UiLanguage language, bool ini_mode) {
  return {language == UiLanguage::Japanese ? 1 : 0, ini_mode ? 1 : 0};
}

// A display someone could see a box on: a Qt platform that shows windows
// (not one that draws them nowhere, where a box would wait for ever), or else
// an X or Wayland display.
bool DisplayNamed() {
  const char* platform = std::getenv("QT_QPA_PLATFORM");
  if (platform != nullptr && *platform != '\0') {
    const std::string_view name = platform;
    return !name.starts_with("offscreen") && !name.starts_with("minimal");
  }
  for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY"}) {
    const char* value = std::getenv(name);
    if (value != nullptr && *value != '\0') return true;
  }
  return false;
}

}  // namespace

int RunDialogView(const std::string& program_folder, int* argc, char** argv, UiLanguage language,
                  bool ini_mode) {
  const View view = LoadView(program_folder, kRunDialogEntry, language);
  if (view.entry == nullptr) {
    SayCannotLoad(program_folder, language, view.problem);
    return 1;
  }
  const DialogViewStart start = Start(language, ini_mode);
  return reinterpret_cast<RunDialogFunction>(view.entry)(argc, argv, &start);
}

bool ShowErrorInView(const std::string& program_folder, int* argc, char** argv, UiLanguage language,
                     std::u16string_view text) {
  if (!DisplayNamed()) return false;
  const View view = LoadView(program_folder, kShowErrorEntry, language);
  if (view.entry == nullptr) return false;
  const DialogViewStart start = Start(language, false);
  const std::u16string terminated(text);
  reinterpret_cast<ShowErrorFunction>(view.entry)(argc, argv, &start, terminated.c_str());
  return true;
}

}  // namespace sorrel
