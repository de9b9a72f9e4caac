// What one conversion job works with: the main dialog's controls, the
// platform's services, the process-wide flags, and the job state the engine
// shares between its steps (the counters and the report log).
#pragma once

#include <bitset>
#include <cstdint>
#include <functional>
#include <set>
#include <string>
#include <utility>

#include "platform/code_pages.h"
#include "platform/control_store.h"
#include "platform/file_system.h"
#include "platform/ui_language.h"
#include "platform/user_interaction.h"

namespace sorrel {

struct JobContext {
  // The main dialog: the job reads its options here and it owns every box.
  ControlStore* dialog = nullptr;

  platform::FileSystem* fs = nullptr;
  platform::CodePageService* code_pages = nullptr;
  platform::SystemConversion* system_conversion = nullptr;
  platform::UserInteraction* ui = nullptr;
  platform::Console* console = nullptr;

  UiLanguage language = UiLanguage::Japanese;
  bool cui_mode = false;
  // The application title: the caption of the job's error boxes.
  std::u16string title = u"Sorrel";

  // Runs when the result dialog is closed: saves the settings from the dialog.
  std::function<void()> save_settings;

  // Files read and fully processed, and files written back, in this run.
  uint32_t TargetCount = 0;
  uint32_t ReplacedCount = 0;
  // The run's report lines, each ending in CR+LF.
  std::u16string MessageLog;

  // The files (device, inode) the walk has read or written so far; null
  // outside a walk. A file met again under another name (a hard link, a
  // symbolic link, a backup made in this run) is not processed twice.
  std::set<std::pair<uint64_t, uint64_t>>* walked_files = nullptr;

  const char16_t* Text(const TextPair& pair) const { return pair.In(language); }
};

}  // namespace sorrel
