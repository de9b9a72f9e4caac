// The wiring of an interactive run.
#include "gui/qt/dialog_session.h"

#include <QGuiApplication>
#include <QSessionManager>

#include "engine/job.h"
#include "gui/qt/about_dialog.h"
#include "gui/qt/help.h"
#include "gui/startup_texts.h"

namespace sorrel::qt {
DialogSession::DialogSession(UiLanguage language, SessionServices* services)
    : language_(language), user_(language) {
  settings_ = services->OpenSettings(&user_);
  job_ = services->Job(&store_, /*cui_mode=*/false, &user_, nullptr);
  job_.save_settings = [this] { settings_->Save(store_); };

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
  hooks.load_settings = [this](ControlStore& store) {
    WarnAboutSettings(*settings_, settings_->Load(&store), &user_,
                      startup_texts::kTitle.In(language_));
  };
  hooks.save_settings = [this](const ControlStore& store) { settings_->Save(store); };
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
