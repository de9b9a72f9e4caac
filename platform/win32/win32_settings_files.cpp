// Settings files and the registry on Windows.
#include "platform/win32/win32_settings_files.h"

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "platform/win32/error_text.h"
#include "platform/win32/settings_lock.h"
#include "platform/win32/wide.h"

namespace sorrel::platform {
namespace {

// A settings file is a few kilobytes; anything this large is not one.
constexpr uint64_t kMaxSettingsBytes = 64 << 20;

SettingsReadStatus ReadWhole(const std::string& path, std::string* bytes, int* error) {
  bytes->clear();
  HANDLE file = CreateFileW(Wide(path).c_str(), GENERIC_READ,
                            FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                            OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    const DWORD code = GetLastError();
    *error = static_cast<int>(code);
    return code == ERROR_FILE_NOT_FOUND || code == ERROR_PATH_NOT_FOUND
               ? SettingsReadStatus::Missing
               : SettingsReadStatus::Error;
  }
  SettingsReadStatus status = SettingsReadStatus::Ok;
  BY_HANDLE_FILE_INFORMATION info;
  if (GetFileType(file) != FILE_TYPE_DISK) {
    status = SettingsReadStatus::NotRegular;
  } else if (!GetFileInformationByHandle(file, &info)) {
    *error = static_cast<int>(GetLastError());
    status = SettingsReadStatus::Error;
  } else if ((info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
    status = SettingsReadStatus::NotRegular;
  } else if ((uint64_t{info.nFileSizeHigh} << 32 | info.nFileSizeLow) > kMaxSettingsBytes) {
    *error = ERROR_FILE_TOO_LARGE;
    status = SettingsReadStatus::Error;
  } else {
    bytes->resize(info.nFileSizeLow);
    DWORD got = 0;
    if (!bytes->empty() &&
        (!ReadFile(file, bytes->data(), static_cast<DWORD>(bytes->size()), &got, nullptr) ||
         got != bytes->size())) {
      *error = static_cast<int>(GetLastError());
      status = SettingsReadStatus::Error;
      bytes->clear();
    }
  }
  CloseHandle(file);
  return status;
}

DWORD WriteNew(const std::wstring& path, std::string_view data, DWORD disposition) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, disposition,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return GetLastError();
  DWORD written = 0;
  DWORD error = ERROR_SUCCESS;
  if ((!data.empty() &&
       (!WriteFile(file, data.data(), static_cast<DWORD>(data.size()), &written, nullptr) ||
        written != data.size())) ||
      !FlushFileBuffers(file)) {
    error = GetLastError();
    if (error == ERROR_SUCCESS) error = ERROR_WRITE_FAULT;
  }
  CloseHandle(file);
  if (error != ERROR_SUCCESS) DeleteFileW(path.c_str());
  return error;
}

std::wstring LocalTimeStamp() {
  SYSTEMTIME now{};
  GetLocalTime(&now);
  wchar_t text[32];
  std::swprintf(text, 32, L"%04u%02u%02uT%02u%02u%02u", now.wYear, now.wMonth, now.wDay, now.wHour,
                now.wMinute, now.wSecond);
  return text;
}

class LockedFile : public LockedSettingsFile {
 public:
  LockedFile(std::string path, std::unique_ptr<SettingsLock> lock)
      : path_(std::move(path)), lock_(std::move(lock)) {}

  SettingsReadStatus Read(std::string* bytes, int* error) override {
    return ReadWhole(path_, bytes, error);
  }

  // Written and flushed beside the file, then put in its place by
  // ReplaceFileW, which keeps the old file's attributes and access list (a
  // new file is moved there, written through).
  bool Replace(std::string_view data, int* error) override {
    const std::wstring path = Wide(path_);
    const std::wstring temporary = path + L".tmp-" + std::to_wstring(GetCurrentProcessId());
    DWORD code = WriteNew(temporary, data, CREATE_ALWAYS);
    if (code == ERROR_SUCCESS &&
        !ReplaceFileW(path.c_str(), temporary.c_str(), nullptr, 0, nullptr, nullptr)) {
      code = GetLastError();
      if (code == ERROR_FILE_NOT_FOUND &&
          MoveFileExW(temporary.c_str(), path.c_str(), MOVEFILE_WRITE_THROUGH)) {
        code = ERROR_SUCCESS;
      } else if (code == ERROR_FILE_NOT_FOUND) {
        code = GetLastError();
      }
    }
    if (code == ERROR_SUCCESS) return true;
    DeleteFileW(temporary.c_str());
    *error = static_cast<int>(code);
    return false;
  }

  bool SetAside(std::string* aside_path, int* error) override {
    const std::wstring path = Wide(path_);
    const std::wstring base = path + L".damaged-" + LocalTimeStamp();
    std::wstring candidate = base;
    for (int n = 2; GetFileAttributesW(candidate.c_str()) != INVALID_FILE_ATTRIBUTES; ++n) {
      if (n > 1000) {
        *error = ERROR_FILE_EXISTS;
        return false;
      }
      candidate = base + L"-" + std::to_wstring(n);
    }
    if (!MoveFileW(path.c_str(), candidate.c_str())) {
      *error = static_cast<int>(GetLastError());
      return false;
    }
    *aside_path = Narrow(candidate);
    return true;
  }

  intptr_t Handle() const override { return lock_->Handle(); }

 private:
  std::string path_;
  std::unique_ptr<SettingsLock> lock_;
};

std::u16string RegistryIdentity(std::u16string_view path) {
  return u"HKEY_CURRENT_USER\\" + std::u16string(path);
}

class Win32Registry : public SystemRegistry {
 public:
  explicit Win32Registry(HKEY root) : root_(root) {}

  SettingsReadStatus ReadKey(std::u16string_view path, std::vector<RegistryValue>* values,
                             int* error) override {
    values->clear();
    HKEY key = nullptr;
    const LONG opened =
        RegOpenKeyExW(root_, std::wstring(AsWide(path)).c_str(), 0, KEY_QUERY_VALUE, &key);
    if (opened == ERROR_FILE_NOT_FOUND) return SettingsReadStatus::Missing;
    if (opened != ERROR_SUCCESS) {
      *error = static_cast<int>(opened);
      return SettingsReadStatus::Error;
    }
    DWORD name_units = 0;
    DWORD data_bytes = 0;
    LONG result = RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                                   nullptr, &name_units, &data_bytes, nullptr, nullptr);
    for (DWORD index = 0; result == ERROR_SUCCESS; ++index) {
      std::wstring name(name_units + 1, L'\0');
      std::string data(data_bytes, '\0');
      DWORD name_length = static_cast<DWORD>(name.size());
      DWORD data_length = static_cast<DWORD>(data.size());
      DWORD type = 0;
      result = RegEnumValueW(key, index, name.data(), &name_length, nullptr, &type,
                             reinterpret_cast<BYTE*>(data.data()), &data_length);
      if (result == ERROR_SUCCESS) {
        name.resize(name_length);
        data.resize(data_length);
        values->push_back({std::u16string(AsUtf16(name)), type, std::move(data)});
      }
    }
    RegCloseKey(key);
    if (result != ERROR_NO_MORE_ITEMS) {
      *error = static_cast<int>(result);
      return SettingsReadStatus::Error;
    }
    return SettingsReadStatus::Ok;
  }

  bool WriteKey(std::u16string_view path, const std::vector<RegistryValue>& values,
                int* error) override {
    HKEY key = nullptr;
    LONG result = RegCreateKeyExW(root_, std::wstring(AsWide(path)).c_str(), 0, nullptr,
                                  REG_OPTION_NON_VOLATILE, KEY_SET_VALUE, nullptr, &key, nullptr);
    for (size_t i = 0; result == ERROR_SUCCESS && i < values.size(); ++i) {
      const RegistryValue& value = values[i];
      result = RegSetValueExW(key, std::wstring(AsWide(value.name)).c_str(), 0, value.type,
                              reinterpret_cast<const BYTE*>(value.data.data()),
                              static_cast<DWORD>(value.data.size()));
    }
    if (key != nullptr) {
      const LONG closed = RegCloseKey(key);
      if (result == ERROR_SUCCESS) result = closed;
    }
    if (result == ERROR_SUCCESS) return true;
    *error = static_cast<int>(result);
    return false;
  }

  std::unique_ptr<SettingsLock> Lock(std::u16string_view path, int* error) override {
    return TakeSettingsLock(SettingsLockKey(RegistryIdentity(path)), error);
  }

  void ReleaseHandedOnLock(std::u16string_view path) override {
    SignalHandOn(SettingsLockKey(RegistryIdentity(path)));
  }

 private:
  HKEY root_;
};

class Win32SettingsFiles : public SettingsFiles {
 public:
  explicit Win32SettingsFiles(HKEY root) : registry_(root) {}

  // Registry mode uses the registry itself.
  std::string ConfigFolder() override { return {}; }

  SettingsReadStatus ReadFile(const std::string& path, std::string* bytes, int* error) override {
    return ReadWhole(path, bytes, error);
  }

  bool CanRead(const std::string& path) override {
    HANDLE file = CreateFileW(Wide(path).c_str(), GENERIC_READ,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    CloseHandle(file);
    return true;
  }

  bool CreateNew(const std::string& path, std::string_view data) override {
    return WriteNew(Wide(path), data, CREATE_NEW) == ERROR_SUCCESS;
  }

  // The folder is never made here: only an INI file beside the programs
  // is a file on Windows.
  std::unique_ptr<LockedSettingsFile> Lock(const std::string& path, bool, int* error) override {
    std::unique_ptr<SettingsLock> lock =
        TakeSettingsLock(SettingsLockKey(SettingsFileIdentity(path)), error);
    if (lock == nullptr) return nullptr;
    return std::make_unique<LockedFile>(path, std::move(lock));
  }

  void ReleaseHandedOnLock(const std::string& path) override {
    SignalHandOn(SettingsLockKey(SettingsFileIdentity(path)));
  }

  SystemRegistry* Registry() override { return &registry_; }

  std::u16string ErrorText(UiLanguage lang, int error) override {
    return Win32ErrorText(lang, static_cast<unsigned long>(error));
  }

  bool DecodeAnsi(std::string_view bytes, std::u16string* text) override {
    text->clear();
    if (bytes.empty()) return true;
    const int size = static_cast<int>(bytes.size());
    const int units =
        MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, bytes.data(), size, nullptr, 0);
    if (units <= 0) return false;
    text->resize(static_cast<size_t>(units));
    return MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, bytes.data(), size,
                               reinterpret_cast<wchar_t*>(text->data()), units) == units;
  }

 private:
  Win32Registry registry_;
};

}  // namespace

std::unique_ptr<SettingsFiles> NewWin32SettingsFiles(HKEY root) {
  return std::make_unique<Win32SettingsFiles>(root);
}

std::unique_ptr<SettingsFiles> NewSettingsFiles() {
  return NewWin32SettingsFiles(HKEY_CURRENT_USER);
}

}  // namespace sorrel::platform
