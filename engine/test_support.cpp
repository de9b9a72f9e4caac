#include "engine/test_support.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <stdexcept>

#ifdef _WIN32
#include "platform/win32/windows_api.h"
#endif

namespace sorrel::testing {

platform::Answer FakeUser::MessageBox(std::u16string_view text, std::u16string_view caption,
                                      platform::Buttons buttons, platform::Icon icon) {
  boxes.push_back({std::u16string(text), std::u16string(caption), buttons, icon});
  if (answers.empty()) {
    return buttons == platform::Buttons::YesNo ? platform::Answer::Yes : platform::Answer::Ok;
  }
  const platform::Answer answer = answers.front();
  answers.pop_front();
  return answer;
}

bool FakeUser::IsAbortKeyDown() {
  ++abort_polls;
  return std::find(abort_at.begin(), abort_at.end(), abort_polls) != abort_at.end();
}

void FakeUser::ShowResult(std::u16string_view summary, std::u16string_view log,
                          const std::function<void()>& on_close) {
  ++results_shown;
  result_summary = summary;
  result_log = log;
  on_close();
}

std::unique_ptr<platform::CodePageConverter> NoServiceConversion::Create(
    platform::CreateStatus* status) {
  struct CannotConvert : ConverterWrapper {
    using ConverterWrapper::ConverterWrapper;
    platform::EncodeStatus Encode(uint32_t, std::u16string_view, std::string*,
                                  platform::EncodeLosses*) override {
      return platform::EncodeStatus::CannotConvert;
    }
  };
  std::unique_ptr<platform::CodePageConverter> target = target_->Create(status);
  if (!target) return nullptr;
  return std::make_unique<CannotConvert>(std::move(target));
}

bool RunningUnderWine() {
#ifdef _WIN32
  const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
  return ntdll != nullptr && GetProcAddress(ntdll, "wine_get_version") != nullptr;
#else
  return false;
#endif
}

TempFolder::TempFolder() {
  namespace fs = std::filesystem;
  std::random_device random;
  for (int attempt = 0;; ++attempt) {
    const fs::path candidate =
        fs::temp_directory_path() /
        ("sorrel-test-" + std::to_string(random()) + "-" + std::to_string(attempt));
    std::error_code error;
    if (fs::create_directory(candidate, error)) {
      path_ = candidate.generic_string();
      return;
    }
    if (error || attempt == 100) throw std::runtime_error("cannot make a temporary folder");
  }
}

TempFolder::~TempFolder() {
  namespace fs = std::filesystem;
  std::error_code error;
  // Folders a test made unwritable must not stop the removal; links are
  // never followed.
  fs::permissions(path_, fs::perms::owner_all, fs::perm_options::add, error);
  for (fs::recursive_directory_iterator it(path_, error), end; !error && it != end;
       it.increment(error)) {
    if (!it->is_symlink(error) && it->is_directory(error)) {
      fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, error);
    }
  }
  fs::remove_all(path_, error);
}

void TempFolder::Write(const std::string& relative, const std::string& bytes) const {
  std::ofstream out(Path(relative), std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string TempFolder::Read(const std::string& relative) const {
  std::ifstream in(Path(relative), std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

bool TempFolder::Exists(const std::string& relative) const {
  std::error_code error;
  return std::filesystem::symlink_status(Path(relative), error).type() !=
         std::filesystem::file_type::not_found;
}

void TempFolder::MakeFolder(const std::string& relative) const {
  std::error_code error;
  std::filesystem::create_directory(Path(relative), error);
}

// The platform's real services.
struct Environment::Services {
  std::unique_ptr<platform::FileSystem> fs = platform::NewFileSystem();
  std::unique_ptr<platform::CodePageService> code_pages = platform::NewCodePageService();
  std::unique_ptr<platform::SystemConversion> system_conversion = platform::NewSystemConversion();
  ControlStore dialog;
};

Environment::Environment(UiLanguage language) : services_(std::make_unique<Services>()) {
  ctx.dialog = &services_->dialog;
  ctx.fs = services_->fs.get();
  ctx.code_pages = services_->code_pages.get();
  ctx.system_conversion = services_->system_conversion.get();
  ctx.ui = &user;
  ctx.console = &console;
  ctx.language = language;
}

Environment::~Environment() = default;

platform::FileSystem& Environment::real_fs() {
  return *services_->fs;
}
platform::CodePageService& Environment::real_code_pages() {
  return *services_->code_pages;
}
platform::SystemConversion& Environment::real_system_conversion() {
  return *services_->system_conversion;
}

}  // namespace sorrel::testing
