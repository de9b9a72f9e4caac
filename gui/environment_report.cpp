// The report's layout.
#include "gui/environment_report.h"

#include <cstdlib>

#include "platform/text_format.h"
#include "platform/utf.h"

namespace sorrel {
namespace {

constexpr const char16_t* kWeekdays[] = {u"Sun", u"Mon", u"Tue", u"Wed", u"Thu", u"Fri", u"Sat"};
constexpr const char16_t* kMonths[] = {u"Jan", u"Feb", u"Mar", u"Apr", u"May", u"Jun",
                                       u"Jul", u"Aug", u"Sep", u"Oct", u"Nov", u"Dec"};

// The component line keeps the version and date of the report's own first
// release, which support staff recognise it by.
constexpr char16_t kComponentLine[] = u"RavelinLite ver.1.01.02 [Feb 11 2021]\r\n";

// n in decimal, padded on the left with pad to width places.
std::u16string Padded(int n, size_t width, char16_t pad) {
  std::u16string digits = FormatText(u"%d", {int64_t{n}});
  if (digits.size() < width) digits.insert(0, width - digits.size(), pad);
  return digits;
}

std::u16string Number(int n) {
  return FormatText(u"%d", {int64_t{n}});
}

// "(left,top)-(right,bottom)".
std::u16string Corners(const ScreenRect& r) {
  return u"(" + Number(r.left) + u"," + Number(r.top) + u")-(" + Number(r.right) + u"," +
         Number(r.bottom) + u")";
}

const char16_t* Name(const char16_t* const* names, int count, int index) {
  return index >= 0 && index < count ? names[index] : u"???";
}

std::u16string SystemSection(const EnvironmentFacts& facts) {
  if (!facts.system_section.empty()) return facts.system_section;
  std::u16string text = u"[" + facts.system_name + u"]";
  text += u"\r\n Platform Id\t: " + facts.distribution;
  text += u"\r\n OS Version  \t: " + facts.kernel_release + u" " + facts.kernel_version;
  text += u"\r\n Architecture\t: " + facts.architecture;
  text += u"\r\n Locale Info\t: " + facts.locale_country;
  text += u"\r\n Remote Session \t: ";
  text += facts.remote_session ? u"On" : u"Off";
  return text;
}

std::u16string ScreenSection(const EnvironmentFacts& facts) {
  std::u16string text = u"\r\n[Screen]\r\n ";
  text += Number(facts.screen_width) + u"x" + Number(facts.screen_height) + u" (" +
          Number(facts.screen_depth) + u"bpp) ";
  text += u"[Work Area " + Corners(facts.work_area) + u"]";
  text += u"\r\n Virtual Screen: " + Corners(facts.virtual_screen) + u" [Monitors:" +
          Number(facts.monitor_count) + u"]";
  for (const MonitorFacts& monitor : facts.monitors) {
    text += u"\r\n Monitor Info : " + Corners(monitor.monitor) + u" [Workarea " +
            Corners(monitor.work_area) + u"]";
    if (monitor.primary) text += u" *primary";
  }
  return text;
}

}  // namespace

std::u16string FormatLocalTime(const LocalTime& time) {
  return std::u16string(Name(kWeekdays, 7, time.weekday)) + u", " +
         Name(kMonths, 12, time.month - 1) + u" " + Number(time.day) + u", " + Number(time.year) +
         u" " + Padded(time.hour, 2, u' ') + u":" + Padded(time.minute, 2, u'0') + u":" +
         Padded(time.second, 2, u'0');
}

std::u16string FormatTimeZone(int standard_bias) {
  const char16_t* sign = standard_bias < 0 ? u"+" : u"-";
  const int minutes = std::abs(standard_bias);
  return u"(UTC" + std::u16string(sign) + Padded(minutes / 60, 2, u'0') + u":" +
         Padded(minutes % 60, 2, u'0') + u")";
}

std::u16string BuildEnvironmentReport(const EnvironmentFacts& facts) {
  std::u16string report = kComponentLine;
  report += SystemSection(facts);
  report += ScreenSection(facts);
  report += u"\r\n[Other]\r\n Date/Time \t: " + FormatLocalTime(facts.time) +
            FormatTimeZone(facts.standard_bias);
  return report;
}

std::u16string ProcessorTag(std::string_view machine) {
  if (machine == "x86_64" || machine == "amd64") return u"x64";
  if (machine == "i386" || machine == "i486" || machine == "i586" || machine == "i686") {
    return u"x86";
  }
  if (machine == "aarch64" || machine == "arm64") return u"ARM64";
  return Utf8ToUtf16(machine);
}

std::string_view ProgramMachine() {
#if defined(__x86_64__)
  return "x86_64";
#elif defined(__i386__)
  return "i686";
#elif defined(__aarch64__)
  return "aarch64";
#elif defined(__arm__)
  return "arm";
#else
  return "unknown";
#endif
}

}  // namespace sorrel
