// The files a rewrite or a backup works with beside its target: the new
// content before it replaces the target, and the journal of a rewrite in
// place. Each is made unnamed where the file system allows (O_TMPFILE) and
// locked (flock) for as long as its writer has it open, and gets a name only
// when it needs one. A run that finds such a name unlocked knows that its
// writer is gone, and cleans up after it.
//
// Names: ".NAME.sorrel-tmp-XXXXXX" for new content (six letters or digits),
// ".NAME.sorrel-journal" for a journal, where NAME is the target's name,
// shortened (and for a journal marked with a hash of the whole name) when the
// whole would not fit a file name.
#pragma once

#include <cerrno>
#include <string>
#include <string_view>
#include <vector>

#include "platform/posix/posix_file_io.h"
#include "platform/posix/posix_file_system.h"

namespace sorrel::platform {

// Whether name (a bare name) is a temporary file's or a journal's.
bool IsTemporaryName(std::string_view name);
bool IsJournalName(std::string_view name);

// The journal's bare name for a target's bare name.
std::string JournalNameFor(const std::string& target_name);

// A working file in an open folder, removed again when destroyed unless it
// was renamed over its target or kept. Every name it makes, links and
// renames is in that folder, so that a folder on the way to it that is
// swapped for a link meanwhile cannot lead it elsewhere.
class WorkingFile {
 public:
  // folder must stay open for as long as the working file lives.
  WorkingFile(PosixCalls& calls, int folder) : calls_(calls), folder_(folder), fd_(calls, -1) {}
  WorkingFile(const WorkingFile&) = delete;
  WorkingFile& operator=(const WorkingFile&) = delete;
  ~WorkingFile();

  // Makes the file, locked and empty, for the target named target_name.
  int Create(const std::string& target_name);
  int fd() const { return fd_.get(); }

  // Gives the file the name name; EEXIST when that name is taken.
  int NameAs(const std::string& name);
  // Closes the file and renames it over target_name, by a temporary name
  // where it has none.
  int RenameOver(const std::string& target_name);
  // Removes its name now.
  int Unlink();
  // Leaves the file and its name as they are when destroyed: a journal that
  // a later run has to finish.
  void Keep() { keep_ = true; }

 private:
  PosixCalls& calls_;
  int folder_;
  FileDescriptor fd_;
  std::string name_;  // empty while it has none
  bool keep_ = false;
};

// The result of a rewrite whose working file error kept from being made.
inline RewriteResult CannotCreate(int error) {
  return {error == EACCES ? RewriteStatus::FolderNotWritable : RewriteStatus::CannotOpen, error};
}

// Removes the temporary files among names in the open folder whose writers
// are gone.
void RemoveLeftTemporaries(PosixCalls& calls, int folder, const std::vector<std::string>& names);

}  // namespace sorrel::platform
