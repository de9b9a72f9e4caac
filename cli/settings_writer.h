// What sorrelc asks of the settings store it writes: one value at a time, by
// the settings key's name, into the registry or the INI file of this run.
#pragma once

#include <cstdint>

namespace sorrel::cli {

class SettingsWriter {
 public:
  virtual ~SettingsWriter() = default;
  // Stores value under key (in the INI file as unsigned decimal text). A
  // failure is the store's to report; sorrelc goes on regardless.
  virtual void WriteSettingInt(const char* key, int32_t value) = 0;
  // Stores text under key; a null text passes no text (in the INI file this
  // removes the key).
  virtual void WriteSettingString(const char* key, const char* text) = 0;
};

}  // namespace sorrel::cli
