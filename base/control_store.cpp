// The main dialog's controls as plain data.
#include "base/control_store.h"

namespace sorrel {

const ControlStore::Control& ControlStore::Get(int id) const {
  static const Control kAbsent;
  auto it = controls_.find(id);
  return it == controls_.end() ? kAbsent : it->second;
}

ControlStore::Control& ControlStore::Edit(int id) {
  return controls_[id];
}

void ControlStore::Changed(int id) {
  if (observer_) observer_(id);
}

const std::u16string& ControlStore::Text(int id) const {
  return Get(id).text;
}

void ControlStore::SetText(int id, std::u16string text) {
  Edit(id).text = std::move(text);
  Changed(id);
}

int ControlStore::Check(int id) const {
  return Get(id).check;
}

void ControlStore::SetCheck(int id, int state) {
  Edit(id).check = state;
  Changed(id);
}

const std::vector<std::u16string>& ControlStore::Items(int id) const {
  return Get(id).items;
}

void ControlStore::ClearItems(int id) {
  Control& c = Edit(id);
  c.items.clear();
  c.selection = -1;
  Changed(id);
}

void ControlStore::AddItem(int id, std::u16string item) {
  Edit(id).items.push_back(std::move(item));
  Changed(id);
}

int ControlStore::Selection(int id) const {
  return Get(id).selection;
}

void ControlStore::SetSelection(int id, int index) {
  Control& c = Edit(id);
  c.selection = index >= 0 && static_cast<size_t>(index) < c.items.size() ? index : -1;
  Changed(id);
}

bool ControlStore::Enabled(int id) const {
  return Get(id).enabled;
}

void ControlStore::SetEnabled(int id, bool enabled) {
  Edit(id).enabled = enabled;
  Changed(id);
}

bool ControlStore::Visible(int id) const {
  return Get(id).visible;
}

void ControlStore::SetVisible(int id, bool visible) {
  Edit(id).visible = visible;
  Changed(id);
}

size_t ControlStore::TextLimit(int id) const {
  return Get(id).text_limit;
}

void ControlStore::SetTextLimit(int id, size_t limit) {
  Edit(id).text_limit = limit;
  Changed(id);
}

}  // namespace sorrel
