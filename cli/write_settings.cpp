// The order and encoding of sorrelc's settings writes.
#include "cli/write_settings.h"

#include <optional>

namespace sorrel::cli {

namespace {

int32_t Flag(bool on) {
  return on ? 1 : 0;
}

const char* TextOrNone(const std::optional<std::string>& text) {
  return text ? text->c_str() : nullptr;
}

}  // namespace

void WriteCliSettings(const CliOptions& options, SettingsWriter* writer) {
  writer->WriteSettingInt("FileBackup", Flag(options.backup));
  writer->WriteSettingInt("SearchSubFolders", Flag(options.subfolders));
  writer->WriteSettingInt("CharEncode", options.input_code);
  writer->WriteSettingInt("CharEncodeOther", options.input_code_page);
  writer->WriteSettingInt("WriteEncode", options.output_code);
  writer->WriteSettingInt("WriteEncodeOther", options.output_code_page);
  writer->WriteSettingInt("CrlfTrans", Flag(options.line_end_unify));
  writer->WriteSettingInt("CrlfTransWay", options.line_end_kind);
  writer->WriteSettingInt("ZenSp2SpSp", Flag(options.full_width_space));
  writer->WriteSettingInt("DelRightWhiteSpace", Flag(options.trailing_space));
  writer->WriteSettingInt("Tab2Space", Flag(options.tab_expand));
  writer->WriteSettingInt("Tab2SpaceClm", options.tab_width);
  writer->WriteSettingInt("DelControlCode", Flag(options.delete_control));
  writer->WriteSettingInt("ControlCode2Space", Flag(options.control_to_space));
  writer->WriteSettingInt("SETTS", Flag(options.keep_times));
  writer->WriteSettingInt("ReplaceString", Flag(options.before_replace.has_value() &&
                                                options.after_replace.has_value()));
  writer->WriteSettingString("BeforeReplace", TextOrNone(options.before_replace));
  writer->WriteSettingString("AfterReplace", TextOrNone(options.after_replace));
  writer->WriteSettingInt("RepUseRegex", Flag(options.use_regex));
  writer->WriteSettingInt("RepICase", Flag(options.ignore_case));
  writer->WriteSettingInt("Rep1Line", Flag(options.single_line));
  writer->WriteSettingInt("RepMatchNotDotNewLine", Flag(options.dot_not_newline));
  writer->WriteSettingInt("InsLfByte", options.insert_every_bytes);
  writer->WriteSettingInt("InsLfChar", options.insert_every_chars);
}

void WriteTargetPath(const std::string& full_path, SettingsWriter* writer) {
  writer->WriteSettingString("TargetPath", full_path.c_str());
}

}  // namespace sorrel::cli
