// Binds a dialog's widgets to the control store by id, both ways: what the
// logic sets in the store shows in the widgets, and what the user changes in
// a widget goes into the store and then, as a command, to the logic.
#pragma once

#include <functional>

#include "base/control_store.h"
#include "gui/qt/template_widgets.h"

namespace sorrel::qt {

class ControlBinding {
 public:
  // A command from control id; selection_changed when a list's selection
  // changed.
  using Command = std::function<void(int id, bool selection_changed)>;

  // Gives every captioned control of widgets its caption in the store, shows
  // the store in every widget, and observes the store until destroyed. store
  // and widgets must outlive the binding.
  ControlBinding(ControlStore& store, const TemplateWidgets& widgets, Command command);
  ~ControlBinding();
  ControlBinding(const ControlBinding&) = delete;
  ControlBinding& operator=(const ControlBinding&) = delete;

 private:
  void Show(int id);
  void Connect(int id, QWidget* widget);
  // A change the user made, not one the store made.
  bool FromUser() const { return !showing_; }

  ControlStore& store_;
  const TemplateWidgets& widgets_;
  Command command_;
  bool showing_ = false;
};

}  // namespace sorrel::qt
