// What one conversion job works with: the main dialog's controls, the
// platform's services, the process-wide flags, and the job state the engine
// shares between its steps (the counters and the report log).
#pragma once

#include <bitset>
#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <utility>

#include "base/control_store.h"
#include "base/ui_language.h"
#include "platform/code_pages.h"
#include "platform/file_system.h"
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
  // When set, report lines are held here, to be given out later in the
  // walk's order (file_pipeline.h).
  std::u16string* held_lines = nullptr;

  // The files the walk has read or written so far, by device and inode, with
  // the state the walk left each in; null outside a walk. A file met again in
  // that state under another name (a hard link, a symbolic link, a backup
  // made in this run) is not processed twice. A number that the system has
  // handed to another file since (a rewrite frees the old one) no longer
  // matches that state, so the new file is processed.
  std::map<std::pair<uint64_t, uint64_t>, platform::FileSnapshot>* walked_files = nullptr;

  const char16_t* Text(const TextPair& pair) const { return pair.In(language); }
};

}  // namespace sorrel
