// Loading qtbase_ja from Qt's translations folder.
#include "gui/qt/qt_translations.h"

#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace sorrel::qt {

bool InstallQtTranslations(QCoreApplication* app, UiLanguage language) {
  if (language != UiLanguage::Japanese) return true;
  auto* translator = new QTranslator(app);
  if (!translator->load(QLocale(QLocale::Japanese), QStringLiteral("qtbase"), QStringLiteral("_"),
                        QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
    delete translator;
    return false;
  }
  return QCoreApplication::installTranslator(translator);
}

}  // namespace sorrel::qt
