// The system's facts, through uname, os-release, ICU, the environment and
// the C library's clock.
#include "platform/system_facts.h"

#include <sys/utsname.h>
#include <unicode/uloc.h>

#include <algorithm>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <iterator>

#include "base/utf.h"
#include "platform/posix/os_release.h"

namespace sorrel::platform {
namespace {

std::string FileText(const char* path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

void AddKernelFacts(SystemFacts* facts) {
  utsname names{};
  if (uname(&names) != 0) return;
  facts->system_name = Utf8ToUtf16(names.sysname);
  facts->kernel_release = Utf8ToUtf16(names.release);
  facts->kernel_version = Utf8ToUtf16(names.version);
  facts->machine = Utf8ToUtf16(names.machine);
}

void AddDistribution(SystemFacts* facts) {
  // The second file is where the format puts the vendor's copy.
  std::string content = FileText("/etc/os-release");
  if (content.empty()) content = FileText("/usr/lib/os-release");
  facts->distribution = Utf8ToUtf16(OsReleaseName(content));
}

void AddLocaleCountry(SystemFacts* facts) {
  UChar name[520] = {};
  UErrorCode status = U_ZERO_ERROR;
  const int32_t length = uloc_getDisplayCountry(uloc_getDefault(), "en", name, 520, &status);
  if (U_FAILURE(status) || length <= 0) return;
  facts->locale_country.assign(reinterpret_cast<const char16_t*>(name),
                               static_cast<size_t>(std::min(length, int32_t{519})));
}

// An SSH session: SSH_CONNECTION, SSH_CLIENT or SSH_TTY is set.
bool IsRemoteSession() {
  for (const char* name : {"SSH_CONNECTION", "SSH_CLIENT", "SSH_TTY"}) {
    const char* value = std::getenv(name);
    if (value != nullptr && *value != '\0') return true;
  }
  return false;
}

void AddClock(SystemFacts* facts) {
  // The C library keeps the standard offset, in seconds west of UTC, apart
  // from daylight saving.
  tzset();
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  if (localtime_r(&now, &local) == nullptr) return;
  facts->time = {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_wday,
                 local.tm_hour,        local.tm_min,     local.tm_sec};
  facts->standard_bias = static_cast<int>(timezone / 60);
}

}  // namespace

SystemFacts ReadSystemFacts() {
  SystemFacts facts;
  AddKernelFacts(&facts);
  AddDistribution(&facts);
  AddLocaleCountry(&facts);
  facts.remote_session = IsRemoteSession();
  AddClock(&facts);
  return facts;
}

}  // namespace sorrel::platform
