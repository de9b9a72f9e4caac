// How both programs choose their language at start-up.
#pragma once

#include "base/ui_language.h"

namespace sorrel {

// SORREL_LANG first: when it is set and not empty, Japanese exactly when it
// reads "JA" in any case (a value of 80 bytes or more reads as empty).
// Otherwise Japanese exactly when the locale (LC_ALL, then LC_MESSAGES, then
// LANG: the first that is set and not empty) begins with "ja". Null stands
// for an unset variable.
UiLanguage ChooseUiLanguage(const char* sorrel_lang, const char* lc_all, const char* lc_messages,
                            const char* lang);

// sorrelc's rule: a SORREL_LANG that is set decides even when it is empty
// (then English); the locale decides only when it is unset.
UiLanguage ChooseCliUiLanguage(const char* sorrel_lang, const char* lc_all, const char* lc_messages,
                               const char* lang);

}  // namespace sorrel
