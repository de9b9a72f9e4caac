// What a file is besides its bytes (owner, group, permission bits, extended
// attributes: access control lists, security labels, user attributes), given
// to the new file that replaces it or to the copy that backs it up.
#pragma once

#include <sys/stat.h>
#include <sys/types.h>

#include "platform/posix/posix_file_system.h"

namespace sorrel::platform {

// Gives fd the owner and the group of original; where the process may not,
// at least the group where allowed. 0, EPERM when the owner or the group
// could not be given (the file then has what it was made with), or another
// error.
int GiveOwner(PosixCalls& calls, int fd, const struct stat& original);

// The permission bits for a copy of original owned by owner and group, which
// must grant no one more than original did: set-user-ID and set-group-ID
// only when both are original's, and a group that is not original's gets no
// more than everyone else had.
mode_t SafeCopyMode(const struct stat& original, uid_t owner, gid_t group);

// Gives to the inode flags of from that a file's owner may set (nodump,
// noatime, secure deletion, no copy-on-write, compression and the like);
// nothing where the file system keeps no flags. 0, or the error.
int CopyFlags(PosixCalls& calls, int from, int to);

// Makes to carry what from carries: extended attributes that from lacks are
// removed from to (one inherited from the folder, say), mode is set, then
// every extended attribute of from is copied, access control lists last and
// only with acls (a list names the owning group, so it is copied only where
// the group is kept). Where from's access list stays behind, to keeps only
// its owner's bits of mode, so that no one gets what the list denied. 0, or
// the error of the first step that failed.
int CopyAttributes(PosixCalls& calls, int from, int to, mode_t mode, bool acls);

}  // namespace sorrel::platform
