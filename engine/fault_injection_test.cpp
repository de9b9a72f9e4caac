// Faults at every step of a file's rewrite, through the real POSIX file system
// with one system call made to fail: the original stays byte for byte, no
// temporary file is left, and the report line says what happened.
#include <errno.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <string>

#include <gtest/gtest.h>

#include "engine/process_file.h"
#include "engine/test_support.h"
#include "platform/posix/posix_file_system.h"

namespace sorrel {
namespace {

using testing::Environment;
using testing::TempFolder;

// Fails the call a test names, once.
class FailingCalls : public platform::PosixCalls {
 public:
  enum class Fault { None, ShortWrite, NoSpace, Sync, Rename, Copy, GrowWhileRead };

  ssize_t Write(int fd, const void* buffer, size_t count) override {
    if (fault == Fault::ShortWrite || fault == Fault::NoSpace || fault == Fault::Copy) {
      // Let k bytes through, then fail.
      if (written_ < 3) {
        const size_t n = std::min(count, size_t{3} - written_);
        written_ += n;
        return platform::PosixCalls::Write(fd, buffer, n);
      }
      errno = fault == Fault::ShortWrite ? EIO : ENOSPC;
      return -1;
    }
    return platform::PosixCalls::Write(fd, buffer, count);
  }
  ssize_t Pwrite(int fd, const void* buffer, size_t count, off_t offset) override {
    if (fault == Fault::Copy) {
      errno = ENOSPC;
      return -1;
    }
    return platform::PosixCalls::Pwrite(fd, buffer, count, offset);
  }
  int Fsync(int fd) override {
    if (fault == Fault::Sync) {
      errno = EIO;
      return -1;
    }
    return platform::PosixCalls::Fsync(fd);
  }
  int Rename(int folder, const char* from, const char* to) override {
    if (fault == Fault::Rename) {
      errno = EXDEV;
      return -1;
    }
    return platform::PosixCalls::Rename(folder, from, to);
  }
  ssize_t Read(int fd, void* buffer, size_t count) override {
    if (fault == Fault::GrowWhileRead && grow_path != nullptr) {
      const int append = open(grow_path, O_WRONLY | O_APPEND);
      if (append >= 0) {
        EXPECT_EQ(::write(append, "more\r\n", 6), 6);
        close(append);
      }
      grow_path = nullptr;
    }
    return platform::PosixCalls::Read(fd, buffer, count);
  }

  Fault fault = Fault::None;
  const char* grow_path = nullptr;

 private:
  size_t written_ = 0;
};

class FaultInjection : public ::testing::Test {
 protected:
  FaultInjection() : fs(&calls) {
    env.ctx.fs = &fs;
    options.CharEncode = 1;
    options.UnifyLineEndKind = kLineEndLf;
    dir.Write("f.txt", kOriginal);
    chmod(dir.Path("f.txt").c_str(), 0640);
  }
  void Run() { EXPECT_TRUE(ProcessFile(env.ctx, dir.Path("f.txt"), options)); }
  // The report line with the folder taken out of the name.
  std::u16string Line() const {
    std::u16string log = env.ctx.MessageLog;
    const std::u16string folder(dir.path().begin(), dir.path().end());
    for (size_t at; (at = log.find(folder + u"/")) != std::u16string::npos;) {
      log.erase(at, folder.size() + 1);
    }
    return log;
  }
  std::u16string ErrorText(int code) {
    return env.ctx.fs->SystemErrorText(UiLanguage::English, code);
  }
  // Every name in the folder.
  std::vector<std::string> Names() const {
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(dir.path())) {
      names.push_back(e.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
  }
  void ExpectUntouched() {
    EXPECT_EQ(dir.Read("f.txt"), kOriginal);
    struct stat st;
    stat(dir.Path("f.txt").c_str(), &st);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
  }

  static constexpr const char* kOriginal = "one\r\ntwo\r\nthree\r\n";
  Environment env;
  FailingCalls calls;
  platform::PosixFileSystem fs;
  TempFolder dir;
  ConversionOptions options;
};

TEST_F(FaultInjection, AWriteThatStopsAfterSomeBytes) {
  calls.fault = FailingCalls::Fault::ShortWrite;
  Run();
  ExpectUntouched();
  EXPECT_EQ(Names(), std::vector<std::string>{"f.txt"});
  EXPECT_EQ(Line(), u"f.txt:WriteFile error - " + ErrorText(EIO) + u"\r\n");
  EXPECT_EQ(env.ctx.ReplacedCount, 0u);
  EXPECT_EQ(env.ctx.TargetCount, 1u);
}

TEST_F(FaultInjection, NoSpaceLeft) {
  calls.fault = FailingCalls::Fault::NoSpace;
  Run();
  ExpectUntouched();
  EXPECT_EQ(Names(), std::vector<std::string>{"f.txt"});
  EXPECT_EQ(Line(), u"f.txt:WriteFile error - " + ErrorText(ENOSPC) + u"\r\n");
}

TEST_F(FaultInjection, TheSyncFails) {
  calls.fault = FailingCalls::Fault::Sync;
  Run();
  ExpectUntouched();
  EXPECT_EQ(Names(), std::vector<std::string>{"f.txt"});
  EXPECT_EQ(Line(), u"f.txt:WriteFile error - " + ErrorText(EIO) + u"\r\n");
}

TEST_F(FaultInjection, TheRenameFails) {
  calls.fault = FailingCalls::Fault::Rename;
  Run();
  ExpectUntouched();
  EXPECT_EQ(Names(), std::vector<std::string>{"f.txt"});
  EXPECT_EQ(Line(), u"f.txt:WriteFile error - " + ErrorText(EXDEV) + u"\r\n");
}

TEST_F(FaultInjection, TheBackupCopyFails) {
  options.FileBackup = true;
  calls.fault = FailingCalls::Fault::Copy;
  Run();
  ExpectUntouched();
  EXPECT_EQ(Names(), std::vector<std::string>{"f.txt"});
  EXPECT_EQ(Line(), u"Cannot create a backup file - f.txt.bak.\r\n");
}

TEST_F(FaultInjection, TheCodePageServiceCannotBeCreated) {
  struct Broken : testing::CodePageServiceWrapper {
    using CodePageServiceWrapper::CodePageServiceWrapper;
    std::unique_ptr<platform::CodePageConverter> Create(platform::CreateStatus* s) override {
      *s = platform::CreateStatus::ClassNotRegistered;
      return nullptr;
    }
  } service(env.ctx.code_pages);
  env.ctx.code_pages = &service;
  Run();
  ExpectUntouched();
  EXPECT_EQ(Line(), u"Cannot create IMultiLanguage2.\r\n");
}

TEST_F(FaultInjection, AFileThatGrowsWhileItIsRead) {
  const std::string path = dir.Path("f.txt");
  calls.fault = FailingCalls::Fault::GrowWhileRead;
  calls.grow_path = path.c_str();
  Run();
  EXPECT_EQ(dir.Read("f.txt"), std::string(kOriginal) + "more\r\n");
  EXPECT_EQ(Names(), std::vector<std::string>{"f.txt"});
  EXPECT_EQ(Line(),
            u"f.txt:Cannot open a file as write mode - The file was changed after it was read; "
            u"it was not written.\r\n");
}

TEST_F(FaultInjection, AFileOf4GiBOrMoreIsRefusedUnread) {
  const int fd = open(dir.Path("big.txt").c_str(), O_WRONLY | O_CREAT, 0644);
  ASSERT_GE(fd, 0);
  ASSERT_EQ(ftruncate(fd, off_t{5} << 30), 0);  // sparse: no disk is used
  close(fd);
  EXPECT_TRUE(ProcessFile(env.ctx, dir.Path("big.txt"), options));
  EXPECT_EQ(Line(), u"Cannot read big.txt.\r\n");
}

TEST_F(FaultInjection, ANameThatIsNotUtf8IsProcessedByItsBytes) {
  const std::string name = "bad-\xFF\xFE.txt";
  dir.Write(name, "a\r\n");
  EXPECT_TRUE(ProcessFile(env.ctx, dir.Path(name), options));
  EXPECT_EQ(dir.Read(name), "a\n");
  dir.Write(name, "");
  EXPECT_TRUE(ProcessFile(env.ctx, dir.Path(name), options));
  EXPECT_EQ(Line(), u"bad-\uFFFD\uFFFD.txt is empty.\r\n");
}

}  // namespace
}  // namespace sorrel
