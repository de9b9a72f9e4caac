// The file-system seam: what the conversion job asks of the platform's files
// and folders. Names are native (bytes on POSIX) from the listing to every call;
// they are relative to the current directory unless they are absolute.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "platform/ui_language.h"

namespace sorrel::platform {

// The longest path the platform takes, in bytes with its terminator (PATH_MAX
// on Linux). A longer path is an error, never cut.
inline constexpr size_t kMaxPathBytes = 4096;

// One entry of a directory listing.
struct FindEntry {
  std::string name;           // without any folder part
  bool is_directory = false;  // also true for a link that leads to a folder
};

// An open directory search; entries come in the order the directory lists them.
class DirectorySearch {
 public:
  virtual ~DirectorySearch() = default;
  // False when there are no more entries.
  virtual bool Next(FindEntry* entry) = 0;
};

// Identifies a file or folder and the state it was in when it was looked at.
struct FileSnapshot {
  uint64_t device = 0;
  uint64_t inode = 0;
  uint64_t size = 0;
  int64_t mtime_sec = 0;
  int64_t mtime_nsec = 0;
};

// A file's times as the rewrite must give them back.
struct FileTimes {
  int64_t mtime_sec = 0;
  int64_t mtime_nsec = 0;
  // The creation time, on a platform that keeps a settable one (Windows);
  // Linux leaves it unset.
  bool has_creation_time = false;
  int64_t creation_sec = 0;
  int64_t creation_nsec = 0;
};

enum class ReadStatus { Ok, CannotOpen, Empty, ReadError };

enum class RewriteStatus {
  Ok,
  CannotOpen,  // the target (or a temporary file beside it) cannot be written; error set
  WriteError,  // writing, syncing or renaming failed; the original is kept; error set
  Changed,     // the target changed since it was read; nothing was written
};

struct RewriteResult {
  RewriteStatus status = RewriteStatus::Ok;
  int error = 0;  // the system's error code for CannotOpen and WriteError
};

enum class TimesStatus { Ok, CannotOpen, CannotSet };

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

  // Reads a regular file whole. Empty for a size of 0; ReadError for a read
  // that fails or a file of 4 GiB or more (refused before anything is read);
  // CannotOpen for anything that is not a regular file. The snapshot tells the
  // rewrite what the file looked like when it was read.
  virtual ReadStatus ReadWholeFile(const std::string& name, std::string* bytes,
                                   FileSnapshot* snapshot) = 0;

  // Replaces the content of name with data, all or nothing: the original stays
  // byte for byte as it was on every failure, and no temporary file is left.
  // A link is written through and stays a link; hard links are kept. Refused
  // with Changed when the file no longer matches snapshot.
  virtual RewriteResult RewriteFile(const std::string& name, const FileSnapshot& snapshot,
                                    const std::string& data) = 0;

  // Copies from to to, overwriting to, keeping the mode and the last-write time.
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

}  // namespace sorrel::platform
