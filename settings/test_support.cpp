// The settings tests' fixtures.
#include "settings/test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace sorrel::settings::testing {

TempHome::TempHome() {
  std::string pattern =
      (std::filesystem::temp_directory_path() / "sorrel-settings-XXXXXX").string();
  if (mkdtemp(pattern.data()) == nullptr) ADD_FAILURE() << "mkdtemp failed";
  path_ = pattern;
  if (const char* xdg = std::getenv("XDG_CONFIG_HOME")) {
    had_xdg_ = true;
    saved_xdg_ = xdg;
  }
  setenv("XDG_CONFIG_HOME", Path("config").c_str(), 1);
}

TempHome::~TempHome() {
  if (had_xdg_) {
    setenv("XDG_CONFIG_HOME", saved_xdg_.c_str(), 1);
  } else {
    unsetenv("XDG_CONFIG_HOME");
  }
  std::error_code ec;
  std::filesystem::remove_all(path_, ec);
}

void TempHome::Write(const std::string& relative, const std::string& bytes) const {
  std::ofstream(Path(relative), std::ios::binary) << bytes;
}

std::string TempHome::Read(const std::string& relative) const {
  std::ifstream in(Path(relative), std::ios::binary);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

bool TempHome::Exists(const std::string& relative) const {
  return std::filesystem::exists(Path(relative));
}

std::vector<std::string> TempHome::List(const std::string& relative) const {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(Path(relative))) {
    names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

RealStores::RealStores(bool ini_mode, UiLanguage lang)
    : store(&files, ini_mode, ini_mode ? IniPathIn(home.path()) : RegistryStorePath(&files), lang, &user,
            [this](std::u16string_view line) { report.emplace_back(line); }) {
  ctx.ini_mode = ini_mode;
  ctx.language = lang;
  ctx.user = &user;
  ctx.registry = &registry;
  ctx.ini = &ini;
}

std::string Utf16LeBytes(std::u16string_view text) {
  std::string bytes;
  for (char16_t unit : text) {
    bytes.push_back(static_cast<char>(unit & 0xFF));
    bytes.push_back(static_cast<char>(unit >> 8));
  }
  return bytes;
}

}  // namespace sorrel::settings::testing
