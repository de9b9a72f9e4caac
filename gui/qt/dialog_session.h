// One interactive run of sorrel: the program's services, the settings store,
// the Qt user and the main window, wired together as CUI mode wires them,
// with the window in place of the terminal. Needs a QApplication.
#pragma once

#include <cstdint>
#include <memory>

#include "base/control_store.h"
#include "engine/job_context.h"
#include "gui/qt/main_window.h"
#include "gui/qt/qt_user_interaction.h"
#include "gui/session_services.h"
#include "settings/settings_store.h"

namespace sorrel::qt {

class DialogSession {
 public:
  // services must outlive the session.
  DialogSession(UiLanguage language, SessionServices* services);
  ~DialogSession();
  DialogSession(const DialogSession&) = delete;
  DialogSession& operator=(const DialogSession&) = delete;

  // Opens the main window (tick decides the banner): the settings are
  // loaded. The window is not shown yet.
  void Open(uint64_t tick);
  // Shows the opened window and waits until it ends; returns its result.
  int Exec();

  MainWindow& window() { return *window_; }
  ControlStore& store() { return store_; }
  QtUserInteraction& user() { return user_; }
  settings::SettingsStore& settings() { return *settings_; }

 private:
  MainDialogModel::Hooks Hooks();
  void RunJob();

  UiLanguage language_;
  QtUserInteraction user_;
  std::unique_ptr<settings::SettingsStore> settings_;
  ControlStore store_;
  JobContext job_;
  std::unique_ptr<MainWindow> window_;
};

}  // namespace sorrel::qt
