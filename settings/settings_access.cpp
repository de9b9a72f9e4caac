// The settings accessors of both programs.
#include "settings/settings_access.h"

#include <optional>

#include "base/utf.h"
#include "platform/paths.h"
#include "settings/decimal.h"
#include "settings/profile.h"
#include "settings/rega.h"
#include "settings/regw.h"

namespace sorrel::settings {
namespace {

// Notes a text written, for a transaction to check that it reads back.
void Note(const SettingsContext& ctx, std::u16string_view key, std::u16string_view text) {
  if (ctx.written != nullptr) ctx.written->emplace_back(key, text);
}

}  // namespace

std::string IniPathIn(const std::string& program_folder) {
  return platform::JoinPath(program_folder, "sorrel.ini");
}

std::u16string ReadSettingString(const SettingsContext& ctx, const char16_t* key) {
  if (ctx.ini_mode) return GetProfileString(*ctx.ini, kIniSection, key, u"");
  std::u16string buffer;
  REGW reg(ctx.registry, ctx.user, ctx.language);
  if (reg.OpenKey(REGW::Mode::Read)) {
    reg.ReadStringW(key, &buffer);
    reg.CloseKey();
  }
  return buffer;
}

int32_t ReadSettingInt(const SettingsContext& ctx, const char16_t* key, int32_t default_value) {
  if (ctx.ini_mode) return GetProfileInt(*ctx.ini, kIniSection, key, default_value);
  int32_t result = default_value;
  REGW reg(ctx.registry, ctx.user, ctx.language);
  if (reg.OpenKey(REGW::Mode::Read)) {
    result = reg.ReadIntegerW(key, default_value);
    reg.CloseKey();
  }
  return result;
}

void WriteSettingString(const SettingsContext& ctx, const char16_t* key, std::u16string_view text) {
  Note(ctx, key, text);
  if (ctx.ini_mode) {
    WriteProfileString(ctx.ini, kIniSection, key, text);
    return;
  }
  REGW reg(ctx.registry, ctx.user, ctx.language);
  if (reg.OpenKey(REGW::Mode::Write)) {
    reg.WriteStringW(key, text);
    reg.CloseKey();
  }
}

void WriteSettingInt(const SettingsContext& ctx, const char16_t* key, int32_t value) {
  if (ctx.ini_mode) {
    WriteProfileString(ctx.ini, kIniSection, key, FormatUnsigned(value));
    return;
  }
  REGW reg(ctx.registry, ctx.user, ctx.language);
  if (reg.OpenKey(REGW::Mode::Write)) {
    reg.WriteIntegerW(key, value);
    reg.CloseKey();
  }
}

void WriteSettingString(const SettingsContext& ctx, const char* key, const char* text) {
  Note(ctx, Utf8ToUtf16(key), text != nullptr ? BytesToUtf16(text) : std::u16string());
  if (ctx.ini_mode) {
    std::optional<std::u16string> value;
    if (text != nullptr) value = BytesToUtf16(text);
    WriteProfileString(ctx.ini, kIniSection, Utf8ToUtf16(key), value);
    return;
  }
  REGA reg(ctx.registry, ctx.user, ctx.language);
  if (reg.OpenKey()) {
    reg.WriteStringA(key, text != nullptr ? text : "");
    reg.CloseKey();
  }
}

void WriteSettingInt(const SettingsContext& ctx, const char* key, int32_t value) {
  if (ctx.ini_mode) {
    WriteProfileString(ctx.ini, kIniSection, Utf8ToUtf16(key), FormatUnsigned(value));
    return;
  }
  REGA reg(ctx.registry, ctx.user, ctx.language);
  if (reg.OpenKey()) {
    reg.WriteIntegerA(key, value);
    reg.CloseKey();
  }
}

}  // namespace sorrel::settings
