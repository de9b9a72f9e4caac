// The store and the dialog's controls kept alike.
#include "gui/win32/control_sync.h"

#include <string>

namespace sorrel::win32 {
namespace {

std::u16string WindowText(HWND control) {
  const int length = GetWindowTextLengthW(control);
  std::u16string text(static_cast<size_t>(length) + 1, u'\0');
  const int got = GetWindowTextW(control, reinterpret_cast<wchar_t*>(text.data()), length + 1);
  text.resize(static_cast<size_t>(got > 0 ? got : 0));
  return text;
}

const wchar_t* Wide(const std::u16string& text) {
  return reinterpret_cast<const wchar_t*>(text.c_str());
}

}  // namespace

ControlSync::ControlSync(ControlStore& store, HWND dialog) : store_(store), dialog_(dialog) {
  for (HWND child = GetWindow(dialog, GW_CHILD); child != nullptr;
       child = GetWindow(child, GW_HWNDNEXT)) {
    const int id = GetDlgCtrlID(child);
    if (id <= 0 || id == 0xFFFF || KindOf(child) != Kind::Other) continue;
    store_.SetText(id, WindowText(child));
  }
  store_.SetObserver([this](int id) { Show(id); });
}

ControlSync::~ControlSync() {
  store_.SetObserver(nullptr);
}

ControlSync::Kind ControlSync::KindOf(HWND control) const {
  wchar_t name[32] = {};
  GetClassNameW(control, name, 32);
  if (_wcsicmp(name, L"Edit") == 0) return Kind::Edit;
  if (_wcsicmp(name, L"ComboBox") == 0) return Kind::ComboBox;
  if (_wcsicmp(name, L"Button") == 0) {
    const LONG_PTR style = GetWindowLongPtrW(control, GWL_STYLE) & BS_TYPEMASK;
    if (style == BS_AUTOCHECKBOX || style == BS_CHECKBOX || style == BS_AUTO3STATE ||
        style == BS_3STATE) {
      return Kind::CheckBox;
    }
  }
  return Kind::Other;
}

void ControlSync::Show(int id) {
  HWND control = GetDlgItem(dialog_, id);
  if (control == nullptr || id == from_user_) return;
  showing_ = true;
  switch (KindOf(control)) {
    case Kind::Edit:
      SendMessageW(control, EM_LIMITTEXT, store_.TextLimit(id), 0);
      if (WindowText(control) != store_.Text(id)) SetWindowTextW(control, Wide(store_.Text(id)));
      break;
    case Kind::CheckBox:
      CheckDlgButton(dialog_, id, static_cast<UINT>(store_.Check(id)));
      break;
    case Kind::ComboBox: {
      const auto& items = store_.Items(id);
      if (SendMessageW(control, CB_GETCOUNT, 0, 0) != static_cast<LRESULT>(items.size())) {
        SendMessageW(control, CB_RESETCONTENT, 0, 0);
        for (const std::u16string& item : items) {
          SendMessageW(control, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Wide(item)));
        }
      }
      SendMessageW(control, CB_SETCURSEL, static_cast<WPARAM>(store_.Selection(id)), 0);
      break;
    }
    case Kind::Other:
      if (WindowText(control) != store_.Text(id)) SetWindowTextW(control, Wide(store_.Text(id)));
      break;
  }
  EnableWindow(control, store_.Enabled(id) ? TRUE : FALSE);
  const bool visible = (GetWindowLongPtrW(control, GWL_STYLE) & WS_VISIBLE) != 0;
  if (visible != store_.Visible(id)) ShowWindow(control, store_.Visible(id) ? SW_SHOW : SW_HIDE);
  // No message is dispatched while a run lasts: the running caption of
  // Start is painted now.
  UpdateWindow(control);
  showing_ = false;
}

bool ControlSync::FromUser(int id, int notification, bool* selection_changed) {
  *selection_changed = false;
  if (showing_) return false;  // the store's own change coming back
  HWND control = GetDlgItem(dialog_, id);
  if (control == nullptr) return false;
  from_user_ = id;
  switch (KindOf(control)) {
    case Kind::Edit:
      if (notification == EN_CHANGE) store_.SetText(id, WindowText(control));
      break;
    case Kind::CheckBox:
      if (notification == BN_CLICKED) {
        store_.SetCheck(id, static_cast<int>(IsDlgButtonChecked(dialog_, id)));
      }
      break;
    case Kind::ComboBox:
      if (notification == CBN_SELCHANGE) {
        store_.SetSelection(id, static_cast<int>(SendMessageW(control, CB_GETCURSEL, 0, 0)));
        *selection_changed = true;
      }
      break;
    case Kind::Other:
      break;
  }
  from_user_ = 0;
  return true;
}

}  // namespace sorrel::win32
