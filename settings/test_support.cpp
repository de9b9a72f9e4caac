// The settings tests' fixtures.
#include "settings/test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>

namespace sorrel::settings::testing {

namespace {

void SetVariable(const char* name, const char* value) {
#ifdef _WIN32
  _putenv_s(name, value != nullptr ? value : "");
#else
  if (value != nullptr) {
    setenv(name, value, 1);
  } else {
    unsetenv(name);
  }
#endif
}

}  // namespace

TempHome::TempHome() {
  std::random_device random;
  for (int attempt = 0; path_.empty() && attempt < 100; ++attempt) {
    const std::filesystem::path candidate =
        std::filesystem::temp_directory_path() /
        ("sorrel-settings-" + std::to_string(random()) + "-" + std::to_string(attempt));
    std::error_code error;
    if (std::filesystem::create_directory(candidate, error)) path_ = candidate.generic_string();
  }
  if (path_.empty()) ADD_FAILURE() << "cannot make a temporary folder";
  if (const char* xdg = std::getenv("XDG_CONFIG_HOME")) {
    had_xdg_ = true;
    saved_xdg_ = xdg;
  }
  SetVariable("XDG_CONFIG_HOME", Path("config").c_str());
}

TempHome::~TempHome() {
  SetVariable("XDG_CONFIG_HOME", had_xdg_ ? saved_xdg_.c_str() : nullptr);
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
    : store(&files, ini_mode, ini_mode ? IniPathIn(home.path()) : RegistryStorePath(&files), lang,
            &user, [this](std::u16string_view line) { report.emplace_back(line); }) {
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
