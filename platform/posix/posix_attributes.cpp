// Owner, mode and extended attributes through PosixCalls.
#include "platform/posix/posix_attributes.h"

#include <linux/fs.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "platform/posix/posix_file_io.h"

namespace sorrel::platform {
namespace {

constexpr std::string_view kAclPrefix = "system.posix_acl_";

bool IsAcl(std::string_view name) {
  return name.starts_with(kAclPrefix);
}

// The names of fd's extended attributes; none where the file system has
// none. Most files have few or none: one call with room for a few comes
// first, and the size is asked for only when they do not fit.
int ListNames(PosixCalls& calls, int fd, std::vector<std::string>* names) {
  names->clear();
  std::vector<char> buffer(256);
  for (;;) {
    ssize_t got = calls.Flistxattr(fd, buffer.data(), buffer.size());
    if (got < 0 && errno == ERANGE) {
      const ssize_t size = calls.Flistxattr(fd, nullptr, 0);
      if (size < 0) return LastErrno();
      buffer.resize(static_cast<size_t>(size) + 1);
      continue;  // one may be added meanwhile
    }
    if (got < 0) return errno == ENOTSUP ? 0 : LastErrno();
    for (size_t at = 0; at < static_cast<size_t>(got);) {
      const std::string name(buffer.data() + at);
      at += name.size() + 1;
      names->push_back(name);
    }
    return 0;
  }
}

int ReadValue(PosixCalls& calls, int fd, const std::string& name, std::string* value) {
  for (;;) {
    const ssize_t size = calls.Fgetxattr(fd, name.c_str(), nullptr, 0);
    if (size < 0) return LastErrno();
    value->resize(static_cast<size_t>(size));
    const ssize_t got = calls.Fgetxattr(fd, name.c_str(), value->data(), value->size());
    if (got < 0 && errno == ERANGE) continue;
    if (got < 0) return LastErrno();
    value->resize(static_cast<size_t>(got));
    return 0;
  }
}

bool Contains(const std::vector<std::string>& names, const std::string& name) {
  for (const std::string& n : names) {
    if (n == name) return true;
  }
  return false;
}

}  // namespace

int GiveOwner(PosixCalls& calls, int fd, const struct stat& original) {
  if (calls.Fchown(fd, original.st_uid, original.st_gid) == 0) return 0;
  if (errno != EPERM) return LastErrno();
  if (calls.Fchown(fd, static_cast<uid_t>(-1), original.st_gid) != 0 && errno != EPERM) {
    return LastErrno();
  }
  return EPERM;
}

mode_t SafeCopyMode(const struct stat& original, uid_t owner, gid_t group) {
  mode_t mode = original.st_mode & 07777;
  if (owner != original.st_uid || group != original.st_gid) mode &= ~mode_t{S_ISUID | S_ISGID};
  if (group != original.st_gid) {
    const mode_t others = mode & 07;
    mode = (mode & ~mode_t{070}) | ((mode & 070) & (others << 3));
  }
  return mode;
}

int CopyFlags(PosixCalls& calls, int from, int to) {
  constexpr int kOwnersFlags = FS_SECRM_FL | FS_UNRM_FL | FS_COMPR_FL | FS_SYNC_FL | FS_NODUMP_FL |
                               FS_NOATIME_FL | FS_NOCOW_FL | FS_NOCOMP_FL;
  int wanted = 0;
  if (calls.GetFlags(from, &wanted) != 0) return 0;  // no flags here
  wanted &= kOwnersFlags;
  int flags = 0;
  if (calls.GetFlags(to, &flags) != 0) return wanted == 0 ? 0 : LastErrno();
  const int now = (flags & ~kOwnersFlags) | wanted;
  if (now == flags) return 0;
  return calls.SetFlags(to, now) == 0 ? 0 : LastErrno();
}

int CopyAttributes(PosixCalls& calls, int from, int to, mode_t mode, bool acls) {
  std::vector<std::string> wanted;
  if (const int error = ListNames(calls, from, &wanted)) return error;
  if (!acls && Contains(wanted, std::string(kAclPrefix) + "access")) {
    // The list may have denied some of those its mask and other bits let
    // in: without it, only the owner keeps a right.
    mode &= ~mode_t{077};
  }
  if (!acls) std::erase_if(wanted, [](const std::string& name) { return IsAcl(name); });
  std::vector<std::string> present;
  if (const int error = ListNames(calls, to, &present)) return error;
  for (const std::string& name : present) {
    if (!Contains(wanted, name) && calls.Fremovexattr(to, name.c_str()) != 0 && errno != ENODATA) {
      return LastErrno();
    }
  }
  if (calls.Fchmod(to, mode) != 0) return LastErrno();
  // An access control list sets the group bits from its mask: it comes last.
  std::stable_partition(wanted.begin(), wanted.end(),
                        [](const std::string& name) { return !IsAcl(name); });
  std::string value;
  for (const std::string& name : wanted) {
    const int error = ReadValue(calls, from, name, &value);
    if (error == ENODATA) continue;  // removed meanwhile
    if (error != 0) return error;
    if (calls.Fsetxattr(to, name.c_str(), value.data(), value.size()) != 0) return LastErrno();
  }
  return 0;
}

}  // namespace sorrel::platform
