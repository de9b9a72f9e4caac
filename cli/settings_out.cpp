// Which field of the command line feeds which settings key.
#include "cli/settings_out.h"

#include <optional>
#include <string_view>

#include "settings/settings_access.h"
#include "settings/settings_keys.h"

namespace sorrel::cli {
namespace {

using settings::SettingKey;

int32_t Flag(bool on) {
  return on ? 1 : 0;
}

const char* TextOrNone(const std::optional<std::string>& text) {
  return text ? text->c_str() : nullptr;
}

bool Is(const SettingKey& key, const SettingKey& which) {
  return std::u16string_view(key.name) == which.name;
}

// The integer a command line stores under key; key is not a string key.
int32_t IntegerOf(const CliOptions& o, const SettingKey& key) {
  namespace k = settings;
  if (Is(key, k::kFileBackup)) return Flag(o.backup);
  if (Is(key, k::kSearchSubFolders)) return Flag(o.subfolders);
  if (Is(key, k::kCharEncode)) return o.input_code;
  if (Is(key, k::kCharEncodeOther)) return o.input_code_page;
  if (Is(key, k::kWriteEncode)) return o.output_code;
  if (Is(key, k::kWriteEncodeOther)) return o.output_code_page;
  if (Is(key, k::kCrlfTrans)) return Flag(o.line_end_unify);
  if (Is(key, k::kCrlfTransWay)) return o.line_end_kind;
  if (Is(key, k::kZenSp2SpSp)) return Flag(o.full_width_space);
  if (Is(key, k::kDelRightWhiteSpace)) return Flag(o.trailing_space);
  if (Is(key, k::kTab2Space)) return Flag(o.tab_expand);
  if (Is(key, k::kTab2SpaceClm)) return o.tab_width;
  if (Is(key, k::kDelControlCode)) return Flag(o.delete_control);
  if (Is(key, k::kControlCode2Space)) return Flag(o.control_to_space);
  if (Is(key, k::kSETTS)) return Flag(o.keep_times);
  if (Is(key, k::kReplaceString)) {
    return Flag(o.before_replace.has_value() && o.after_replace.has_value());
  }
  if (Is(key, k::kRepUseRegex)) return Flag(o.use_regex);
  if (Is(key, k::kRepICase)) return Flag(o.ignore_case);
  if (Is(key, k::kRep1Line)) return Flag(o.single_line);
  if (Is(key, k::kRepMatchNotDotNewLine)) return Flag(o.dot_not_newline);
  if (Is(key, k::kInsLfByte)) return o.insert_every_bytes;
  if (Is(key, k::kInsLfChar)) return o.insert_every_chars;
  return key.default_value;
}

}  // namespace

void WriteCliSettings(const CliOptions& options, const settings::SettingsContext& ctx) {
  for (const SettingKey& key : settings::kSettingKeys) {
    if (Is(key, settings::kTargetPath)) continue;
    if (Is(key, settings::kBeforeReplace)) {
      settings::WriteSettingString(ctx, key.narrow_name, TextOrNone(options.before_replace));
    } else if (Is(key, settings::kAfterReplace)) {
      settings::WriteSettingString(ctx, key.narrow_name, TextOrNone(options.after_replace));
    } else {
      settings::WriteSettingInt(ctx, key.narrow_name, IntegerOf(options, key));
    }
  }
}

void WriteTargetPath(const std::string& full_path, const settings::SettingsContext& ctx) {
  settings::WriteSettingString(ctx, settings::kTargetPath.narrow_name, full_path.c_str());
}

}  // namespace sorrel::cli
