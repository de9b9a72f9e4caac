#include "platform/posix/posix_file_system.h"

#include <dirent.h>
#include <fcntl.h>
#include <grp.h>
#include <limits.h>
#include <linux/fs.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <ostream>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

namespace sorrel::platform {
namespace {

// Real calls, except the faults a test asks for; each fault strikes once.
class FaultyCalls : public PosixCalls {
 public:
  int write_error = 0;             // Write and Pwrite fail with it ...
  size_t write_budget = 0;         // ... once they have put this many bytes
  bool write_error_stays = false;  // ... and from then on, not once
  int setxattr_error = 0;
  int fallocate_error = 0;
  // Grows the file and touches it before failing, as a reservation that runs
  // out of space half-way may.
  bool fallocate_grows = false;
  int fsync_error = 0;
  int rename_error = 0;
  int temporary_error = 0;
  size_t read_limit = SIZE_MAX;  // the most one Read hands back
  bool interrupt_read = false;
  std::function<void()> before_fsync;  // someone else touches the target
  std::function<void()> after_fstat;
  std::function<void()> before_rename;
  std::function<void(const char*)> on_write_open;
  int set_flags_error = 0;
  int reads = 0;

  ssize_t Write(int fd, const void* buffer, size_t count) override {
    return Budgeted(count, [&](size_t n) { return PosixCalls::Write(fd, buffer, n); });
  }
  ssize_t Pwrite(int fd, const void* buffer, size_t count, off_t offset) override {
    return Budgeted(count, [&](size_t n) { return PosixCalls::Pwrite(fd, buffer, n, offset); });
  }
  ssize_t Read(int fd, void* buffer, size_t count) override {
    ++reads;
    if (Strike(&interrupt_read)) return Failure(EINTR);
    return PosixCalls::Read(fd, buffer, std::min(count, read_limit));
  }
  int Fallocate(int fd, off_t length) override {
    if (fallocate_error != 0 && std::exchange(fallocate_grows, false)) {
      EXPECT_EQ(::ftruncate(fd, length / 2 + 1), 0);
    }
    return fallocate_error != 0 ? std::exchange(fallocate_error, 0)
                                : PosixCalls::Fallocate(fd, length);
  }
  int Fsync(int fd) override {
    if (before_fsync) std::exchange(before_fsync, nullptr)();
    return fsync_error != 0 ? Failure(std::exchange(fsync_error, 0)) : PosixCalls::Fsync(fd);
  }
  int Rename(int folder, const char* from, const char* to) override {
    if (before_rename) std::exchange(before_rename, nullptr)();
    return rename_error != 0 ? Failure(std::exchange(rename_error, 0))
                             : PosixCalls::Rename(folder, from, to);
  }
  int OpenTemporary(int folder, mode_t mode) override {
    return temporary_error != 0 ? Failure(std::exchange(temporary_error, 0))
                                : PosixCalls::OpenTemporary(folder, mode);
  }
  int Fsetxattr(int fd, const char* name, const void* value, size_t size) override {
    return setxattr_error != 0 ? Failure(setxattr_error)
                               : PosixCalls::Fsetxattr(fd, name, value, size);
  }
  int SetFlags(int fd, int flags) override {
    return set_flags_error != 0 ? Failure(set_flags_error) : PosixCalls::SetFlags(fd, flags);
  }
  int OpenNoLinks(const char* path, int flags) override {
    if (on_write_open && (flags & (O_WRONLY | O_RDWR)) != 0) on_write_open(path);
    return PosixCalls::OpenNoLinks(path, flags);
  }
  int Fstat(int fd, struct stat* status) override {
    const int result = PosixCalls::Fstat(fd, status);
    if (after_fstat) std::exchange(after_fstat, nullptr)();
    return result;
  }

 private:
  static int Failure(int error) {
    errno = error;
    return -1;
  }
  static bool Strike(bool* armed) { return std::exchange(*armed, false); }
  template <typename Put>
  ssize_t Budgeted(size_t count, Put put) {
    if (write_error == 0) return put(count);
    if (write_budget == 0) {
      return Failure(write_error_stays ? write_error : std::exchange(write_error, 0));
    }
    const ssize_t put_now = put(std::min(count, write_budget));
    if (put_now > 0) write_budget -= static_cast<size_t>(put_now);
    return put_now;
  }
};

class PosixFileSystemTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const char* tmp = std::getenv("TMPDIR");
    std::string folder =
        std::string(tmp != nullptr && *tmp != '\0' ? tmp : "/tmp") + "/sorrel-fs-test-XXXXXX";
    ASSERT_NE(mkdtemp(folder.data()), nullptr);
    folder_ = folder;
    char* cwd = getcwd(nullptr, 0);
    start_ = cwd;
    free(cwd);
  }
  void TearDown() override {
    ASSERT_EQ(chdir(start_.c_str()), 0);
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
  }

  std::string Path(const std::string& name) const { return folder_ + "/" + name; }
  void Put(const std::string& name, const std::string& bytes) const {
    std::ofstream(Path(name), std::ios::binary | std::ios::trunc) << bytes;
  }
  std::string Get(const std::string& name) const {
    std::ifstream in(Path(name), std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
  }
  struct stat StatOf(const std::string& name) const {
    struct stat status {};
    EXPECT_EQ(stat(Path(name).c_str(), &status), 0) << name;
    return status;
  }
  // Every name in the folder but "." and "..", sorted.
  std::vector<std::string> Names(const std::string& sub = "") const {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(Path(sub))) {
      names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
  }
  FileSnapshot ReadOk(PosixFileSystem& fs, const std::string& name) const {
    std::string bytes;
    FileSnapshot snapshot;
    EXPECT_EQ(fs.ReadWholeFile(Path(name), &bytes, &snapshot), ReadStatus::Ok) << name;
    return snapshot;
  }

  std::string folder_;
  std::string start_;
};

TEST_F(PosixFileSystemTest, SearchListsInReaddirOrderWithWhatLeadsToFolders) {
  ASSERT_EQ(mkdir(Path("folder").c_str(), 0755), 0);
  ASSERT_EQ(symlink("folder", Path("link to folder").c_str()), 0);
  ASSERT_EQ(symlink("nowhere", Path("dangling").c_str()), 0);
  ASSERT_EQ(mkfifo(Path("pipe").c_str(), 0644), 0);
  Put("file.txt", "x");
  ASSERT_EQ(chdir(folder_.c_str()), 0);

  std::vector<std::string> readdir_order;
  DIR* dir = opendir(".");
  while (const dirent* entry = readdir(dir)) readdir_order.push_back(entry->d_name);
  closedir(dir);

  PosixFileSystem fs;
  std::unique_ptr<DirectorySearch> search = fs.FindFirst("*.*");
  ASSERT_NE(search, nullptr);
  std::vector<std::string> found;
  FindEntry entry;
  while (search->Next(&entry)) {
    found.push_back(entry.name);
    const bool folder = entry.name == "." || entry.name == ".." || entry.name == "folder" ||
                        entry.name == "link to folder";
    EXPECT_EQ(entry.is_directory, folder) << entry.name;
  }
  EXPECT_EQ(found, readdir_order);

  search = fs.FindFirst("*.txt");
  ASSERT_TRUE(search->Next(&entry));
  EXPECT_EQ(entry.name, "file.txt");
  EXPECT_FALSE(search->Next(&entry));
}

TEST_F(PosixFileSystemTest, SearchDoesNotMeetFilesMadeWhileItIsRead) {
  for (const char* name : {"a.txt", "b.txt", "c.txt"}) Put(name, "old");
  ASSERT_EQ(chdir(folder_.c_str()), 0);
  PosixFileSystem fs;
  std::unique_ptr<DirectorySearch> search = fs.FindFirst("*");
  std::vector<std::string> found;
  FindEntry entry;
  while (search->Next(&entry)) {
    found.push_back(entry.name);
    if (entry.is_directory) continue;
    ASSERT_TRUE(fs.CopyFile(entry.name, entry.name + ".bak"));
    EXPECT_EQ(fs.RewriteFile(entry.name, ReadOk(fs, entry.name), "new").status, RewriteStatus::Ok);
  }
  std::sort(found.begin(), found.end());
  EXPECT_EQ(found, (std::vector<std::string>{".", "..", "a.txt", "b.txt", "c.txt"}));
}

TEST_F(PosixFileSystemTest, CurrentDirectoryBeyondPathMax) {
  ASSERT_EQ(chdir(folder_.c_str()), 0);
  const std::string piece(200, 'd');
  int depth = 0;
  for (; depth * (piece.size() + 1) < PATH_MAX + 200; ++depth) {
    ASSERT_EQ(mkdir(piece.c_str(), 0755), 0);
    ASSERT_EQ(chdir(piece.c_str()), 0);
  }
  struct stat deepest;
  ASSERT_EQ(stat(".", &deepest), 0);

  PosixFileSystem fs;
  std::string path;
  ASSERT_TRUE(fs.GetCurrentDirectory(&path));
  EXPECT_GT(path.size(), static_cast<size_t>(PATH_MAX));
  ASSERT_TRUE(fs.SetCurrentDirectory(folder_));
  ASSERT_TRUE(fs.SetCurrentDirectory(path));
  FileSnapshot id;
  ASSERT_TRUE(fs.CurrentDirectoryId(&id));
  EXPECT_EQ(id.device, deepest.st_dev);
  EXPECT_EQ(id.inode, deepest.st_ino);

  EXPECT_FALSE(fs.SetCurrentDirectory(path + "/missing"));
  EXPECT_EQ(fs.LastError(), ENOENT);
  // The walk back up, since paths this long cannot be removed by name.
  for (; depth > 0; --depth) {
    ASSERT_EQ(chdir(".."), 0);
    ASSERT_EQ(rmdir(piece.c_str()), 0);
  }
}

TEST_F(PosixFileSystemTest, ReadGivesTheBytesAndWhatTheFileLookedLike) {
  const std::string bytes("a\0b\r\n\xFF", 6);
  Put("a.bin", bytes);
  Put("empty", "");
  ASSERT_EQ(mkdir(Path("folder").c_str(), 0755), 0);

  FaultyCalls calls;
  calls.read_limit = 2;         // short reads ...
  calls.interrupt_read = true;  // ... and a signal
  PosixFileSystem fs(&calls);
  std::string got;
  FileSnapshot snapshot;
  ASSERT_EQ(fs.ReadWholeFile(Path("a.bin"), &got, &snapshot), ReadStatus::Ok);
  EXPECT_EQ(got, bytes);
  const struct stat status = StatOf("a.bin");
  EXPECT_EQ(snapshot.inode, status.st_ino);
  EXPECT_EQ(snapshot.size, 6u);
  EXPECT_EQ(snapshot.mtime_nsec, status.st_mtim.tv_nsec);

  EXPECT_EQ(fs.ReadWholeFile(Path("empty"), &got, &snapshot), ReadStatus::Empty);
  EXPECT_EQ(fs.ReadWholeFile(Path("folder"), &got, &snapshot), ReadStatus::CannotOpen);
  EXPECT_EQ(fs.ReadWholeFile(Path("missing"), &got, &snapshot), ReadStatus::CannotOpen);
  EXPECT_EQ(fs.LastError(), ENOENT);
}

TEST_F(PosixFileSystemTest, ReadTakesTheSizeItSawFirst) {
  Put("grows", "12345678");
  Put("shrinks", "12345678");
  FaultyCalls calls;
  PosixFileSystem fs(&calls);
  std::string got;
  FileSnapshot snapshot;

  calls.after_fstat = [&] { std::ofstream(Path("grows"), std::ios::app) << "more"; };
  ASSERT_EQ(fs.ReadWholeFile(Path("grows"), &got, &snapshot), ReadStatus::Ok);
  EXPECT_EQ(got, "12345678");

  calls.after_fstat = [&] { ASSERT_EQ(truncate(Path("shrinks").c_str(), 3), 0); };
  EXPECT_EQ(fs.ReadWholeFile(Path("shrinks"), &got, &snapshot), ReadStatus::ReadError);
  EXPECT_TRUE(got.empty());
}

TEST_F(PosixFileSystemTest, FifoIsRefusedWithoutBlocking) {
  ASSERT_EQ(mkfifo(Path("pipe").c_str(), 0644), 0);
  PosixFileSystem fs;
  std::string got;
  FileSnapshot snapshot;
  alarm(10);  // a blocking open ends the test binary instead of hanging it
  EXPECT_EQ(fs.ReadWholeFile(Path("pipe"), &got, &snapshot), ReadStatus::CannotOpen);
  EXPECT_EQ(fs.SetFileTimes(Path("pipe"), {}), TimesStatus::CannotOpen);
  EXPECT_FALSE(fs.CopyFile(Path("pipe"), Path("pipe.bak")));
  alarm(0);
  EXPECT_EQ(Names(), std::vector<std::string>{"pipe"});
}

TEST_F(PosixFileSystemTest, FileOfFourGibibytesIsRefusedUnread) {
  const int fd = open(Path("huge").c_str(), O_CREAT | O_WRONLY, 0644);
  ASSERT_GE(fd, 0);
  ASSERT_EQ(ftruncate(fd, off_t{5} << 30), 0);  // sparse: no disk used
  close(fd);
  FaultyCalls calls;
  PosixFileSystem fs(&calls);
  std::string got;
  FileSnapshot snapshot;
  EXPECT_EQ(fs.ReadWholeFile(Path("huge"), &got, &snapshot), ReadStatus::ReadError);
  EXPECT_EQ(calls.reads, 0);
  EXPECT_TRUE(got.empty());
}

TEST_F(PosixFileSystemTest, RewriteKeepsModeAndOwner) {
  Put("a.txt", "old\r\n");
  ASSERT_EQ(chmod(Path("a.txt").c_str(), 0640), 0);
  const bool root = geteuid() == 0;
  if (root) {
    ASSERT_EQ(chown(Path("a.txt").c_str(), 1234, 5678), 0);
  }
  PosixFileSystem fs;
  EXPECT_EQ(fs.RewriteFile(Path("a.txt"), ReadOk(fs, "a.txt"), "new\n").status, RewriteStatus::Ok);
  EXPECT_EQ(Get("a.txt"), "new\n");
  const struct stat status = StatOf("a.txt");
  EXPECT_EQ(status.st_mode & 07777, 0640u);
  if (root) {
    EXPECT_EQ(status.st_uid, 1234u);
    EXPECT_EQ(status.st_gid, 5678u);
  }
  EXPECT_EQ(Names(), std::vector<std::string>{"a.txt"});
}

TEST_F(PosixFileSystemTest, RewriteWritesThroughLinksWhichStayLinks) {
  ASSERT_EQ(mkdir(Path("sub").c_str(), 0755), 0);
  Put("sub/t.txt", "old");
  ASSERT_EQ(symlink("t.txt", Path("sub/relative").c_str()), 0);  // against its own folder
  ASSERT_EQ(symlink("sub/relative", Path("chain").c_str()), 0);
  PosixFileSystem fs;
  EXPECT_EQ(fs.RewriteFile(Path("chain"), ReadOk(fs, "chain"), "new").status, RewriteStatus::Ok);
  EXPECT_EQ(Get("sub/t.txt"), "new");
  struct stat status;
  for (const char* link : {"chain", "sub/relative"}) {
    ASSERT_EQ(lstat(Path(link).c_str(), &status), 0);
    EXPECT_TRUE(S_ISLNK(status.st_mode)) << link;
  }
  EXPECT_EQ(Names("sub"), (std::vector<std::string>{"relative", "t.txt"}));
}

TEST_F(PosixFileSystemTest, RewriteKeepsHardLinks) {
  Put("a.txt", "middle size");
  ASSERT_EQ(link(Path("a.txt").c_str(), Path("b.txt").c_str()), 0);
  const ino_t inode = StatOf("a.txt").st_ino;
  PosixFileSystem fs;
  for (const std::string data : {"a good deal longer than before", "short"}) {
    EXPECT_EQ(fs.RewriteFile(Path("a.txt"), ReadOk(fs, "a.txt"), data).status, RewriteStatus::Ok);
    EXPECT_EQ(Get("b.txt"), data);
    EXPECT_EQ(StatOf("b.txt").st_ino, inode);
    EXPECT_EQ(StatOf("b.txt").st_nlink, 2u);
  }
  EXPECT_EQ(Names(), (std::vector<std::string>{"a.txt", "b.txt"}));
}

TEST_F(PosixFileSystemTest, ReadOnlyFileIsRefusedEvenForRoot) {
  Put("a.txt", "old");
  ASSERT_EQ(chmod(Path("a.txt").c_str(), 0444), 0);
  PosixFileSystem fs;
  const RewriteResult result = fs.RewriteFile(Path("a.txt"), ReadOk(fs, "a.txt"), "new");
  EXPECT_EQ(result.status, RewriteStatus::CannotOpen);
  EXPECT_EQ(result.error, EACCES);
  EXPECT_EQ(fs.LastError(), EACCES);
  EXPECT_EQ(fs.SystemErrorText(UiLanguage::English, result.error), u"Permission denied");
  EXPECT_EQ(Get("a.txt"), "old");
}

TEST_F(PosixFileSystemTest, RewriteRefusesAFileChangedSinceItWasRead) {
  for (const bool hard_links : {false, true}) {
    Put("a.txt", "old");
    if (hard_links) {
      ASSERT_EQ(link(Path("a.txt").c_str(), Path("b.txt").c_str()), 0);
    }
    PosixFileSystem fs;
    const FileSnapshot snapshot = ReadOk(fs, "a.txt");
    // Same size, and the last-write time put back as cp -p or touch -r do:
    // only the change time tells.
    Put("a.txt", "eld");
    const struct timespec back[2] = {{0, UTIME_OMIT}, {snapshot.mtime_sec, snapshot.mtime_nsec}};
    ASSERT_EQ(utimensat(AT_FDCWD, Path("a.txt").c_str(), back, 0), 0);
    EXPECT_EQ(fs.RewriteFile(Path("a.txt"), snapshot, "new").status, RewriteStatus::Changed);
    EXPECT_EQ(Get("a.txt"), "eld");
  }
}

// A fault in the middle of a rewrite, for a file with one link or with two.
struct Fault {
  const char* name;
  bool hard_links;
  std::function<void(FaultyCalls&, const std::string& target)> inject;
  RewriteStatus status;
  int error;
};

void PrintTo(const Fault& fault, std::ostream* out) {
  *out << fault.name;
}

class PosixFileSystemFaultTest : public PosixFileSystemTest,
                                 public ::testing::WithParamInterface<Fault> {};

TEST_P(PosixFileSystemFaultTest, OriginalStaysByteForByteAndNoTemporaryIsLeft) {
  const Fault& fault = GetParam();
  const std::string original = "line one\r\nline two\r\n";
  Put("a.txt", original);
  std::vector<std::string> names = {"a.txt"};
  if (fault.hard_links) {
    ASSERT_EQ(link(Path("a.txt").c_str(), Path("b.txt").c_str()), 0);
    names.push_back("b.txt");
  }
  FaultyCalls calls;
  PosixFileSystem fs(&calls);
  const FileSnapshot snapshot = ReadOk(fs, "a.txt");
  fault.inject(calls, Path("a.txt"));

  const RewriteResult result =
      fs.RewriteFile(Path("a.txt"), snapshot, "LINE ONE\nLINE TWO\nAND A LONGER THIRD LINE\n");
  EXPECT_EQ(result.status, fault.status);
  EXPECT_EQ(result.error, fault.error);
  EXPECT_EQ(Names(), names);
  if (fault.status == RewriteStatus::Changed) {
    EXPECT_EQ(Get("a.txt"), original + "+");
    return;
  }
  EXPECT_EQ(fs.LastError(), fault.error);
  for (const std::string& name : names) EXPECT_EQ(Get(name), original) << name;
  const struct stat status = StatOf("a.txt");
  EXPECT_EQ(status.st_ino, snapshot.inode);
  EXPECT_EQ(status.st_mtim.tv_sec, snapshot.mtime_sec);
  EXPECT_EQ(status.st_mtim.tv_nsec, snapshot.mtime_nsec);
}

void WriteFailsAfterThreeBytes(FaultyCalls& calls, const std::string&) {
  calls.write_error = EIO;
  calls.write_budget = 3;
}
void DiskIsFull(FaultyCalls& calls, const std::string&) {
  calls.write_error = ENOSPC;
  calls.fallocate_error = ENOSPC;
}
void DiskFillsWhileReserving(FaultyCalls& calls, const std::string&) {
  calls.fallocate_error = ENOSPC;
  calls.fallocate_grows = true;
}
void SyncFails(FaultyCalls& calls, const std::string&) {
  calls.fsync_error = EIO;
}
void TargetChangesBeforeTheRename(FaultyCalls& calls, const std::string& target) {
  calls.before_fsync = [target] { std::ofstream(target, std::ios::app) << "+"; };
}

INSTANTIATE_TEST_SUITE_P(
    PosixFileSystemFaults, PosixFileSystemFaultTest,
    ::testing::Values(
        Fault{"WriteStops", false, WriteFailsAfterThreeBytes, RewriteStatus::WriteError, EIO},
        Fault{"DiskFull", false, DiskIsFull, RewriteStatus::WriteError, ENOSPC},
        Fault{"SyncFails", false, SyncFails, RewriteStatus::WriteError, EIO},
        Fault{"RenameFails", false, [](FaultyCalls& c, auto&) { c.rename_error = EXDEV; },
              RewriteStatus::WriteError, EXDEV},
        Fault{"NoTemporary", false, [](FaultyCalls& c, auto&) { c.temporary_error = EMFILE; },
              RewriteStatus::CannotOpen, EMFILE},
        Fault{"FolderNotWritable", false, [](FaultyCalls& c, auto&) { c.temporary_error = EACCES; },
              RewriteStatus::FolderNotWritable, EACCES},
        Fault{"Changed", false, TargetChangesBeforeTheRename, RewriteStatus::Changed, 0},
        Fault{"LinkedWriteStops", true, WriteFailsAfterThreeBytes, RewriteStatus::WriteError, EIO},
        Fault{"LinkedDiskFull", true, DiskIsFull, RewriteStatus::WriteError, ENOSPC},
        Fault{"LinkedDiskFillsWhileReserving", true, DiskFillsWhileReserving,
              RewriteStatus::WriteError, ENOSPC},
        Fault{"LinkedSyncFails", true, SyncFails, RewriteStatus::WriteError, EIO}),
    [](const ::testing::TestParamInfo<Fault>& info) { return std::string(info.param.name); });

// Tells the syncs of folders (by inode, in order) from those of files.
class SyncLog : public PosixCalls {
 public:
  int Fsync(int fd) override {
    struct stat status {};
    EXPECT_EQ(::fstat(fd, &status), 0);
    if (S_ISDIR(status.st_mode)) {
      folders.push_back(status.st_ino);
    } else {
      ++files;
    }
    return PosixCalls::Fsync(fd);
  }
  std::vector<ino_t> folders;
  int files = 0;
};

TEST_F(PosixFileSystemTest, EveryFileIsSyncedAndItsFolderOncePerRunOfRenames) {
  ASSERT_EQ(mkdir(Path("sub").c_str(), 0755), 0);
  for (const char* name : {"a", "b", "c", "sub/d"}) Put(name, "old");
  const ino_t top = StatOf("").st_ino;
  const ino_t sub = StatOf("sub").st_ino;
  ASSERT_EQ(link(Path("c").c_str(), Path("c2").c_str()), 0);
  SyncLog calls;
  {
    PosixFileSystem fs(&calls);
    for (const char* name : {"a", "b", "c"}) {
      EXPECT_EQ(fs.RewriteFile(Path(name), ReadOk(fs, name), "new").status, RewriteStatus::Ok);
    }
    ASSERT_TRUE(fs.CopyFile(Path("a"), Path("a.bak")));
    // c, with two links, had its journal synced, and the journal's name with
    // its folder, before it was touched.
    EXPECT_EQ(calls.files, 5);
    EXPECT_EQ(calls.folders, std::vector<ino_t>{top});
    // A rename in another folder makes those before it durable first.
    EXPECT_EQ(fs.RewriteFile(Path("sub/d"), ReadOk(fs, "sub/d"), "new").status, RewriteStatus::Ok);
    EXPECT_EQ(calls.folders, (std::vector<ino_t>{top, top}));
    // So does leaving the folder, which a relative name depends on.
    ASSERT_TRUE(fs.SetCurrentDirectory(folder_));
    EXPECT_EQ(calls.folders, (std::vector<ino_t>{top, top, sub}));
    EXPECT_EQ(fs.RewriteFile("a", ReadOk(fs, "a"), "newer").status, RewriteStatus::Ok);
    EXPECT_EQ(calls.folders.size(), 3u);
  }
  EXPECT_EQ(calls.folders, (std::vector<ino_t>{top, top, sub, top}));
  EXPECT_EQ(calls.files, 7);
  EXPECT_EQ(Get("c2"), "new");
}

// Counts the syncs of files going on at once.
class OverlapLog : public PosixCalls {
 public:
  int Fsync(int fd) override {
    struct stat status {};
    EXPECT_EQ(::fstat(fd, &status), 0);
    if (S_ISDIR(status.st_mode)) {
      ++folders;
      return PosixCalls::Fsync(fd);
    }
    const int now = ++active;
    for (int most = most_active; now > most && !most_active.compare_exchange_weak(most, now);) {
    }
    // Long enough for a sync started with it to begin meanwhile.
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    --active;
    ++files;
    return PosixCalls::Fsync(fd);
  }
  std::atomic<int> active{0}, most_active{0}, files{0}, folders{0};
};

// Rewrites begun one after the other are synced together when the first is
// finished; until each is finished its file is as it was, and one dropped
// unfinished leaves no trace.
TEST_F(PosixFileSystemTest, RewritesBegunTogetherAreSyncedTogether) {
  for (const char* name : {"a", "b", "c"}) Put(name, "old");
  OverlapLog calls;
  PosixFileSystem fs(&calls);
  std::vector<std::unique_ptr<PendingRewrite>> pending;
  for (const char* name : {"a", "b", "c"}) {
    RewriteResult result;
    pending.push_back(fs.StartRewrite(Path(name), ReadOk(fs, name), "new", nullptr, &result));
    ASSERT_NE(pending.back(), nullptr) << name;
  }
  EXPECT_EQ(calls.files, 0);
  EXPECT_EQ(Names(), (std::vector<std::string>{"a", "b", "c"}));
  pending[1].reset();
  EXPECT_EQ(pending[0]->Finish().status, RewriteStatus::Ok);
  EXPECT_EQ(Get("a"), "new");
  EXPECT_EQ(Get("c"), "old");
  EXPECT_EQ(pending[2]->Finish().status, RewriteStatus::Ok);
  EXPECT_EQ(calls.files, 2);
  EXPECT_EQ(calls.most_active, 2);
  EXPECT_EQ(calls.folders, 0);
  fs.SyncRenames();
  EXPECT_EQ(calls.folders, 1);
  EXPECT_EQ(Get("b"), "old");
  EXPECT_EQ(Get("c"), "new");
  EXPECT_EQ(Names(), (std::vector<std::string>{"a", "b", "c"}));
}

TEST_F(PosixFileSystemTest, CopyReplacesTheOldBackupWithModeAndTime) {
  Put("a.txt", "new");
  Put("a.txt.bak", "an old backup, longer than the file");
  ASSERT_EQ(chmod(Path("a.txt").c_str(), 0751), 0);
  const struct timespec times[2] = {{0, UTIME_OMIT}, {1234567890, 123456789}};
  ASSERT_EQ(utimensat(AT_FDCWD, Path("a.txt").c_str(), times, 0), 0);
  PosixFileSystem fs;
  ASSERT_TRUE(fs.CopyFile(Path("a.txt"), Path("a.txt.bak")));
  EXPECT_EQ(Get("a.txt.bak"), "new");
  const struct stat status = StatOf("a.txt.bak");
  EXPECT_EQ(status.st_mode & 07777, 0751u);
  EXPECT_EQ(status.st_mtim.tv_sec, 1234567890);
  EXPECT_EQ(status.st_mtim.tv_nsec, 123456789);
  EXPECT_EQ(Names(), (std::vector<std::string>{"a.txt", "a.txt.bak"}));
}

TEST_F(PosixFileSystemTest, FailedCopyKeepsTheOldBackupWhole) {
  Put("a.txt", "new content");
  Put("a.txt.bak", "old backup");
  FaultyCalls calls;
  WriteFailsAfterThreeBytes(calls, "");
  PosixFileSystem fs(&calls);
  EXPECT_FALSE(fs.CopyFile(Path("a.txt"), Path("a.txt.bak")));
  EXPECT_EQ(fs.LastError(), EIO);
  EXPECT_EQ(Get("a.txt.bak"), "old backup");
  EXPECT_EQ(Names(), (std::vector<std::string>{"a.txt", "a.txt.bak"}));

  EXPECT_FALSE(fs.CopyFile(Path("missing"), Path("missing.bak")));
  EXPECT_EQ(fs.LastError(), ENOENT);
}

TEST_F(PosixFileSystemTest, TimesComeBackToTheNanosecondAndAccessTimeStays) {
  Put("a.txt", "x");
  const struct timespec access[2] = {{1000, 5}, {0, UTIME_OMIT}};
  ASSERT_EQ(utimensat(AT_FDCWD, Path("a.txt").c_str(), access, 0), 0);
  PosixFileSystem fs;
  ASSERT_EQ(fs.SetFileTimes(Path("a.txt"), {1600000000, 987654321}), TimesStatus::Ok);
  FileTimes times;
  ASSERT_TRUE(fs.GetFileTimes(Path("a.txt"), &times));
  EXPECT_EQ(times.mtime_sec, 1600000000);
  EXPECT_EQ(times.mtime_nsec, 987654321);
  EXPECT_EQ(StatOf("a.txt").st_atim.tv_sec, 1000);
  EXPECT_EQ(StatOf("a.txt").st_atim.tv_nsec, 5);

  EXPECT_EQ(fs.SetFileTimes(Path("missing"), times), TimesStatus::CannotOpen);
  EXPECT_FALSE(fs.GetFileTimes(Path("missing"), &times));
  EXPECT_EQ(fs.LastError(), ENOENT);
}

// Opening a file for writing may change it (overlayfs copies it up to its
// upper layer, with a new change time): a file with one link is rewritten
// without that.
TEST_F(PosixFileSystemTest, AFileWithOneLinkIsNotOpenedForWriting) {
  Put("a.txt", "old\r\n");
  FaultyCalls calls;
  calls.on_write_open = [](const char* path) {
    struct stat status {};
    if (::stat(path, &status) != 0 || !S_ISREG(status.st_mode)) return;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    EXPECT_EQ(::chmod(path, status.st_mode & 07777), 0);
  };
  PosixFileSystem fs(&calls);
  EXPECT_EQ(fs.RewriteFile(Path("a.txt"), ReadOk(fs, "a.txt"), "new\n").status, RewriteStatus::Ok);
  EXPECT_EQ(Get("a.txt"), "new\n");

  // A file with two links is, and where that gives it a new number, the
  // rewrite says that the file changed, not that a link went round in circles.
  Put("b.txt", "old\r\n");
  ASSERT_EQ(link(Path("b.txt").c_str(), Path("b2.txt").c_str()), 0);
  calls.on_write_open = [this](const char* path) {
    if (std::string(path) != Path("b.txt")) return;
    Put("copy", "old\r\n");
    EXPECT_EQ(::rename(Path("copy").c_str(), path), 0);
  };
  EXPECT_EQ(fs.RewriteFile(Path("b.txt"), ReadOk(fs, "b.txt"), "new\n").status,
            RewriteStatus::Changed);
  EXPECT_EQ(Get("b.txt"), "old\r\n");
}

// The flags a file's owner may set (nodump, noatime) go with the new
// content; where the new file cannot take them, the file is rewritten in
// place, which keeps them.
TEST_F(PosixFileSystemTest, RewriteKeepsInodeFlags) {
  Put("a.txt", "old\r\n");
  Put("b.txt", "old\r\n");
  const int kept = FS_NODUMP_FL | FS_NOATIME_FL;
  for (const char* name : {"a.txt", "b.txt"}) {
    const int fd = open(Path(name).c_str(), O_RDONLY);
    int flags = 0;
    const bool set = ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0 &&
                     (flags |= kept, ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0);
    close(fd);
    if (!set) GTEST_SKIP() << "no inode flags on " << folder_;
  }
  const auto flags_of = [this](const char* name) {
    const int fd = open(Path(name).c_str(), O_RDONLY);
    int flags = 0;
    EXPECT_EQ(ioctl(fd, FS_IOC_GETFLAGS, &flags), 0);
    close(fd);
    return flags & kept;
  };
  FaultyCalls calls;
  PosixFileSystem fs(&calls);
  const ino_t before = StatOf("b.txt").st_ino;
  EXPECT_EQ(fs.RewriteFile(Path("a.txt"), ReadOk(fs, "a.txt"), "new\n").status, RewriteStatus::Ok);
  calls.set_flags_error = EOPNOTSUPP;
  EXPECT_EQ(fs.RewriteFile(Path("b.txt"), ReadOk(fs, "b.txt"), "new\n").status, RewriteStatus::Ok);
  for (const char* name : {"a.txt", "b.txt"}) {
    EXPECT_EQ(Get(name), "new\n") << name;
    EXPECT_EQ(flags_of(name), kept) << name;
  }
  EXPECT_EQ(StatOf("b.txt").st_ino, before);
  EXPECT_EQ(Names(), (std::vector<std::string>{"a.txt", "b.txt"}));
}

// A rewrite given times hands them to the new content before it takes the
// file's name (a crash at the rename keeps them), and in place before the
// new bytes are synced.
TEST_F(PosixFileSystemTest, RewriteGivesTheTimesBeforeTheNewContentHasTheName) {
  Put("a.txt", "old\r\n");
  Put("b.txt", "old\r\n");
  ASSERT_EQ(link(Path("b.txt").c_str(), Path("b2.txt").c_str()), 0);
  const FileTimes times{1600000000, 987654321};
  FaultyCalls calls;
  PosixFileSystem fs(&calls);
  calls.before_rename = [this] {
    for (const std::string& name : Names()) {
      if (name.rfind(".a.txt.sorrel-tmp-", 0) != 0) continue;
      EXPECT_EQ(StatOf(name).st_mtim.tv_sec, 1600000000);
      EXPECT_EQ(StatOf(name).st_mtim.tv_nsec, 987654321);
    }
  };
  for (const char* name : {"a.txt", "b.txt"}) {
    RewriteResult result;
    std::unique_ptr<PendingRewrite> pending =
        fs.StartRewrite(Path(name), ReadOk(fs, name), "new\n", &times, &result);
    if (pending) result = pending->Finish();
    EXPECT_EQ(result.status, RewriteStatus::Ok) << name;
    EXPECT_EQ(result.times, TimesStatus::Ok) << name;
    EXPECT_EQ(StatOf(name).st_mtim.tv_sec, 1600000000) << name;
    EXPECT_EQ(StatOf(name).st_mtim.tv_nsec, 987654321) << name;
  }
  EXPECT_EQ(calls.before_rename, nullptr);  // the rename was met
}

// Runs body in a child process as the unprivileged user nobody (uid and gid
// 65534) and expects it to pass there.
void AsNobody(const std::function<void()>& body) {
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    const bool dropped = setgroups(0, nullptr) == 0 && setgid(65534) == 0 && setuid(65534) == 0;
    if (dropped) body();
    _exit(dropped && !::testing::Test::HasFailure() ? 0 : 1);
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "the part run as nobody failed";
}

#define SKIP_UNLESS_ROOT() \
  if (geteuid() != 0) GTEST_SKIP() << "needs root, to give files to another user"

// The extended attributes of a file, by name.
std::map<std::string, std::string> AttributesOf(const std::string& path) {
  std::map<std::string, std::string> values;
  char names[4096];
  const ssize_t size = llistxattr(path.c_str(), names, sizeof names);
  for (ssize_t at = 0; at < size; at += static_cast<ssize_t>(std::strlen(names + at)) + 1) {
    char value[4096];
    const ssize_t length = lgetxattr(path.c_str(), names + at, value, sizeof value);
    if (length >= 0) values[names + at] = std::string(value, static_cast<size_t>(length));
  }
  return values;
}

bool UserAttributesWork(const std::string& path) {
  return setxattr(path.c_str(), "user.sorrel-probe", "1", 1, 0) == 0 &&
         removexattr(path.c_str(), "user.sorrel-probe") == 0;
}

TEST_F(PosixFileSystemTest, RewriteCarriesAclsAndExtendedAttributes) {
  Put("a.txt", "old\r\n");
  if (!UserAttributesWork(Path("a.txt"))) GTEST_SKIP() << "no user.* attributes on " << folder_;
  if (std::system("command -v setfacl > /dev/null") != 0) GTEST_SKIP() << "setfacl (acl) missing";
  // An ACL that denies the owning group, grants one user, and a folder whose
  // default ACL a new file would inherit.
  const std::string file = Path("a.txt");
  ASSERT_EQ(std::system(("setfacl -m g::---,u:daemon:rw-,m::rw- '" + file + "'").c_str()), 0);
  ASSERT_EQ(std::system(("setfacl -d -m u:daemon:rwx '" + folder_ + "'").c_str()), 0);
  ASSERT_EQ(setxattr(file.c_str(), "user.note", "kept", 4, 0), 0);
  const std::map<std::string, std::string> before = AttributesOf(file);
  ASSERT_EQ(before.count("system.posix_acl_access"), 1u);
  const mode_t mode = StatOf("a.txt").st_mode;

  PosixFileSystem fs;
  const FileSnapshot snapshot = ReadOk(fs, "a.txt");
  EXPECT_EQ(fs.RewriteFile(file, snapshot, "new\n").status, RewriteStatus::Ok);
  EXPECT_EQ(Get("a.txt"), "new\n");
  EXPECT_NE(StatOf("a.txt").st_ino, snapshot.inode);  // replaced, not overwritten
  EXPECT_EQ(AttributesOf(file), before);
  EXPECT_EQ(StatOf("a.txt").st_mode, mode);

  // The backup carries them too, the owner being kept.
  ASSERT_TRUE(fs.CopyFile(file, Path("a.txt.bak")));
  EXPECT_EQ(AttributesOf(Path("a.txt.bak")), before);

  // One that cannot be copied: the file stays as it was.
  FaultyCalls calls;
  calls.setxattr_error = EPERM;
  PosixFileSystem failing(&calls);
  const RewriteResult result = failing.RewriteFile(file, ReadOk(failing, "a.txt"), "newer\n");
  EXPECT_EQ(result.status, RewriteStatus::AttributesLost);
  EXPECT_EQ(result.error, EPERM);
  EXPECT_EQ(Get("a.txt"), "new\n");
  EXPECT_EQ(Names(), (std::vector<std::string>{"a.txt", "a.txt.bak"}));
}

TEST_F(PosixFileSystemTest, BackupGrantsNoOneMoreThanTheOriginal) {
  SKIP_UNLESS_ROOT();
  PosixFileSystem fs;
  // Root keeps the owner, the group and with them the set-ID bits.
  Put("tool", "#!/bin/sh\n");
  ASSERT_EQ(chown(Path("tool").c_str(), 1234, 5678), 0);
  ASSERT_EQ(chmod(Path("tool").c_str(), 04755), 0);
  ASSERT_TRUE(fs.CopyFile(Path("tool"), Path("tool.bak")));
  struct stat backup = StatOf("tool.bak");
  EXPECT_EQ(backup.st_uid, 1234u);
  EXPECT_EQ(backup.st_gid, 5678u);
  EXPECT_EQ(backup.st_mode & 07777, 04755u);

  // A read-only backup is kept as it is.
  Put("a.txt", "new");
  Put("a.txt.bak", "old backup");
  ASSERT_EQ(chmod(Path("a.txt.bak").c_str(), 0444), 0);
  EXPECT_FALSE(fs.CopyFile(Path("a.txt"), Path("a.txt.bak")));
  EXPECT_EQ(fs.LastError(), EACCES);
  EXPECT_EQ(Get("a.txt.bak"), "old backup");

  // A user who may not give the copy away gets it without the set-ID bits,
  // and its group (another) no more than everyone had.
  ASSERT_EQ(chmod(folder_.c_str(), 0777), 0);
  ASSERT_EQ(chmod(Path("tool").c_str(), 06775), 0);
  AsNobody([&] {
    PosixFileSystem own;
    ASSERT_TRUE(own.CopyFile(Path("tool"), Path("tool.copy")));
    const struct stat copy = StatOf("tool.copy");
    EXPECT_EQ(copy.st_uid, 65534u);
    EXPECT_EQ(copy.st_mode & 07777, 0755u);
  });

  // A backup by another user keeps the access list where it keeps the
  // group, and otherwise grants no one but its owner.
  if (std::system("command -v setfacl > /dev/null") != 0) return;
  Put("listed.txt", "salaries\r\n");
  ASSERT_EQ(chown(Path("listed.txt").c_str(), 1234, 65534), 0);
  ASSERT_EQ(chmod(Path("listed.txt").c_str(), 0664), 0);
  ASSERT_EQ(std::system(("setfacl -m g::r--,u:4321:---,o::--- " + Path("listed.txt")).c_str()), 0);
  ASSERT_EQ(chown(Path("tool").c_str(), 1234, 1234), 0);
  ASSERT_EQ(std::system(("setfacl -m u:4321:--- " + Path("tool")).c_str()), 0);
  AsNobody([&] {
    PosixFileSystem own;
    ASSERT_TRUE(own.CopyFile(Path("listed.txt"), Path("listed.txt.bak")));
    EXPECT_EQ(AttributesOf(Path("listed.txt.bak")).count("system.posix_acl_access"), 1u);
    ASSERT_TRUE(own.CopyFile(Path("tool"), Path("tool.bak2")));
    EXPECT_EQ(AttributesOf(Path("tool.bak2")).count("system.posix_acl_access"), 0u);
    EXPECT_EQ(StatOf("tool.bak2").st_mode & 07777, 0700u);
  });
  EXPECT_EQ(
      std::system(("getfacl -cp " + Path("listed.txt.bak") + " | grep -qx user:4321:---").c_str()),
      0);
}

TEST_F(PosixFileSystemTest, LinksOfAnotherUserAreNotFollowed) {
  SKIP_UNLESS_ROOT();
  ASSERT_EQ(mkdir(Path("rootonly").c_str(), 0700), 0);
  Put("rootonly/secret.txt", "secret\r\n");
  ASSERT_EQ(chmod(Path("rootonly/secret.txt").c_str(), 0644), 0);
  ASSERT_EQ(mkdir(Path("home").c_str(), 0755), 0);
  ASSERT_EQ(symlink("../rootonly/secret.txt", Path("home/notes.txt").c_str()), 0);
  ASSERT_EQ(symlink("../rootonly", Path("home/folder").c_str()), 0);
  for (const char* link : {"home/notes.txt", "home/folder"}) {
    ASSERT_EQ(lchown(Path(link).c_str(), 65534, 65534), 0);
  }
  PosixFileSystem fs;
  std::string bytes;
  FileSnapshot snapshot;
  EXPECT_EQ(fs.ReadWholeFile(Path("home/notes.txt"), &bytes, &snapshot), ReadStatus::NotFollowed);
  const FileSnapshot real = ReadOk(fs, "rootonly/secret.txt");
  EXPECT_EQ(fs.RewriteFile(Path("home/notes.txt"), real, "x").status, RewriteStatus::CannotOpen);
  EXPECT_EQ(fs.LastError(), EACCES);
  EXPECT_FALSE(fs.CopyFile(Path("home/notes.txt"), Path("home/notes.txt.bak")));
  EXPECT_EQ(Get("rootonly/secret.txt"), "secret\r\n");
  EXPECT_EQ(Names("home"), (std::vector<std::string>{"folder", "notes.txt"}));

  ASSERT_TRUE(fs.SetCurrentDirectory(Path("home")));
  std::unique_ptr<DirectorySearch> search = fs.FindFirst("*");
  FindEntry entry;
  while (search->Next(&entry)) {
    EXPECT_EQ(entry.not_followed, entry.name == "notes.txt" || entry.name == "folder")
        << entry.name;
  }
  EXPECT_FALSE(fs.SetCurrentDirectory("folder"));
  EXPECT_EQ(fs.LastError(), EACCES);
  // Also where the link is a part of a longer path.
  EXPECT_FALSE(fs.SetCurrentDirectory(Path("home/folder/.")));
  EXPECT_EQ(fs.LastError(), EACCES);

  // The target's owner may link to it, and so may the running user.
  for (const char* link : {"home/notes.txt", "home/folder"}) {
    ASSERT_EQ(lchown(Path(link).c_str(), 0, 0), 0);
  }
  EXPECT_EQ(fs.ReadWholeFile("notes.txt", &bytes, &snapshot), ReadStatus::Ok);
  EXPECT_TRUE(fs.SetCurrentDirectory(Path("home/folder/.")));
  EXPECT_TRUE(fs.SetCurrentDirectory(Path("home")));
  EXPECT_TRUE(fs.SetCurrentDirectory("folder"));
}

// The folder of a file is swapped for a link to another folder that holds
// a file of the same name right before the new content takes the file's
// name: the rename still goes to the folder the file was found in.
TEST_F(PosixFileSystemTest, AFolderSwappedForALinkCannotRedirectTheRename) {
  for (const char* folder : {"sub", "other"}) ASSERT_EQ(mkdir(Path(folder).c_str(), 0755), 0);
  Put("sub/f.txt", "old\r\n");
  Put("other/f.txt", "someone else's\r\n");
  FaultyCalls calls;
  PosixFileSystem fs(&calls);
  const FileSnapshot snapshot = ReadOk(fs, "sub/f.txt");
  calls.before_rename = [this] {
    ASSERT_EQ(rename(Path("sub").c_str(), Path("sub.old").c_str()), 0);
    ASSERT_EQ(symlink("other", Path("sub").c_str()), 0);
  };
  EXPECT_EQ(fs.RewriteFile(Path("sub/f.txt"), snapshot, "new\n").status, RewriteStatus::Ok);
  EXPECT_EQ(Get("sub.old/f.txt"), "new\n");
  EXPECT_EQ(Get("other/f.txt"), "someone else's\r\n");
  EXPECT_EQ(Names("sub.old"), std::vector<std::string>{"f.txt"});
  EXPECT_EQ(Names("other"), std::vector<std::string>{"f.txt"});
}

TEST_F(PosixFileSystemTest, AFileWhoseOwnerCannotBeKeptIsRewrittenInPlace) {
  SKIP_UNLESS_ROOT();
  ASSERT_EQ(chmod(folder_.c_str(), 0777), 0);
  Put("shared.txt", "old\r\n");
  ASSERT_EQ(chmod(Path("shared.txt").c_str(), 0666), 0);
  const ino_t inode = StatOf("shared.txt").st_ino;
  AsNobody([&] {
    PosixFileSystem fs;
    EXPECT_EQ(fs.RewriteFile(Path("shared.txt"), ReadOk(fs, "shared.txt"), "new\n").status,
              RewriteStatus::Ok);
  });
  EXPECT_EQ(Get("shared.txt"), "new\n");
  EXPECT_EQ(StatOf("shared.txt").st_uid, 0u);
  EXPECT_EQ(StatOf("shared.txt").st_ino, inode);
  EXPECT_EQ(Names(), std::vector<std::string>{"shared.txt"});
}

// A rewrite in place of a file with two links that is cut off half-way and
// cannot put the old bytes back, as a kill would leave it.
class InterruptedRewriteTest : public PosixFileSystemTest {
 protected:
  void Interrupt() {
    Put("a.txt", kOld);
    ASSERT_EQ(link(Path("a.txt").c_str(), Path("b.txt").c_str()), 0);
    FaultyCalls calls;
    PosixFileSystem fs(&calls);
    const FileSnapshot snapshot = ReadOk(fs, "a.txt");
    // The journal is written whole: its header twice, the name, both contents.
    calls.write_error = EIO;
    calls.write_error_stays = true;
    calls.write_budget = 2 * 48 + 5 + std::string(kOld).size() + std::string(kNew).size() + 4;
    ASSERT_EQ(fs.RewriteFile(Path("a.txt"), snapshot, kNew).status, RewriteStatus::WriteError);
    ASSERT_EQ(Get("b.txt"), std::string(kNew).substr(0, 4) + std::string(kOld).substr(4));
    ASSERT_EQ(Names(), (std::vector<std::string>{".a.txt.sorrel-journal", "a.txt", "b.txt"}));
    ASSERT_EQ(chdir(folder_.c_str()), 0);
  }
  static constexpr const char* kOld = "line one\r\nline two\r\n";
  static constexpr const char* kNew = "LINE ONE\nLINE TWO\nAND MORE\n";
};

TEST_F(InterruptedRewriteTest, TheNextRunCompletesItWithALine) {
  Interrupt();
  PosixFileSystem fs;
  const std::vector<Recovery> done = fs.FinishInterruptedRuns();
  ASSERT_EQ(done.size(), 1u);
  EXPECT_EQ(done[0].name, "a.txt");
  EXPECT_EQ(done[0].outcome, RecoveryOutcome::Completed);
  EXPECT_EQ(Get("a.txt"), kNew);
  EXPECT_EQ(Get("b.txt"), kNew);
  EXPECT_EQ(Names(), (std::vector<std::string>{"a.txt", "b.txt"}));
  EXPECT_TRUE(fs.FinishInterruptedRuns().empty());
}

TEST_F(InterruptedRewriteTest, AFileChangedSinceIsLeftAsItIs) {
  Interrupt();
  Put("a.txt", "edited by hand since\n");
  PosixFileSystem fs;
  const std::vector<Recovery> done = fs.FinishInterruptedRuns();
  ASSERT_EQ(done.size(), 1u);
  EXPECT_EQ(done[0].outcome, RecoveryOutcome::Changed);
  EXPECT_EQ(Get("b.txt"), "edited by hand since\n");
  EXPECT_EQ(Names(), (std::vector<std::string>{"a.txt", "b.txt"}));
}

// Another user's journal is not the run's to finish: the half-written file
// is left as it is, and the rewrite says why.
TEST_F(InterruptedRewriteTest, AnotherUsersIsLeftAndTheRewriteSaysSo) {
  SKIP_UNLESS_ROOT();
  Interrupt();
  const std::string half = Get("a.txt");
  ASSERT_EQ(chown(Path(".a.txt.sorrel-journal").c_str(), 65534, 65534), 0);
  PosixFileSystem fs;
  EXPECT_TRUE(fs.FinishInterruptedRuns().empty());
  EXPECT_EQ(fs.RewriteFile(Path("a.txt"), ReadOk(fs, "a.txt"), kNew).status,
            RewriteStatus::OthersPending);
  EXPECT_EQ(Get("a.txt"), half);
  EXPECT_EQ(Names(), (std::vector<std::string>{".a.txt.sorrel-journal", "a.txt", "b.txt"}));
}

TEST_F(InterruptedRewriteTest, WhatARunStillAtWorkHoldsIsLeftAlone) {
  Interrupt();
  Put(".c.txt.sorrel-tmp-AbC123", "new content of a killed writer");
  Put(".d.txt.sorrel-tmp-XyZ789", "new content of a live writer");
  Put(".e.txt.sorrel-journal", "a file of the user's that only looks like a journal");
  Put(".f.txt.sorrel-backup", "and one that looks like new content");
  const int live = open(Path(".d.txt.sorrel-tmp-XyZ789").c_str(), O_RDONLY);
  const int journal = open(Path(".a.txt.sorrel-journal").c_str(), O_RDONLY);
  ASSERT_EQ(flock(live, LOCK_EX), 0);
  ASSERT_EQ(flock(journal, LOCK_EX), 0);
  PosixFileSystem fs;
  EXPECT_TRUE(fs.FinishInterruptedRuns().empty());
  EXPECT_EQ(Names(), (std::vector<std::string>{".a.txt.sorrel-journal", ".d.txt.sorrel-tmp-XyZ789",
                                               ".e.txt.sorrel-journal", ".f.txt.sorrel-backup",
                                               "a.txt", "b.txt"}));
  // Nor does a search list them; the user's own file is listed.
  std::unique_ptr<DirectorySearch> search = fs.FindFirst("*.*");
  FindEntry entry;
  while (search->Next(&entry)) {
    if (entry.name.find(".sorrel-") != std::string::npos) {
      EXPECT_EQ(entry.name, ".f.txt.sorrel-backup");
    }
  }
  close(live);
  close(journal);
  EXPECT_EQ(fs.FinishInterruptedRuns().size(), 1u);
  EXPECT_EQ(Names(), (std::vector<std::string>{".e.txt.sorrel-journal", ".f.txt.sorrel-backup",
                                               "a.txt", "b.txt"}));
}

}  // namespace
}  // namespace sorrel::platform
