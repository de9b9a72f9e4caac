// Working files: unnamed where possible, locked while their writer lives.
#include "platform/posix/posix_working_files.h"

#include <fcntl.h>
#include <limits.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <functional>
#include <random>

namespace sorrel::platform {
namespace {

constexpr std::string_view kTemporaryTag = ".sorrel-tmp-";
constexpr std::string_view kJournalTag = ".sorrel-journal";
constexpr size_t kRandomLetters = 6;
constexpr std::string_view kLetters =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";

bool IsLetterOrDigit(char c) {
  return kLetters.find(c) != std::string_view::npos;
}

// "." + name + tail, with name cut so that the whole fits a file name.
std::string HiddenName(const std::string& name, std::string_view tail) {
  std::string kept = name;
  const size_t room = NAME_MAX - 1 - tail.size();
  if (kept.size() > room) kept.resize(room);
  return "." + kept + std::string(tail);
}

std::string RandomLetters() {
  static std::mt19937_64 generator{std::random_device{}()};
  std::string letters;
  for (size_t i = 0; i < kRandomLetters; ++i) {
    letters.push_back(kLetters[generator() % kLetters.size()]);
  }
  return letters;
}

// Takes the lock of a working file that has a name; false when its writer
// holds it still.
bool LockIfAbandoned(PosixCalls& calls, int fd) {
  return calls.Flock(fd, LOCK_EX | LOCK_NB) == 0;
}

}  // namespace

bool IsTemporaryName(std::string_view name) {
  if (name.size() < 2 + kTemporaryTag.size() + kRandomLetters || name.front() != '.') return false;
  const std::string_view tail = name.substr(name.size() - kRandomLetters - kTemporaryTag.size());
  if (!tail.starts_with(kTemporaryTag)) return false;
  for (const char c : tail.substr(kTemporaryTag.size())) {
    if (!IsLetterOrDigit(c)) return false;
  }
  return true;
}

bool IsJournalName(std::string_view name) {
  return name.size() > 1 + kJournalTag.size() && name.front() == '.' && name.ends_with(kJournalTag);
}

std::string JournalNameFor(const std::string& target_name) {
  if (1 + target_name.size() + kJournalTag.size() <= NAME_MAX) {
    return HiddenName(target_name, kJournalTag);
  }
  // Long names that share a beginning must not share a journal.
  char hash[20];
  std::snprintf(hash, sizeof hash, "-%016zx", std::hash<std::string>{}(target_name));
  return HiddenName(target_name, std::string(hash) + std::string(kJournalTag));
}

WorkingFile::~WorkingFile() {
  // The name goes while the lock is still held, so that no other run takes
  // the file for one left behind.
  if (!keep_ && !name_.empty()) calls_.Unlink(folder_, name_.c_str());
}

int WorkingFile::Create(const std::string& target_name) {
  int fd = calls_.OpenTemporary(folder_, 0600);
  if (fd < 0 && (errno == EOPNOTSUPP || errno == EISDIR || errno == EINVAL)) {
    // No unnamed files here: a name at once, locked as soon as it can be.
    const std::string stem = HiddenName(target_name, kTemporaryTag);
    errno = EEXIST;
    for (int attempt = 0; attempt < 100 && fd < 0 && errno == EEXIST; ++attempt) {
      std::string name = stem + RandomLetters();
      fd = calls_.CreateNew(folder_, name.c_str(), 0600);
      if (fd >= 0) name_ = std::move(name);
    }
  }
  if (fd < 0) return LastErrno();
  fd_.Reset(fd);
  if (calls_.Flock(fd, LOCK_EX | LOCK_NB) != 0) return LastErrno();
  return 0;
}

int WorkingFile::NameAs(const std::string& name) {
  if (name_.empty()) {
    if (calls_.LinkOpenFile(fd_.get(), folder_, name.c_str()) != 0) return LastErrno();
  } else {
    if (calls_.Link(folder_, name_.c_str(), name.c_str()) != 0) return LastErrno();
    calls_.Unlink(folder_, name_.c_str());
  }
  name_ = name;
  return 0;
}

int WorkingFile::RenameOver(const std::string& target_name) {
  if (name_.empty()) {
    int error = EEXIST;
    for (int attempt = 0; attempt < 100 && error == EEXIST; ++attempt) {
      error = NameAs(HiddenName(target_name, kTemporaryTag) + RandomLetters());
    }
    if (error != 0) return error;
  }
  if (calls_.Rename(folder_, name_.c_str(), target_name.c_str()) != 0) return LastErrno();
  name_.clear();
  // Closing last: the lock is held until the name is the target's.
  return fd_.Close();
}

int WorkingFile::Unlink() {
  if (name_.empty()) return 0;
  const int result = calls_.Unlink(folder_, name_.c_str()) == 0 ? 0 : LastErrno();
  name_.clear();
  return result;
}

void RemoveLeftTemporaries(PosixCalls& calls, int folder, const std::vector<std::string>& names) {
  for (const std::string& name : names) {
    if (!IsTemporaryName(name)) continue;
    FileDescriptor fd(
        calls, calls.OpenAt(folder, name.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
    struct stat held;
    struct stat named;
    if (!fd.ok() || calls.Fstat(fd.get(), &held) != 0 || !S_ISREG(held.st_mode)) continue;
    if (!LockIfAbandoned(calls, fd.get())) continue;
    // Still the file of that name, not one that took its place meanwhile.
    if (calls.LstatAt(folder, name.c_str(), &named) != 0 || named.st_ino != held.st_ino ||
        named.st_dev != held.st_dev) {
      continue;
    }
    calls.Unlink(folder, name.c_str());
  }
}

}  // namespace sorrel::platform
