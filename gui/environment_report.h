// The environment report of the About box: plain text a user attaches to a
// question to the maker, assembled from facts about the system and the clock
// (the platform gathers them) and about the screens (the view gathers them).
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/system_facts.h"

namespace sorrel {

// A rectangle as left, top, right, bottom, right and bottom exclusive.
struct ScreenRect {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;
};

struct MonitorFacts {
  ScreenRect monitor;
  ScreenRect work_area;
  bool primary = false;
};

using platform::LocalTime;

struct EnvironmentFacts {
  // The system, the locale and the clock (the platform gathers them).
  platform::SystemFacts system;
  // The primary screen (the view gathers the screens).
  int screen_width = 0;
  int screen_height = 0;
  int screen_depth = 0;  // bits per pixel
  ScreenRect work_area;
  ScreenRect virtual_screen;
  int monitor_count = 0;
  std::vector<MonitorFacts> monitors;  // in the system's order
};

// The whole report, lines separated by CR LF. The layout:
//   RavelinLite ver.1.01.02 [Feb 11 2021]
//   [Linux] Platform Id, OS Version, Architecture, Locale Info, Remote Session
//   or [Windows] with its version, product and safe-mode lines, then
//   [User Account Control]
//   [Screen] the primary screen, the virtual screen, one line per monitor
//   [Other] Date/Time with the time zone
std::u16string BuildEnvironmentReport(const EnvironmentFacts& facts);

// "Mon, Apr 19, 2021 13:05:09": weekday, month, day, year and the hour
// padded with a blank to two places.
std::u16string FormatLocalTime(const LocalTime& time);

// "(UTC+09:00)" for a bias of -540, "(UTC-05:00)" for 300; UTC itself reads
// "(UTC-00:00)".
std::u16string FormatTimeZone(int standard_bias);

// The report's tag for a processor as the kernel names it: "x64" for
// x86_64, "x86" for the 32-bit ones, "ARM64" for aarch64, any other name as
// it is.
std::u16string ProcessorTag(std::string_view machine);

// The kernel's name for the processor this program was built for.
std::string_view ProgramMachine();

}  // namespace sorrel
