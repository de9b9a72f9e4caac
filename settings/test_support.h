// Fixtures of the settings tests: a temporary folder that is also the user's
// settings folder, a user that records boxes, a copy of the store in memory
// and the store over the real files in the folder.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/user_interaction.h"
#include "settings/hive_registry.h"
#include "settings/settings_context.h"
#include "settings/settings_store.h"

namespace sorrel::settings::testing {

class RecordingUser : public platform::UserInteraction {
 public:
  struct Box {
    std::u16string text;
    std::u16string caption;
    platform::Buttons buttons;
    platform::Icon icon;
  };
  platform::Answer MessageBox(std::u16string_view text, std::u16string_view caption,
                              platform::Buttons buttons, platform::Icon icon) override {
    boxes.push_back(Box{std::u16string(text), std::u16string(caption), buttons, icon});
    return platform::Answer::Ok;
  }
  bool IsForeground() override { return true; }
  bool IsAbortKeyDown() override { return false; }
  void ShowResult(std::u16string_view, std::u16string_view, const std::function<void()>&) override {
  }
  std::vector<Box> boxes;
};

// A fresh folder, removed with its contents at the end of the test. While it
// lives, XDG_CONFIG_HOME names its "config" subfolder (not created).
class TempHome {
 public:
  TempHome();
  ~TempHome();
  TempHome(const TempHome&) = delete;
  TempHome& operator=(const TempHome&) = delete;
  const std::string& path() const { return path_; }
  std::string Path(const std::string& relative) const { return path_ + "/" + relative; }
  void Write(const std::string& relative, const std::string& bytes) const;
  std::string Read(const std::string& relative) const;
  bool Exists(const std::string& relative) const;
  // The names in a folder of the temporary folder, sorted.
  std::vector<std::string> List(const std::string& relative) const;

 private:
  std::string path_;
  std::string saved_xdg_;
  bool had_xdg_ = false;
};

// A temporary home with a context over an empty copy of the store in memory,
// and the store over its real files: the hive file in its settings folder,
// or "sorrel.ini" in it in INI mode.
struct RealStores {
  explicit RealStores(bool ini_mode, UiLanguage lang = UiLanguage::English);
  TempHome home;
  std::unique_ptr<platform::SettingsFiles> files_owner = platform::NewSettingsFiles();
  platform::SettingsFiles& files = *files_owner;
  RecordingUser user;
  std::vector<std::u16string> report;
  Hive hive;
  HiveRegistry registry{&hive};
  IniDocument ini;
  SettingsContext ctx;
  SettingsStore store;
  // The store's file, relative to the home.
  std::string file() const { return ctx.ini_mode ? "sorrel.ini" : "config/sorrel/registry.reg"; }
};

// Bytes of a UTF-16LE text.
std::string Utf16LeBytes(std::u16string_view text);

}  // namespace sorrel::settings::testing
