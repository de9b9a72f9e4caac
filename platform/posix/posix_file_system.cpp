// Files and folders through POSIX calls. Durability first: nothing replaces a
// file before its new bytes are on disk, and every failure leaves the old file.
#include "platform/posix/posix_file_system.h"

#include <dirent.h>
#include <fcntl.h>
#include <limits.h>
#include <linux/fs.h>
#include <linux/openat2.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/syscall.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <string_view>
#include <vector>

#include "platform/posix/background_syncs.h"
#include "platform/posix/large_buffer.h"
#include "platform/posix/posix_attributes.h"
#include "platform/posix/posix_file_io.h"
#include "platform/posix/posix_journal.h"
#include "platform/posix/posix_links.h"
#include "platform/posix/posix_working_files.h"
#include "platform/posix/system_error_text.h"
#include "platform/posix/wildcard.h"

namespace sorrel::platform {

int PosixCalls::Open(const char* path, int flags) {
  return ::open(path, flags);
}
int PosixCalls::OpenAt(int folder, const char* name, int flags) {
  return ::openat(folder, name, flags);
}
int PosixCalls::CreateNew(int folder, const char* name, mode_t mode) {
  return ::openat(folder, name, O_CREAT | O_EXCL | O_RDWR | O_NOFOLLOW | O_CLOEXEC, mode);
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
void PosixCalls::StartWriteback(int fd, off_t offset, off_t count) {
  ::sync_file_range(fd, offset, count, SYNC_FILE_RANGE_WRITE);
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
int PosixCalls::LstatAt(int folder, const char* name, struct stat* status) {
  return ::fstatat(folder, name, status, AT_SYMLINK_NOFOLLOW);
}
int PosixCalls::Rename(int folder, const char* from, const char* to) {
  return ::renameat(folder, from, folder, to);
}
int PosixCalls::Unlink(int folder, const char* name) {
  return ::unlinkat(folder, name, 0);
}
int PosixCalls::OpenNoLinks(const char* path, int flags) {
  struct open_how how {};
  how.flags = static_cast<uint64_t>(flags);
  how.resolve = RESOLVE_NO_SYMLINKS;
  const long fd = ::syscall(SYS_openat2, AT_FDCWD, path, &how, sizeof how);
  if (fd >= 0 || (errno != ENOSYS && errno != EPERM)) return static_cast<int>(fd);
  return ::open(path, flags | O_NOFOLLOW);  // a kernel before 5.6, or a filter
}
int PosixCalls::OpenTemporary(int folder, mode_t mode) {
  return ::openat(folder, ".", O_TMPFILE | O_RDWR | O_CLOEXEC, mode);
}
int PosixCalls::LinkOpenFile(int fd, int folder, const char* name) {
  // Through /proc no privilege is needed; AT_EMPTY_PATH needs one.
  const std::string proc = "/proc/self/fd/" + std::to_string(fd);
  if (::linkat(AT_FDCWD, proc.c_str(), folder, name, AT_SYMLINK_FOLLOW) == 0) return 0;
  if (errno != ENOENT) return -1;
  return ::linkat(fd, "", folder, name, AT_EMPTY_PATH);
}
int PosixCalls::Link(int folder, const char* from, const char* to) {
  return ::linkat(folder, from, folder, to, 0);
}
int PosixCalls::Flock(int fd, int operation) {
  return ::flock(fd, operation);
}
int PosixCalls::GetFlags(int fd, int* flags) {
  return ::ioctl(fd, FS_IOC_GETFLAGS, flags);
}
int PosixCalls::SetFlags(int fd, int flags) {
  return ::ioctl(fd, FS_IOC_SETFLAGS, &flags);
}
ssize_t PosixCalls::Flistxattr(int fd, char* list, size_t size) {
  return ::flistxattr(fd, list, size);
}
ssize_t PosixCalls::Fgetxattr(int fd, const char* name, void* value, size_t size) {
  return ::fgetxattr(fd, name, value, size);
}
int PosixCalls::Fsetxattr(int fd, const char* name, const void* value, size_t size) {
  return ::fsetxattr(fd, name, value, size, 0);
}
int PosixCalls::Fremovexattr(int fd, const char* name) {
  return ::fremovexattr(fd, name);
}

namespace {

constexpr uint64_t kMaxReadSize = uint64_t{4} << 30;
// From this size on, the kernel is told that the file is read straight on.
constexpr uint64_t kSequentialReadSize = uint64_t{1} << 20;

// Refuses a file that Windows would call read-only (no write bit at all,
// which root must respect too) or that the process may not write. The file
// is opened for reading only (into *fd, its state into *status): opening
// it for writing may change it (overlayfs copies it up, with a new change
// time), and most rewrites replace it by name; the rewrite in place opens
// it for writing itself.
int CheckWritable(PosixCalls& calls, const ResolvedPath& target, int* fd, struct stat* status) {
  if ((target.status.st_mode & 0222) == 0) return EACCES;
  if (calls.Access(target.path.c_str(), W_OK) != 0) return LastErrno();
  return OpenResolved(calls, target, O_RDONLY | O_NONBLOCK, fd, status);
}

// Opens the folder of the file at path (open, in the state of status)
// through no link, into *folder: every name the rewrite makes or replaces is
// taken in it, so that a folder on the way that is swapped for a link
// meanwhile cannot send the rename elsewhere. Changed when the folder no
// longer holds the file under its name; OthersPending when it holds the
// journal of another user's rewrite of it that was killed half-way, which
// only that user's run may finish.
RewriteResult OpenTargetFolder(PosixCalls& calls, const std::string& path,
                               const struct stat& status, int* folder) {
  if (const int error = OpenFolder(calls, FolderOf(path), folder)) {
    return {RewriteStatus::CannotOpen, error};
  }
  const std::string name = BareNameOf(path);
  struct stat found;
  RewriteResult result;
  if (calls.LstatAt(*folder, JournalNameFor(name).c_str(), &found) == 0 &&
      found.st_uid != geteuid()) {
    result = {RewriteStatus::OthersPending, 0};
  } else if (calls.LstatAt(*folder, name.c_str(), &found) != 0 || found.st_dev != status.st_dev ||
             found.st_ino != status.st_ino) {
    result = {RewriteStatus::Changed, 0};
  }
  if (result.status != RewriteStatus::Ok) calls.Close(*folder);
  return result;
}

// Resolves name with the rule for links and opens the file it ends at.
int OpenFollowing(PosixCalls& calls, const std::string& name, int flags, int* fd,
                  struct stat* status = nullptr) {
  ResolvedPath resolved;
  bool refused = false;
  if (const int error = ResolvePath(calls, name, &resolved, &refused)) return error;
  return OpenResolved(calls, resolved, flags, fd, status);
}

// Writes data into fd in pieces and starts the write-back of each piece as
// soon as it is written, so that the disk works while the rest is written
// and the sync then waits only for what is left.
int WriteStartingWriteback(PosixCalls& calls, int fd, std::string_view data) {
  constexpr size_t kPiece = size_t{8} << 20;
  for (size_t done = 0; done < data.size();) {
    const size_t piece = std::min(kPiece, data.size() - done);
    if (const int error = WriteAll(calls, fd, data.substr(done, piece))) return error;
    calls.StartWriteback(fd, static_cast<off_t>(done), static_cast<off_t>(piece));
    done += piece;
  }
  return 0;
}

// A link counts as what it leads to; an entry of unknown type is looked at.
bool IsDirectoryEntry(DIR* dir, const struct dirent& entry) {
  if (entry.d_type == DT_DIR) return true;
  if (entry.d_type != DT_LNK && entry.d_type != DT_UNKNOWN) return false;
  struct stat status;
  return fstatat(dirfd(dir), entry.d_name, &status, 0) == 0 && S_ISDIR(status.st_mode);
}

// Whether the entry, if it is a symbolic link, may be followed.
bool MayFollowEntry(DIR* dir, const char* name) {
  struct stat link;
  struct stat target;
  if (fstatat(dirfd(dir), name, &link, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISLNK(link.st_mode)) {
    return true;
  }
  if (fstatat(dirfd(dir), name, &target, 0) != 0) return true;  // leads nowhere
  return MayFollow(link.st_uid, target.st_uid);
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

PosixFileSystem::PosixFileSystem() : calls_(&own_calls_) {}

PosixFileSystem::PosixFileSystem(PosixCalls* calls) : calls_(calls) {}

PosixFileSystem::~PosixFileSystem() {
  SyncRenamedFolder();
}

bool PosixFileSystem::Fail(int error) {
  last_error_ = error;
  return false;
}

void PosixFileSystem::RenamedIn(int folder) {
  struct stat status;
  if (calls_->Fstat(folder, &status) != 0) {
    SyncFolder(*calls_, folder);
    return;
  }
  if (renamed_folder_ && renamed_folder_id_.first == status.st_dev &&
      renamed_folder_id_.second == status.st_ino) {
    return;
  }
  SyncRenamedFolder();
  const int held = fcntl(folder, F_DUPFD_CLOEXEC, 0);
  if (held < 0) {
    SyncFolder(*calls_, folder);
    return;
  }
  renamed_folder_ = std::make_unique<FileDescriptor>(*calls_, held);
  renamed_folder_id_ = {status.st_dev, status.st_ino};
}

void PosixFileSystem::SyncRenamedFolder() {
  if (!renamed_folder_) return;
  SyncFolder(*calls_, renamed_folder_->get());
  renamed_folder_.reset();
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
    const std::string_view name = entry->d_name;
    if (!WildcardMatch(pattern, name) || IsTemporaryName(name) || IsJournalName(name)) continue;
    FindEntry found{entry->d_name, IsDirectoryEntry(dir.get(), *entry), false};
    if (entry->d_type == DT_LNK || entry->d_type == DT_UNKNOWN) {
      found.not_followed = !MayFollowEntry(dir.get(), entry->d_name);
    }
    entries.push_back(std::move(found));
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
  // The renames of a folder are made durable before the walk leaves it.
  SyncRenamedFolder();
  if (path.size() < PATH_MAX) return EnterFolder(path);
  const int error = ChangeDirectoryInSteps(path);
  return error == 0 || Fail(error);
}

bool PosixFileSystem::EnterFolder(const std::string& name) {
  int fd = -1;
  // O_PATH: entering a folder needs the right to search it, not to read it.
  if (const int error = OpenFollowing(*calls_, name, O_PATH | O_DIRECTORY, &fd)) {
    return Fail(error);
  }
  FileDescriptor folder(*calls_, fd);
  if (fchdir(folder.get()) != 0) return Fail(LastErrno());
  return true;
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

std::vector<Recovery> PosixFileSystem::FinishInterruptedRuns() {
  std::vector<std::string> names;
  if (const std::unique_ptr<DIR, DirCloser> dir(opendir(".")); dir) {
    while (const struct dirent* entry = readdir(dir.get())) {
      if (IsTemporaryName(entry->d_name) || IsJournalName(entry->d_name)) {
        names.push_back(entry->d_name);
      }
    }
  }
  std::vector<Recovery> done;
  int raw = -1;
  if (names.empty() || OpenFolder(*calls_, "", &raw) != 0) return done;
  FileDescriptor folder(*calls_, raw);
  RemoveLeftTemporaries(*calls_, folder.get(), names);
  for (const std::string& name : names) {
    if (!IsJournalName(name)) continue;
    Recovery recovery;
    if (FinishJournalAt(folder.get(), name, &recovery)) done.push_back(std::move(recovery));
  }
  SyncFolder(*calls_, folder.get());
  return done;
}

bool PosixFileSystem::FinishInterruptedRewrite(const std::string& name, Recovery* recovery) {
  ResolvedPath resolved;
  bool refused = false;
  if (ResolvePath(*calls_, name, &resolved, &refused) != 0) return false;
  const std::string path = FolderOf(resolved.path);
  if (path.empty()) return false;  // the walk finished this folder on entering it
  const std::string journal = JournalNameFor(BareNameOf(resolved.path));
  int raw = -1;
  if (OpenFolder(*calls_, path, &raw) != 0) return false;
  FileDescriptor folder(*calls_, raw);
  struct stat status;
  if (calls_->LstatAt(folder.get(), journal.c_str(), &status) != 0) return false;
  if (!FinishJournalAt(folder.get(), journal, recovery)) return false;
  recovery->name = name;
  SyncFolder(*calls_, folder.get());
  return true;
}

bool PosixFileSystem::FinishJournalAt(int folder, const std::string& journal, Recovery* recovery) {
  std::string target;
  switch (FinishJournal(*calls_, folder, journal, &target)) {
    case JournalOutcome::None:
      return false;
    case JournalOutcome::Completed:
      recovery->outcome = RecoveryOutcome::Completed;
      break;
    case JournalOutcome::Changed:
      recovery->outcome = RecoveryOutcome::Changed;
      break;
    case JournalOutcome::Failed:
      recovery->outcome = RecoveryOutcome::Failed;
      break;
  }
  recovery->name = target;
  return true;
}

ReadStatus PosixFileSystem::ReadWholeFile(const std::string& name, std::string* bytes,
                                          FileSnapshot* snapshot) {
  bytes->clear();
  ResolvedPath resolved;
  bool refused = false;
  if (const int error = ResolvePath(*calls_, name, &resolved, &refused)) {
    Fail(error);
    return refused ? ReadStatus::NotFollowed : ReadStatus::CannotOpen;
  }
  // Opening a device can act on it (a tape rewinds): only a regular file is
  // opened, and checked again once it is open.
  if (!S_ISREG(resolved.status.st_mode)) {
    Fail(S_ISDIR(resolved.status.st_mode) ? EISDIR : EINVAL);
    return ReadStatus::CannotOpen;
  }
  int raw = -1;
  struct stat status;
  if (const int error = OpenResolved(*calls_, resolved, O_RDONLY | O_NONBLOCK, &raw, &status)) {
    Fail(error);
    return ReadStatus::CannotOpen;
  }
  FileDescriptor fd(*calls_, raw);
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
  if (snapshot->size >= kSequentialReadSize) posix_fadvise(fd.get(), 0, 0, POSIX_FADV_SEQUENTIAL);
  ResizeLargeBuffer(bytes, snapshot->size);
  if (const int error = ReadExactly(*calls_, fd.get(), bytes->data(), bytes->size())) {
    bytes->clear();
    Fail(error);
    return ReadStatus::ReadError;
  }
  return ReadStatus::Ok;
}

// The new content of a file with one link, written beside it and being
// synced; Finish renames it over the file.
class PosixFileSystem::RenamePending : public PendingRewrite {
 public:
  // folder is the target's, open; the rewrite takes it over.
  RenamePending(PosixFileSystem* fs, int folder, const ResolvedPath& target,
                const FileSnapshot& snapshot)
      : fs_(fs),
        calls_(*fs->calls_),
        folder_(calls_, folder),
        name_(BareNameOf(target.path)),
        snapshot_(snapshot),
        temporary_(calls_, folder) {}
  // A sync thread may still have the descriptor.
  ~RenamePending() override {
    fs_->unsynced_.erase(this);
    if (synced_.valid()) synced_.wait();
  }

  // Writes data into a new file beside the target as the original (open,
  // with its state in status) has it. Nothing is written, and *in_place is
  // true, when the process may not give the new file the original's owner
  // and group or inode flags: the caller rewrites in place instead.
  RewriteResult Start(int original, const struct stat& status, const std::string& data,
                      const FileTimes* times, bool* in_place) {
    *in_place = false;
    if (const int error = temporary_.Create(name_)) return CannotCreate(error);
    // The owner first, on the empty file: changing it clears the set-ID bits
    // and file capabilities, which the attributes below give back.
    if (const int error = GiveOwner(calls_, temporary_.fd(), status)) {
      *in_place = error == EPERM;
      return {RewriteStatus::WriteError, error};
    }
    // The flags while the file is empty: no copy-on-write takes only then.
    if (const int error = CopyFlags(calls_, original, temporary_.fd())) {
      *in_place = true;
      return {RewriteStatus::WriteError, error};
    }
    if (const int error = WriteStartingWriteback(calls_, temporary_.fd(), data)) {
      return {RewriteStatus::WriteError, error};
    }
    if (const int error =
            CopyAttributes(calls_, original, temporary_.fd(), status.st_mode & 07777, true)) {
      return {RewriteStatus::AttributesLost, error};
    }
    if (times != nullptr) times_ = GiveTimes(calls_, temporary_.fd(), *times);
    fs_->unsynced_.insert(this);
    return {RewriteStatus::Ok, 0};
  }

  // Gives the sync of the new content to a sync thread.
  void StartSync() { synced_ = fs_->syncs_->Sync(temporary_.fd()); }

  RewriteResult Finish() override {
    // The syncs of every rewrite begun go on together: the file system
    // then commits them at once rather than one after the other.
    fs_->StartSyncs();
    const RewriteResult result = Complete();
    if (result.error != 0) fs_->Fail(result.error);
    if (result.status == RewriteStatus::Ok) fs_->RenamedIn(folder_.get());
    return result;
  }

 private:
  RewriteResult Complete() {
    if (const int error = synced_.get()) return {RewriteStatus::WriteError, error};
    struct stat now;
    if (calls_.LstatAt(folder_.get(), name_.c_str(), &now) != 0 || !Matches(now, snapshot_)) {
      return {RewriteStatus::Changed, 0};
    }
    if (const int error = temporary_.RenameOver(name_)) {
      return {RewriteStatus::WriteError, error};
    }
    return {RewriteStatus::Ok, 0, times_};
  }

  PosixFileSystem* fs_;
  PosixCalls& calls_;
  FileDescriptor folder_;
  std::string name_;  // the target's, in folder_
  FileSnapshot snapshot_;
  WorkingFile temporary_;
  TimesStatus times_ = TimesStatus::Ok;
  std::future<int> synced_;
};

RewriteResult PosixFileSystem::RewriteFile(const std::string& name, const FileSnapshot& snapshot,
                                           const std::string& data) {
  RewriteResult result;
  const std::unique_ptr<PendingRewrite> pending =
      StartRewrite(name, snapshot, data, nullptr, &result);
  return pending ? pending->Finish() : result;
}

std::unique_ptr<PendingRewrite> PosixFileSystem::StartRewrite(const std::string& name,
                                                              const FileSnapshot& snapshot,
                                                              const std::string& data,
                                                              const FileTimes* times,
                                                              RewriteResult* result) {
  ResolvedPath target;
  bool refused = false;
  int raw = -1;
  struct stat status;
  int error = ResolvePath(*calls_, name, &target, &refused);
  if (error == 0) {
    error = CheckWritable(*calls_, target, &raw, &status);
    // Another file, or a link, took the place of the one just resolved.
    if (error == ELOOP) {
      *result = {RewriteStatus::Changed, 0};
      return nullptr;
    }
  }
  if (error != 0) {
    Fail(error);
    *result = {RewriteStatus::CannotOpen, error};
    return nullptr;
  }
  FileDescriptor original(*calls_, raw);
  if (!Matches(target.status, snapshot) || !Matches(status, snapshot)) {
    *result = {RewriteStatus::Changed, 0};
    return nullptr;
  }
  *result = OpenTargetFolder(*calls_, target.path, status, &raw);
  if (result->status != RewriteStatus::Ok) {
    if (result->error != 0) Fail(result->error);
    return nullptr;
  }
  FileDescriptor folder(*calls_, raw);

  if (target.status.st_nlink <= 1) {
    if (!syncs_) syncs_ = std::make_unique<BackgroundSyncs>(*calls_);
    const int own_folder = fcntl(folder.get(), F_DUPFD_CLOEXEC, 0);
    if (own_folder < 0) {
      Fail(LastErrno());
      *result = {RewriteStatus::CannotOpen, last_error_};
      return nullptr;
    }
    auto pending = std::make_unique<RenamePending>(this, own_folder, target, snapshot);
    bool in_place = false;
    *result = pending->Start(original.get(), status, data, times, &in_place);
    if (result->status == RewriteStatus::Ok) return pending;
    if (!in_place) {
      Fail(result->error);
      return nullptr;
    }
  }
  original.Close();
  *result = RewriteInPlace(*calls_, folder.get(), target, snapshot, data, times);
  if (result->error != 0) Fail(result->error);
  // The journal's removal is made durable with its folder.
  RenamedIn(folder.get());
  return nullptr;
}

void PosixFileSystem::SyncRenames() {
  SyncRenamedFolder();
}

void PosixFileSystem::StartSyncs() {
  for (RenamePending* pending : unsynced_) pending->StartSync();
  unsynced_.clear();
}

bool PosixFileSystem::CopyFile(const std::string& from, const std::string& to) {
  int raw = -1;
  struct stat status;
  if (const int error = OpenFollowing(*calls_, from, O_RDONLY | O_NONBLOCK, &raw, &status)) {
    return Fail(error);
  }
  FileDescriptor source(*calls_, raw);
  if (!S_ISREG(status.st_mode)) return Fail(S_ISDIR(status.st_mode) ? EISDIR : EINVAL);
  int held = -1;
  if (const int error = OpenFolder(*calls_, FolderOf(to), &held)) return Fail(error);
  FileDescriptor folder(*calls_, held);
  const std::string to_name = BareNameOf(to);
  // An old copy that was made read-only is kept, as Windows keeps one.
  struct stat old;
  if (calls_->LstatAt(folder.get(), to_name.c_str(), &old) == 0 && S_ISREG(old.st_mode) &&
      (old.st_mode & 0222) == 0) {
    return Fail(EACCES);
  }

  WorkingFile copy(*calls_, folder.get());
  if (const int error = copy.Create(to_name)) return Fail(error);
  const int owner_error = GiveOwner(*calls_, copy.fd(), status);
  if (owner_error != 0 && owner_error != EPERM) return Fail(owner_error);
  struct stat made;
  if (calls_->Fstat(copy.fd(), &made) != 0) return Fail(LastErrno());
  if (const int error = CopyRange(*calls_, source.get(), 0, copy.fd(), 0,
                                  static_cast<uint64_t>(status.st_size))) {
    return Fail(error);
  }
  const bool same_group = made.st_gid == status.st_gid;
  if (const int error =
          CopyAttributes(*calls_, source.get(), copy.fd(),
                         SafeCopyMode(status, made.st_uid, made.st_gid), same_group)) {
    return Fail(error);
  }
  const struct timespec times[2] = {{0, UTIME_OMIT}, status.st_mtim};
  if (calls_->Futimens(copy.fd(), times) != 0) return Fail(LastErrno());
  if (calls_->Fsync(copy.fd()) != 0) return Fail(LastErrno());
  if (const int error = copy.RenameOver(to_name)) return Fail(error);
  RenamedIn(folder.get());
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
  const TimesStatus status = GiveTimes(*calls_, fd.get(), times);
  if (status != TimesStatus::Ok) Fail(LastErrno());
  return status;
}

std::u16string PosixFileSystem::SystemErrorText(UiLanguage lang, int code) {
  return platform::SystemErrorText(lang, code);
}

std::unique_ptr<FileSystem> NewFileSystem() {
  return std::make_unique<PosixFileSystem>();
}

}  // namespace sorrel::platform
