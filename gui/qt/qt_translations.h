// Qt's own texts (the standard buttons, the file dialog) in the dialog's
// language.
#pragma once

#include <QCoreApplication>

#include "base/ui_language.h"

namespace sorrel::qt {

// Installs Qt's Japanese translations on app for the Japanese dialog; the
// English dialog keeps Qt's built-in texts. False when they cannot be loaded
// (the buttons then read in English).
bool InstallQtTranslations(QCoreApplication* app, UiLanguage language);

}  // namespace sorrel::qt
