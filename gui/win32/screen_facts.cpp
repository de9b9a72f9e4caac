// The screen facts of the environment report on Win32: the primary screen,
// the work area, the virtual screen and every monitor.
#include "gui/win32/screen_facts.h"

namespace sorrel::win32 {
namespace {

ScreenRect Rect(const RECT& r) {
  return {r.left, r.top, r.right, r.bottom};
}

BOOL CALLBACK AddMonitor(HMONITOR monitor, HDC, RECT*, LPARAM data) {
  MONITORINFO info{};
  info.cbSize = sizeof info;
  // A monitor whose information cannot be read is skipped.
  if (GetMonitorInfoW(monitor, &info)) {
    reinterpret_cast<EnvironmentFacts*>(data)->monitors.push_back(
        {Rect(info.rcMonitor), Rect(info.rcWork), (info.dwFlags & MONITORINFOF_PRIMARY) != 0});
  }
  return TRUE;
}

}  // namespace

void AddScreenFacts(EnvironmentFacts* facts) {
  facts->screen_width = GetSystemMetrics(SM_CXSCREEN);
  facts->screen_height = GetSystemMetrics(SM_CYSCREEN);
  if (HDC screen = GetDC(nullptr)) {
    facts->screen_depth = GetDeviceCaps(screen, BITSPIXEL);
    ReleaseDC(nullptr, screen);
  }
  RECT work{};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  facts->work_area = Rect(work);
  const int left = GetSystemMetrics(SM_XVIRTUALSCREEN);
  const int top = GetSystemMetrics(SM_YVIRTUALSCREEN);
  facts->virtual_screen = {left, top, left + GetSystemMetrics(SM_CXVIRTUALSCREEN),
                           top + GetSystemMetrics(SM_CYVIRTUALSCREEN)};
  facts->monitor_count = GetSystemMetrics(SM_CMONITORS);
  EnumDisplayMonitors(nullptr, nullptr, AddMonitor, reinterpret_cast<LPARAM>(facts));
}

}  // namespace sorrel::win32
