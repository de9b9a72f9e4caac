// The Win32 file system on a real folder: the system's wildcard rules, the
// safe rewrite and its refusals, what a killed run leaves, the backup copy
// and both file times.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "platform/file_system.h"
#include "platform/win32/test_support.h"
#include "platform/win32/wide.h"
#include "platform/win32/windows_api.h"

namespace sorrel::platform {
namespace {

using testing::TempFolder;

class Win32FileSystemTest : public ::testing::Test {
 protected:
  Win32FileSystemTest() {
    fs_->GetCurrentDirectory(&saved_);
    EXPECT_TRUE(fs_->SetCurrentDirectory(dir_.path()));
  }
  ~Win32FileSystemTest() override { fs_->SetCurrentDirectory(saved_); }

  std::vector<std::string> Find(const std::string& pattern) {
    std::vector<std::string> names;
    auto search = fs_->FindFirst(pattern);
    FindEntry entry;
    while (search && search->Next(&entry)) {
      if (entry.name != "." && entry.name != "..") names.push_back(entry.name);
    }
    std::sort(names.begin(), names.end());
    return names;
  }
  FileSnapshot Read(const std::string& name) {
    std::string bytes;
    FileSnapshot snapshot;
    EXPECT_EQ(fs_->ReadWholeFile(name, &bytes, &snapshot), ReadStatus::Ok) << name;
    return snapshot;
  }

  TempFolder dir_;
  std::unique_ptr<FileSystem> fs_ = NewFileSystem();
  std::string saved_;
};

TEST_F(Win32FileSystemTest, WildcardsFollowTheSystemsRules) {
  for (const char* name : {"a.txt", "B.TXT", "ab.txt", "c.tx", "noext", "日本.txt", "[x].txt"}) {
    dir_.Write(name, "x");
  }
  EXPECT_EQ(Find("*.txt"),
            (std::vector<std::string>{"B.TXT", "[x].txt", "a.txt", "ab.txt", "日本.txt"}));
  EXPECT_EQ(Find("?.TXT"), (std::vector<std::string>{"B.TXT", "a.txt"}));
  EXPECT_EQ(Find("*.*").size(), 7u);  // a name without a dot too
  EXPECT_TRUE(Find("nothing*").empty());
  SKIP_UNDER_WINE("\"*.\" naming the files without an extension (Wine's matches every name)");
  EXPECT_EQ(Find("*."), std::vector<std::string>{"noext"});
}

TEST_F(Win32FileSystemTest, ReadsWholeFilesAndRefusesFolders) {
  dir_.Write("full.txt", std::string("a\0b\r\n", 5));
  dir_.Write("empty.txt", "");
  CreateDirectoryW(Wide(dir_.Path("sub")).c_str(), nullptr);
  std::string bytes;
  FileSnapshot snapshot;
  EXPECT_EQ(fs_->ReadWholeFile("full.txt", &bytes, &snapshot), ReadStatus::Ok);
  EXPECT_EQ(bytes, std::string("a\0b\r\n", 5));
  EXPECT_EQ(snapshot.size, 5u);
  EXPECT_EQ(fs_->ReadWholeFile("empty.txt", &bytes, &snapshot), ReadStatus::Empty);
  EXPECT_EQ(fs_->ReadWholeFile("sub", &bytes, &snapshot), ReadStatus::CannotOpen);
  EXPECT_EQ(fs_->ReadWholeFile("missing.txt", &bytes, &snapshot), ReadStatus::CannotOpen);
  EXPECT_EQ(fs_->LastError(), ERROR_FILE_NOT_FOUND);
}

TEST_F(Win32FileSystemTest, RewriteReplacesAllOrNothingAndOnlyWhatWasRead) {
  dir_.Write("t.txt", "old");
  FileSnapshot snapshot = Read("t.txt");
  const RewriteResult result = fs_->RewriteFile("t.txt", snapshot, "new text");
  EXPECT_EQ(result.status, RewriteStatus::Ok) << result.error;
  EXPECT_EQ(dir_.Read("t.txt"), "new text");
  EXPECT_EQ(Find("*"), (std::vector<std::string>{"t.txt"}));  // no temporary file left
  // The old snapshot no longer fits the file: nothing is written.
  EXPECT_EQ(fs_->RewriteFile("t.txt", snapshot, "lost").status, RewriteStatus::Changed);
  // Nor when only its change time tells: a same-size edit with the old
  // write time put back.
  snapshot = Read("t.txt");
  FileTimes times;
  ASSERT_TRUE(fs_->GetFileTimes("t.txt", &times));
  dir_.Write("t.txt", "NEW TEXT");
  ASSERT_EQ(fs_->SetFileTimes("t.txt", times), TimesStatus::Ok);
  EXPECT_EQ(fs_->RewriteFile("t.txt", snapshot, "lost").status, RewriteStatus::Changed);
  EXPECT_EQ(dir_.Read("t.txt"), "NEW TEXT");
}

TEST_F(Win32FileSystemTest, HardLinksStayOneFile) {
  dir_.Write("a.txt", "old bytes");
  ASSERT_TRUE(
      CreateHardLinkW(Wide(dir_.Path("b.txt")).c_str(), Wide(dir_.Path("a.txt")).c_str(), nullptr));
  ASSERT_EQ(fs_->RewriteFile("a.txt", Read("a.txt"), "new").status, RewriteStatus::Ok);
  EXPECT_EQ(dir_.Read("a.txt"), "new");
  EXPECT_EQ(dir_.Read("b.txt"), "new");
}

TEST_F(Win32FileSystemTest, ReadOnlyFilesAreRefusedWithTheSystemsText) {
  dir_.Write("ro.txt", "keep");
  const FileSnapshot snapshot = Read("ro.txt");
  SetFileAttributesW(Wide(dir_.Path("ro.txt")).c_str(), FILE_ATTRIBUTE_READONLY);
  const RewriteResult result = fs_->RewriteFile("ro.txt", snapshot, "changed");
  EXPECT_EQ(result.status, RewriteStatus::CannotOpen);
  EXPECT_EQ(result.error, ERROR_ACCESS_DENIED);
  EXPECT_EQ(dir_.Read("ro.txt"), "keep");
  EXPECT_EQ(Find("*"), (std::vector<std::string>{"ro.txt"}));
  // The system's text, on one line: its CR+LF became two spaces.
  const std::u16string text = fs_->SystemErrorText(UiLanguage::English, result.error);
  ASSERT_GE(text.size(), 3u);
  EXPECT_EQ(text.find(u'\r'), std::u16string::npos);
  EXPECT_EQ(fs_->SystemErrorText(UiLanguage::English, 0x7FFFFFF0), u"FormatMessage() error");
  // A read-only backup is not replaced either.
  dir_.Write("f.txt", "new");
  ASSERT_TRUE(fs_->CopyFile("ro.txt", "f.txt.bak"));
  SetFileAttributesW(Wide(dir_.Path("f.txt.bak")).c_str(), FILE_ATTRIBUTE_READONLY);
  EXPECT_FALSE(fs_->CopyFile("f.txt", "f.txt.bak"));
  EXPECT_EQ(fs_->LastError(), ERROR_ACCESS_DENIED);
  EXPECT_EQ(dir_.Read("f.txt.bak"), "keep");
}

TEST_F(Win32FileSystemTest, TemporaryFilesOfGoneWritersAreRemovedAndNeverListed) {
  dir_.Write(".t.txt.sorrel-tmp-1-2", "left by a killed run");
  dir_.Write("t.txt", "x");
  HANDLE held = CreateFileW(Wide(dir_.Path(".u.txt.sorrel-tmp-3-4")).c_str(), GENERIC_WRITE,
                            FILE_SHARE_READ, nullptr, CREATE_NEW, 0, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);  // a writer at work
  EXPECT_EQ(Find("*"), std::vector<std::string>{"t.txt"});
  EXPECT_TRUE(fs_->FinishInterruptedRuns().empty());
  EXPECT_FALSE(dir_.Exists(".t.txt.sorrel-tmp-1-2"));
  EXPECT_TRUE(dir_.Exists(".u.txt.sorrel-tmp-3-4"));
  CloseHandle(held);
}

TEST_F(Win32FileSystemTest, BackupCopyKeepsBytesAndTheWriteTime) {
  dir_.Write("f.txt", "bytes");
  FileTimes times;
  times.mtime_sec = 13000000000;  // 2012
  ASSERT_EQ(fs_->SetFileTimes("f.txt", times), TimesStatus::Ok);
  ASSERT_TRUE(fs_->CopyFile("f.txt", "f.txt.bak"));
  EXPECT_EQ(dir_.Read("f.txt.bak"), "bytes");
  FileTimes copied;
  ASSERT_TRUE(fs_->GetFileTimes("f.txt.bak", &copied));
  EXPECT_EQ(copied.mtime_sec, times.mtime_sec);
}

TEST_F(Win32FileSystemTest, BothTimesComeBackAfterARewrite) {
  // Wine on a Linux file system keeps no creation time of its own: it
  // reports the last-write time in its place.
  SKIP_UNDER_WINE("a creation time that the file system keeps apart from the write time");
  dir_.Write("t.txt", "old");
  FileTimes times;
  ASSERT_TRUE(fs_->GetFileTimes("t.txt", &times));
  times.creation_sec = 12000000000;
  times.mtime_sec = 12500000000;
  ASSERT_EQ(fs_->SetFileTimes("t.txt", times), TimesStatus::Ok);
  ASSERT_EQ(fs_->RewriteFile("t.txt", Read("t.txt"), "new").status, RewriteStatus::Ok);
  ASSERT_EQ(fs_->SetFileTimes("t.txt", times), TimesStatus::Ok);
  FileTimes after;
  ASSERT_TRUE(fs_->GetFileTimes("t.txt", &after));
  EXPECT_EQ(after.creation_sec, times.creation_sec);
  EXPECT_EQ(after.mtime_sec, times.mtime_sec);
}

}  // namespace
}  // namespace sorrel::platform
