// Files and folders through the wide Win32 calls.
#include "platform/win32/win32_file_system.h"

#include "platform/win32/windows_api.h"

#include <algorithm>
#include <new>
#include <utility>
#include <vector>

#include "platform/win32/wide.h"

namespace sorrel::platform {
namespace {

// Closes a file handle on every way out.
class Handle {
 public:
  explicit Handle(HANDLE handle) : handle_(handle) {}
  ~Handle() {
    if (ok()) CloseHandle(handle_);
  }
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
constexpr int64_t kTicksPerSecond = 10000000;  // FILETIME counts 100 ns

uint64_t Ticks(const FILETIME& time) {
  return (static_cast<uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

FILETIME FromTicks(uint64_t ticks) {
  return {static_cast<DWORD>(ticks), static_cast<DWORD>(ticks >> 32)};
}

void SplitTicks(const FILETIME& time, int64_t* sec, int64_t* nsec) {
  const uint64_t ticks = Ticks(time);
  *sec = static_cast<int64_t>(ticks / kTicksPerSecond);
  *nsec = static_cast<int64_t>(ticks % kTicksPerSecond) * 100;
}

uint64_t JoinTicks(int64_t sec, int64_t nsec) {
  return static_cast<uint64_t>(sec) * kTicksPerSecond + static_cast<uint64_t>(nsec) / 100;
}

void FillSnapshot(const BY_HANDLE_FILE_INFORMATION& info, FileSnapshot* snapshot) {
  snapshot->device = info.dwVolumeSerialNumber;
  snapshot->inode = (static_cast<uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
  snapshot->size = (static_cast<uint64_t>(info.nFileSizeHigh) << 32) | info.nFileSizeLow;
  SplitTicks(info.ftLastWriteTime, &snapshot->mtime_sec, &snapshot->mtime_nsec);
}

bool Matches(const BY_HANDLE_FILE_INFORMATION& info, const FileSnapshot& snapshot) {
  FileSnapshot now;
  FillSnapshot(info, &now);
  return now.device == snapshot.device && now.inode == snapshot.inode &&
         now.size == snapshot.size && now.mtime_sec == snapshot.mtime_sec &&
         now.mtime_nsec == snapshot.mtime_nsec;
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

// The folder part of a path with its separator, or empty.
std::wstring FolderOf(const std::wstring& path) {
  const size_t slash = path.find_last_of(L"\\/");
  return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash + 1);
}

std::wstring NameOf(const std::wstring& path) {
  const size_t slash = path.find_last_of(L"\\/");
  return slash == std::wstring::npos ? path : path.substr(slash + 1);
}

// The full path of name (ReplaceFileW wants one).
DWORD FullPath(const std::wstring& name, std::wstring* path) {
  const DWORD size = GetFullPathNameW(name.c_str(), 0, nullptr, nullptr);
  if (size == 0) return GetLastError();
  path->assign(size, L'\0');
  const DWORD length = GetFullPathNameW(name.c_str(), size, path->data(), nullptr);
  if (length == 0 || length >= size) return GetLastError();
  path->resize(length);
  return ERROR_SUCCESS;
}

// The full path of what a symbolic link leads to, or of name itself.
DWORD ResolveLinks(const std::wstring& name, std::wstring* target) {
  const DWORD attributes = GetFileAttributesW(name.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return GetLastError();
  if ((attributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0) return FullPath(name, target);
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
  *target = path;
  return ERROR_SUCCESS;
}

// A new empty file beside target, removed again unless Keep is called.
class TemporaryFile {
 public:
  ~TemporaryFile() {
    file_.Close();
    if (!path_.empty()) DeleteFileW(path_.c_str());
  }
  DWORD Create(const std::wstring& target) {
    const std::wstring stem = FolderOf(target) + L"." + NameOf(target) + L".";
    for (unsigned attempt = 0; attempt < 100; ++attempt) {
      const std::wstring path = stem + std::to_wstring(GetCurrentProcessId()) + L"-" +
                                std::to_wstring(GetTickCount() + attempt) + L".sorrel-tmp";
      HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
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
  void Keep() { path_.clear(); }

 private:
  Handle file_{INVALID_HANDLE_VALUE};
  std::wstring path_;
};

RewriteResult Failure(RewriteStatus status, DWORD error) {
  return {status, static_cast<int>(error)};
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

// Makes the file exactly data, from its start.
DWORD WriteAt(HANDLE file, const std::string& data) {
  LARGE_INTEGER start{};
  if (!SetFilePointerEx(file, start, nullptr, FILE_BEGIN)) return GetLastError();
  if (const DWORD error = WriteAll(file, data)) return error;
  return SetEndOfFile(file) && FlushFileBuffers(file) ? ERROR_SUCCESS : GetLastError();
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
  if (const DWORD error = ReadAt(file, &old_bytes)) {
    return Failure(RewriteStatus::CannotOpen, error);
  }
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

RewriteResult ReplaceThroughTemporary(const std::wstring& target, const std::string& data) {
  TemporaryFile temporary;
  if (const DWORD error = temporary.Create(target)) {
    return Failure(RewriteStatus::CannotOpen, error);
  }
  if (const DWORD error = WriteAll(temporary.handle(), data)) {
    return Failure(RewriteStatus::WriteError, error);
  }
  temporary.CloseFile();
  if (ReplaceFileW(target.c_str(), temporary.path().c_str(), nullptr,
                   REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr)) {
    temporary.Keep();
    return {};
  }
  DWORD error = GetLastError();
  // Volumes that cannot replace (no ACLs, no streams) still rename.
  if (error == ERROR_UNABLE_TO_MOVE_REPLACEMENT || error == ERROR_NOT_SUPPORTED ||
      error == ERROR_INVALID_FUNCTION) {
    if (MoveFileExW(temporary.path().c_str(), target.c_str(),
                    MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
      temporary.Keep();
      return {};
    }
    error = GetLastError();
  }
  return Failure(RewriteStatus::WriteError, error);
}

// The listing as it was when the search started: files that a rewrite or a
// backup creates while the walk goes on (a temporary file, a ".bak") never
// turn up in it, whatever order the volume lists names in.
class ListedSearch : public DirectorySearch {
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

}  // namespace

bool Win32FileSystem::Fail(unsigned long error) {
  last_error_ = static_cast<int>(error);
  return false;
}

std::unique_ptr<DirectorySearch> Win32FileSystem::FindFirst(const std::string& pattern) {
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
    entries.push_back(
        {Narrow(data.cFileName), (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0});
  } while (FindNextFileW(handle, &data));
  FindClose(handle);
  return std::make_unique<ListedSearch>(std::move(entries));
}

bool Win32FileSystem::GetCurrentDirectory(std::string* path) {
  const DWORD size = GetCurrentDirectoryW(0, nullptr);
  if (size == 0) return Fail(GetLastError());
  std::wstring folder(size, L'\0');
  const DWORD length = GetCurrentDirectoryW(size, folder.data());
  if (length == 0 || length >= size) return Fail(GetLastError());
  folder.resize(length);
  *path = Narrow(folder);
  return true;
}

bool Win32FileSystem::SetCurrentDirectory(const std::string& path) {
  if (!SetCurrentDirectoryW(Wide(path).c_str())) return Fail(GetLastError());
  return true;
}

bool Win32FileSystem::CurrentDirectoryId(FileSnapshot* id) {
  return FileId(".", id);
}

bool Win32FileSystem::FileId(const std::string& name, FileSnapshot* id) {
  Handle file(OpenForInformation(Wide(name)));
  if (!file.ok()) return Fail(GetLastError());
  BY_HANDLE_FILE_INFORMATION info;
  if (!GetFileInformationByHandle(file.get(), &info)) return Fail(GetLastError());
  FillSnapshot(info, id);
  return true;
}

ReadStatus Win32FileSystem::ReadWholeFile(const std::string& name, std::string* bytes,
                                          FileSnapshot* snapshot) {
  bytes->clear();
  Handle file(CreateFileW(Wide(name).c_str(), GENERIC_READ, kShareAll, nullptr, OPEN_EXISTING,
                          FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.ok()) {
    Fail(GetLastError());
    return ReadStatus::CannotOpen;
  }
  BY_HANDLE_FILE_INFORMATION info;
  if (!GetFileInformationByHandle(file.get(), &info)) {
    Fail(GetLastError());
    return ReadStatus::CannotOpen;
  }
  if ((info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
    Fail(ERROR_ACCESS_DENIED);
    return ReadStatus::CannotOpen;
  }
  FillSnapshot(info, snapshot);
  if (info.nFileSizeHigh != 0) {
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
  size_t done = 0;
  while (done < bytes->size()) {
    DWORD got = 0;
    const DWORD want = static_cast<DWORD>(std::min<size_t>(bytes->size() - done, 1u << 30));
    if (!ReadFile(file.get(), bytes->data() + done, want, &got, nullptr) || got == 0) {
      Fail(got == 0 ? ERROR_HANDLE_EOF : GetLastError());
      bytes->clear();
      return ReadStatus::ReadError;
    }
    done += got;
  }
  return ReadStatus::Ok;
}

RewriteResult Win32FileSystem::RewriteFile(const std::string& name, const FileSnapshot& snapshot,
                                           const std::string& data) {
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
  if (error != ERROR_SUCCESS) {
    Fail(error);
    return Failure(RewriteStatus::CannotOpen, error);
  }
  BY_HANDLE_FILE_INFORMATION info;
  if (!GetFileInformationByHandle(file.get(), &info)) {
    Fail(GetLastError());
    return Failure(RewriteStatus::CannotOpen, GetLastError());
  }
  if (!Matches(info, snapshot)) return {RewriteStatus::Changed, 0};

  RewriteResult result;
  if (info.nNumberOfLinks > 1) {
    result = RewriteInPlace(file.get(), snapshot.size, data);
  } else {
    file.Close();
    result = ReplaceThroughTemporary(target, data);
  }
  if (result.error != 0) Fail(static_cast<DWORD>(result.error));
  return result;
}

bool Win32FileSystem::CopyFile(const std::string& from, const std::string& to) {
  if (!CopyFileW(Wide(from).c_str(), Wide(to).c_str(), FALSE)) return Fail(GetLastError());
  return true;
}

bool Win32FileSystem::GetFileTimes(const std::string& name, FileTimes* times) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!GetFileAttributesExW(Wide(name).c_str(), GetFileExInfoStandard, &data)) {
    return Fail(GetLastError());
  }
  SplitTicks(data.ftLastWriteTime, &times->mtime_sec, &times->mtime_nsec);
  SplitTicks(data.ftCreationTime, &times->creation_sec, &times->creation_nsec);
  times->has_creation_time = true;
  return true;
}

TimesStatus Win32FileSystem::SetFileTimes(const std::string& name, const FileTimes& times) {
  Handle file(CreateFileW(Wide(name).c_str(), FILE_WRITE_ATTRIBUTES, kShareAll, nullptr,
                          OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  if (!file.ok()) {
    Fail(GetLastError());
    return TimesStatus::CannotOpen;
  }
  const FILETIME written = FromTicks(JoinTicks(times.mtime_sec, times.mtime_nsec));
  const FILETIME created = FromTicks(JoinTicks(times.creation_sec, times.creation_nsec));
  if (!SetFileTime(file.get(), times.has_creation_time ? &created : nullptr, nullptr, &written)) {
    Fail(GetLastError());
    return TimesStatus::CannotSet;
  }
  return TimesStatus::Ok;
}

std::u16string Win32FileSystem::SystemErrorText(UiLanguage lang, int code) {
  return Win32SystemErrorText(lang, static_cast<unsigned long>(code));
}

std::u16string Win32SystemErrorText(UiLanguage lang, unsigned long code) {
  const DWORD language = lang == UiLanguage::Japanese ? 0x0400 : 0x0409;
  wchar_t* buffer = nullptr;
  const DWORD length = FormatMessageW(
      FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS | FORMAT_MESSAGE_ALLOCATE_BUFFER,
      nullptr, code, language, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
  if (length == 0 || buffer == nullptr) return u"FormatMessage() error";
  std::u16string text(AsUtf16(std::wstring_view(buffer, length)));
  LocalFree(buffer);
  for (char16_t& unit : text) {
    if (unit >= 1 && unit <= 31) unit = u' ';
  }
  return text;
}

}  // namespace sorrel::platform
