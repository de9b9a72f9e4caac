// Symbolic links on the way to a file that is read, rewritten or backed up.
// A link is followed only when its owner is the running user or the owner of
// the file it leads to (the kernel's protected_symlinks idea, in every
// folder): a link that another user planted cannot lead a run to a file that
// user could not change or read.
#pragma once

#include <sys/stat.h>
#include <sys/types.h>

#include <string>

#include "platform/posix/posix_file_system.h"

namespace sorrel::platform {

// Whether a link owned by link_owner that leads to a file owned by
// target_owner may be followed.
bool MayFollow(uid_t link_owner, uid_t target_owner);

struct ResolvedPath {
  std::string path;    // names the file with no symbolic link in it
  struct stat status;  // the file's, as lstat gives it
  bool through_link = false;
};

// Follows name component by component, as the kernel would, to the file it
// ends at. 0, or the error of the step that failed (ELOOP beyond 40 links).
// A link that may not be followed gives EACCES, as the kernel refuses one,
// with *refused set.
int ResolvePath(PosixCalls& calls, const std::string& name, ResolvedPath* resolved, bool* refused);

// Opens what ResolvePath gave without following any link, so that a link put
// in place since cannot redirect the open, and checks that it is the same
// file. 0 with *fd and (when given) *status set, or the error.
int OpenResolved(PosixCalls& calls, const ResolvedPath& resolved, int flags, int* fd,
                 struct stat* status = nullptr);

}  // namespace sorrel::platform
