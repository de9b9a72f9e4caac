// The file-system seam on Win32: FindFirstFileExW with the system's own
// wildcard rules (case-insensitive, short names too), whole-file reads, the
// safe rewrite through a temporary file and ReplaceFileW, CopyFileW for the
// backup, creation and last-write times, and FormatMessageW texts. Names are
// UTF-8 on the seam and UTF-16 on every call.
#pragma once

#include <memory>
#include <string>

#include "platform/file_system.h"

namespace sorrel::platform {

class Win32FileSystem : public FileSystem {
 public:
  // Lists the matches as they are when the search starts, "." and ".."
  // included when they match.
  std::unique_ptr<DirectorySearch> FindFirst(const std::string& pattern) override;
  bool GetCurrentDirectory(std::string* path) override;
  bool SetCurrentDirectory(const std::string& path) override;
  // The volume's serial number and the file index stand for device and inode.
  bool CurrentDirectoryId(FileSnapshot* id) override;
  bool FileId(const std::string& name, FileSnapshot* id) override;
  ReadStatus ReadWholeFile(const std::string& name, std::string* bytes,
                           FileSnapshot* snapshot) override;
  // A file with the read-only attribute is refused with ERROR_ACCESS_DENIED,
  // as opening it for writing would be. A file with several hard links is
  // written in place, its room reserved first and its old bytes put back
  // should the write fail, so that the links stay one file; any other is
  // replaced by a flushed temporary file beside it through ReplaceFileW,
  // which keeps the original's attributes, ACLs, streams and creation time
  // (MoveFileExW with write-through where the volume cannot replace). A
  // symbolic link is written through.
  RewriteResult RewriteFile(const std::string& name, const FileSnapshot& snapshot,
                            const std::string& data) override;
  bool CopyFile(const std::string& from, const std::string& to) override;
  // Both times: creation and last write.
  bool GetFileTimes(const std::string& name, FileTimes* times) override;
  TimesStatus SetFileTimes(const std::string& name, const FileTimes& times) override;
  int LastError() override { return last_error_; }
  std::u16string SystemErrorText(UiLanguage lang, int code) override;

 private:
  bool Fail(unsigned long error);
  int last_error_ = 0;
};

// The system's text for a Win32 error code: FormatMessageW in the user's
// default language for Japanese (0x0400) or in English (0x0409); every unit
// from 1 to 31 becomes a space; "FormatMessage() error" when there is none.
std::u16string Win32SystemErrorText(UiLanguage lang, unsigned long code);

}  // namespace sorrel::platform
