// The main dialog's logic over its control store, without any toolkit: what
// opening it does, the enabling rules, the list handler and the commands. A
// view binds widgets to the store and forwards the user's commands here.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "base/control_store.h"
#include "base/ui_language.h"

namespace sorrel {

class MainDialogModel {
 public:
  // What the dialog asks of the rest of the program.
  struct Hooks {
    std::function<void(ControlStore&)> load_settings;
    std::function<void(const ControlStore&)> save_settings;
    std::function<void()> run_job;  // one conversion job over the store
    std::function<void()> show_help;
    std::function<void()> show_about;
  };

  MainDialogModel(ControlStore& store, UiLanguage language, bool cui_mode, Hooks hooks);

  // Opening: fills the lists, sets the edit limits, loads the settings and
  // applies the rules; the banner shows when tick (milliseconds since start)
  // is divisible by 7 in the Japanese dialog. In CUI mode the job runs at
  // once and the dialog ends without saving.
  void Initialise(uint64_t tick);

  // The enabling rules.
  void UpdateControlStates();

  // A command from control id; selection_changed for a list's new selection.
  // While a run lasts no command is handled: the run's own boxes take the
  // only input there is.
  void OnCommand(int id, bool selection_changed = false);

  // A path from the open-file dialog or from a drop goes into the target.
  // A path longer than the target takes (519 characters) is refused and
  // false returned: cut short, it would name another file.
  bool SetTargetPath(std::u16string path);

  // The end of the desktop session: saves and ends the dialog when ending.
  void OnEndSession(bool ending);

  bool ended() const { return ended_; }
  int result() const { return result_; }
  bool running() const { return running_; }

 private:
  void FillLists();
  void OnListChanged(int list, int number_edit);
  void Start();
  void End(int result);

  ControlStore& store_;
  UiLanguage language_;
  bool cui_mode_;
  Hooks hooks_;
  bool ended_ = false;
  int result_ = 0;
  bool running_ = false;
};

}  // namespace sorrel
