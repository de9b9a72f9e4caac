// Small pieces shared by the POSIX file system's parts: a descriptor that
// closes itself, whole reads and writes that survive signals and short
// counts, and path pieces. Every call goes through PosixCalls, so that a test
// can make any of them fail.
#pragma once

#include <sys/stat.h>

#include <string>
#include <string_view>

#include "platform/file_system.h"
#include "platform/posix/posix_file_system.h"

namespace sorrel::platform {

// The errno of the call that just failed; never 0, so that 0 can mean success.
int LastErrno();

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
  int Close();
  // Hands the descriptor over without closing it.
  int Release() {
    const int fd = fd_;
    fd_ = -1;
    return fd;
  }

 private:
  PosixCalls& calls_;
  int fd_;
};

FileSnapshot SnapshotOf(const struct stat& status);
bool Matches(const struct stat& status, const FileSnapshot& snapshot);

// The folder part of path with its trailing slash; empty for a bare name.
std::string FolderOf(const std::string& path);
// The bare name part of path.
std::string BareNameOf(const std::string& path);

// Reads exactly count bytes from offset; a file that ends early fails with
// EIO.
int PreadExactly(PosixCalls& calls, int fd, char* buffer, size_t count, off_t offset);
// Reads exactly count bytes from where the file stands.
int ReadExactly(PosixCalls& calls, int fd, char* buffer, size_t count);
int WriteAll(PosixCalls& calls, int fd, std::string_view data);
// Writes data at offset.
int PwriteAll(PosixCalls& calls, int fd, std::string_view data, off_t offset);
// Copies count bytes from offset from of one file to offset to of another,
// a piece at a time.
int CopyRange(PosixCalls& calls, int from, off_t from_offset, int to, off_t to_offset,
              uint64_t count);

// Gives the open file fd the last-write time of times (the access time is
// left alone): Ok, or CannotSet with errno set.
TimesStatus GiveTimes(PosixCalls& calls, int fd, const FileTimes& times);

// Opens folder (a path with its trailing slash, empty for the current
// directory) through no symbolic link, for the calls that work on names in
// a folder: read-only where the folder may be read, so that it can be
// synced, and otherwise as a mere handle (O_PATH). 0 with *fd set, or the
// error.
int OpenFolder(PosixCalls& calls, const std::string& folder, int* fd);

// Makes the renames, links and removals in the open folder durable. Failing
// here changes nothing for the caller: the names have been changed already.
void SyncFolder(PosixCalls& calls, int folder);

}  // namespace sorrel::platform
