// Binds a dialog's controls to the control store by id, both ways: what the
// logic sets in the store shows in the controls, and what the user changes
// in a control goes into the store before the logic hears of it.
#pragma once

#include "base/control_store.h"
#include "platform/win32/windows_api.h"

namespace sorrel::win32 {

class ControlSync {
 public:
  // Gives every button and label of dialog its caption in the store and
  // observes the store until destroyed. store must outlive the binding.
  ControlSync(ControlStore& store, HWND dialog);
  ~ControlSync();
  ControlSync(const ControlSync&) = delete;
  ControlSync& operator=(const ControlSync&) = delete;

  // Takes the user's change that a WM_COMMAND notification reports into the
  // store. True when the notification changed something the logic must
  // hear of; selection_changed for a list's new selection.
  bool FromUser(int id, int notification, bool* selection_changed);

 private:
  enum class Kind { Other, Edit, CheckBox, ComboBox };
  Kind KindOf(HWND control) const;
  void Show(int id);

  ControlStore& store_;
  HWND dialog_;
  int from_user_ = 0;  // the control whose change the user made, 0 for none
  bool showing_ = false;
};

}  // namespace sorrel::win32
