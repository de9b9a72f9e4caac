// Hands each value to the store's accessors, which open, write and close.
#include "cli/store_writer.h"

#include "settings/profile.h"
#include "settings/settings_access.h"

namespace sorrel::cli {

namespace {

class StoreWriter : public SettingsWriter {
 public:
  explicit StoreWriter(const settings::SettingsContext& context) : context_(context) {}
  void WriteSettingInt(const char* key, int32_t value) override {
    settings::WriteSettingInt(context_, key, value);
  }
  void WriteSettingString(const char* key, const char* text) override {
    settings::WriteSettingString(context_, key, text);
  }

 private:
  settings::SettingsContext context_;
};

}  // namespace

std::unique_ptr<SettingsWriter> OpenStoreWriter(const settings::SettingsContext& context) {
  if (context.ini_mode) settings::EnsureIniFile(context.files, context.ini_path);
  return std::make_unique<StoreWriter>(context);
}

}  // namespace sorrel::cli
