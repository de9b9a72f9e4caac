// The wiring of an interactive run.
#include "gui/qt/dialog_session.h"

#include <QGuiApplication>
#include <QSessionManager>

#include "engine/job.h"
#include "gui/qt/about_dialog.h"
#include "gui/qt/help.h"
#include "settings/load_save.h"

namespace sorrel::qt {
DialogSession::DialogSession(UiLanguage language, bool ini_mode)
    : language_(language), services_(language), user_(language) {
  settings_ = services_.Settings(ini_mode, &user_);
  job_ = services_.Job(&store_, /*cui_mode=*/false, &user_, nullptr);
  job_.save_settings = [this] { settings::SaveSettings(settings_, store_); };

  window_ = std::make_unique<MainWindow>(store_, language, Hooks());
  user_.SetOwner(window_.get());
  QObject::connect(qGuiApp, &QGuiApplication::commitDataRequest, window_.get(),
                   [this](QSessionManager&) { window_->EndSession(); });
}

DialogSession::~DialogSession() {
  user_.SetOwner(nullptr);
}

MainDialogModel::Hooks DialogSession::Hooks() {
  MainDialogModel::Hooks hooks;
  hooks.load_settings = [this](ControlStore& store) { settings::LoadSettings(settings_, &store); };
  hooks.save_settings = [this](const ControlStore& store) {
    settings::SaveSettings(settings_, store);
  };
  hooks.run_job = [this] { RunJob(); };
  hooks.show_help = [] { ShowHelp(); };
  hooks.show_about = [this] { ShowAboutBox(window_.get(), language_); };
  return hooks;
}

void DialogSession::RunJob() {
  user_.RunGuarded([this] { RunConversionJob(job_); },
                   [this] { window_->ShowProgress(job_.TargetCount); });
  window_->ClearProgress();
}

void DialogSession::Open(uint64_t tick) {
  window_->Open(tick);
}

int DialogSession::Exec() {
  return window_->exec();
}

}  // namespace sorrel::qt
