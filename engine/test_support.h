// Fakes and fixtures shared by the engine's tests: a scripted user, a console
// that records, a temporary folder, and a job context over the real platform.
#pragma once

#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "engine/job_context.h"
#include "platform/code_pages.h"
#include "platform/file_system.h"
#include "platform/user_interaction.h"

namespace sorrel::testing {

// Records every box and answers from a script (Yes when the script is empty).
class FakeUser : public platform::UserInteraction {
 public:
  struct Box {
    std::u16string text;
    std::u16string caption;
    platform::Buttons buttons;
    platform::Icon icon;
  };
  platform::Answer MessageBox(std::u16string_view text, std::u16string_view caption,
                              platform::Buttons buttons, platform::Icon icon) override;
  bool IsForeground() override { return foreground; }
  bool IsAbortKeyDown() override;
  void ShowResult(std::u16string_view summary, std::u16string_view log,
                  const std::function<void()>& on_close) override;

  std::vector<Box> boxes;
  std::deque<platform::Answer> answers;
  bool foreground = true;
  // The abort key is down at these calls of IsAbortKeyDown (counted from 1).
  std::vector<int> abort_at;
  int abort_polls = 0;
  // The last result shown.
  int results_shown = 0;
  std::u16string result_summary;
  std::u16string result_log;
};

class RecordingConsole : public platform::Console {
 public:
  void Write(std::u16string_view text) override { out.append(text); }
  bool lost() const override { return false; }
  std::u16string out;
};

// Forwards every call to the real file system; a test overrides the calls
// it wants to fail.
class FileSystemWrapper : public platform::FileSystem {
 public:
  explicit FileSystemWrapper(platform::FileSystem* target) : target_(target) {}
  std::unique_ptr<platform::DirectorySearch> FindFirst(const std::string& pattern) override {
    return target_->FindFirst(pattern);
  }
  bool GetCurrentDirectory(std::string* path) override {
    return target_->GetCurrentDirectory(path);
  }
  bool SetCurrentDirectory(const std::string& path) override {
    return target_->SetCurrentDirectory(path);
  }
  bool CurrentDirectoryId(platform::FileSnapshot* id) override {
    return target_->CurrentDirectoryId(id);
  }
  bool FileId(const std::string& name, platform::FileSnapshot* id) override {
    return target_->FileId(name, id);
  }
  std::vector<platform::Recovery> FinishInterruptedRuns() override {
    return target_->FinishInterruptedRuns();
  }
  bool FinishInterruptedRewrite(const std::string& name, platform::Recovery* recovery) override {
    return target_->FinishInterruptedRewrite(name, recovery);
  }
  platform::ReadStatus ReadWholeFile(const std::string& name, std::string* bytes,
                                     platform::FileSnapshot* snapshot) override {
    return target_->ReadWholeFile(name, bytes, snapshot);
  }
  platform::RewriteResult RewriteFile(const std::string& name,
                                      const platform::FileSnapshot& snapshot,
                                      const std::string& data) override {
    return target_->RewriteFile(name, snapshot, data);
  }
  bool CopyFile(const std::string& from, const std::string& to) override {
    return target_->CopyFile(from, to);
  }
  bool GetFileTimes(const std::string& name, platform::FileTimes* times) override {
    return target_->GetFileTimes(name, times);
  }
  platform::TimesStatus SetFileTimes(const std::string& name,
                                     const platform::FileTimes& times) override {
    return target_->SetFileTimes(name, times);
  }
  int LastError() override { return target_->LastError(); }
  std::u16string SystemErrorText(UiLanguage lang, int code) override {
    return target_->SystemErrorText(lang, code);
  }

 private:
  platform::FileSystem* target_;
};

// Forwards to the real code-page service; a test overrides what it needs.
class CodePageServiceWrapper : public platform::CodePageService {
 public:
  explicit CodePageServiceWrapper(platform::CodePageService* target) : target_(target) {}
  std::unique_ptr<platform::CodePageConverter> Create(platform::CreateStatus* status) override {
    ++creates;
    return target_->Create(status);
  }
  const std::bitset<65536>& DoubleByteUnits932() override { return target_->DoubleByteUnits932(); }
  const platform::BytePage* BytePageFor(uint32_t code_page) override {
    return target_->BytePageFor(code_page);
  }
  int creates = 0;

 protected:
  platform::CodePageService* target_;
};

// A converter that forwards to another; a test overrides what it needs.
class ConverterWrapper : public platform::CodePageConverter {
 public:
  explicit ConverterWrapper(std::unique_ptr<platform::CodePageConverter> target)
      : target_(std::move(target)) {}
  bool Detect(std::string_view bytes, uint32_t* code_page) override {
    return target_->Detect(bytes, code_page);
  }
  bool Decode(uint32_t code_page, std::string_view bytes, std::u16string* out) override {
    return target_->Decode(code_page, bytes, out);
  }
  platform::EncodeStatus Encode(uint32_t code_page, std::u16string_view text, std::string* out,
                                platform::EncodeLosses* losses) override {
    return target_->Encode(code_page, text, out, losses);
  }

 protected:
  std::unique_ptr<platform::CodePageConverter> target_;
};

// A service that cannot convert into any page, so that the writer turns to
// the system conversion.
class NoServiceConversion : public CodePageServiceWrapper {
 public:
  using CodePageServiceWrapper::CodePageServiceWrapper;
  std::unique_ptr<platform::CodePageConverter> Create(platform::CreateStatus* status) override;
};

// True under Wine, whose services lack some of what Windows has; the tests
// that need it are skipped there with the reason.
bool RunningUnderWine();

// A fresh folder under the system's temporary folder, removed with its
// contents at the end of the test.
class TempFolder {
 public:
  TempFolder();
  ~TempFolder();
  const std::string& path() const { return path_; }
  // path/relative
  std::string Path(const std::string& relative) const { return path_ + "/" + relative; }
  void Write(const std::string& relative, const std::string& bytes) const;
  std::string Read(const std::string& relative) const;
  bool Exists(const std::string& relative) const;
  void MakeFolder(const std::string& relative) const;

 private:
  std::string path_;
};

// A job context over the platform's real services with a fake user and a
// recording console. The services live as long as the environment.
class Environment {
 public:
  explicit Environment(UiLanguage language = UiLanguage::English);
  ~Environment();
  platform::FileSystem& real_fs();
  platform::CodePageService& real_code_pages();
  platform::SystemConversion& real_system_conversion();
  JobContext ctx;
  FakeUser user;
  RecordingConsole console;

 private:
  struct Services;
  std::unique_ptr<Services> services_;
};

}  // namespace sorrel::testing
