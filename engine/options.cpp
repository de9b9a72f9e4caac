// The job's view of the main dialog: which control feeds which option.
#include "engine/options.h"

#include "base/edit_number.h"
#include "base/main_dialog_ids.h"
#include "base/utf.h"
#include "platform/file_system.h"
#include "platform/paths.h"

namespace sorrel {

void SplitTargetPath(std::u16string_view path, std::u16string* folder, std::u16string* pattern) {
  folder->clear();
  pattern->clear();
  if (Utf16ToBytes(path).size() >= platform::kMaxPathBytes) return;
  const size_t folder_length = platform::FolderPartLength(path);
  folder->assign(path.substr(0, folder_length));
  pattern->assign(path.substr(folder_length));
}

void ReadConversionOptions(const ControlStore& dialog, ConversionOptions* options) {
  SplitTargetPath(dialog.Text(ids::kTargetPath), &options->TargetFolder, &options->TargetPattern);
  options->FileBackup = dialog.IsChecked(ids::kFileBackup);
  options->SearchSubFolders = dialog.IsChecked(ids::kSearchSubFolders);
  options->CharEncode = static_cast<short>(dialog.Selection(ids::kCharEncode));
  options->CharEncodeOther = ReadEditNumber(dialog.Text(ids::kCharEncodeOther));
  options->WriteEncode = static_cast<short>(dialog.Selection(ids::kWriteEncode));
  options->WriteEncodeOther = ReadEditNumber(dialog.Text(ids::kWriteEncodeOther));
  options->InsLfByte =
      dialog.IsChecked(ids::kInsLfByteCheck) ? ReadEditNumber(dialog.Text(ids::kInsLfByte)) : 0;
  const auto line_end = static_cast<LineEndKind>(dialog.Selection(ids::kCrlfTransWay));
  options->UnifyLineEndKind = dialog.IsChecked(ids::kCrlfTrans) ? line_end : LineEndKind{-1};
  options->InsertLineEndKind = line_end;
  options->ZenSp2SpSp = dialog.IsChecked(ids::kZenSp2SpSp);
  options->DelRightWhiteSpace = dialog.IsChecked(ids::kDelRightWhiteSpace);
  options->Tab2Space = dialog.IsChecked(ids::kTab2Space);
  options->Tab2SpaceClm = ReadEditNumber(dialog.Text(ids::kTab2SpaceClm));
  options->DelControlCode = dialog.IsChecked(ids::kDelControlCode);
  options->ControlCode2Space =
      !options->DelControlCode && dialog.IsChecked(ids::kControlCode2Space);
  options->SETTS = dialog.IsChecked(ids::kSETTS);
  options->InsLfChar =
      dialog.IsChecked(ids::kInsLfCharCheck) ? ReadEditNumber(dialog.Text(ids::kInsLfChar)) : 0;
  options->ReplaceString = dialog.IsChecked(ids::kReplaceString);
}

}  // namespace sorrel
