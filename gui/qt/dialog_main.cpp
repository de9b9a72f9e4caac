// The interactive start.
#include "gui/qt/dialog_main.h"

#include <QApplication>
#include <QMessageBox>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <mutex>
#include <vector>

#include "base/utf.h"
#include "gui/qt/dialog_session.h"
#include "gui/qt/qt_text.h"
#include "gui/qt/qt_texts.h"
#include "gui/qt/qt_translations.h"
#include "gui/startup_texts.h"

namespace sorrel::qt {
namespace {

UiLanguage g_language = UiLanguage::English;
QtMessageHandler g_previous_handler = nullptr;

// What Qt says while the application starts, held back until it is known
// whether a display was reached: without one, Qt's own lines would only
// stand before our message and say the same less clearly.
struct HeldMessage {
  QtMsgType type;
  QByteArray category;
  QString text;
};
std::vector<HeldMessage>* g_held = nullptr;
std::mutex g_held_mutex;  // Qt may speak from a thread of its own

// Qt ends the process with abort() when no platform plugin can reach a
// display; this ends it with our own message and exit code 1 instead.
void NoDisplayHandler(QtMsgType type, const QMessageLogContext& context, const QString& text) {
  if (type != QtFatalMsg) {
    const std::lock_guard<std::mutex> lock(g_held_mutex);
    g_held->push_back({type, QByteArray(context.category), text});
    return;
  }
  const std::string message = Utf16ToUtf8(qt_texts::kNoDisplay.In(g_language));
  std::fwrite(message.data(), 1, message.size(), stderr);
  std::fflush(stderr);
  std::_Exit(1);
}

// Passes what was held back on, as Qt would have said it.
void SayHeldMessages(const std::vector<HeldMessage>& held) {
  if (g_previous_handler == nullptr) return;
  for (const HeldMessage& message : held) {
    const QMessageLogContext context(nullptr, 0, nullptr, message.category.constData());
    g_previous_handler(message.type, context, message.text);
  }
}

uint64_t MillisecondsSinceStart() {
  const auto now = std::chrono::steady_clock::now().time_since_epoch();
  return static_cast<uint64_t>(std::chrono::duration_cast<std::chrono::milliseconds>(now).count());
}

// The application, or the end of the process when there is no display.
void StartApplication(std::unique_ptr<QApplication>* app, int& argc, char** argv,
                      UiLanguage language) {
  g_language = language;
  std::vector<HeldMessage> held;
  g_held = &held;
  g_previous_handler = qInstallMessageHandler(NoDisplayHandler);
  *app = std::make_unique<QApplication>(argc, argv);
  qInstallMessageHandler(g_previous_handler);
  {
    const std::lock_guard<std::mutex> lock(g_held_mutex);
    g_held = nullptr;
  }
  SayHeldMessages(held);
  (*app)->setApplicationName(QStringLiteral("sorrel"));
  (*app)->setDesktopFileName(QStringLiteral("sorrel"));
  InstallQtTranslations(app->get(), language);
}

}  // namespace

int RunDialogMode(int& argc, char** argv, UiLanguage language, SessionServices* services) {
  std::unique_ptr<QApplication> app;
  StartApplication(&app, argc, argv, language);
  DialogSession session(language, services);
  session.Open(MillisecondsSinceStart());
  session.Exec();
  return 0;
}

void ShowStartError(int& argc, char** argv, UiLanguage language, std::u16string_view text) {
  std::unique_ptr<QApplication> app;
  StartApplication(&app, argc, argv, language);
  QMessageBox::critical(nullptr, ToQString(startup_texts::kTitle.In(language)), ToQString(text));
}

}  // namespace sorrel::qt
