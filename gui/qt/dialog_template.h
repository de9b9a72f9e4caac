// Dialog templates as plain data: each control's kind, numeric id, rectangle
// in dialog units and caption, in the order that is also the tab order. The
// views build their widgets from these tables.
#pragma once

#include <cstddef>

#include "base/ui_language.h"

namespace sorrel::qt {

enum class ControlKind {
  Label,
  Edit,
  DigitsEdit,  // accepts digits only
  PushButton,
  DefaultPushButton,
  CheckBox,
  DropList,  // its height is the dropped-down height
  GroupBox,
  Bitmap,   // sized by its image, hidden until shown
  LogEdit,  // multi-line, read-only, both scroll bars
};

// x, y, width, height in dialog units.
struct DluRect {
  int x = 0;
  int y = 0;
  int w = 0;
  int h = 0;
};

// Controls without an id of their own (plain labels).
inline constexpr int kNoId = -1;

struct ControlTemplate {
  int id;
  ControlKind kind;
  DluRect rect;
  const char16_t* caption;  // null for controls without one
};

struct DialogTemplate {
  const char16_t* title;
  int width;  // client area in dialog units
  int height;
  const ControlTemplate* controls;
  size_t count;
};

// Control ids of the result dialog.
namespace result_ids {
inline constexpr int kOk = 2;
inline constexpr int kSummary = 1031;
inline constexpr int kLog = 1032;
inline constexpr int kLogLabel = 1033;
}  // namespace result_ids

// The main dialog (Japanese 40 controls, English 39, without the banner).
const DialogTemplate& MainDialogTemplate(UiLanguage language);

// The result dialog of a run.
const DialogTemplate& ResultDialogTemplate(UiLanguage language);

}  // namespace sorrel::qt
