// The file-system seam: what the conversion job asks of the platform's files
// and folders. Names are native (bytes on POSIX) from the listing to every call;
// they are relative to the current directory unless they are absolute.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "base/ui_language.h"

namespace sorrel::platform {

// The longest path the platform takes, in bytes with its terminator (PATH_MAX
// on Linux). A longer path is an error, never cut.
inline constexpr size_t kMaxPathBytes = 4096;

// One entry of a directory listing.
struct FindEntry {
  std::string name;           // without any folder part
  bool is_directory = false;  // also true for a link that leads to a folder
  // A symbolic link that a run does not follow: its owner is neither the
  // running user nor the owner of what it leads to.
  bool not_followed = false;
};

// An open directory search; entries come in the order the directory lists them.
class DirectorySearch {
 public:
  virtual ~DirectorySearch() = default;
  // False when there are no more entries.
  virtual bool Next(FindEntry* entry) = 0;
};

// A search over a folder's entries as they were listed when it started,
// handed out in their order: files made while the walk goes on (a rewrite's,
// a backup) never turn up in it.
class ListedSearch final : public DirectorySearch {
 public:
  explicit ListedSearch(std::vector<FindEntry> entries) : entries_(std::move(entries)) {}
  bool Next(FindEntry* entry) override {
    if (next_ == entries_.size()) return false;
    *entry = std::move(entries_[next_++]);
    return true;
  }

 private:
  std::vector<FindEntry> entries_;
  size_t next_ = 0;
};

// Identifies a file or folder and the state it was in when it was looked at.
// The change time moves with every write and every change of the file's
// attributes, and no user can set it back, so it tells a same-size edit whose
// last-write time was put back, and a new file that was given the number of
// one since removed.
struct FileSnapshot {
  uint64_t device = 0;
  uint64_t inode = 0;
  uint64_t size = 0;
  int64_t mtime_sec = 0;
  int64_t mtime_nsec = 0;
  int64_t ctime_sec = 0;
  int64_t ctime_nsec = 0;
};

// The same file in the same state.
inline bool SameFileState(const FileSnapshot& a, const FileSnapshot& b) {
  return a.device == b.device && a.inode == b.inode && a.size == b.size &&
         a.mtime_sec == b.mtime_sec && a.mtime_nsec == b.mtime_nsec && a.ctime_sec == b.ctime_sec &&
         a.ctime_nsec == b.ctime_nsec;
}

// A file's times as the rewrite must give them back.
struct FileTimes {
  int64_t mtime_sec = 0;
  int64_t mtime_nsec = 0;
  // The creation time, on a platform that keeps a settable one (Windows);
  // POSIX leaves it unset.
  bool has_creation_time = false;
  int64_t creation_sec = 0;
  int64_t creation_nsec = 0;
};

enum class ReadStatus {
  Ok,
  CannotOpen,
  Empty,
  ReadError,
  NotFollowed,  // a symbolic link on the way may not be followed
};

enum class RewriteStatus {
  Ok,
  CannotOpen,         // the target (or a temporary file beside it) cannot be written; error set
  WriteError,         // writing, syncing or renaming failed; the original is kept; error set
  Changed,            // the target changed since it was read; nothing was written
  AttributesLost,     // an extended attribute could not be given to the new
                      // content; nothing was written; error set
  OthersPending,      // a rewrite of the file by another user was killed half-way
                      // and waits for that user's next run; nothing was written
  FolderNotWritable,  // the file may be written but its folder may not, where
                      // the rewrite needs a working file; error set
};

enum class TimesStatus { Ok, CannotOpen, CannotSet };

struct RewriteResult {
  RewriteStatus status = RewriteStatus::Ok;
  int error = 0;  // the system's error code for CannotOpen and WriteError
  // Whether the times asked of a rewrite that went Ok were given.
  TimesStatus times = TimesStatus::Ok;
};

// What became of a rewrite that a run killed half-way had left.
enum class RecoveryOutcome {
  Completed,  // the file holds the new content now
  Changed,    // the file was changed since: it was left as it is
  Failed,     // it could not be finished; the next run tries again
};

struct Recovery {
  std::string name;  // the file's, bare in the current directory
  RecoveryOutcome outcome = RecoveryOutcome::Completed;
};

// The second half of a rewrite begun by FileSystem::StartRewrite: the new
// content is written beside the target and on its way to the disk, the
// target still as it was.
class PendingRewrite {
 public:
  // Dropped unfinished, it leaves the target as it was and no working file.
  virtual ~PendingRewrite() = default;
  // Waits until the new content is on disk and puts it in the target's
  // place, as RewriteFile does: the result RewriteFile would give. Called in
  // the current directory StartRewrite was called in.
  virtual RewriteResult Finish() = 0;
};

class FileSystem {
 public:
  virtual ~FileSystem() = default;

  // Searches the current directory for names matching pattern: only '*' (any
  // run of characters) and '?' (any one character) are special, "*.*" matches
  // every name, names are compared case-sensitively. Null when the search
  // cannot be started.
  virtual std::unique_ptr<DirectorySearch> FindFirst(const std::string& pattern) = 0;

  // The absolute path of the current directory; false on failure.
  virtual bool GetCurrentDirectory(std::string* path) = 0;
  virtual bool SetCurrentDirectory(const std::string& path) = 0;
  // Identifies the current directory (device and inode are set).
  virtual bool CurrentDirectoryId(FileSnapshot* id) = 0;
  // Identifies what name leads to, links followed (device and inode are set).
  virtual bool FileId(const std::string& name, FileSnapshot* id) = 0;

  // Finishes in the current directory what runs that were killed there left
  // half done: a rewrite in place is completed, unless the file has been
  // changed since, and temporary files are removed. What a run still at work
  // holds is left alone. One entry for each file finished or left.
  virtual std::vector<Recovery> FinishInterruptedRuns() = 0;
  // The same for the one file name leads to, when that file is in another
  // folder (through a link); false when there was nothing to finish.
  virtual bool FinishInterruptedRewrite(const std::string& name, Recovery* recovery) = 0;

  // Reads a regular file whole. Empty for a size of 0; ReadError for a read
  // that fails or a file of 4 GiB or more (refused before anything is read);
  // CannotOpen for anything that is not a regular file; NotFollowed for a
  // symbolic link on the way that may not be followed. The snapshot tells the
  // rewrite what the file looked like when it was read.
  virtual ReadStatus ReadWholeFile(const std::string& name, std::string* bytes,
                                   FileSnapshot* snapshot) = 0;

  // Replaces the content of name with data, all or nothing: the original stays
  // byte for byte as it was on every failure, and no temporary file is left.
  // A link is written through and stays a link; hard links, the owner, the
  // permission bits and every extended attribute are kept. Refused with
  // Changed when the file no longer matches snapshot.
  virtual RewriteResult RewriteFile(const std::string& name, const FileSnapshot& snapshot,
                                    const std::string& data) = 0;

  // RewriteFile in two halves, so that the syncs of several rewrites can go
  // on at once: everything up to writing the new content and starting its
  // sync, and PendingRewrite::Finish for the rest. Null, with *result, when
  // the rewrite has ended here already (a failure, or a rewrite that can
  // only be done at once). With times, the new content has them as
  // SetFileTimes gives them, and result.times says whether it could. By
  // default it is done at once, and the times are set on the name after.
  virtual std::unique_ptr<PendingRewrite> StartRewrite(const std::string& name,
                                                       const FileSnapshot& snapshot,
                                                       const std::string& data,
                                                       const FileTimes* times,
                                                       RewriteResult* result) {
    *result = RewriteFile(name, snapshot, data);
    if (result->status == RewriteStatus::Ok && times != nullptr) {
      result->times = SetFileTimes(name, *times);
    }
    return nullptr;
  }

  // Makes durable the names that finished rewrites and copies have given
  // files: a rewrite is on disk, under its name, once this returns. The
  // platform may do it before (when the current directory changes).
  virtual void SyncRenames() {}

  // Copies from to to, overwriting to, keeping the last-write time. The copy
  // grants no one more than from does: it has from's owner and group where
  // the process may give them, and otherwise no set-ID bits and no more for
  // its group than for everyone. An existing to without any write permission
  // is not replaced.
  virtual bool CopyFile(const std::string& from, const std::string& to) = 0;

  virtual bool GetFileTimes(const std::string& name, FileTimes* times) = 0;
  // Gives the file back its last-write time, and its creation time where it
  // is set; the access time is left alone.
  virtual TimesStatus SetFileTimes(const std::string& name, const FileTimes& times) = 0;

  // The error code of the last call that failed.
  virtual int LastError() = 0;
  // The system's one-line text for an error code in the given language, with
  // every control character turned into a space; "FormatMessage() error" when
  // the system has no text for it.
  virtual std::u16string SystemErrorText(UiLanguage lang, int code) = 0;
};

// The platform's file system.
std::unique_ptr<FileSystem> NewFileSystem();

}  // namespace sorrel::platform
