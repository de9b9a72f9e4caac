// Building and placing a template's widgets.
#include "gui/qt/template_widgets.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <algorithm>

namespace sorrel::qt {
namespace {

constexpr int kClosedListHeight = 14;

QString Caption(const ControlTemplate& control) {
  return control.caption ? QString::fromUtf16(control.caption) : QString();
}

QLineEdit* MakeEdit(QWidget* parent, bool digits_only) {
  auto* edit = new QLineEdit(parent);
  // Files dropped on an edit belong to the whole dialog.
  edit->setAcceptDrops(false);
  if (digits_only) {
    edit->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), edit));
  }
  return edit;
}

QPlainTextEdit* MakeLog(QWidget* parent) {
  auto* log = new QPlainTextEdit(parent);
  log->setReadOnly(true);
  log->setLineWrapMode(QPlainTextEdit::NoWrap);
  log->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  log->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  // Read-only text still takes the keyboard focus, so that it can be
  // selected and scrolled from the keyboard.
  log->setTextInteractionFlags(Qt::TextSelectableByKeyboard | Qt::TextSelectableByMouse);
  return log;
}

}  // namespace

DluRect ClosedRect(const ControlTemplate& control) {
  DluRect rect = control.rect;
  if (control.kind == ControlKind::DropList) rect.h = kClosedListHeight;
  return rect;
}

bool TemplateWidgets::HasCaption(const ControlTemplate& control) {
  return control.caption != nullptr && control.kind != ControlKind::LogEdit;
}

TemplateWidgets::TemplateWidgets(const DialogTemplate& dialog, QWidget* parent)
    : dialog_(dialog), parent_(parent) {
  QLabel* pending_label = nullptr;
  for (size_t i = 0; i < dialog.count; ++i) {
    const ControlTemplate& control = dialog.controls[i];
    QWidget* widget = Create(control, parent);
    controls_.push_back({&control, widget});
    if (control.id != kNoId) by_id_[control.id] = widget;
    if (pending_label != nullptr && widget->focusPolicy() != Qt::NoFocus) {
      pending_label->setBuddy(widget);
      pending_label = nullptr;
    }
    if (control.kind == ControlKind::Label) pending_label = qobject_cast<QLabel*>(widget);
  }
}

QWidget* TemplateWidgets::Create(const ControlTemplate& control, QWidget* parent) {
  const QString caption = Caption(control);
  switch (control.kind) {
    case ControlKind::Label:
      return new QLabel(caption, parent);
    case ControlKind::Edit:
      return MakeEdit(parent, false);
    case ControlKind::DigitsEdit:
      return MakeEdit(parent, true);
    case ControlKind::PushButton:
    case ControlKind::DefaultPushButton: {
      auto* button = new QPushButton(caption, parent);
      button->setDefault(control.kind == ControlKind::DefaultPushButton);
      return button;
    }
    case ControlKind::CheckBox:
      return new QCheckBox(caption, parent);
    case ControlKind::DropList:
      return new QComboBox(parent);
    case ControlKind::GroupBox: {
      // A frame lies under the controls it surrounds, which may reach into
      // its top edge.
      auto* frame = new QGroupBox(caption, parent);
      frame->lower();
      return frame;
    }
    case ControlKind::Bitmap: {
      auto* bitmap = new QLabel(parent);
      bitmap->hide();
      return bitmap;
    }
    case ControlKind::LogEdit:
      return MakeLog(parent);
  }
  return new QWidget(parent);
}

DluBase TemplateWidgets::MeasureBase() const {
  DluBase base = FontBase(parent_->font());
  for (const Built& built : controls_) {
    if (!HasCaption(*built.control)) continue;
    const QSize hint = built.widget->sizeHint();
    base.x = std::max(base.x, BaseFor(hint.width(), built.control->rect.w, 4));
  }
  return base;
}

QSize TemplateWidgets::Place() {
  base_ = MeasureBase();
  for (const Built& built : controls_) {
    const QRect rect = ToPixels(base_, ClosedRect(*built.control));
    if (built.control->kind == ControlKind::Bitmap) {
      built.widget->move(rect.topLeft());
    } else {
      built.widget->setGeometry(rect);
    }
  }
  return ToPixels(base_, dialog_.width, dialog_.height);
}

QWidget* TemplateWidgets::Control(int id) const {
  auto it = by_id_.find(id);
  return it == by_id_.end() ? nullptr : it->second;
}

}  // namespace sorrel::qt
