// The main dialog's controls as a toolkit-free store keyed by numeric control
// id. The conversion job reads its options from it, the settings are loaded
// into and saved from it, and a dialog view binds its widgets to it.
#pragma once

#include <cstddef>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace sorrel {

// Check states of a check box, as the platform's dialogs know them.
inline constexpr int kUnchecked = 0;
inline constexpr int kChecked = 1;
inline constexpr int kIndeterminate = 2;

class ControlStore {
 public:
  // Called with the id of every control whose state changes.
  using Observer = std::function<void(int id)>;

  const std::u16string& Text(int id) const;
  void SetText(int id, std::u16string text);

  // 0 unchecked, 1 checked, 2 indeterminate.
  int Check(int id) const;
  void SetCheck(int id, int state);
  // True only in the fully checked state.
  bool IsChecked(int id) const { return Check(id) == kChecked; }

  // List items and selection of a combo box; -1 is no selection.
  const std::vector<std::u16string>& Items(int id) const;
  void ClearItems(int id);
  void AddItem(int id, std::u16string item);
  int Selection(int id) const;
  void SetSelection(int id, int index);

  bool Enabled(int id) const;
  void SetEnabled(int id, bool enabled);
  bool Visible(int id) const;
  void SetVisible(int id, bool visible);

  // The longest text the user may type; 0 is the platform's default limit.
  size_t TextLimit(int id) const;
  void SetTextLimit(int id, size_t limit);

  void SetObserver(Observer observer) { observer_ = std::move(observer); }

 private:
  struct Control {
    std::u16string text;
    int check = kUnchecked;
    std::vector<std::u16string> items;
    int selection = -1;
    bool enabled = true;
    bool visible = true;
    size_t text_limit = 0;
  };
  const Control& Get(int id) const;
  Control& Edit(int id);
  void Changed(int id);

  std::map<int, Control> controls_;
  Observer observer_;
};

}  // namespace sorrel
