// The main dialog's rules, as the store sees them.
#include "gui/main_dialog_model.h"

#include <string>

#include "base/edit_number.h"
#include "base/main_dialog_ids.h"
#include "engine/encode_table.h"
#include "gui/main_dialog_texts.h"

namespace sorrel {
namespace {

constexpr int kTargetPathLimit = 519;
constexpr int kTabWidthLimit = 2;
constexpr uint32_t kEbcdicKatakana = 20290;

std::u16string Decimal(uint32_t n) {
  const std::string digits = std::to_string(n);
  return std::u16string(digits.begin(), digits.end());
}

}  // namespace

MainDialogModel::MainDialogModel(ControlStore& store, UiLanguage language, bool cui_mode,
                                 Hooks hooks)
    : store_(store), language_(language), cui_mode_(cui_mode), hooks_(std::move(hooks)) {}

void MainDialogModel::FillLists() {
  store_.ClearItems(ids::kCrlfTransWay);
  for (const TextPair& item : main_dialog_texts::kLineEndItems) {
    store_.AddItem(ids::kCrlfTransWay, item.In(language_));
  }
  store_.ClearItems(ids::kCharEncode);
  store_.ClearItems(ids::kWriteEncode);
  store_.AddItem(ids::kCharEncode, kReadListFirst.In(language_));
  store_.AddItem(ids::kWriteEncode, kWriteListFirst.In(language_));
  for (int row = 1; EncodeTable[row].name != nullptr; ++row) {
    store_.AddItem(ids::kCharEncode, EncodeTable[row].name);
    store_.AddItem(ids::kWriteEncode, EncodeTable[row].name);
  }
}

void MainDialogModel::Initialise(uint64_t tick) {
  store_.SetEnabled(ids::kCharEncodeOther, false);
  store_.SetEnabled(ids::kWriteEncodeOther, false);
  store_.SetVisible(ids::kBanner, false);
  store_.SetText(ids::kStart, main_dialog_texts::kStart.In(language_));
  FillLists();
  store_.SetTextLimit(ids::kTab2SpaceClm, kTabWidthLimit);
  store_.SetTextLimit(ids::kTargetPath, kTargetPathLimit);
  if (hooks_.load_settings) hooks_.load_settings(store_);
  UpdateControlStates();
  if (language_ == UiLanguage::Japanese && tick % 7 == 0) store_.SetVisible(ids::kBanner, true);
  if (cui_mode_) {
    if (hooks_.run_job) hooks_.run_job();
    End(0);
  }
}

void MainDialogModel::UpdateControlStates() {
  const ControlStore& s = store_;
  auto checked = [&](int id) { return s.IsChecked(id); };
  auto number = [&](int id) { return ReadEditNumber(s.Text(id)); };

  bool something_to_do = s.Selection(ids::kWriteEncode) != 0;
  for (int id : {ids::kInsLfByteCheck, ids::kInsLfCharCheck, ids::kCrlfTrans, ids::kZenSp2SpSp,
                 ids::kDelRightWhiteSpace, ids::kTab2Space, ids::kDelControlCode,
                 ids::kControlCode2Space, ids::kReplaceString}) {
    something_to_do = something_to_do || checked(id);
  }
  const bool start = !s.Text(ids::kTargetPath).empty() && something_to_do &&
                     (!checked(ids::kReplaceString) || !s.Text(ids::kBeforeReplace).empty()) &&
                     (!checked(ids::kTab2Space) || number(ids::kTab2SpaceClm) != 0) &&
                     (!checked(ids::kInsLfByteCheck) || number(ids::kInsLfByte) != 0) &&
                     (!checked(ids::kInsLfCharCheck) || number(ids::kInsLfChar) != 0) &&
                     (s.Selection(ids::kWriteEncode) != 9 || number(ids::kWriteEncodeOther) != 0) &&
                     (s.Selection(ids::kCharEncode) != 9 || number(ids::kCharEncodeOther) != 0);
  if (!running_) store_.SetEnabled(ids::kStart, start);

  const int read = s.Selection(ids::kCharEncode);
  if (read > 0 && read < kEncodeTableRows && EncodeTable[read].code_page == kEbcdicKatakana) {
    store_.SetSelection(ids::kCrlfTransWay, 2);
    store_.SetEnabled(ids::kCrlfTransWay, false);
  } else {
    store_.SetEnabled(ids::kCrlfTransWay, true);
  }

  store_.SetEnabled(ids::kTab2SpaceClmLabel, checked(ids::kTab2Space));
  store_.SetEnabled(ids::kTab2SpaceClm, checked(ids::kTab2Space));
  store_.SetEnabled(ids::kControlCode2Space, !checked(ids::kDelControlCode));

  const bool replace = checked(ids::kReplaceString);
  for (int id : {ids::kReplaceGroup, ids::kBeforeLabel, ids::kAfterLabel, ids::kBeforeReplace,
                 ids::kAfterReplace, ids::kRepUseRegex, ids::kRepICase, ids::kRep1Line,
                 ids::kRepMatchNotDotNewLine}) {
    store_.SetEnabled(id, replace);
  }
  if (replace && !checked(ids::kRepUseRegex)) {
    store_.SetEnabled(ids::kRep1Line, false);
    store_.SetEnabled(ids::kRepMatchNotDotNewLine, false);
  }
  store_.SetEnabled(ids::kInsLfByte, checked(ids::kInsLfByteCheck));
  store_.SetEnabled(ids::kInsLfChar, checked(ids::kInsLfCharCheck));
}

void MainDialogModel::OnListChanged(int list, int number_edit) {
  const int entry = store_.Selection(list);
  if (entry == kOtherIndex) {
    store_.SetEnabled(number_edit, true);
    store_.SetText(number_edit, u"");
    return;
  }
  store_.SetEnabled(number_edit, false);
  if (entry > 0 && entry < kOtherIndex) {
    store_.SetText(number_edit, Decimal(EncodeTable[entry].code_page));
  } else {
    store_.SetText(number_edit, u"-");
  }
}

void MainDialogModel::OnCommand(int id, bool selection_changed) {
  if (running_) return;
  switch (id) {
    case ids::kStart:
      Start();
      return;
    case ids::kClose:
      if (hooks_.save_settings) hooks_.save_settings(store_);
      End(2);
      return;
    case ids::kHelp:
      if (hooks_.show_help) hooks_.show_help();
      return;
    case ids::kAbout:
      if (hooks_.show_about) hooks_.show_about();
      return;
    case ids::kCharEncode:
      if (selection_changed) OnListChanged(ids::kCharEncode, ids::kCharEncodeOther);
      UpdateControlStates();
      return;
    case ids::kWriteEncode:
      if (selection_changed) OnListChanged(ids::kWriteEncode, ids::kWriteEncodeOther);
      UpdateControlStates();
      return;
    case ids::kTargetPath:
    case ids::kCrlfTrans:
    case ids::kZenSp2SpSp:
    case ids::kDelRightWhiteSpace:
    case ids::kTab2Space:
    case ids::kTab2SpaceClm:
    case ids::kDelControlCode:
    case ids::kControlCode2Space:
    case ids::kReplaceString:
    case ids::kBeforeReplace:
    case ids::kInsLfCharCheck:
    case ids::kInsLfByteCheck:
    case ids::kInsLfByte:
    case ids::kInsLfChar:
    case ids::kRepUseRegex:
    case ids::kCharEncodeOther:
    case ids::kWriteEncodeOther:
      UpdateControlStates();
      return;
    default:
      return;
  }
}

void MainDialogModel::Start() {
  running_ = true;
  store_.SetEnabled(ids::kStart, false);
  store_.SetText(ids::kStart, main_dialog_texts::kStartRunning.In(language_));
  if (hooks_.run_job) hooks_.run_job();
  running_ = false;
  if (cui_mode_) {
    End(1);
    return;
  }
  store_.SetEnabled(ids::kStart, true);
  store_.SetText(ids::kStart, main_dialog_texts::kStart.In(language_));
}

bool MainDialogModel::SetTargetPath(std::u16string path) {
  if (path.size() > kTargetPathLimit) return false;
  store_.SetText(ids::kTargetPath, std::move(path));
  UpdateControlStates();
  return true;
}

void MainDialogModel::OnEndSession(bool ending) {
  if (!ending) return;
  if (hooks_.save_settings) hooks_.save_settings(store_);
  End(1);
}

void MainDialogModel::End(int result) {
  ended_ = true;
  result_ = result;
}

}  // namespace sorrel
