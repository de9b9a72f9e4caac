// Settings files over POSIX. Writers lock the folder rather than the file: the
// file's inode changes at every replacement, the folder's never does, so a
// writer that waited for the lock always reads what the previous one renamed.
#include "platform/posix/posix_settings_files.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <ctime>

namespace sorrel::platform {
namespace {

std::string FolderOf(const std::string& path) {
  const size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? std::string("/") : path.substr(0, slash);
}

bool MakeFolders(const std::string& folder) {
  for (size_t end = 1; end <= folder.size(); ++end) {
    if (end != folder.size() && folder[end] != '/') continue;
    const std::string part = folder.substr(0, end);
    if (mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) return false;
  }
  struct stat st;
  return stat(folder.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool ReadAll(int fd, std::string* bytes) {
  bytes->clear();
  char chunk[65536];
  for (;;) {
    const ssize_t n = read(fd, chunk, sizeof chunk);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return false;
    if (n == 0) return true;
    bytes->append(chunk, static_cast<size_t>(n));
  }
}

bool WriteAll(int fd, std::string_view data) {
  while (!data.empty()) {
    const ssize_t n = write(fd, data.data(), data.size());
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    data.remove_prefix(static_cast<size_t>(n));
  }
  return true;
}

SettingsReadStatus ReadWholeFile(const std::string& path, std::string* bytes) {
  bytes->clear();
  const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    return errno == ENOENT || errno == ENOTDIR ? SettingsReadStatus::Missing
                                               : SettingsReadStatus::Error;
  }
  struct stat st;
  const bool ok = fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && ReadAll(fd, bytes);
  close(fd);
  return ok ? SettingsReadStatus::Ok : SettingsReadStatus::Error;
}

std::string LocalTimeStamp() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  char text[32];
  std::strftime(text, sizeof text, "%Y%m%dT%H%M%S", &local);
  return text;
}

class PosixLockedFile : public LockedSettingsFile {
 public:
  PosixLockedFile(std::string path, int folder_fd)
      : path_(std::move(path)), folder_fd_(folder_fd) {}
  ~PosixLockedFile() override { close(folder_fd_); }  // closing releases the flock
  PosixLockedFile(const PosixLockedFile&) = delete;
  PosixLockedFile& operator=(const PosixLockedFile&) = delete;

  SettingsReadStatus Read(std::string* bytes) override { return ReadWholeFile(path_, bytes); }
  bool Replace(std::string_view data) override;
  bool SetAside(std::string* aside_path) override;

 private:
  std::string path_;
  int folder_fd_;
};

bool PosixLockedFile::Replace(std::string_view data) {
  struct stat st;
  const mode_t mode = stat(path_.c_str(), &st) == 0 ? (st.st_mode & 07777) : 0600;
  std::string temp = path_ + ".tmp-XXXXXX";
  const int fd = mkostemp(temp.data(), O_CLOEXEC);
  if (fd < 0) return false;
  bool ok = fchmod(fd, mode) == 0 && WriteAll(fd, data) && fsync(fd) == 0;
  ok = close(fd) == 0 && ok;
  ok = ok && rename(temp.c_str(), path_.c_str()) == 0;
  if (!ok) {
    unlink(temp.c_str());
    return false;
  }
  // The rename itself is durable only once the folder is synced.
  fsync(folder_fd_);
  return true;
}

bool PosixLockedFile::SetAside(std::string* aside_path) {
  const std::string base = path_ + ".damaged-" + LocalTimeStamp();
  std::string candidate = base;
  struct stat st;
  for (int n = 2; lstat(candidate.c_str(), &st) == 0; ++n) {
    if (n > 1000) return false;
    candidate = base + "-" + std::to_string(n);
  }
  if (rename(path_.c_str(), candidate.c_str()) != 0) return false;
  fsync(folder_fd_);
  *aside_path = candidate;
  return true;
}

}  // namespace

std::string PosixSettingsFiles::ConfigFolder() {
  const char* xdg = std::getenv("XDG_CONFIG_HOME");
  if (xdg != nullptr && xdg[0] == '/') return std::string(xdg) + "/sorrel";
  const char* home = std::getenv("HOME");
  if (home != nullptr && home[0] != '\0') return std::string(home) + "/.config/sorrel";
  return {};
}

SettingsReadStatus PosixSettingsFiles::ReadFile(const std::string& path, std::string* bytes) {
  return ReadWholeFile(path, bytes);
}

bool PosixSettingsFiles::CanRead(const std::string& path) {
  const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  close(fd);
  return true;
}

bool PosixSettingsFiles::CreateNew(const std::string& path, std::string_view data) {
  const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
  if (fd < 0) return false;
  bool ok = WriteAll(fd, data);
  ok = close(fd) == 0 && ok;
  if (!ok) unlink(path.c_str());
  return ok;
}

std::unique_ptr<LockedSettingsFile> PosixSettingsFiles::Lock(const std::string& path,
                                                             bool make_folder) {
  const std::string folder = FolderOf(path);
  if (make_folder && !MakeFolders(folder)) return nullptr;
  const int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return nullptr;
  int rc;
  do {
    rc = flock(fd, LOCK_EX);
  } while (rc != 0 && errno == EINTR);
  if (rc != 0) {
    close(fd);
    return nullptr;
  }
  return std::make_unique<PosixLockedFile>(path, fd);
}

}  // namespace sorrel::platform
