// The settings keys into and out of the main dialog's controls.
#include "settings/load_save.h"

#include "base/edit_number.h"
#include "settings/decimal.h"
#include "settings/registry_value.h"
#include "settings/settings_access.h"
#include "settings/settings_keys.h"

namespace sorrel::settings {
namespace {

// The tab width a stored 0 stands for.
constexpr int32_t kDefaultTabWidth = 4;

int CheckState(bool checked) {
  return checked ? kChecked : kUnchecked;
}

void LoadKey(const SettingsContext& ctx, const SettingKey& key, ControlStore* dialog) {
  if (key.kind == KeyKind::String) {
    dialog->SetText(key.control, ReadSettingString(ctx, key.name));
    return;
  }
  const int32_t value = ReadSettingInt(ctx, key.name, key.default_value);
  switch (key.kind) {
    case KeyKind::Flag:
      dialog->SetCheck(key.control, CheckState(value != 0));
      break;
    case KeyKind::CodePageIndex: {
      const int32_t entry = value >= 0 && value < kCodePageEntries ? value : 0;
      dialog->SetSelection(key.control, entry);
      dialog->SetEnabled(key.partner, entry == kOtherCodePageEntry);
      break;
    }
    case KeyKind::CodePageOther:
      dialog->SetText(key.control, value == 0 ? u"-" : FormatUnsigned(value));
      break;
    case KeyKind::LineEndKind:
      dialog->SetSelection(key.control, value == 1 || value == 2 ? value : 0);
      break;
    case KeyKind::TabWidth:
      dialog->SetText(key.control, FormatUnsigned(value == 0 ? kDefaultTabWidth : value));
      break;
    case KeyKind::InsertEvery:
      dialog->SetCheck(key.partner, CheckState(value != 0));
      if (value != 0) dialog->SetText(key.control, FormatUnsigned(value));
      break;
    case KeyKind::String:
      break;
  }
}

int32_t EditNumber(const ControlStore& dialog, int id) {
  return static_cast<int32_t>(ReadEditNumber(dialog.Text(id)));
}

void SaveKey(const SettingsContext& ctx, const SettingKey& key, const ControlStore& dialog) {
  switch (key.kind) {
    case KeyKind::String:
      WriteSettingString(ctx, key.name,
                         std::u16string_view(dialog.Text(key.control)).substr(0, kMaxSettingUnits));
      break;
    case KeyKind::Flag:
      WriteSettingInt(ctx, key.name, dialog.IsChecked(key.control) ? 1 : 0);
      break;
    case KeyKind::CodePageIndex:
    case KeyKind::LineEndKind:
      WriteSettingInt(ctx, key.name, dialog.Selection(key.control));
      break;
    case KeyKind::CodePageOther:
    case KeyKind::TabWidth:
      WriteSettingInt(ctx, key.name, EditNumber(dialog, key.control));
      break;
    case KeyKind::InsertEvery:
      WriteSettingInt(ctx, key.name,
                      dialog.IsChecked(key.partner) ? EditNumber(dialog, key.control) : 0);
      break;
  }
}

}  // namespace

void LoadSettings(const SettingsContext& ctx, ControlStore* dialog) {
  for (const SettingKey& key : kSettingKeys) LoadKey(ctx, key, dialog);
}

void SaveSettings(const SettingsContext& ctx, const ControlStore& dialog) {
  for (const SettingKey& key : kSettingKeys) SaveKey(ctx, key, dialog);
}

}  // namespace sorrel::settings
