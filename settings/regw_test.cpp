// The key wrappers: their guard messages, and reads and writes over the hive.
#include "settings/regw.h"

#include <gtest/gtest.h>

#include "settings/messages.h"
#include "settings/rega.h"
#include "settings/test_support.h"

namespace sorrel::settings {
namespace {

using testing::RealStores;

// A registry in which no key can be opened or created.
class UnreachableRegistry : public RegistryStore {
 public:
  std::unique_ptr<RegistryKey> OpenKey(std::u16string_view, Access) override { return nullptr; }
  std::unique_ptr<RegistryKey> CreateKey(std::u16string_view) override { return nullptr; }
};

TEST(REGWTest, OutOfOrderCallsAreGuardedWithTheirMessages) {
  RealStores s(false, UiLanguage::English);
  {
    REGW reg(&s.registry, &s.user, UiLanguage::English);
    std::u16string buffer = u"stale";
    EXPECT_FALSE(reg.ReadStringW(u"TargetPath", &buffer));
    EXPECT_EQ(buffer, u"");
    EXPECT_EQ(reg.ReadIntegerW(u"CharEncode", 7), 7);
    EXPECT_FALSE(reg.WriteStringW(u"TargetPath", u"x"));
    EXPECT_FALSE(reg.WriteIntegerW(u"CharEncode", 1));
    EXPECT_FALSE(reg.CloseKey());
    ASSERT_TRUE(reg.OpenKey(REGW::Mode::Write));
    ASSERT_TRUE(reg.OpenKey(REGW::Mode::Write));
  }  // still open here
  std::vector<std::u16string> texts;
  for (const auto& box : s.user.boxes) {
    EXPECT_EQ(box.caption, u"Registory Class");
    EXPECT_EQ(box.icon, platform::Icon::Warning);
    EXPECT_EQ(box.buttons, platform::Buttons::Ok);
    texts.push_back(box.text);
  }
  EXPECT_EQ(texts, (std::vector<std::u16string>{
                       u"An error has occurred in ReadStringW.",
                       u"An error has occurred in ReadIntegerW.",
                       u"An error has occurred in WriteStringW.",
                       u"An error has occurred in WriteIntegerW.",
                       u"An error has occurred in REGW::CloseKey().",
                       u"An error has occurred in REGW::OpenKey().",
                       u"An error has occurred in REGW::~REGW().",
                   }));
}

TEST(REGWTest, GuardMessagesSpeakTheUiLanguage) {
  RealStores s(false, UiLanguage::Japanese);
  {
    REGA reg(&s.registry, &s.user, UiLanguage::Japanese);
    EXPECT_FALSE(reg.WriteIntegerA("CharEncode", 1));
    ASSERT_TRUE(reg.OpenKey());
  }
  ASSERT_EQ(s.user.boxes.size(), 2u);
  EXPECT_EQ(s.user.boxes[0].text,
            u"開かれていないキーを対象に WriteIntegerA が行われようとしたので保護します。\n"
            u"このメッセージが表示されたら、現在編集している/していたダイアログの名前を、"
            u"メッセージの内容と共に正確に作者まで報告して下さい。");
  EXPECT_EQ(s.user.boxes[1].text, messages::kRegaAutoClose.ja);
  REGA english(&s.registry, &s.user, UiLanguage::English);
  english.CloseKey();
  EXPECT_EQ(s.user.boxes.back().text, u"An error has occurred in REGA::CloseKey().");
}

TEST(REGWTest, ReadModeNeverCreatesTheKey) {
  RealStores s(false);
  REGW reg(&s.registry, &s.user, UiLanguage::English);
  EXPECT_FALSE(reg.OpenKey(REGW::Mode::Read));
  EXPECT_TRUE(s.hive.keys.empty());
  ASSERT_TRUE(reg.OpenKey(REGW::Mode::Write));
  EXPECT_TRUE(reg.WriteIntegerW(u"CharEncode", 3));
  EXPECT_TRUE(reg.WriteStringW(u"TargetPath", u"/tmp/a b\"c\\d.txt"));
  EXPECT_TRUE(reg.CloseKey());
  ASSERT_TRUE(reg.OpenKey(REGW::Mode::Read));
  std::u16string text;
  EXPECT_TRUE(reg.ReadStringW(u"targetpath", &text));
  EXPECT_EQ(text, u"/tmp/a b\"c\\d.txt");
  EXPECT_EQ(reg.ReadIntegerW(u"CHARENCODE", -1), 3);
  EXPECT_EQ(reg.ReadIntegerW(u"Missing", -1), -1);
  EXPECT_FALSE(reg.ReadStringW(u"Missing", &text));
  EXPECT_FALSE(reg.ReadStringW(nullptr, &text));
  EXPECT_FALSE(reg.WriteIntegerW(u"CharEncode", 4));  // a read-mode key refuses writes
  EXPECT_TRUE(reg.CloseKey());
  EXPECT_TRUE(s.user.boxes.empty());
}

TEST(REGWTest, AnUnreachableRegistryGivesDefaultsAndWritesNothing) {
  UnreachableRegistry registry;
  testing::RecordingUser user;
  REGW w(&registry, &user, UiLanguage::English);
  EXPECT_FALSE(w.OpenKey(REGW::Mode::Write));
  REGA a(&registry, &user, UiLanguage::English);
  EXPECT_FALSE(a.OpenKey());
  EXPECT_TRUE(user.boxes.empty());
}

}  // namespace
}  // namespace sorrel::settings
