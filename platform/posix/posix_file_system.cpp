// Files and folders through POSIX calls. Durability first: nothing replaces a
// file before its new bytes are on disk, and every failure leaves the old file.
#include "platform/posix/posix_file_system.h"

#include <dirent.h>
#include <fcntl.h>
#include <limits.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <string_view>
#include <vector>

#include "platform/posix/large_buffer.h"
#include "platform/posix/system_error_text.h"
#include "platform/posix/wildcard.h"

namespace sorrel::platform {

int PosixCalls::Open(const char* path, int flags) {
  return ::open(path, flags);
}
int PosixCalls::MakeTemporary(char* name_template) {
  return ::mkostemp(name_template, O_CLOEXEC);
}
int PosixCalls::Close(int fd) {
  return ::close(fd);
}
ssize_t PosixCalls::Read(int fd, void* buffer, size_t count) {
  return ::read(fd, buffer, count);
}
ssize_t PosixCalls::Pread(int fd, void* buffer, size_t count, off_t offset) {
  return ::pread(fd, buffer, count, offset);
}
ssize_t PosixCalls::Write(int fd, const void* buffer, size_t count) {
  return ::write(fd, buffer, count);
}
ssize_t PosixCalls::Pwrite(int fd, const void* buffer, size_t count, off_t offset) {
  return ::pwrite(fd, buffer, count, offset);
}
int PosixCalls::Fallocate(int fd, off_t length) {
  // Reserves the blocks without changing the file's size, so that a reservation
  // that fails half-way leaves the content as it was.
  return ::fallocate(fd, FALLOC_FL_KEEP_SIZE, 0, length) == 0 ? 0 : errno;
}
int PosixCalls::Ftruncate(int fd, off_t length) {
  return ::ftruncate(fd, length);
}
int PosixCalls::Fsync(int fd) {
  return ::fsync(fd);
}
int PosixCalls::Fchmod(int fd, mode_t mode) {
  return ::fchmod(fd, mode);
}
int PosixCalls::Fchown(int fd, uid_t owner, gid_t group) {
  return ::fchown(fd, owner, group);
}
int PosixCalls::Futimens(int fd, const struct timespec times[2]) {
  return ::futimens(fd, times);
}
int PosixCalls::Fstat(int fd, struct stat* status) {
  return ::fstat(fd, status);
}
int PosixCalls::Stat(const char* path, struct stat* status) {
  return ::stat(path, status);
}
int PosixCalls::Lstat(const char* path, struct stat* status) {
  return ::lstat(path, status);
}
ssize_t PosixCalls::Readlink(const char* path, char* buffer, size_t size) {
  return ::readlink(path, buffer, size);
}
int PosixCalls::Access(const char* path, int mode) {
  return ::access(path, mode);
}
int PosixCalls::Rename(const char* from, const char* to) {
  return ::rename(from, to);
}
int PosixCalls::Unlink(const char* path) {
  return ::unlink(path);
}

namespace {

constexpr uint64_t kMaxReadSize = uint64_t{4} << 30;
constexpr int kMaxLinkHops = 40;  // the kernel's own limit for a path
constexpr size_t kCopyChunk = size_t{1} << 20;

// The errno of the call that just failed; never 0, so that 0 can mean success.
int LastErrno() {
  return errno != 0 ? errno : EIO;
}

// Closes its descriptor when it goes out of scope.
class FileDescriptor {
 public:
  FileDescriptor(PosixCalls& calls, int fd) : calls_(calls), fd_(fd) {}
  FileDescriptor(const FileDescriptor&) = delete;
  FileDescriptor& operator=(const FileDescriptor&) = delete;
  ~FileDescriptor() { Close(); }

  bool ok() const { return fd_ >= 0; }
  int get() const { return fd_; }
  void Reset(int fd) {
    Close();
    fd_ = fd;
  }
  // 0, or the error of close (a write that the file system reports late).
  int Close() {
    if (fd_ < 0) return 0;
    const int result = calls_.Close(fd_);
    fd_ = -1;
    return result == 0 ? 0 : LastErrno();
  }

 private:
  PosixCalls& calls_;
  int fd_;
};

FileSnapshot SnapshotOf(const struct stat& status) {
  FileSnapshot snapshot;
  snapshot.device = status.st_dev;
  snapshot.inode = status.st_ino;
  snapshot.size = static_cast<uint64_t>(status.st_size);
  snapshot.mtime_sec = status.st_mtim.tv_sec;
  snapshot.mtime_nsec = status.st_mtim.tv_nsec;
  return snapshot;
}

bool Matches(const struct stat& status, const FileSnapshot& snapshot) {
  const FileSnapshot now = SnapshotOf(status);
  return now.device == snapshot.device && now.inode == snapshot.inode &&
         now.size == snapshot.size && now.mtime_sec == snapshot.mtime_sec &&
         now.mtime_nsec == snapshot.mtime_nsec;
}

// The folder part of path with its trailing slash; empty for a bare name.
std::string FolderOf(const std::string& path) {
  const size_t slash = path.rfind('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

// The bare name part of path.
std::string BareNameOf(const std::string& path) {
  const size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The text of the symbolic link at path, however long.
int ReadLinkText(PosixCalls& calls, const std::string& path, std::string* text) {
  std::vector<char> buffer(256);
  for (;;) {
    const ssize_t length = calls.Readlink(path.c_str(), buffer.data(), buffer.size());
    if (length < 0) return LastErrno();
    if (static_cast<size_t>(length) < buffer.size()) {
      text->assign(buffer.data(), static_cast<size_t>(length));
      return 0;
    }
    buffer.resize(buffer.size() * 2);
  }
}

// Follows a chain of symbolic links from name to the file it ends at. A
// relative link is read against the folder the link is in.
int ResolveLinks(PosixCalls& calls, const std::string& name, std::string* target) {
  std::string path = name;
  for (int hop = 0; hop <= kMaxLinkHops; ++hop) {
    struct stat status;
    if (calls.Lstat(path.c_str(), &status) != 0) return LastErrno();
    if (!S_ISLNK(status.st_mode)) {
      *target = path;
      return 0;
    }
    std::string link;
    if (const int error = ReadLinkText(calls, path, &link)) return error;
    if (link.empty()) return ENOENT;
    path = link.front() == '/' ? link : FolderOf(path) + link;
  }
  return ELOOP;
}

// Refuses a file that Windows would call read-only (no write bit at all,
// which root must respect too) or that cannot be opened for writing.
int CheckWritable(PosixCalls& calls, const std::string& path, const struct stat& status) {
  if ((status.st_mode & 0222) == 0) return EACCES;
  if (calls.Access(path.c_str(), W_OK) != 0) return LastErrno();
  FileDescriptor probe(calls, calls.Open(path.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC));
  return probe.ok() ? 0 : LastErrno();
}

// Reads exactly count bytes from the start of the file; a file that ends
// early (it shrank meanwhile) fails with EIO.
int ReadExactly(PosixCalls& calls, int fd, char* buffer, size_t count) {
  size_t done = 0;
  while (done < count) {
    const ssize_t got = calls.Read(fd, buffer + done, count - done);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) return LastErrno();
    if (got == 0) return EIO;
    done += static_cast<size_t>(got);
  }
  return 0;
}

int PreadExactly(PosixCalls& calls, int fd, char* buffer, size_t count) {
  size_t done = 0;
  while (done < count) {
    const ssize_t got = calls.Pread(fd, buffer + done, count - done, static_cast<off_t>(done));
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) return LastErrno();
    if (got == 0) return EIO;
    done += static_cast<size_t>(got);
  }
  return 0;
}

int WriteAll(PosixCalls& calls, int fd, std::string_view data) {
  while (!data.empty()) {
    const ssize_t put = calls.Write(fd, data.data(), data.size());
    if (put < 0 && errno == EINTR) continue;
    if (put < 0) return LastErrno();
    if (put == 0) return ENOSPC;
    data.remove_prefix(static_cast<size_t>(put));
  }
  return 0;
}

// Writes data at the start of the file.
int PwriteAll(PosixCalls& calls, int fd, std::string_view data) {
  size_t done = 0;
  while (done < data.size()) {
    const ssize_t put =
        calls.Pwrite(fd, data.data() + done, data.size() - done, static_cast<off_t>(done));
    if (put < 0 && errno == EINTR) continue;
    if (put < 0) return LastErrno();
    if (put == 0) return ENOSPC;
    done += static_cast<size_t>(put);
  }
  return 0;
}

int CopyContent(PosixCalls& calls, int from, int to) {
  std::vector<char> buffer(kCopyChunk);
  for (;;) {
    const ssize_t got = calls.Read(from, buffer.data(), buffer.size());
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) return LastErrno();
    if (got == 0) return 0;
    if (const int error = WriteAll(calls, to, {buffer.data(), static_cast<size_t>(got)})) {
      return error;
    }
  }
}

// Gives fd the owner, the group and the permission bits of status. The owner
// comes first, since changing it clears the set-user-ID bits. A user who may
// not give the file away keeps at least the group where allowed.
int CopyOwnerAndMode(PosixCalls& calls, int fd, const struct stat& status) {
  if (calls.Fchown(fd, status.st_uid, status.st_gid) != 0) {
    if (errno != EPERM) return LastErrno();
    if (calls.Fchown(fd, static_cast<uid_t>(-1), status.st_gid) != 0 && errno != EPERM) {
      return LastErrno();
    }
  }
  return calls.Fchmod(fd, status.st_mode & 07777) == 0 ? 0 : LastErrno();
}

// Makes the renames in folder (with its trailing slash, empty for the current
// directory) durable. Failing here changes nothing for the caller: the files
// have been replaced already.
void SyncFolder(PosixCalls& calls, const std::string& folder) {
  FileDescriptor fd(
      calls, calls.Open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (fd.ok()) calls.Fsync(fd.get());
}

// A hidden temporary file beside a target, removed again unless it has been
// renamed over the target.
class TemporaryFile {
 public:
  explicit TemporaryFile(PosixCalls& calls) : calls_(calls), fd_(calls, -1) {}
  TemporaryFile(const TemporaryFile&) = delete;
  TemporaryFile& operator=(const TemporaryFile&) = delete;
  ~TemporaryFile() {
    fd_.Close();
    if (!path_.empty()) calls_.Unlink(path_.c_str());
  }

  // Creates ".name.sorrel-XXXXXX" in target's folder, shortening the name
  // part so that the whole still fits a file name.
  int Create(const std::string& target) {
    constexpr std::string_view kSuffix = ".sorrel-XXXXXX";
    std::string name = BareNameOf(target);
    const size_t room = NAME_MAX - 1 - kSuffix.size();
    if (name.size() > room) name.resize(room);
    std::string path = FolderOf(target) + "." + name + std::string(kSuffix);
    const int fd = calls_.MakeTemporary(path.data());
    if (fd < 0) return LastErrno();
    path_ = std::move(path);
    fd_.Reset(fd);
    return 0;
  }

  int fd() const { return fd_.get(); }
  int Close() { return fd_.Close(); }

  // Closes the file and renames it over target.
  int RenameOver(const std::string& target) {
    if (const int error = fd_.Close()) return error;
    if (calls_.Rename(path_.c_str(), target.c_str()) != 0) return LastErrno();
    path_.clear();
    return 0;
  }

 private:
  PosixCalls& calls_;
  FileDescriptor fd_;
  std::string path_;  // empty once renamed
};

// The case of one link: a new file takes the old one's name.
RewriteResult ReplaceByRename(PosixCalls& calls, const std::string& target,
                              const struct stat& status, const FileSnapshot& snapshot,
                              const std::string& data) {
  TemporaryFile temporary(calls);
  if (const int error = temporary.Create(target)) return {RewriteStatus::CannotOpen, error};
  if (const int error = WriteAll(calls, temporary.fd(), data)) {
    return {RewriteStatus::WriteError, error};
  }
  if (const int error = CopyOwnerAndMode(calls, temporary.fd(), status)) {
    return {RewriteStatus::WriteError, error};
  }
  if (calls.Fsync(temporary.fd()) != 0) return {RewriteStatus::WriteError, LastErrno()};
  if (const int error = temporary.Close()) return {RewriteStatus::WriteError, error};
  struct stat now;
  if (calls.Stat(target.c_str(), &now) != 0 || !Matches(now, snapshot)) {
    return {RewriteStatus::Changed, 0};
  }
  if (const int error = temporary.RenameOver(target)) {
    return {RewriteStatus::WriteError, error};
  }
  return {RewriteStatus::Ok, 0};
}

// Puts the old bytes and the old last-write time back after a failed write
// in place, as far as the system still lets us.
void RestoreInPlace(PosixCalls& calls, int fd, const std::string& original,
                    const FileSnapshot& snapshot) {
  PwriteAll(calls, fd, original);
  calls.Ftruncate(fd, static_cast<off_t>(original.size()));
  calls.Fsync(fd);
  const struct timespec times[2] = {{0, UTIME_OMIT}, {snapshot.mtime_sec, snapshot.mtime_nsec}};
  calls.Futimens(fd, times);
}

// The case of several hard links: the one file they share is overwritten, so
// that every link sees the new content.
RewriteResult RewriteInPlace(PosixCalls& calls, const std::string& target,
                             const FileSnapshot& snapshot, const std::string& data) {
  // Read as well as write: the old bytes are kept for a failure half-way.
  FileDescriptor fd(calls, calls.Open(target.c_str(), O_RDWR | O_NONBLOCK | O_CLOEXEC));
  if (!fd.ok()) return {RewriteStatus::CannotOpen, LastErrno()};
  struct stat status;
  if (calls.Fstat(fd.get(), &status) != 0) return {RewriteStatus::CannotOpen, LastErrno()};
  if (!Matches(status, snapshot)) return {RewriteStatus::Changed, 0};

  std::string original(snapshot.size, '\0');
  if (const int error = PreadExactly(calls, fd.get(), original.data(), original.size())) {
    return {RewriteStatus::WriteError, error};
  }
  // A full disk is found here, before a byte of the content has been touched.
  // The reservation keeps the size; what it may have reserved beyond the end
  // is given back, and so is the last-write time.
  if (data.size() > snapshot.size) {
    const int error = calls.Fallocate(fd.get(), static_cast<off_t>(data.size()));
    if (error != 0 && error != EOPNOTSUPP) {
      calls.Ftruncate(fd.get(), static_cast<off_t>(snapshot.size));
      const struct timespec times[2] = {{0, UTIME_OMIT}, {snapshot.mtime_sec, snapshot.mtime_nsec}};
      calls.Futimens(fd.get(), times);
      return {RewriteStatus::WriteError, error};
    }
  }

  int error = PwriteAll(calls, fd.get(), data);
  if (error == 0 && calls.Ftruncate(fd.get(), static_cast<off_t>(data.size())) != 0) {
    error = LastErrno();
  }
  if (error == 0 && calls.Fsync(fd.get()) != 0) error = LastErrno();
  if (error != 0) {
    RestoreInPlace(calls, fd.get(), original, snapshot);
    return {RewriteStatus::WriteError, error};
  }
  return {RewriteStatus::Ok, 0};
}

// A finished list of directory entries, handed out one by one.
class ListedSearch : public DirectorySearch {
 public:
  explicit ListedSearch(std::vector<FindEntry> entries) : entries_(std::move(entries)) {}
  bool Next(FindEntry* entry) override {
    if (next_ == entries_.size()) return false;
    *entry = std::move(entries_[next_++]);
    return true;
  }

 private:
  std::vector<FindEntry> entries_;
  size_t next_ = 0;
};

// A link counts as what it leads to; an entry of unknown type is looked at.
bool IsDirectoryEntry(DIR* dir, const struct dirent& entry) {
  if (entry.d_type == DT_DIR) return true;
  if (entry.d_type != DT_LNK && entry.d_type != DT_UNKNOWN) return false;
  struct stat status;
  return fstatat(dirfd(dir), entry.d_name, &status, 0) == 0 && S_ISDIR(status.st_mode);
}

// chdir refuses a path of PATH_MAX bytes or more, which a deep tree reaches;
// such a path is entered a piece at a time. When a piece fails, the current
// directory goes back to where it was.
int ChangeDirectoryInSteps(const std::string& path) {
  const int start = open(".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (start < 0) return LastErrno();
  int error = 0;
  size_t begin = 0;
  if (path.front() == '/') {
    if (chdir("/") != 0) error = LastErrno();
    begin = 1;
  }
  while (error == 0 && begin < path.size()) {
    size_t end = path.size();
    if (end - begin >= PATH_MAX) {
      end = path.rfind('/', begin + PATH_MAX - 1);
      if (end == std::string::npos || end <= begin) error = ENAMETOOLONG;
    }
    if (error == 0 && chdir(path.substr(begin, end - begin).c_str()) != 0) error = LastErrno();
    begin = end + 1;
  }
  if (error != 0 && fchdir(start) != 0) error = LastErrno();
  close(start);
  return error;
}

struct DirCloser {
  void operator()(DIR* dir) const { closedir(dir); }
};

}  // namespace

PosixFileSystem::~PosixFileSystem() {
  SyncRenamedFolder();
}

bool PosixFileSystem::Fail(int error) {
  last_error_ = error;
  return false;
}

void PosixFileSystem::RenamedIn(const std::string& path) {
  const std::string folder = FolderOf(path);
  if (renamed_folder_pending_ && folder == renamed_folder_) return;
  SyncRenamedFolder();
  renamed_folder_ = folder;
  renamed_folder_pending_ = true;
}

void PosixFileSystem::SyncRenamedFolder() {
  if (!renamed_folder_pending_) return;
  SyncFolder(*calls_, renamed_folder_);
  renamed_folder_pending_ = false;
}

std::unique_ptr<DirectorySearch> PosixFileSystem::FindFirst(const std::string& pattern) {
  // Read whole at once: the caller rewrites and backs up files while it goes
  // through the list, and must not meet those files (or one file twice).
  const std::unique_ptr<DIR, DirCloser> dir(opendir("."));
  if (!dir) {
    Fail(LastErrno());
    return nullptr;
  }
  std::vector<FindEntry> entries;
  while (const struct dirent* entry = readdir(dir.get())) {
    if (!WildcardMatch(pattern, entry->d_name)) continue;
    entries.push_back({entry->d_name, IsDirectoryEntry(dir.get(), *entry)});
  }
  return std::make_unique<ListedSearch>(std::move(entries));
}

bool PosixFileSystem::GetCurrentDirectory(std::string* path) {
  std::vector<char> buffer(256);
  while (getcwd(buffer.data(), buffer.size()) == nullptr) {
    if (errno != ERANGE) return Fail(LastErrno());
    buffer.resize(buffer.size() * 2);
  }
  path->assign(buffer.data());
  return true;
}

bool PosixFileSystem::SetCurrentDirectory(const std::string& path) {
  // The pending folder may be named relative to the directory we leave.
  SyncRenamedFolder();
  if (chdir(path.c_str()) == 0) return true;
  if (errno != ENAMETOOLONG) return Fail(LastErrno());
  const int error = ChangeDirectoryInSteps(path);
  return error == 0 || Fail(error);
}

bool PosixFileSystem::CurrentDirectoryId(FileSnapshot* id) {
  struct stat status;
  if (calls_->Stat(".", &status) != 0) return Fail(LastErrno());
  *id = SnapshotOf(status);
  return true;
}

bool PosixFileSystem::FileId(const std::string& name, FileSnapshot* id) {
  struct stat status;
  if (calls_->Stat(name.c_str(), &status) != 0) return Fail(LastErrno());
  *id = SnapshotOf(status);
  return true;
}

ReadStatus PosixFileSystem::ReadWholeFile(const std::string& name, std::string* bytes,
                                          FileSnapshot* snapshot) {
  bytes->clear();
  // Opening a device can act on it (a tape rewinds): only a regular file is
  // opened, and checked again once it is open.
  struct stat named;
  if (calls_->Stat(name.c_str(), &named) != 0) {
    Fail(LastErrno());
    return ReadStatus::CannotOpen;
  }
  if (!S_ISREG(named.st_mode)) {
    Fail(S_ISDIR(named.st_mode) ? EISDIR : EINVAL);
    return ReadStatus::CannotOpen;
  }
  FileDescriptor fd(*calls_, calls_->Open(name.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
  if (!fd.ok()) {
    Fail(LastErrno());
    return ReadStatus::CannotOpen;
  }
  struct stat status;
  if (calls_->Fstat(fd.get(), &status) != 0) {
    Fail(LastErrno());
    return ReadStatus::CannotOpen;
  }
  if (!S_ISREG(status.st_mode)) {
    Fail(S_ISDIR(status.st_mode) ? EISDIR : EINVAL);
    return ReadStatus::CannotOpen;
  }
  *snapshot = SnapshotOf(status);
  if (snapshot->size == 0) return ReadStatus::Empty;
  if (snapshot->size >= kMaxReadSize) {
    Fail(EFBIG);
    return ReadStatus::ReadError;
  }
  posix_fadvise(fd.get(), 0, 0, POSIX_FADV_SEQUENTIAL);
  ResizeLargeBuffer(bytes, snapshot->size);
  if (const int error = ReadExactly(*calls_, fd.get(), bytes->data(), bytes->size())) {
    bytes->clear();
    Fail(error);
    return ReadStatus::ReadError;
  }
  return ReadStatus::Ok;
}

RewriteResult PosixFileSystem::RewriteFile(const std::string& name, const FileSnapshot& snapshot,
                                           const std::string& data) {
  std::string target;
  struct stat status;
  int error = ResolveLinks(*calls_, name, &target);
  if (error == 0 && calls_->Stat(target.c_str(), &status) != 0) error = LastErrno();
  if (error == 0) error = CheckWritable(*calls_, target, status);
  if (error != 0) {
    Fail(error);
    return {RewriteStatus::CannotOpen, error};
  }
  if (!Matches(status, snapshot)) return {RewriteStatus::Changed, 0};

  const RewriteResult result = status.st_nlink > 1
                                   ? RewriteInPlace(*calls_, target, snapshot, data)
                                   : ReplaceByRename(*calls_, target, status, snapshot, data);
  if (result.error != 0) Fail(result.error);
  if (result.status == RewriteStatus::Ok && status.st_nlink <= 1) RenamedIn(target);
  return result;
}

bool PosixFileSystem::CopyFile(const std::string& from, const std::string& to) {
  FileDescriptor source(*calls_, calls_->Open(from.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
  if (!source.ok()) return Fail(LastErrno());
  struct stat status;
  if (calls_->Fstat(source.get(), &status) != 0) return Fail(LastErrno());
  if (!S_ISREG(status.st_mode)) return Fail(S_ISDIR(status.st_mode) ? EISDIR : EINVAL);

  TemporaryFile copy(*calls_);
  if (const int error = copy.Create(to)) return Fail(error);
  if (const int error = CopyContent(*calls_, source.get(), copy.fd())) return Fail(error);
  if (calls_->Fchmod(copy.fd(), status.st_mode & 07777) != 0) return Fail(LastErrno());
  const struct timespec times[2] = {{0, UTIME_OMIT}, status.st_mtim};
  if (calls_->Futimens(copy.fd(), times) != 0) return Fail(LastErrno());
  if (calls_->Fsync(copy.fd()) != 0) return Fail(LastErrno());
  if (const int error = copy.RenameOver(to)) return Fail(error);
  RenamedIn(to);
  return true;
}

bool PosixFileSystem::GetFileTimes(const std::string& name, FileTimes* times) {
  struct stat status;
  if (calls_->Stat(name.c_str(), &status) != 0) return Fail(LastErrno());
  times->mtime_sec = status.st_mtim.tv_sec;
  times->mtime_nsec = status.st_mtim.tv_nsec;
  return true;
}

TimesStatus PosixFileSystem::SetFileTimes(const std::string& name, const FileTimes& times) {
  FileDescriptor fd(*calls_, calls_->Open(name.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC));
  if (!fd.ok()) {
    Fail(LastErrno());
    return TimesStatus::CannotOpen;
  }
  const struct timespec new_times[2] = {{0, UTIME_OMIT}, {times.mtime_sec, times.mtime_nsec}};
  if (calls_->Futimens(fd.get(), new_times) != 0) {
    Fail(LastErrno());
    return TimesStatus::CannotSet;
  }
  return TimesStatus::Ok;
}

std::u16string PosixFileSystem::SystemErrorText(UiLanguage lang, int code) {
  return platform::SystemErrorText(lang, code);
}

}  // namespace sorrel::platform
