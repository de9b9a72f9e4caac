// The main dialog's window: the template's widgets bound to the control
// store, the logic's commands, file drops, F1, Browse, the banner, the icon,
// and widening by the anchor table.
#pragma once

#include <QDialog>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "gui/main_dialog_model.h"
#include "gui/qt/control_binding.h"
#include "gui/qt/dialog_resizer.h"
#include "gui/qt/template_widgets.h"

namespace sorrel::qt {

class MainWindow : public QDialog {
 public:
  // Builds the dialog of language over store; hooks are the model's (load,
  // save, run, help, About). Nothing is loaded until Open.
  MainWindow(ControlStore& store, UiLanguage language, MainDialogModel::Hooks hooks);
  ~MainWindow() override;

  // Opening: the tool tips of the language, the model's initialisation (tick
  // decides the banner), then the tracking limits. The dialog is not shown.
  void Open(uint64_t tick);

  // The progress of a run in the title ("Sorrel - 12"), and the plain title.
  void ShowProgress(uint32_t files);
  void ClearProgress();

  // The end of the desktop session: saves the settings and ends the dialog.
  void EndSession();

  // Browse: the open-file dialog, in the folder of the current target when
  // that exists, else in the home folder; a chosen file goes into the target
  // path.
  void Browse();

  const TemplateWidgets& widgets() const { return widgets_; }
  MainDialogModel& model() { return model_; }

  // Esc and the close box: the Close command.
  void reject() override;

 protected:
  void resizeEvent(QResizeEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  void OnCommand(int id, bool selection_changed);
  void EndIfEnded();

  UiLanguage language_;
  QString title_;
  TemplateWidgets widgets_;
  MainDialogModel model_;
  std::unique_ptr<ControlBinding> binding_;
  std::optional<DialogResizer> resizer_;
  std::optional<uint32_t> progress_;
};

}  // namespace sorrel::qt
