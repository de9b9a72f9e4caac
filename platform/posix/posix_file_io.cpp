// Whole reads and writes, descriptors and path pieces for the file system.
#include "platform/posix/posix_file_io.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <vector>

namespace sorrel::platform {
namespace {

constexpr size_t kCopyChunk = size_t{1} << 20;

}  // namespace

int LastErrno() {
  return errno != 0 ? errno : EIO;
}

int FileDescriptor::Close() {
  if (fd_ < 0) return 0;
  const int result = calls_.Close(fd_);
  fd_ = -1;
  return result == 0 ? 0 : LastErrno();
}

FileSnapshot SnapshotOf(const struct stat& status) {
  FileSnapshot snapshot;
  snapshot.device = status.st_dev;
  snapshot.inode = status.st_ino;
  snapshot.size = static_cast<uint64_t>(status.st_size);
  snapshot.mtime_sec = status.st_mtim.tv_sec;
  snapshot.mtime_nsec = status.st_mtim.tv_nsec;
  snapshot.ctime_sec = status.st_ctim.tv_sec;
  snapshot.ctime_nsec = status.st_ctim.tv_nsec;
  return snapshot;
}

bool Matches(const struct stat& status, const FileSnapshot& snapshot) {
  return SameFileState(SnapshotOf(status), snapshot);
}

std::string FolderOf(const std::string& path) {
  const size_t slash = path.rfind('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

std::string BareNameOf(const std::string& path) {
  const size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

int PreadExactly(PosixCalls& calls, int fd, char* buffer, size_t count, off_t offset) {
  size_t done = 0;
  while (done < count) {
    const ssize_t got =
        calls.Pread(fd, buffer + done, count - done, offset + static_cast<off_t>(done));
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) return LastErrno();
    if (got == 0) return EIO;
    done += static_cast<size_t>(got);
  }
  return 0;
}

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

int PwriteAll(PosixCalls& calls, int fd, std::string_view data, off_t offset) {
  size_t done = 0;
  while (done < data.size()) {
    const ssize_t put =
        calls.Pwrite(fd, data.data() + done, data.size() - done, offset + static_cast<off_t>(done));
    if (put < 0 && errno == EINTR) continue;
    if (put < 0) return LastErrno();
    if (put == 0) return ENOSPC;
    done += static_cast<size_t>(put);
  }
  return 0;
}

int CopyRange(PosixCalls& calls, int from, off_t from_offset, int to, off_t to_offset,
              uint64_t count) {
  std::vector<char> buffer(static_cast<size_t>(std::min<uint64_t>(count, kCopyChunk)));
  for (uint64_t done = 0; done < count;) {
    const size_t piece = static_cast<size_t>(std::min<uint64_t>(count - done, buffer.size()));
    const off_t at = static_cast<off_t>(done);
    if (const int error = PreadExactly(calls, from, buffer.data(), piece, from_offset + at)) {
      return error;
    }
    if (const int error = PwriteAll(calls, to, {buffer.data(), piece}, to_offset + at)) {
      return error;
    }
    done += piece;
  }
  return 0;
}

TimesStatus GiveTimes(PosixCalls& calls, int fd, const FileTimes& times) {
  const struct timespec new_times[2] = {{0, UTIME_OMIT}, {times.mtime_sec, times.mtime_nsec}};
  return calls.Futimens(fd, new_times) == 0 ? TimesStatus::Ok : TimesStatus::CannotSet;
}

int OpenFolder(PosixCalls& calls, const std::string& folder, int* fd) {
  const char* path = folder.empty() ? "." : folder.c_str();
  *fd = calls.OpenNoLinks(path, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (*fd < 0 && errno == EACCES) *fd = calls.OpenNoLinks(path, O_PATH | O_DIRECTORY | O_CLOEXEC);
  return *fd < 0 ? LastErrno() : 0;
}

void SyncFolder(PosixCalls& calls, int folder) {
  calls.Fsync(folder);
}

}  // namespace sorrel::platform
