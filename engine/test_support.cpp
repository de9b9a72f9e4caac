#include "engine/test_support.h"

#include <dirent.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <sstream>
#include <stdexcept>

#include "platform/posix/iconv_conversion.h"
#include "platform/posix/icu_code_pages.h"
#include "platform/posix/posix_file_system.h"
#include "platform/program.h"

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

namespace {

void RemoveTree(const std::string& path) {
  struct stat st;
  if (lstat(path.c_str(), &st) != 0) return;
  if (S_ISDIR(st.st_mode)) {
    chmod(path.c_str(), 0700);
    if (DIR* dir = opendir(path.c_str())) {
      while (dirent* e = readdir(dir)) {
        const std::string name = e->d_name;
        if (name != "." && name != "..") RemoveTree(path + "/" + name);
      }
      closedir(dir);
    }
    rmdir(path.c_str());
  } else {
    unlink(path.c_str());
  }
}

}  // namespace

TempFolder::TempFolder() {
  const char* base = getenv("TMPDIR");
  std::string templ = std::string(base && *base ? base : "/tmp") + "/sorrel-test-XXXXXX";
  if (mkdtemp(templ.data()) == nullptr) throw std::runtime_error("mkdtemp");
  path_ = templ;
}

TempFolder::~TempFolder() {
  RemoveTree(path_);
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
  struct stat st;
  return lstat(Path(relative).c_str(), &st) == 0;
}

void TempFolder::MakeFolder(const std::string& relative) const {
  mkdir(Path(relative).c_str(), 0755);
}

struct Environment::Services {
  platform::PosixFileSystem fs;
  platform::IcuCodePageService code_pages{platform::ProgramFolder()};
  platform::IconvSystemConversion system_conversion;
  ControlStore dialog;
};

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
