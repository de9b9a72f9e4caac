// The settings accessors: one value read or written by its settings key in
// the copy of the store the context holds. Each call opens the key, reads or
// writes one value and closes it again; no key stays open between calls.
// Failures are not reported: a read gives its default, a write does nothing.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "settings/settings_context.h"

namespace sorrel::settings {

// sorrel's accessors, with UTF-16 keys and texts (REGW in registry mode).

// The key's text, at most 8191 units; empty when it is missing.
std::u16string ReadSettingString(const SettingsContext& ctx, const char16_t* key);
// The key's integer; default_value when it is missing or unreadable.
int32_t ReadSettingInt(const SettingsContext& ctx, const char16_t* key, int32_t default_value);
void WriteSettingString(const SettingsContext& ctx, const char16_t* key, std::u16string_view text);
// In the INI file as unsigned decimal text (so -1 is 4294967295).
void WriteSettingInt(const SettingsContext& ctx, const char16_t* key, int32_t value);

// sorrelc's writers, with narrow keys and texts (REGA in registry mode): the
// texts are native bytes, UTF-8 or not (see BytesToUtf16).

// A null text removes the key from the INI file and stores the empty text in
// the registry; either reads back as the empty text.
void WriteSettingString(const SettingsContext& ctx, const char* key, const char* text);
void WriteSettingInt(const SettingsContext& ctx, const char* key, int32_t value);

}  // namespace sorrel::settings
