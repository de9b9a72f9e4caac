// The system-facts seam: what the About box's environment report tells
// about the running system, the user's locale and the clock, as the
// platform's own queries give it.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace sorrel::platform {

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

// Windows as its version and policy queries describe it.
struct WindowsFacts {
  uint32_t platform_id = 0;  // 2 for the NT family
  uint32_t major = 0;
  uint32_t minor = 0;
  uint32_t build = 0;           // its low 16 bits
  std::u16string service_pack;  // the service pack's text; may be empty
  uint32_t service_pack_major = 0;
  uint32_t service_pack_minor = 0;
  uint32_t product_type = 0;  // 1 workstation, 2 domain controller, 3 server
  uint32_t product_info = 0;  // the product's type number; 0 when unknown
  uint32_t suite_mask = 0;
  int boot_mode = 0;  // 0 normal, 1 fail-safe, 2 fail-safe with network
  // The account-control policy: whether its key could be read, and each of
  // its four numbers that is there.
  bool policy_read = false;
  std::optional<uint32_t> enable_lua;
  std::optional<uint32_t> prompt_on_secure_desktop;
  std::optional<uint32_t> consent_prompt_admin;
  std::optional<uint32_t> consent_prompt_user;
};

struct SystemFacts {
  std::u16string system_name;  // "Linux", "Windows"
  // On POSIX: the distribution's display name (may be empty) and the
  // kernel's release and build texts.
  std::u16string distribution;
  std::u16string kernel_release;
  std::u16string kernel_version;
  // On Windows: its version and policy.
  std::optional<WindowsFacts> windows;
  std::u16string machine;         // the processor as the system names it, "x86_64"
  std::u16string locale_country;  // the user's country in English; may be empty
  bool remote_session = false;    // an SSH session, a remote desktop
  LocalTime time;
  // Minutes to add to the local standard time to get UTC (540 west of UTC
  // by nine hours, -540 east); daylight saving is not counted.
  int standard_bias = 0;
};

// The facts of the running system now; a fact that cannot be found stays
// empty.
SystemFacts ReadSystemFacts();

}  // namespace sorrel::platform
