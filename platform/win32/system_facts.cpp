// The system's facts on Windows: RtlGetVersion (GetVersionExW where ntdll
// lacks it), GetProductInfo, the account-control policy, the boot mode, the
// user's country, a remote session and the clock.
#include "platform/system_facts.h"

#include "platform/win32/windows_api.h"

#include <string>

#include "platform/win32/wide.h"

namespace sorrel::platform {
namespace {

using RtlGetVersionFunction = LONG(WINAPI*)(OSVERSIONINFOEXW*);
using GetProductInfoFunction = BOOL(WINAPI*)(DWORD, DWORD, DWORD, DWORD, DWORD*);

template <typename Function>
Function Find(HMODULE module, const char* name) {
  if (module == nullptr) return nullptr;
  return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

// A library of the system folder, never one of the current folder.
HMODULE LoadSystemLibrary(const wchar_t* name) {
  wchar_t folder[MAX_PATH] = {};
  const UINT length = GetSystemDirectoryW(folder, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return nullptr;
  return LoadLibraryW((std::wstring(folder) + L"\\" + name).c_str());
}

OSVERSIONINFOEXW WindowsVersion() {
  OSVERSIONINFOEXW version{};
  version.dwOSVersionInfoSize = sizeof version;  // 284
  HMODULE ntdll = LoadSystemLibrary(L"ntdll.dll");
  if (auto get = Find<RtlGetVersionFunction>(ntdll, "RtlGetVersion")) {
    get(&version);
  } else {
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    GetVersionExW(reinterpret_cast<OSVERSIONINFOW*>(&version));
#pragma GCC diagnostic pop
  }
  if (ntdll != nullptr) FreeLibrary(ntdll);
  if (version.dwPlatformId != VER_PLATFORM_WIN32_NT && HIWORD(version.dwBuildNumber) != 0) {
    version.dwMajorVersion = HIBYTE(HIWORD(version.dwBuildNumber));
    version.dwMinorVersion = LOBYTE(HIWORD(version.dwBuildNumber));
  }
  version.dwBuildNumber = LOWORD(version.dwBuildNumber);
  return version;
}

void AddAccountControl(WindowsFacts* facts) {
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE,
                    L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Policies\\System", 0,
                    KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) {
    return;
  }
  facts->policy_read = true;
  const std::pair<const wchar_t*, std::optional<uint32_t>*> values[] = {
      {L"EnableLUA", &facts->enable_lua},
      {L"PromptOnSecureDesktop", &facts->prompt_on_secure_desktop},
      {L"ConsentPromptBehaviorAdmin", &facts->consent_prompt_admin},
      {L"ConsentPromptBehaviorUser", &facts->consent_prompt_user}};
  for (const auto& [name, value] : values) {
    DWORD number = 0;
    DWORD size = sizeof number;
    if (RegQueryValueExW(key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(&number), &size) ==
            ERROR_SUCCESS &&
        size == 4) {
      *value = number;
    }
  }
  RegCloseKey(key);
}

WindowsFacts ReadWindowsFacts() {
  const OSVERSIONINFOEXW v = WindowsVersion();
  WindowsFacts facts;
  facts.platform_id = v.dwPlatformId;
  facts.major = v.dwMajorVersion;
  facts.minor = v.dwMinorVersion;
  facts.build = v.dwBuildNumber;
  facts.service_pack = AsUtf16(v.szCSDVersion);
  facts.service_pack_major = v.wServicePackMajor;
  facts.service_pack_minor = v.wServicePackMinor;
  facts.product_type = v.wProductType;
  facts.suite_mask = v.wSuiteMask;
  facts.boot_mode = GetSystemMetrics(SM_CLEANBOOT);
  if (v.dwMajorVersion >= 6) {
    auto get = Find<GetProductInfoFunction>(GetModuleHandleW(L"kernel32.dll"), "GetProductInfo");
    DWORD type = 0;
    if (get != nullptr) {
      get(v.dwMajorVersion, v.dwMinorVersion, v.wServicePackMajor, v.wServicePackMinor, &type);
    }
    facts.product_info = type;
    AddAccountControl(&facts);
  }
  return facts;
}

}  // namespace

SystemFacts ReadSystemFacts() {
  SystemFacts facts;
  facts.system_name = u"Windows";
  facts.windows = ReadWindowsFacts();
  facts.machine = u"x86_64";  // the programs are built for x64 only
  wchar_t country[520] = {};
  const int length = GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SENGCOUNTRY, country, 520);
  if (length > 1) facts.locale_country = AsUtf16(std::wstring_view(country, length - 1));
  facts.remote_session = GetSystemMetrics(SM_REMOTESESSION) != 0;
  SYSTEMTIME now{};
  GetLocalTime(&now);
  facts.time = {now.wYear, now.wMonth,  now.wDay,   now.wDayOfWeek,
                now.wHour, now.wMinute, now.wSecond};
  TIME_ZONE_INFORMATION zone{};
  GetTimeZoneInformation(&zone);
  facts.standard_bias = static_cast<int>(zone.Bias + zone.StandardBias);
  return facts;
}

}  // namespace sorrel::platform
