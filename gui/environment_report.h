// The environment report of the About box: plain text a user attaches to a
// question to the maker, assembled from facts about the system, its screens
// and the clock that the view gathers.
#pragma once

#include <string>
#include <string_view>
#include <vector>

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

// Local time broken down; weekday 0 is Sunday, month 1 is January.
struct LocalTime {
  int year = 0;
  int month = 1;
  int day = 1;
  int weekday = 0;
  int hour = 0;
  int minute = 0;
  int second = 0;
};

struct EnvironmentFacts {
  // When set, the whole system section as the platform words it (Windows:
  // "[Windows]" with its version, product and account-control lines) in
  // place of the five lines below.
  std::u16string system_section;
  std::u16string system_name;     // the kernel's name, "Linux"
  std::u16string distribution;    // the distribution's display name; may be empty
  std::u16string kernel_release;  // "6.1.0-18-amd64"
  std::u16string kernel_version;  // the kernel's build text
  std::u16string architecture;    // a processor tag, "x64"
  std::u16string locale_country;  // the user's country in English; may be empty
  bool remote_session = false;
  // The primary screen.
  int screen_width = 0;
  int screen_height = 0;
  int screen_depth = 0;  // bits per pixel
  ScreenRect work_area;
  ScreenRect virtual_screen;
  int monitor_count = 0;
  std::vector<MonitorFacts> monitors;  // in the system's order
  LocalTime time;
  // Minutes to add to the local standard time to get UTC (540 west of UTC
  // by nine hours, -540 east); daylight saving is not counted.
  int standard_bias = 0;
};

// The whole report, lines separated by CR LF. The layout:
//   RavelinLite ver.1.01.02 [Feb 11 2021]
//   [Linux] Platform Id, OS Version, Architecture, Locale Info, Remote Session
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
