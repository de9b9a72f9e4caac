// The entry points of the dialog's view library (libsorrel_qt.so): the
// program's services wired to the Qt view. Everything else in the library
// stays hidden.
#include "app/sorrel/dialog_view.h"
#include "app/sorrel/program_services.h"
#include "gui/qt/dialog_main.h"
#include "platform/integrity.h"

namespace {

sorrel::UiLanguage LanguageOf(const sorrel::DialogViewStart* start) {
  return start->japanese != 0 ? sorrel::UiLanguage::Japanese : sorrel::UiLanguage::English;
}

}  // namespace

extern "C" {

[[gnu::visibility("default"), gnu::used]] extern const int sorrel_view_version =
    sorrel::kDialogViewVersion;

[[gnu::visibility("default")]] SORREL_DEFINE_SEAL(sorrel_view_seal);

[[gnu::visibility("default")]] int sorrel_view_run_dialog(int* argc, char** argv,
                                                          const sorrel::DialogViewStart* start) {
  const sorrel::UiLanguage language = LanguageOf(start);
  sorrel::ProgramServices services(language, start->ini_mode != 0);
  return sorrel::qt::RunDialogMode(*argc, argv, language, &services);
}

[[gnu::visibility("default")]] void sorrel_view_show_error(int* argc, char** argv,
                                                           const sorrel::DialogViewStart* start,
                                                           const char16_t* text) {
  sorrel::qt::ShowStartError(*argc, argv, LanguageOf(start), text);
}

}  // extern "C"
