// Every option of one conversion job, read from the main dialog's controls.
#pragma once

#include <cstdint>
#include <string>

#include "base/control_store.h"
#include "engine/replacement.h"
#include "engine/text_buffer.h"

namespace sorrel {

struct ConversionOptions {
  std::u16string TargetFolder;   // keeps its trailing separator
  std::u16string TargetPattern;  // wildcard pattern of the file names
  short CharEncode = 0;          // read list index
  uint32_t CharEncodeOther = 0;
  short WriteEncode = 0;  // write list index
  uint32_t WriteEncodeOther = 0;
  LineEndKind UnifyLineEndKind = -1;  // -1: unification off
  LineEndKind InsertLineEndKind = 0;
  uint32_t Tab2SpaceClm = 0;
  bool FileBackup = false;
  bool SearchSubFolders = false;
  bool ZenSp2SpSp = false;
  bool DelRightWhiteSpace = false;
  bool Tab2Space = false;
  bool DelControlCode = false;
  bool ControlCode2Space = false;
  bool SETTS = false;
  bool ReplaceString = false;
  PreparedReplacement Replacement;
  uint32_t InsLfByte = 0;
  uint32_t InsLfChar = 0;
};

}  // namespace sorrel
