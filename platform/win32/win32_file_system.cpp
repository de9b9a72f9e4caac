// The file-system seam on Win32: FindFirstFileW with the system's own
// wildcard rules, whole-file reads, the safe rewrite through a flushed
// temporary file and ReplaceFileW (which keeps the original's attributes,
// ACLs, streams and creation time, or fails and changes nothing), CopyFileW
// for the backup with the original's access list, both file times, and
// FormatMessageW texts. Names are the seam's bytes, wide on every call.
#include "platform/file_system.h"

#include "platform/win32/windows_api.h"
// After <windows.h>, whose types they use.
#include <aclapi.h>

#include <algorithm>
#include <new>
#include <utility>
#include <vector>

#include "platform/win32/error_text.h"
#include "platform/win32/wide.h"

namespace sorrel::platform {
namespace {

// Closes a file handle on every way out.
class Handle {
 public:
  explicit Handle(HANDLE handle) : handle_(handle) {}
  ~Handle() { Close(); }
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;
  bool ok() const { return handle_ != INVALID_HANDLE_VALUE && handle_ != nullptr; }
  HANDLE get() const { return handle_; }
  void Close() { Reset(INVALID_HANDLE_VALUE); }
  void Reset(HANDLE handle) {
    if (ok()) CloseHandle(handle_);
    handle_ = handle;
  }

 private:
  HANDLE handle_;
};

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
constexpr uint64_t kTicksPerSecond = 10000000;  // FILETIME counts 100 ns
// The end of a temporary file's name: ".NAME.sorrel-tmp-PID-N".
constexpr std::wstring_view kTemporaryMark = L".sorrel-tmp-";
// What the reader takes: less than 4 GiB.
constexpr uint64_t kReadLimit = uint64_t{1} << 32;

void SplitTicks(uint64_t ticks, int64_t* sec, int64_t* nsec) {
  *sec = static_cast<int64_t>(ticks / kTicksPerSecond);
  *nsec = static_cast<int64_t>(ticks % kTicksPerSecond) * 100;
}

uint64_t Ticks(const FILETIME& time) {
  return (uint64_t{time.dwHighDateTime} << 32) | time.dwLowDateTime;
}

FILETIME FileTime(int64_t sec, int64_t nsec) {
  const uint64_t ticks =
      static_cast<uint64_t>(sec) * kTicksPerSecond + static_cast<uint64_t>(nsec) / 100;
  return {static_cast<DWORD>(ticks), static_cast<DWORD>(ticks >> 32)};
}

// The file's identity, size, last-write time and change time (which every
// write and every change of its attributes moves, and which no call sets
// back).
bool Snapshot(HANDLE file, FileSnapshot* snapshot, DWORD* links = nullptr,
              DWORD* attributes = nullptr) {
  BY_HANDLE_FILE_INFORMATION info;
  FILE_BASIC_INFO basic;
  if (!GetFileInformationByHandle(file, &info) ||
      !GetFileInformationByHandleEx(file, FileBasicInfo, &basic, sizeof basic)) {
    return false;
  }
  snapshot->device = info.dwVolumeSerialNumber;
  snapshot->inode = (uint64_t{info.nFileIndexHigh} << 32) | info.nFileIndexLow;
  snapshot->size = (uint64_t{info.nFileSizeHigh} << 32) | info.nFileSizeLow;
  SplitTicks(Ticks(info.ftLastWriteTime), &snapshot->mtime_sec, &snapshot->mtime_nsec);
  SplitTicks(static_cast<uint64_t>(basic.ChangeTime.QuadPart), &snapshot->ctime_sec,
             &snapshot->ctime_nsec);
  if (links != nullptr) *links = info.nNumberOfLinks;
  if (attributes != nullptr) *attributes = info.dwFileAttributes;
  return true;
}

// Opens what name leads to (links followed) without asking for any access,
// folders included.
HANDLE OpenForInformation(const std::wstring& name) {
  return CreateFileW(name.c_str(), FILE_READ_ATTRIBUTES, kShareAll, nullptr, OPEN_EXISTING,
                     FILE_FLAG_BACKUP_SEMANTICS, nullptr);
}

DWORD WriteAll(HANDLE file, const std::string& data) {
  size_t done = 0;
  while (done < data.size()) {
    const DWORD chunk = static_cast<DWORD>(std::min<size_t>(data.size() - done, 1u << 30));
    DWORD written = 0;
    if (!WriteFile(file, data.data() + done, chunk, &written, nullptr)) return GetLastError();
    if (written == 0) return ERROR_WRITE_FAULT;
    done += written;
  }
  return FlushFileBuffers(file) ? ERROR_SUCCESS : GetLastError();
}

DWORD ReadAt(HANDLE file, std::string* bytes) {
  LARGE_INTEGER start{};
  if (!SetFilePointerEx(file, start, nullptr, FILE_BEGIN)) return GetLastError();
  size_t done = 0;
  while (done < bytes->size()) {
    DWORD got = 0;
    const DWORD want = static_cast<DWORD>(std::min<size_t>(bytes->size() - done, 1u << 30));
    if (!ReadFile(file, bytes->data() + done, want, &got, nullptr)) return GetLastError();
    if (got == 0) return ERROR_HANDLE_EOF;
    done += got;
  }
  return ERROR_SUCCESS;
}

// Makes the file exactly data, from its start, on disk.
DWORD WriteAt(HANDLE file, const std::string& data) {
  LARGE_INTEGER start{};
  if (!SetFilePointerEx(file, start, nullptr, FILE_BEGIN)) return GetLastError();
  if (const DWORD error = WriteAll(file, data)) return error;
  return SetEndOfFile(file) && FlushFileBuffers(file) ? ERROR_SUCCESS : GetLastError();
}

std::wstring FolderOf(const std::wstring& path) {
  const size_t slash = path.find_last_of(L"\\/");
  return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash + 1);
}

std::wstring NameOf(const std::wstring& path) {
  const size_t slash = path.find_last_of(L"\\/");
  return slash == std::wstring::npos ? path : path.substr(slash + 1);
}

bool IsTemporaryName(std::wstring_view name) {
  return name.size() > 1 && name[0] == L'.' && name.find(kTemporaryMark) != std::wstring_view::npos;
}

// The full path of what name leads to, through symbolic links.
DWORD ResolveLinks(const std::wstring& name, std::wstring* target) {
  Handle file(OpenForInformation(name));
  if (!file.ok()) return GetLastError();
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length =
        GetFinalPathNameByHandleW(file.get(), path.data(), static_cast<DWORD>(path.size()), 0);
    if (length == 0) return GetLastError();
    if (length < path.size()) {
      path.resize(length);
      break;
    }
    path.resize(length + 1);
  }
  *target = std::move(path);
  return ERROR_SUCCESS;
}

// A new temporary file beside target, removed again unless it replaced it.
// While it is open, no one else may delete it: a run that finds one it can
// delete knows that its writer is gone.
class TemporaryFile {
 public:
  ~TemporaryFile() {
    file_.Close();
    if (!path_.empty()) DeleteFileW(path_.c_str());
  }
  DWORD Create(const std::wstring& target) {
    const std::wstring stem = FolderOf(target) + L"." + NameOf(target) +
                              std::wstring(kTemporaryMark) +
                              std::to_wstring(GetCurrentProcessId()) + L"-";
    for (unsigned attempt = 0; attempt < 100; ++attempt) {
      const std::wstring path = stem + std::to_wstring(GetTickCount() + attempt);
      HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_NEW,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
      if (file != INVALID_HANDLE_VALUE) {
        file_.Reset(file);
        path_ = path;
        return ERROR_SUCCESS;
      }
      if (GetLastError() != ERROR_FILE_EXISTS) return GetLastError();
    }
    return ERROR_FILE_EXISTS;
  }
  HANDLE handle() const { return file_.get(); }
  const std::wstring& path() const { return path_; }
  void CloseFile() { file_.Close(); }
  void Renamed() { path_.clear(); }

 private:
  Handle file_{INVALID_HANDLE_VALUE};
  std::wstring path_;
};

RewriteResult Failure(RewriteStatus status, DWORD error) {
  return {status, static_cast<int>(error)};
}

// Several names lead to this file: it is written where it is, so that every
// name keeps seeing one file. Its room is reserved first, so that a full
// disk refuses before anything changes; should writing still fail, its old
// bytes are put back.
RewriteResult RewriteInPlace(HANDLE file, uint64_t old_size, const std::string& data) {
  std::string old_bytes;
  try {
    old_bytes.resize(old_size);
  } catch (const std::bad_alloc&) {
    return Failure(RewriteStatus::CannotOpen, ERROR_NOT_ENOUGH_MEMORY);
  }
  if (const DWORD error = ReadAt(file, &old_bytes))
    return Failure(RewriteStatus::CannotOpen, error);
  LARGE_INTEGER room;
  room.QuadPart = static_cast<LONGLONG>(std::max<uint64_t>(old_size, data.size()));
  if (!SetFilePointerEx(file, room, nullptr, FILE_BEGIN) || !SetEndOfFile(file)) {
    const DWORD error = GetLastError();
    WriteAt(file, old_bytes);
    return Failure(RewriteStatus::WriteError, error);
  }
  if (const DWORD error = WriteAt(file, data)) {
    WriteAt(file, old_bytes);
    return Failure(RewriteStatus::WriteError, error);
  }
  return {};
}

// The new content in a flushed file beside the target, then ReplaceFileW.
// Without REPLACEFILE_IGNORE_MERGE_ERRORS, a target whose attributes or
// access list cannot be given to the new content fails the call and stays
// as it was.
RewriteResult ReplaceThroughTemporary(const std::wstring& target, const std::string& data) {
  TemporaryFile temporary;
  if (const DWORD error = temporary.Create(target))
    return Failure(RewriteStatus::CannotOpen, error);
  if (const DWORD error = WriteAll(temporary.handle(), data)) {
    return Failure(RewriteStatus::WriteError, error);
  }
  temporary.CloseFile();
  if (ReplaceFileW(target.c_str(), temporary.path().c_str(), nullptr, 0, nullptr, nullptr)) {
    temporary.Renamed();
    return {};
  }
  return Failure(RewriteStatus::WriteError, GetLastError());
}

// Gives copy the access list of original, so that a backup grants no one
// more than the original does.
DWORD CopyAccessList(const std::wstring& original, const std::wstring& copy) {
  PACL dacl = nullptr;
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  DWORD error = GetNamedSecurityInfoW(original.c_str(), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION,
                                      nullptr, nullptr, &dacl, nullptr, &descriptor);
  if (error != ERROR_SUCCESS) return error;
  SECURITY_DESCRIPTOR_CONTROL control = 0;
  DWORD revision = 0;
  GetSecurityDescriptorControl(descriptor, &control, &revision);
  const SECURITY_INFORMATION what =
      DACL_SECURITY_INFORMATION |
      ((control & SE_DACL_PROTECTED) != 0 ? PROTECTED_DACL_SECURITY_INFORMATION
                                          : UNPROTECTED_DACL_SECURITY_INFORMATION);
  std::wstring target = copy;
  error =
      SetNamedSecurityInfoW(target.data(), SE_FILE_OBJECT, what, nullptr, nullptr, dacl, nullptr);
  LocalFree(descriptor);
  return error;
}

// Not thread-safe: LastError belongs to the one caller of the object.
class Win32FileSystem : public FileSystem {
 public:
  // Matches as the system does (without regard to case, short names too),
  // "." and ".." included; the temporary files of rewrites are left out.
  std::unique_ptr<DirectorySearch> FindFirst(const std::string& pattern) override {
    WIN32_FIND_DATAW data;
    HANDLE handle = FindFirstFileW(Wide(pattern).c_str(), &data);
    std::vector<FindEntry> entries;
    if (handle == INVALID_HANDLE_VALUE) {
      const DWORD error = GetLastError();
      if (error == ERROR_FILE_NOT_FOUND || error == ERROR_NO_MORE_FILES) {
        return std::make_unique<ListedSearch>(std::move(entries));
      }
      Fail(error);
      return nullptr;
    }
    do {
      if (IsTemporaryName(data.cFileName)) continue;
      FindEntry entry;
      entry.name = Narrow(data.cFileName);
      entry.is_directory = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
      entries.push_back(std::move(entry));
    } while (FindNextFileW(handle, &data));
    FindClose(handle);
    return std::make_unique<ListedSearch>(std::move(entries));
  }

  bool GetCurrentDirectory(std::string* path) override {
    const DWORD size = GetCurrentDirectoryW(0, nullptr);
    std::wstring folder(size, L'\0');
    const DWORD length = size == 0 ? 0 : GetCurrentDirectoryW(size, folder.data());
    if (length == 0 || length >= size) return Fail(GetLastError());
    folder.resize(length);
    *path = Narrow(folder);
    return true;
  }

  bool SetCurrentDirectory(const std::string& path) override {
    return SetCurrentDirectoryW(Wide(path).c_str()) || Fail(GetLastError());
  }

  // The volume's serial number and the file index stand for device and
  // inode.
  bool CurrentDirectoryId(FileSnapshot* id) override { return FileId(".", id); }

  bool FileId(const std::string& name, FileSnapshot* id) override {
    Handle file(OpenForInformation(Wide(name)));
    return (file.ok() && Snapshot(file.get(), id)) || Fail(GetLastError());
  }

  // Removes the temporary files in the current folder whose writers are
  // gone. Rewrites in place keep no journal here, so there is nothing else
  // to finish.
  std::vector<Recovery> FinishInterruptedRuns() override {
    WIN32_FIND_DATAW data;
    HANDLE handle = FindFirstFileW((L".*" + std::wstring(kTemporaryMark) + L"*").c_str(), &data);
    if (handle == INVALID_HANDLE_VALUE) return {};
    do {
      if ((data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0 &&
          IsTemporaryName(data.cFileName)) {
        DeleteFileW(data.cFileName);  // refused while its writer holds it
      }
    } while (FindNextFileW(handle, &data));
    FindClose(handle);
    return {};
  }

  bool FinishInterruptedRewrite(const std::string&, Recovery*) override { return false; }

  ReadStatus ReadWholeFile(const std::string& name, std::string* bytes,
                           FileSnapshot* snapshot) override {
    bytes->clear();
    Handle file(CreateFileW(Wide(name).c_str(), GENERIC_READ, kShareAll, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD attributes = 0;
    if (!file.ok() || !Snapshot(file.get(), snapshot, nullptr, &attributes)) {
      Fail(GetLastError());
      return ReadStatus::CannotOpen;
    }
    // A folder, a pipe, a device: never read.
    if ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0 || GetFileType(file.get()) != FILE_TYPE_DISK) {
      Fail(ERROR_ACCESS_DENIED);
      return ReadStatus::CannotOpen;
    }
    if (snapshot->size >= kReadLimit) {
      Fail(ERROR_FILE_TOO_LARGE);
      return ReadStatus::ReadError;
    }
    if (snapshot->size == 0) return ReadStatus::Empty;
    try {
      bytes->resize(snapshot->size);
    } catch (const std::bad_alloc&) {
      Fail(ERROR_NOT_ENOUGH_MEMORY);
      return ReadStatus::ReadError;
    }
    if (const DWORD error = ReadAt(file.get(), bytes)) {
      Fail(error);
      bytes->clear();
      return ReadStatus::ReadError;
    }
    return ReadStatus::Ok;
  }

  // A file with the read-only attribute is refused with ERROR_ACCESS_DENIED,
  // as opening it for writing would be. A file with several hard links is
  // written in place, its room reserved first and its old bytes put back
  // should the write fail, so that the links stay one file; any other is
  // replaced through ReplaceFileW. A symbolic link is written through.
  RewriteResult RewriteFile(const std::string& name, const FileSnapshot& snapshot,
                            const std::string& data) override {
    std::wstring target;
    DWORD error = ResolveLinks(Wide(name), &target);
    if (error == ERROR_SUCCESS) {
      const DWORD attributes = GetFileAttributesW(target.c_str());
      if (attributes == INVALID_FILE_ATTRIBUTES) {
        error = GetLastError();
      } else if ((attributes & FILE_ATTRIBUTE_READONLY) != 0) {
        error = ERROR_ACCESS_DENIED;
      }
    }
    // Opening for writing proves the file may be written, and holds it while
    // it is checked against the snapshot.
    Handle file(error == ERROR_SUCCESS ? CreateFileW(target.c_str(), GENERIC_READ | GENERIC_WRITE,
                                                     FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr,
                                                     OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr)
                                       : INVALID_HANDLE_VALUE);
    if (error == ERROR_SUCCESS && !file.ok()) error = GetLastError();
    FileSnapshot now;
    DWORD links = 0;
    if (error == ERROR_SUCCESS && !Snapshot(file.get(), &now, &links)) error = GetLastError();
    if (error != ERROR_SUCCESS) {
      Fail(error);
      return Failure(RewriteStatus::CannotOpen, error);
    }
    if (!SameFileState(now, snapshot)) return {RewriteStatus::Changed, 0};
    RewriteResult result;
    if (links > 1) {
      result = RewriteInPlace(file.get(), snapshot.size, data);
    } else {
      file.Close();
      result = ReplaceThroughTemporary(target, data);
    }
    if (result.error != 0) Fail(static_cast<DWORD>(result.error));
    return result;
  }

  // CopyFileW, then the original's access list on the copy; a copy that
  // cannot have it is removed again. An existing read-only copy is not
  // replaced.
  bool CopyFile(const std::string& from, const std::string& to) override {
    const std::wstring source = Wide(from);
    const std::wstring copy = Wide(to);
    // As the system refuses it (Wine's CopyFileW would not).
    const DWORD existing = GetFileAttributesW(copy.c_str());
    if (existing != INVALID_FILE_ATTRIBUTES && (existing & FILE_ATTRIBUTE_READONLY) != 0) {
      return Fail(ERROR_ACCESS_DENIED);
    }
    if (!CopyFileW(source.c_str(), copy.c_str(), FALSE)) return Fail(GetLastError());
    if (const DWORD error = CopyAccessList(source, copy)) {
      DeleteFileW(copy.c_str());
      return Fail(error);
    }
    return true;
  }

  // Both times: creation and last write.
  bool GetFileTimes(const std::string& name, FileTimes* times) override {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExW(Wide(name).c_str(), GetFileExInfoStandard, &data)) {
      return Fail(GetLastError());
    }
    SplitTicks(Ticks(data.ftLastWriteTime), &times->mtime_sec, &times->mtime_nsec);
    SplitTicks(Ticks(data.ftCreationTime), &times->creation_sec, &times->creation_nsec);
    times->has_creation_time = true;
    return true;
  }

  TimesStatus SetFileTimes(const std::string& name, const FileTimes& times) override {
    Handle file(CreateFileW(Wide(name).c_str(), FILE_WRITE_ATTRIBUTES, kShareAll, nullptr,
                            OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!file.ok()) {
      Fail(GetLastError());
      return TimesStatus::CannotOpen;
    }
    const FILETIME written = FileTime(times.mtime_sec, times.mtime_nsec);
    const FILETIME created = FileTime(times.creation_sec, times.creation_nsec);
    if (!SetFileTime(file.get(), times.has_creation_time ? &created : nullptr, nullptr, &written)) {
      Fail(GetLastError());
      return TimesStatus::CannotSet;
    }
    return TimesStatus::Ok;
  }

  int LastError() override { return last_error_; }

  std::u16string SystemErrorText(UiLanguage lang, int code) override {
    return Win32ErrorText(lang, static_cast<DWORD>(code));
  }

 private:
  bool Fail(DWORD error) {
    last_error_ = static_cast<int>(error);
    return false;
  }

  int last_error_ = 0;
};

}  // namespace

std::unique_ptr<FileSystem> NewFileSystem() {
  return std::make_unique<Win32FileSystem>();
}

}  // namespace sorrel::platform
