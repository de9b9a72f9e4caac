// The tool-tip tables of the main dialog and of the About box, in both
// languages, as data that a view applies to its controls by id.
#pragma once

#include <span>
#include <string>
#include <utility>
#include <vector>

#include "base/ui_language.h"

namespace sorrel {

// One tip: a control id and its text. A table ends at its first entry whose
// id is 0 or whose text is null; the texts are static and live for ever.
struct ToolTipEntry {
  int id;
  const char16_t* text;
};

// The main dialog's table in language (Japanese 29 tips, English 26: the
// English dialog has none over the byte count, the line-end list and the
// character count), ended by its end entry.
std::span<const ToolTipEntry> MainDialogToolTips(UiLanguage language);

// The About box's table in language (4 tips), ended by its end entry.
std::span<const ToolTipEntry> AboutBoxToolTips(UiLanguage language);

// The tips of table before its end entry, in order, as (id, text) pairs.
std::vector<std::pair<int, std::u16string>> ToolTipPairs(std::span<const ToolTipEntry> table);

}  // namespace sorrel
