// The file-system seam on POSIX: directory search, the current directory,
// whole-file reads, the safe rewrite, the backup copy and file times.
#pragma once

#include <sys/stat.h>
#include <sys/types.h>
#include <time.h>

#include <memory>
#include <set>
#include <string>
#include <utility>

#include "platform/file_system.h"

namespace sorrel::platform {

// The system calls that PosixFileSystem makes on files, one virtual method
// each, so that a test can make any one of them fail: a write that stops after
// some bytes, a full disk, a failing sync or rename, a file changed behind the
// rewrite's back. Each method does what the call it is named after does and
// fails the same way: -1 with errno set, except Fallocate, which returns the
// error number as posix_fallocate does.
class PosixCalls {
 public:
  virtual ~PosixCalls() = default;

  virtual int Open(const char* path, int flags);
  // open that follows no symbolic link anywhere in path (openat2 with
  // RESOLVE_NO_SYMLINKS; where the kernel lacks it, O_NOFOLLOW on the last
  // component).
  virtual int OpenNoLinks(const char* path, int flags);
  // The calls below that take a folder work on names in the open folder
  // (AT_FDCWD for the current directory) and follow no link at the name.
  // openat of name in folder.
  virtual int OpenAt(int folder, const char* name, int flags);
  // An unnamed file in folder (O_TMPFILE, read and write, close on exec).
  virtual int OpenTemporary(int folder, mode_t mode);
  // A new file name in folder, read and write, close on exec; EEXIST when
  // the name is taken.
  virtual int CreateNew(int folder, const char* name, mode_t mode);
  // Gives the open file fd the name name in folder (linkat of an O_TMPFILE
  // file).
  virtual int LinkOpenFile(int fd, int folder, const char* name);
  virtual int Link(int folder, const char* from, const char* to);
  virtual int Flock(int fd, int operation);
  virtual int Close(int fd);
  virtual ssize_t Read(int fd, void* buffer, size_t count);
  virtual ssize_t Pread(int fd, void* buffer, size_t count, off_t offset);
  virtual ssize_t Write(int fd, const void* buffer, size_t count);
  virtual ssize_t Pwrite(int fd, const void* buffer, size_t count, off_t offset);
  virtual int Fallocate(int fd, off_t length);
  virtual int Ftruncate(int fd, off_t length);
  virtual int Fsync(int fd);
  // Starts writing back count bytes from offset (sync_file_range with
  // SYNC_FILE_RANGE_WRITE): only a head start for a sync, so it cannot fail.
  virtual void StartWriteback(int fd, off_t offset, off_t count);
  virtual int Fchmod(int fd, mode_t mode);
  virtual int Fchown(int fd, uid_t owner, gid_t group);
  virtual int Futimens(int fd, const struct timespec times[2]);
  virtual int Fstat(int fd, struct stat* status);
  virtual int Stat(const char* path, struct stat* status);
  virtual int Lstat(const char* path, struct stat* status);
  virtual int LstatAt(int folder, const char* name, struct stat* status);
  virtual ssize_t Readlink(const char* path, char* buffer, size_t size);
  virtual int Access(const char* path, int mode);
  virtual int Rename(int folder, const char* from, const char* to);
  virtual int Unlink(int folder, const char* name);
  // The inode flags of fd (FS_IOC_GETFLAGS and FS_IOC_SETFLAGS): nodump,
  // noatime, no copy-on-write and the like.
  virtual int GetFlags(int fd, int* flags);
  virtual int SetFlags(int fd, int flags);
  virtual ssize_t Flistxattr(int fd, char* list, size_t size);
  virtual ssize_t Fgetxattr(int fd, const char* name, void* value, size_t size);
  virtual int Fsetxattr(int fd, const char* name, const void* value, size_t size);
  virtual int Fremovexattr(int fd, const char* name);
};

class BackgroundSyncs;
class FileDescriptor;

// Not thread-safe: LastError belongs to the one caller of the object.
//
// A file's new bytes are synced before its rename, always: the syncs of
// the rewrites begun with StartRewrite start together when the first of
// them is finished, on threads of their own, so that the file system commits
// them at once; the rename itself is made durable by syncing its folder once for
// a run of renames in that folder, on SyncRenames, when the current
// directory changes, a rename happens in another folder, or the object is
// destroyed. A crash before that may give a renamed
// file back its old content, whole: never a file half-written. A file
// rewritten in place has a journal on disk first (posix_journal.h).
//
// Symbolic links are followed only as posix_links.h allows.
class PosixFileSystem : public FileSystem {
 public:
  PosixFileSystem();
  // Makes every file call through calls, which must outlive this object.
  explicit PosixFileSystem(PosixCalls* calls);
  PosixFileSystem(const PosixFileSystem&) = delete;
  PosixFileSystem& operator=(const PosixFileSystem&) = delete;
  // Syncs the folder of the last renames.
  ~PosixFileSystem() override;

  // Lists the directory as it is when the search starts, in the order
  // readdir gives, "." and ".." included when they match; files created or
  // replaced while the search is read (a rewrite, a backup copy) do not turn
  // up in it, nor do the working files of rewrites (posix_working_files.h).
  // Null when the directory cannot be opened.
  std::unique_ptr<DirectorySearch> FindFirst(const std::string& pattern) override;

  bool GetCurrentDirectory(std::string* path) override;
  // A folder reached through a symbolic link, on any part of path, is
  // entered only where the link may be followed; EACCES otherwise. A path of
  // PATH_MAX bytes or more is entered a piece at a time, as the system
  // follows its links.
  bool SetCurrentDirectory(const std::string& path) override;
  bool CurrentDirectoryId(FileSnapshot* id) override;
  bool FileId(const std::string& name, FileSnapshot* id) override;

  std::vector<Recovery> FinishInterruptedRuns() override;
  bool FinishInterruptedRewrite(const std::string& name, Recovery* recovery) override;

  // Never blocks on a FIFO or a device: they are refused with CannotOpen.
  ReadStatus ReadWholeFile(const std::string& name, std::string* bytes,
                           FileSnapshot* snapshot) override;

  // Writes the final target of a chain of symbolic links. A target without
  // any write permission bit is refused with CannotOpen and EACCES, also for
  // root. A file with one link is replaced by a synced file beside it that
  // has its owner, group, mode and extended attributes. A file with several
  // hard links, or whose owner the process may not give away, is overwritten
  // in place under a journal after its new size has been reserved; should
  // writing it still fail, its old bytes are put back.
  RewriteResult RewriteFile(const std::string& name, const FileSnapshot& snapshot,
                            const std::string& data) override;
  // The file with one link goes as far as its new content's sync, which goes
  // on in the background; a rewrite in place is done at once. The times are
  // given to the new content before it takes the file's name (or, in place,
  // before its sync), so that no crash leaves it under that name without
  // them.
  std::unique_ptr<PendingRewrite> StartRewrite(const std::string& name,
                                               const FileSnapshot& snapshot,
                                               const std::string& data, const FileTimes* times,
                                               RewriteResult* result) override;
  void SyncRenames() override;

  // Replaces to (not what it links to) by a synced copy of from with from's
  // last-write time and what the seam promises of its owner and mode; its
  // extended attributes come along (access control lists only where the
  // group is kept; without its list, the copy grants only its owner). An
  // old to stays whole on failure.
  bool CopyFile(const std::string& from, const std::string& to) override;

  bool GetFileTimes(const std::string& name, FileTimes* times) override;
  TimesStatus SetFileTimes(const std::string& name, const FileTimes& times) override;

  int LastError() override { return last_error_; }
  std::u16string SystemErrorText(UiLanguage lang, int code) override;

 private:
  class RenamePending;

  // Keeps error for LastError and returns false.
  bool Fail(int error);
  // Enters the folder path leads to, as the rule for links allows.
  bool EnterFolder(const std::string& name);
  // Finishes the journal journal in the open folder; false when there was
  // nothing to report.
  bool FinishJournalAt(int folder, const std::string& journal, Recovery* recovery);
  // Notes a rename in the open folder; syncs the folder of the renames
  // before, if it is another one.
  void RenamedIn(int folder);
  void SyncRenamedFolder();
  // Starts the syncs of the rewrites begun and not yet synced.
  void StartSyncs();

  PosixCalls own_calls_;
  PosixCalls* calls_;
  // Started with the first rewrite; destroyed first, once its syncs are done.
  std::unique_ptr<BackgroundSyncs> syncs_;
  // Rewrites begun whose syncs wait for the first of them to be finished.
  std::set<RenamePending*> unsynced_;
  int last_error_ = 0;
  // The folder of the renames not yet synced, held open, and its device and
  // inode; null when there are none.
  std::unique_ptr<FileDescriptor> renamed_folder_;
  std::pair<dev_t, ino_t> renamed_folder_id_;
};

}  // namespace sorrel::platform
