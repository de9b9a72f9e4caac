// Settings files over POSIX. Writers lock the folder rather than the file: the
// file's inode changes at every replacement, the folder's never does, so a
// writer that waited for the lock always reads what the previous one renamed.
#include "platform/posix/posix_settings_files.h"

#include <dirent.h>
#include <fcntl.h>
#include <iconv.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <initializer_list>

#include "platform/posix/system_error_text.h"

namespace sorrel::platform {
namespace {

// A settings file is a few kilobytes; anything this large is not one.
constexpr off_t kMaxSettingsBytes = 64 << 20;
// As many links as the kernel follows in one path.
constexpr int kMaxLinks = 40;

std::string FolderOf(const std::string& path) {
  const size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? std::string("/") : path.substr(0, slash);
}

// path with each symbolic link in its last part replaced by what it leads to,
// as the kernel would follow it, but only through links that the running user
// owns or whose owner also owns what they lead to (the idea of the kernel's
// protected_symlinks). The result need not exist. False with *error.
bool FollowLinks(const std::string& path, std::string* final_path, int* error) {
  std::string current = path;
  for (int hops = 0;; ++hops) {
    struct stat link;
    if (lstat(current.c_str(), &link) != 0 || !S_ISLNK(link.st_mode)) break;
    if (hops == kMaxLinks) {
      *error = ELOOP;
      return false;
    }
    struct stat target;
    const bool target_exists = stat(current.c_str(), &target) == 0;
    if (link.st_uid != geteuid() && !(target_exists && target.st_uid == link.st_uid)) {
      *error = EACCES;
      return false;
    }
    std::string to(static_cast<size_t>(link.st_size) + 1, '\0');
    const ssize_t n = readlink(current.c_str(), to.data(), to.size());
    if (n < 0 || static_cast<size_t>(n) >= to.size()) {
      *error = n < 0 ? errno : ENAMETOOLONG;
      return false;
    }
    to.resize(static_cast<size_t>(n));
    current = to.front() == '/' ? to : FolderOf(current) + "/" + to;
  }
  *final_path = current;
  return true;
}

bool MakeFolders(const std::string& folder, int* error) {
  for (size_t end = 1; end <= folder.size(); ++end) {
    if (end != folder.size() && folder[end] != '/') continue;
    const std::string part = folder.substr(0, end);
    if (mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) {
      *error = errno;
      return false;
    }
  }
  struct stat st;
  if (stat(folder.c_str(), &st) != 0) {
    *error = errno;
    return false;
  }
  if (!S_ISDIR(st.st_mode)) {
    *error = ENOTDIR;
    return false;
  }
  return true;
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

// Opens without blocking (a FIFO has no writer to wait for) and reads only a
// regular file: a folder, FIFO or device is looked at, never read.
SettingsReadStatus ReadWholeFile(const std::string& path, std::string* bytes, int* error) {
  bytes->clear();
  struct stat st;
  if (stat(path.c_str(), &st) != 0) {
    *error = errno;
    return errno == ENOENT || errno == ENOTDIR ? SettingsReadStatus::Missing
                                               : SettingsReadStatus::Error;
  }
  if (!S_ISREG(st.st_mode)) return SettingsReadStatus::NotRegular;
  const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) {
    *error = errno;
    return errno == ENOENT ? SettingsReadStatus::Missing : SettingsReadStatus::Error;
  }
  SettingsReadStatus status = SettingsReadStatus::Ok;
  if (fstat(fd, &st) != 0) {
    *error = errno;
    status = SettingsReadStatus::Error;
  } else if (!S_ISREG(st.st_mode)) {
    status = SettingsReadStatus::NotRegular;
  } else if (st.st_size > kMaxSettingsBytes) {
    *error = EFBIG;
    status = SettingsReadStatus::Error;
  } else if (!ReadAll(fd, bytes)) {
    *error = errno;
    status = SettingsReadStatus::Error;
  }
  close(fd);
  if (status != SettingsReadStatus::Ok) bytes->clear();
  return status;
}

std::string LocalTimeStamp() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  char text[32];
  std::strftime(text, sizeof text, "%Y%m%dT%H%M%S", &local);
  return text;
}

// The suffix of a replacement's temporary file; mkostemp fills in the Xs.
constexpr std::string_view kTempSuffix = ".tmp-XXXXXX";

// Removes the temporary files that writers of path killed before their rename
// left beside it. Only a writer holding the lock makes one, so under the lock
// every such file of this user is a leftover.
void RemoveLeftTemporaries(const std::string& path) {
  const std::string folder = FolderOf(path);
  const size_t slash = path.rfind('/');
  const std::string prefix = path.substr(slash == std::string::npos ? 0 : slash + 1) + ".tmp-";
  DIR* dir = opendir(folder.c_str());
  if (dir == nullptr) return;
  while (const dirent* entry = readdir(dir)) {
    const std::string_view name = entry->d_name;
    if (name.size() != prefix.size() + 6 || name.substr(0, prefix.size()) != prefix) continue;
    struct stat st;
    if (fstatat(dirfd(dir), entry->d_name, &st, AT_SYMLINK_NOFOLLOW) == 0 && S_ISREG(st.st_mode) &&
        st.st_uid == geteuid()) {
      unlinkat(dirfd(dir), entry->d_name, 0);
    }
  }
  closedir(dir);
}

class PosixLockedFile : public LockedSettingsFile {
 public:
  // path is the file itself, links already followed.
  PosixLockedFile(std::string path, int folder_fd)
      : path_(std::move(path)), folder_fd_(folder_fd) {}
  ~PosixLockedFile() override { close(folder_fd_); }  // the last close releases the flock
  PosixLockedFile(const PosixLockedFile&) = delete;
  PosixLockedFile& operator=(const PosixLockedFile&) = delete;

  SettingsReadStatus Read(std::string* bytes, int* error) override {
    return ReadWholeFile(path_, bytes, error);
  }
  bool Replace(std::string_view data, int* error) override;
  bool SetAside(std::string* aside_path, int* error) override;
  intptr_t Handle() const override { return folder_fd_; }

 private:
  std::string path_;
  int folder_fd_;
};

// The file is synced before the rename, so that after a crash the name holds
// the old content or the new one, never a part. The folder is not synced:
// the settings are handed on through the page cache, and a crash that loses
// the rename leaves the previous settings, which is all it may cost.
bool PosixLockedFile::Replace(std::string_view data, int* error) {
  struct stat st;
  const mode_t mode = stat(path_.c_str(), &st) == 0 ? (st.st_mode & 07777) : 0600;
  RemoveLeftTemporaries(path_);
  std::string temp = path_ + std::string(kTempSuffix);
  const int fd = mkostemp(temp.data(), O_CLOEXEC);
  if (fd < 0) {
    *error = errno;
    return false;
  }
  bool ok = fchmod(fd, mode) == 0 && WriteAll(fd, data) && fsync(fd) == 0;
  if (!ok) *error = errno;
  if (close(fd) != 0 && ok) {
    *error = errno;
    ok = false;
  }
  if (ok && rename(temp.c_str(), path_.c_str()) != 0) {
    *error = errno;
    ok = false;
  }
  if (!ok) unlink(temp.c_str());
  return ok;
}

bool PosixLockedFile::SetAside(std::string* aside_path, int* error) {
  const std::string base = path_ + ".damaged-" + LocalTimeStamp();
  std::string candidate = base;
  struct stat st;
  for (int n = 2; lstat(candidate.c_str(), &st) == 0; ++n) {
    if (n > 1000) {
      *error = EEXIST;
      return false;
    }
    candidate = base + "-" + std::to_string(n);
  }
  if (rename(path_.c_str(), candidate.c_str()) != 0) {
    *error = errno;
    return false;
  }
  *aside_path = candidate;
  return true;
}

// The locale's language decides the ANSI code page, as a Windows system's does.
const char* AnsiCharset() {
  for (const char* name : {"LC_ALL", "LC_CTYPE", "LANG"}) {
    const char* value = std::getenv(name);
    if (value == nullptr || *value == '\0') continue;
    return std::strncmp(value, "ja", 2) == 0 ? "CP932" : "CP1252";
  }
  return "CP1252";
}

}  // namespace

std::string PosixSettingsFiles::ConfigFolder() {
  const char* xdg = std::getenv("XDG_CONFIG_HOME");
  if (xdg != nullptr && xdg[0] == '/') return std::string(xdg) + "/sorrel";
  const char* home = std::getenv("HOME");
  if (home != nullptr && home[0] != '\0') return std::string(home) + "/.config/sorrel";
  return {};
}

SettingsReadStatus PosixSettingsFiles::ReadFile(const std::string& path, std::string* bytes,
                                                int* error) {
  return ReadWholeFile(path, bytes, error);
}

bool PosixSettingsFiles::CanRead(const std::string& path) {
  const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
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
                                                             bool make_folder, int* error) {
  std::string file;
  if (!FollowLinks(path, &file, error)) return nullptr;
  const std::string folder = FolderOf(file);
  if (make_folder && !MakeFolders(folder, error)) return nullptr;
  const int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) {
    *error = errno;
    return nullptr;
  }
  int rc;
  do {
    rc = flock(fd, LOCK_EX);
  } while (rc != 0 && errno == EINTR);
  if (rc != 0) {
    *error = errno;
    close(fd);
    return nullptr;
  }
  return std::make_unique<PosixLockedFile>(file, fd);
}

void PosixSettingsFiles::ReleaseHandedOnLock(const std::string& path) {
  struct stat handed;
  if (fstat(kHandedOnLockDescriptor, &handed) != 0 || !S_ISDIR(handed.st_mode)) return;
  std::string file;
  int error = 0;
  struct stat folder;
  if (!FollowLinks(path, &file, &error) || stat(FolderOf(file).c_str(), &folder) != 0) return;
  if (handed.st_dev == folder.st_dev && handed.st_ino == folder.st_ino) {
    close(kHandedOnLockDescriptor);
  }
}

std::u16string PosixSettingsFiles::ErrorText(UiLanguage lang, int error) {
  return SystemErrorText(lang, error);
}

bool PosixSettingsFiles::DecodeAnsi(std::string_view bytes, std::u16string* text) {
  const iconv_t cd = iconv_open("UTF-16LE", AnsiCharset());
  if (cd == reinterpret_cast<iconv_t>(-1)) return false;
  std::string out(bytes.size() * 2 + 2, '\0');
  char* in = const_cast<char*>(bytes.data());
  size_t in_left = bytes.size();
  char* target = out.data();
  size_t target_left = out.size();
  const bool ok = iconv(cd, &in, &in_left, &target, &target_left) != static_cast<size_t>(-1);
  iconv_close(cd);
  if (!ok) return false;
  out.resize(out.size() - target_left);
  text->clear();
  for (size_t i = 0; i + 1 < out.size(); i += 2) {
    text->push_back(static_cast<char16_t>(static_cast<unsigned char>(out[i]) |
                                          static_cast<unsigned char>(out[i + 1]) << 8));
  }
  return true;
}

std::unique_ptr<SettingsFiles> NewSettingsFiles() {
  return std::make_unique<PosixSettingsFiles>();
}

}  // namespace sorrel::platform
