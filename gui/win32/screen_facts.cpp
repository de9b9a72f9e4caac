// The environment report's facts on Windows: the version from RtlGetVersion
// (GetVersionExW where ntdll lacks it), GetProductInfo, the account-control
// policy, the screens and the clock.
#include <string>

#include "gui/environment_report.h"
#include "gui/win32/about_box.h"
#include "platform/win32/wide.h"

namespace sorrel::win32 {
namespace {

using RtlGetVersionFunction = LONG(WINAPI*)(OSVERSIONINFOEXW*);
using GetProductInfoFunction = BOOL(WINAPI*)(DWORD, DWORD, DWORD, DWORD, DWORD*);

std::u16string U(uint64_t n) {
  const std::string digits = std::to_string(n);
  return std::u16string(digits.begin(), digits.end());
}

// "0x" and n in lower-case hexadecimal, padded with zeros to width places.
std::u16string Hex(uint64_t n, size_t width) {
  std::u16string digits;
  do {
    digits.insert(digits.begin(), u"0123456789abcdef"[n % 16]);
    n /= 16;
  } while (n != 0);
  if (digits.size() < width) digits.insert(0, width - digits.size(), u'0');
  return u"0x" + digits;
}

// A library of the system folder, never of the current one.
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
  auto get = ntdll != nullptr ? reinterpret_cast<RtlGetVersionFunction>(
                                    reinterpret_cast<void*>(GetProcAddress(ntdll, "RtlGetVersion")))
                              : nullptr;
  if (get != nullptr) {
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

DWORD ProductInfo(const OSVERSIONINFOEXW& v) {
  HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
  auto get = kernel != nullptr ? reinterpret_cast<GetProductInfoFunction>(reinterpret_cast<void*>(
                                     GetProcAddress(kernel, "GetProductInfo")))
                               : nullptr;
  DWORD type = 0;
  if (get != nullptr) {
    get(v.dwMajorVersion, v.dwMinorVersion, v.wServicePackMajor, v.wServicePackMinor, &type);
  }
  return type;
}

std::u16string AccountControl() {
  std::u16string text = u"\r\n[User Account Control]\r\n ";
  HKEY key = nullptr;
  const bool open = RegOpenKeyExW(HKEY_LOCAL_MACHINE,
                                  L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Policies\\System",
                                  0, KEY_QUERY_VALUE, &key) == ERROR_SUCCESS;
  if (!open) return text;
  const std::pair<const char16_t*, const wchar_t*> parts[] = {
      {u"EnableLUA=", L"EnableLUA"},
      {u", PromptOnSecureDesktop=", L"PromptOnSecureDesktop"},
      {u", ConsentPromptBehaviorAdmin=", L"ConsentPromptBehaviorAdmin"},
      {u", ConsentPromptBehaviorUser=", L"ConsentPromptBehaviorUser"}};
  for (const auto& [label, name] : parts) {
    text += label;
    DWORD value = 0;
    DWORD size = sizeof value;
    DWORD type = 0;
    if (RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size) ==
            ERROR_SUCCESS &&
        size == 4) {
      text += U(value);
    }
  }
  RegCloseKey(key);
  return text;
}

std::u16string SystemSection() {
  const OSVERSIONINFOEXW v = WindowsVersion();
  std::u16string text = u"[Windows]\r\n Platform Id\t: ";
  text += U(v.dwPlatformId) + u" ";
  if (v.dwPlatformId == 0) text += u"(Win32s)";
  if (v.dwPlatformId == 1) text += u"(Win9x)";
  if (v.dwPlatformId == 2) text += u"(NT)";
  text += u"\r\n OS Version  \t: " + U(v.dwMajorVersion) + u"." + U(v.dwMinorVersion) + u"." +
          U(v.dwBuildNumber) + u" " + std::u16string(platform::AsUtf16(v.szCSDVersion));
  text += u"\r\n ServicePack\t: " + U(v.wServicePackMajor) + u"." + U(v.wServicePackMinor) + u" ";
  text += u"\r\n Architecture\t: x64";
  text += u"\r\n ProductType\t: ";
  switch (v.wProductType) {
    case 1:
      text += u"1 (Workstation)";
      break;
    case 2:
      text += u"2 (Domain Controller)";
      break;
    case 3:
      text += u"3 (Server)";
      break;
    default:
      text += U(v.wProductType);
  }
  if (v.dwMajorVersion >= 6) text += u"\r\n ProductInfo.\t: " + Hex(ProductInfo(v), 8);
  text += u"\r\n SuiteMask\t: " + Hex(v.wSuiteMask, 4);
  text += u"\r\n SafeMode\t: ";
  switch (GetSystemMetrics(SM_CLEANBOOT)) {
    case 1:
      text += u"Fail-safe boot";
      break;
    case 2:
      text += u"Fail-safe with network boot";
      break;
    default:
      text += u"Off";
  }
  text += u"\r\n Locale Info\t: ";
  wchar_t country[520] = {};
  if (GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SENGCOUNTRY, country, 520) > 0) {
    text += platform::AsUtf16(country);
  }
  text += u"\r\n Remote Session \t: ";
  text += GetSystemMetrics(SM_REMOTESESSION) != 0 ? u"On" : u"Off";
  if (v.dwMajorVersion >= 6) text += AccountControl();
  return text;
}

ScreenRect Rect(const RECT& r) {
  return {r.left, r.top, r.right, r.bottom};
}

BOOL CALLBACK AddMonitor(HMONITOR monitor, HDC, RECT*, LPARAM data) {
  MONITORINFO info{};
  info.cbSize = sizeof info;
  if (GetMonitorInfoW(monitor, &info)) {
    reinterpret_cast<EnvironmentFacts*>(data)->monitors.push_back(
        {Rect(info.rcMonitor), Rect(info.rcWork), (info.dwFlags & MONITORINFOF_PRIMARY) != 0});
  }
  return TRUE;
}

}  // namespace

std::u16string BuildWin32EnvironmentReport() {
  EnvironmentFacts facts;
  facts.system_section = SystemSection();
  facts.screen_width = GetSystemMetrics(SM_CXSCREEN);
  facts.screen_height = GetSystemMetrics(SM_CYSCREEN);
  if (HDC screen = GetDC(nullptr)) {
    facts.screen_depth = GetDeviceCaps(screen, BITSPIXEL);
    ReleaseDC(nullptr, screen);
  }
  RECT work{};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  facts.work_area = Rect(work);
  const int left = GetSystemMetrics(SM_XVIRTUALSCREEN);
  const int top = GetSystemMetrics(SM_YVIRTUALSCREEN);
  facts.virtual_screen = {left, top, left + GetSystemMetrics(SM_CXVIRTUALSCREEN),
                          top + GetSystemMetrics(SM_CYVIRTUALSCREEN)};
  facts.monitor_count = GetSystemMetrics(SM_CMONITORS);
  EnumDisplayMonitors(nullptr, nullptr, AddMonitor, reinterpret_cast<LPARAM>(&facts));
  SYSTEMTIME now{};
  GetLocalTime(&now);
  facts.time = {now.wYear, now.wMonth,  now.wDay,   now.wDayOfWeek,
                now.wHour, now.wMinute, now.wSecond};
  TIME_ZONE_INFORMATION zone{};
  GetTimeZoneInformation(&zone);
  facts.standard_bias = static_cast<int>(zone.Bias + zone.StandardBias);
  return BuildEnvironmentReport(facts);
}

}  // namespace sorrel::win32
