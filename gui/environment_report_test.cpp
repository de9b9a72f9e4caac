#include "gui/environment_report.h"

#include <gtest/gtest.h>

namespace sorrel {
namespace {

EnvironmentFacts TwoMonitors() {
  EnvironmentFacts facts;
  facts.system.system_name = u"Linux";
  facts.system.distribution = u"Debian GNU/Linux 12 (bookworm)";
  facts.system.kernel_release = u"6.1.0-18-amd64";
  facts.system.kernel_version = u"#1 SMP PREEMPT_DYNAMIC Debian 6.1.76-1 (2024-02-01)";
  facts.system.machine = u"x86_64";
  facts.system.locale_country = u"Japan";
  facts.system.remote_session = true;
  facts.screen_width = 1920;
  facts.screen_height = 1080;
  facts.screen_depth = 24;
  facts.work_area = {0, 27, 1920, 1080};
  facts.virtual_screen = {-1280, 0, 1920, 1080};
  facts.monitor_count = 2;
  facts.monitors = {{{0, 0, 1920, 1080}, {0, 27, 1920, 1080}, true},
                    {{-1280, 0, 0, 1024}, {-1280, 0, 0, 1024}, false}};
  facts.system.time = {2021, 4, 19, 1, 9, 5, 3};
  facts.system.standard_bias = -540;
  return facts;
}

TEST(EnvironmentReportTest, WholeLayout) {
  EXPECT_EQ(BuildEnvironmentReport(TwoMonitors()),
            u"RavelinLite ver.1.01.02 [Feb 11 2021]\r\n"
            u"[Linux]\r\n"
            u" Platform Id\t: Debian GNU/Linux 12 (bookworm)\r\n"
            u" OS Version  \t: 6.1.0-18-amd64 #1 SMP PREEMPT_DYNAMIC Debian 6.1.76-1 "
            u"(2024-02-01)\r\n"
            u" Architecture\t: x64\r\n"
            u" Locale Info\t: Japan\r\n"
            u" Remote Session \t: On\r\n"
            u"[Screen]\r\n"
            u" 1920x1080 (24bpp) [Work Area (0,27)-(1920,1080)]\r\n"
            u" Virtual Screen: (-1280,0)-(1920,1080) [Monitors:2]\r\n"
            u" Monitor Info : (0,0)-(1920,1080) [Workarea (0,27)-(1920,1080)] *primary\r\n"
            u" Monitor Info : (-1280,0)-(0,1024) [Workarea (-1280,0)-(0,1024)]\r\n"
            u"[Other]\r\n"
            u" Date/Time \t: Mon, Apr 19, 2021  9:05:03(UTC+09:00)");
}

TEST(EnvironmentReportTest, WindowsSectionsAsItsQueriesGiveThem) {
  EnvironmentFacts facts = TwoMonitors();
  platform::WindowsFacts& windows = facts.system.windows.emplace();
  windows.platform_id = 2;
  windows.major = 10;
  windows.build = 19045;
  windows.product_type = 1;
  windows.product_info = 0x30;
  windows.suite_mask = 0x100;
  windows.policy_read = true;
  windows.enable_lua = 1;
  windows.prompt_on_secure_desktop = 1;
  windows.consent_prompt_admin = 5;
  facts.system.machine = u"x86_64";
  const std::u16string report = BuildEnvironmentReport(facts);
  EXPECT_NE(report.find(u"[Windows]\r\n"
                        u" Platform Id\t: 2 (NT)\r\n"
                        u" OS Version  \t: 10.0.19045 \r\n"
                        u" ServicePack\t: 0.0 \r\n"
                        u" Architecture\t: x64\r\n"
                        u" ProductType\t: 1 (Workstation)\r\n"
                        u" ProductInfo.\t: 0x00000030\r\n"
                        u" SuiteMask\t: 0x0100\r\n"
                        u" SafeMode\t: Off\r\n"
                        u" Locale Info\t: Japan\r\n"
                        u" Remote Session \t: On\r\n"
                        u"[User Account Control]\r\n"
                        u" EnableLUA=1, PromptOnSecureDesktop=1, ConsentPromptBehaviorAdmin=5, "
                        u"ConsentPromptBehaviorUser=\r\n[Screen]"),
            std::u16string::npos)
      << std::string(report.begin(), report.end());
  // Before Windows 6.0: no product number and no account control; an
  // unknown product type as its number; the policy's labels without it.
  windows = platform::WindowsFacts();
  windows.platform_id = 2;
  windows.major = 5;
  windows.minor = 1;
  windows.build = 2600;
  windows.service_pack = u"Service Pack 3";
  windows.service_pack_major = 3;
  windows.product_type = 7;
  windows.boot_mode = 2;
  const std::u16string old = BuildEnvironmentReport(facts);
  EXPECT_NE(old.find(u" OS Version  \t: 5.1.2600 Service Pack 3\r\n ServicePack\t: 3.0 \r\n"),
            std::u16string::npos);
  EXPECT_NE(old.find(u" ProductType\t: 7\r\n SuiteMask\t: 0x0000\r\n SafeMode\t: "
                     u"Fail-safe with network boot\r\n"),
            std::u16string::npos);
  EXPECT_EQ(old.find(u"ProductInfo"), std::u16string::npos);
  EXPECT_EQ(old.find(u"[User Account Control]"), std::u16string::npos);
  windows.major = 6;
  EXPECT_NE(BuildEnvironmentReport(facts).find(u"[User Account Control]\r\n \r\n[Screen]"),
            std::u16string::npos);
}

TEST(EnvironmentReportTest, EmptyFactsKeepEveryLabel) {
  EnvironmentFacts facts;
  facts.system.system_name = u"Linux";
  const std::u16string report = BuildEnvironmentReport(facts);
  EXPECT_NE(report.find(u" Locale Info\t: \r\n Remote Session \t: Off\r\n"), std::u16string::npos);
  EXPECT_NE(report.find(u" Virtual Screen: (0,0)-(0,0) [Monitors:0]\r\n[Other]"),
            std::u16string::npos);
  EXPECT_EQ(report.find(u"Monitor Info"), std::u16string::npos);
}

TEST(EnvironmentReportTest, TimeZoneSignFollowsTheBias) {
  EXPECT_EQ(FormatTimeZone(-540), u"(UTC+09:00)");  // east of UTC
  EXPECT_EQ(FormatTimeZone(300), u"(UTC-05:00)");   // west of UTC
  EXPECT_EQ(FormatTimeZone(0), u"(UTC-00:00)");
  EXPECT_EQ(FormatTimeZone(-330), u"(UTC+05:30)");
  EXPECT_EQ(FormatTimeZone(210), u"(UTC-03:30)");
  EXPECT_EQ(FormatTimeZone(-765), u"(UTC+12:45)");
}

TEST(EnvironmentReportTest, LocalTimeFields) {
  EXPECT_EQ(FormatLocalTime({1999, 12, 31, 5, 23, 59, 58}), u"Fri, Dec 31, 1999 23:59:58");
  EXPECT_EQ(FormatLocalTime({2024, 1, 1, 0, 0, 0, 0}), u"Sun, Jan 1, 2024  0:00:00");
  EXPECT_EQ(FormatLocalTime({2024, 6, 15, 6, 12, 7, 9}), u"Sat, Jun 15, 2024 12:07:09");
}

TEST(EnvironmentReportTest, ProcessorTags) {
  EXPECT_EQ(ProcessorTag("x86_64"), u"x64");
  EXPECT_EQ(ProcessorTag("i686"), u"x86");
  EXPECT_EQ(ProcessorTag("aarch64"), u"ARM64");
  EXPECT_EQ(ProcessorTag("riscv64"), u"riscv64");
  EXPECT_FALSE(ProgramMachine().empty());
}

}  // namespace
}  // namespace sorrel
