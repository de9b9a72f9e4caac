// Named mutexes for the settings stores, and the event of the hand-on.
#include "platform/win32/settings_lock.h"

#include "platform/win32/windows_api.h"

#include <cstdio>

#include "base/digest64.h"
#include "base/utf.h"
#include "platform/win32/wide.h"

namespace sorrel::platform {
namespace {

std::wstring Hex(uint64_t key) {
  wchar_t text[17];
  std::swprintf(text, 17, L"%016llx", static_cast<unsigned long long>(key));
  return text;
}

class MutexLock : public SettingsLock {
 public:
  MutexLock(HANDLE mutex, uint64_t key) : mutex_(mutex), key_(key) {}
  ~MutexLock() override {
    ReleaseMutex(mutex_);
    CloseHandle(mutex_);
  }
  MutexLock(const MutexLock&) = delete;
  MutexLock& operator=(const MutexLock&) = delete;
  intptr_t Handle() const override { return static_cast<intptr_t>(key_); }

 private:
  HANDLE mutex_;
  uint64_t key_;
};

std::wstring FullPath(const std::wstring& name) {
  const DWORD size = GetFullPathNameW(name.c_str(), 0, nullptr, nullptr);
  std::wstring path(size, L'\0');
  const DWORD length = size == 0 ? 0 : GetFullPathNameW(name.c_str(), size, path.data(), nullptr);
  if (length == 0 || length >= size) return name;
  path.resize(length);
  return path;
}

// The folder as the system finally names it (links, short names, case).
std::wstring FinalFolder(const std::wstring& folder) {
  HANDLE handle = CreateFileW(folder.c_str(), FILE_READ_ATTRIBUTES,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return folder;
  std::wstring path(MAX_PATH, L'\0');
  DWORD length = GetFinalPathNameByHandleW(handle, path.data(), static_cast<DWORD>(path.size()), 0);
  if (length >= path.size()) {
    path.resize(length + 1);
    length = GetFinalPathNameByHandleW(handle, path.data(), static_cast<DWORD>(path.size()), 0);
  }
  CloseHandle(handle);
  if (length == 0 || length >= path.size()) return folder;
  path.resize(length);
  return path;
}

}  // namespace

uint64_t SettingsLockKey(std::u16string_view identity) {
  std::wstring folded(AsWide(identity));
  CharUpperBuffW(folded.data(), static_cast<DWORD>(folded.size()));
  return Digest64(Utf16ToBytes(AsUtf16(folded)));
}

std::u16string SettingsFileIdentity(const std::string& path) {
  const std::wstring full = FullPath(Wide(path));
  const size_t slash = full.find_last_of(L"\\/");
  if (slash == std::wstring::npos) return std::u16string(AsUtf16(full));
  const std::wstring folder = FinalFolder(full.substr(0, slash + 1));
  std::wstring identity = folder;
  if (!identity.empty() && identity.back() != L'\\') identity.push_back(L'\\');
  identity += full.substr(slash + 1);
  return std::u16string(AsUtf16(identity));
}

std::unique_ptr<SettingsLock> TakeSettingsLock(uint64_t key, int* error) {
  const std::wstring name = L"Local\\sorrel-settings-" + Hex(key);
  HANDLE mutex = CreateMutexW(nullptr, FALSE, name.c_str());
  if (mutex == nullptr) {
    *error = static_cast<int>(GetLastError());
    return nullptr;
  }
  const DWORD waited = WaitForSingleObject(mutex, INFINITE);
  if (waited != WAIT_OBJECT_0 && waited != WAIT_ABANDONED) {
    *error = static_cast<int>(GetLastError());
    CloseHandle(mutex);
    return nullptr;
  }
  return std::make_unique<MutexLock>(mutex, key);
}

std::wstring HandOnEventName(unsigned long process_id, uint64_t key) {
  return L"Local\\sorrel-loaded-" + std::to_wstring(process_id) + L"-" + Hex(key);
}

void SignalHandOn(uint64_t key) {
  HANDLE event =
      OpenEventW(EVENT_MODIFY_STATE, FALSE, HandOnEventName(GetCurrentProcessId(), key).c_str());
  if (event == nullptr) return;
  SetEvent(event);
  CloseHandle(event);
}

}  // namespace sorrel::platform
