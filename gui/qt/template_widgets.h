// The widgets of one dialog template: created in template order (which is
// also the tab order), looked up by numeric id, and placed in dialog units
// whose base is wide enough for every caption.
#pragma once

#include <QSize>
#include <QWidget>
#include <map>
#include <vector>

#include "gui/qt/dialog_template.h"
#include "gui/qt/dialog_units.h"

namespace sorrel::qt {

class TemplateWidgets {
 public:
  struct Built {
    const ControlTemplate* control;
    QWidget* widget;
  };

  // Creates every control of dialog as a child of parent, captioned, with
  // each label's access key leading to the control after it.
  TemplateWidgets(const DialogTemplate& dialog, QWidget* parent);

  // Places every control and returns the client size. The base is the
  // font's, widened until every caption's size hint fits its rectangle.
  QSize Place();

  // The control with id, or null when the template has none.
  QWidget* Control(int id) const;
  template <class W>
  W* As(int id) const {
    return qobject_cast<W*>(Control(id));
  }

  const DluBase& base() const { return base_; }
  const std::vector<Built>& controls() const { return controls_; }
  // True for the controls whose text is a caption the base must fit.
  static bool HasCaption(const ControlTemplate& control);

 private:
  QWidget* Create(const ControlTemplate& control, QWidget* parent);
  DluBase MeasureBase() const;

  const DialogTemplate& dialog_;
  QWidget* parent_;
  std::vector<Built> controls_;
  std::map<int, QWidget*> by_id_;
  DluBase base_;
};

// A drop list's template height is its dropped-down height; closed it is as
// tall as an edit.
DluRect ClosedRect(const ControlTemplate& control);

}  // namespace sorrel::qt
