// The rewrite in place of a file with several hard links, made safe against
// a crash by a journal beside it. The journal holds the file's old and new
// bytes and is on disk, under its name, before the first byte of the file is
// overwritten, and is removed once the new bytes are on disk. A run that
// finds a journal whose writer is gone finishes the rewrite from it, unless
// the file has changed since in a way the rewrite could not have left it.
#pragma once

#include <string>

#include "platform/file_system.h"
#include "platform/posix/posix_file_system.h"
#include "platform/posix/posix_links.h"

namespace sorrel::platform {

// Overwrites target (resolved, writable, in the state of snapshot, in the
// open folder) with data, keeping its inode and so every link, owner and
// attribute. On a failure half-way the old bytes are put back from the
// journal; should that fail too, the journal stays for the next run. With
// times, the file is given them before its new bytes are synced.
RewriteResult RewriteInPlace(PosixCalls& calls, int folder, const ResolvedPath& target,
                             const FileSnapshot& snapshot, const std::string& data,
                             const FileTimes* times);

enum class JournalOutcome {
  None,       // nothing to do: no journal, one still at work, one that is
              // not a journal, or one whose rewrite never began (removed)
  Completed,  // the file now holds the new bytes
  Changed,    // the file was changed or replaced since: left as it is
  Failed,     // the rewrite could not be finished; the journal stays
};

// Finishes the rewrite that the journal journal_name in the open folder
// (its target's) stands for, if its writer is gone and it is the running
// user's. *target_name receives the bare name of the file it concerns.
JournalOutcome FinishJournal(PosixCalls& calls, int folder, const std::string& journal_name,
                             std::string* target_name);

}  // namespace sorrel::platform
