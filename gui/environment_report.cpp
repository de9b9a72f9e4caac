// The report's layout.
#include "gui/environment_report.h"

#include <cstdlib>
#include <optional>
#include <utility>

#include "base/text_format.h"
#include "base/utf.h"

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

std::u16string Hex(uint32_t n, int places) {
  std::u16string digits;
  do {
    digits.insert(digits.begin(), u"0123456789abcdef"[n % 16]);
    n /= 16;
  } while (n != 0);
  if (digits.size() < static_cast<size_t>(places)) digits.insert(0, places - digits.size(), u'0');
  return u"0x" + digits;
}

std::u16string Unsigned(uint32_t n) {
  return FormatText(u"%d", {int64_t{n}});
}

std::u16string LinuxSection(const platform::SystemFacts& facts) {
  std::u16string text = u"[" + facts.system_name + u"]";
  text += u"\r\n Platform Id\t: " + facts.distribution;
  text += u"\r\n OS Version  \t: " + facts.kernel_release + u" " + facts.kernel_version;
  text += u"\r\n Architecture\t: " + ProcessorTag(Utf16ToUtf8(facts.machine));
  return text;
}

std::u16string WindowsSection(const platform::SystemFacts& facts) {
  const platform::WindowsFacts& w = *facts.windows;
  constexpr const char16_t* kPlatforms[] = {u"(Win32s)", u"(Win9x)", u"(NT)"};
  std::u16string text = u"[Windows]\r\n Platform Id\t: " + Unsigned(w.platform_id) + u" ";
  if (w.platform_id < 3) text += kPlatforms[w.platform_id];
  text += u"\r\n OS Version  \t: " + Unsigned(w.major) + u"." + Unsigned(w.minor) + u"." +
          Unsigned(w.build) + u" " + w.service_pack;
  text += u"\r\n ServicePack\t: " + Unsigned(w.service_pack_major) + u"." +
          Unsigned(w.service_pack_minor) + u" ";
  text += u"\r\n Architecture\t: " + ProcessorTag(Utf16ToUtf8(facts.machine));
  constexpr const char16_t* kProducts[] = {u"1 (Workstation)", u"2 (Domain Controller)",
                                           u"3 (Server)"};
  text += u"\r\n ProductType\t: ";
  text += w.product_type >= 1 && w.product_type <= 3 ? std::u16string(kProducts[w.product_type - 1])
                                                     : Unsigned(w.product_type);
  if (w.major >= 6) text += u"\r\n ProductInfo.\t: " + Hex(w.product_info, 8);
  text += u"\r\n SuiteMask\t: " + Hex(w.suite_mask, 4);
  text += u"\r\n SafeMode\t: ";
  text += w.boot_mode == 1   ? u"Fail-safe boot"
          : w.boot_mode == 2 ? u"Fail-safe with network boot"
                             : u"Off";
  return text;
}

// The account-control policy, which Windows 6.0 and later have.
std::u16string AccountControlSection(const platform::WindowsFacts& w) {
  if (w.major < 6) return {};
  std::u16string text = u"\r\n[User Account Control]\r\n ";
  if (!w.policy_read) return text;
  const std::pair<const char16_t*, const std::optional<uint32_t>*> parts[] = {
      {u"EnableLUA=", &w.enable_lua},
      {u", PromptOnSecureDesktop=", &w.prompt_on_secure_desktop},
      {u", ConsentPromptBehaviorAdmin=", &w.consent_prompt_admin},
      {u", ConsentPromptBehaviorUser=", &w.consent_prompt_user}};
  for (const auto& [label, value] : parts) {
    text += label;
    if (*value) text += Unsigned(**value);
  }
  return text;
}

std::u16string SystemSection(const platform::SystemFacts& facts) {
  std::u16string text = facts.windows ? WindowsSection(facts) : LinuxSection(facts);
  text += u"\r\n Locale Info\t: " + facts.locale_country;
  text += u"\r\n Remote Session \t: ";
  text += facts.remote_session ? u"On" : u"Off";
  if (facts.windows) text += AccountControlSection(*facts.windows);
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
  report += SystemSection(facts.system);
  report += ScreenSection(facts);
  report += u"\r\n[Other]\r\n Date/Time \t: " + FormatLocalTime(facts.system.time) +
            FormatTimeZone(facts.system.standard_bias);
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
