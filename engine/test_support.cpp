#include "engine/test_support.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <stdexcept>

// The real services of the platform the tests run on.
#ifdef _WIN32
#include "platform/win32/win32_code_pages.h"
#include "platform/win32/win32_file_system.h"
#include "platform/win32/windows_api.h"
// After <windows.h>, whose types it uses.
#include <objbase.h>
#else
#include "platform/posix/iconv_conversion.h"
#include "platform/posix/icu_code_pages.h"
#include "platform/posix/posix_file_system.h"
#include "platform/posix/program_folder.h"
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
    platform::EncodeStatus Encode(uint32_t, std::u16string_view, std::string*) override {
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
  const std::filesystem::path base = std::filesystem::temp_directory_path();
  for (unsigned n = 0;; ++n) {
    const std::filesystem::path candidate =
        base / ("sorrel-test-" + std::to_string(std::random_device{}()) + "-" + std::to_string(n));
    std::error_code error;
    if (std::filesystem::create_directory(candidate, error)) {
      path_ = candidate.generic_string();
      return;
    }
    if (error || n > 100) throw std::runtime_error("cannot make a temporary folder");
  }
}

TempFolder::~TempFolder() {
  std::error_code error;
  // Folders and files made unwritable by a test must not stop the removal.
  for (const auto& entry : std::filesystem::recursive_directory_iterator(path_, error)) {
    std::filesystem::permissions(entry.path(), std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, error);
  }
  std::filesystem::remove_all(path_, error);
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
  std::filesystem::create_directory(Path(relative));
}

#ifdef _WIN32
struct Environment::Services {
  Services() { CoInitialize(nullptr); }
  ~Services() { CoUninitialize(); }
  platform::Win32FileSystem fs;
  platform::Win32CodePageService code_pages;
  platform::Win32SystemConversion system_conversion;
  ControlStore dialog;
};
#else
struct Environment::Services {
  platform::PosixFileSystem fs;
  platform::IcuCodePageService code_pages{platform::ProgramFolder()};
  platform::IconvSystemConversion system_conversion;
  ControlStore dialog;
};
#endif

Environment::Environment(UiLanguage language) : services_(std::make_unique<Services>()) {
  ctx.dialog = &services_->dialog;
  ctx.fs = &services_->fs;
  ctx.code_pages = &services_->code_pages;
  ctx.system_conversion = &services_->system_conversion;
  ctx.ui = &user;
  ctx.console = &console;
  ctx.language = language;
}

Environment::~Environment() = default;

platform::FileSystem& Environment::real_fs() {
  return services_->fs;
}
platform::CodePageService& Environment::real_code_pages() {
  return services_->code_pages;
}
platform::SystemConversion& Environment::real_system_conversion() {
  return services_->system_conversion;
}

}  // namespace sorrel::testing
