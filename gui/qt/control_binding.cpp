// The two directions between the store and the widgets.
#include "gui/qt/control_binding.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "gui/qt/qt_text.h"

namespace sorrel::qt {
namespace {

// The limit of an edit that was given none.
constexpr int kDefaultTextLimit = 32767;

Qt::CheckState ToCheckState(int check) {
  switch (check) {
    case kChecked:
      return Qt::Checked;
    case kIndeterminate:
      return Qt::PartiallyChecked;
    default:
      return Qt::Unchecked;
  }
}

int FromCheckState(Qt::CheckState state) {
  switch (state) {
    case Qt::Checked:
      return kChecked;
    case Qt::PartiallyChecked:
      return kIndeterminate;
    default:
      return kUnchecked;
  }
}

void ShowItems(QComboBox* list, const std::vector<std::u16string>& items) {
  bool same = list->count() == static_cast<int>(items.size());
  for (int i = 0; same && i < list->count(); ++i) same = list->itemText(i) == ToQString(items[i]);
  if (same) return;
  list->clear();
  for (const std::u16string& item : items) list->addItem(ToQString(item));
}

}  // namespace

ControlBinding::ControlBinding(ControlStore& store, const TemplateWidgets& widgets, Command command)
    : store_(store), widgets_(widgets), command_(std::move(command)) {
  for (const TemplateWidgets::Built& built : widgets.controls()) {
    const int id = built.control->id;
    if (id == kNoId) continue;
    if (TemplateWidgets::HasCaption(*built.control) && store_.Text(id).empty()) {
      store_.SetText(id, built.control->caption);
    }
    Show(id);
    Connect(id, built.widget);
  }
  store_.SetObserver([this](int id) { Show(id); });
}

ControlBinding::~ControlBinding() {
  store_.SetObserver(nullptr);
}

void ControlBinding::Show(int id) {
  QWidget* widget = widgets_.Control(id);
  if (widget == nullptr) return;
  const bool was_showing = showing_;
  showing_ = true;
  const QString text = ToQString(store_.Text(id));
  if (auto* edit = qobject_cast<QLineEdit*>(widget)) {
    const size_t limit = store_.TextLimit(id);
    edit->setMaxLength(limit == 0 ? kDefaultTextLimit : static_cast<int>(limit));
    if (edit->text() != text) edit->setText(text);
  } else if (auto* box = qobject_cast<QCheckBox*>(widget)) {
    box->setTristate(store_.Check(id) == kIndeterminate);
    box->setCheckState(ToCheckState(store_.Check(id)));
    box->setText(text);
  } else if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
    button->setText(text);
  } else if (auto* list = qobject_cast<QComboBox*>(widget)) {
    ShowItems(list, store_.Items(id));
    list->setCurrentIndex(store_.Selection(id));
  } else if (auto* label = qobject_cast<QLabel*>(widget); label != nullptr && !text.isEmpty()) {
    label->setText(text);
  }
  widget->setEnabled(store_.Enabled(id));
  widget->setVisible(store_.Visible(id));
  showing_ = was_showing;
}

void ControlBinding::Connect(int id, QWidget* widget) {
  if (auto* edit = qobject_cast<QLineEdit*>(widget)) {
    QObject::connect(edit, &QLineEdit::textChanged, edit, [this, id](const QString& text) {
      if (!FromUser()) return;
      store_.SetText(id, FromQString(text));
      command_(id, false);
    });
  } else if (auto* box = qobject_cast<QCheckBox*>(widget)) {
    QObject::connect(box, &QCheckBox::stateChanged, box, [this, id](int state) {
      if (!FromUser()) return;
      store_.SetCheck(id, FromCheckState(static_cast<Qt::CheckState>(state)));
      command_(id, false);
    });
  } else if (auto* button = qobject_cast<QPushButton*>(widget)) {
    QObject::connect(button, &QPushButton::clicked, button, [this, id] { command_(id, false); });
  } else if (auto* list = qobject_cast<QComboBox*>(widget)) {
    QObject::connect(list, &QComboBox::currentIndexChanged, list, [this, id](int index) {
      if (!FromUser()) return;
      store_.SetSelection(id, index);
      command_(id, true);
    });
  }
}

}  // namespace sorrel::qt
