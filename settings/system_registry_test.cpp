// The store over a platform's own registry (an in-memory one here): one lock,
// one read and one write of the changed values per transaction, other values
// left alone, and the refusals when the key cannot be read or written.
#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <map>

#include "base/main_dialog_ids.h"
#include "settings/settings_access.h"
#include "settings/settings_keys.h"
#include "settings/settings_store.h"

namespace sorrel::settings {
namespace {

class MemoryRegistry : public platform::SystemRegistry {
 public:
  struct Lock : platform::SettingsLock {
    explicit Lock(int* held) : held_(held) { ++*held_; }
    ~Lock() override { --*held_; }
    intptr_t Handle() const override { return 7; }
    int* held_;
  };

  platform::SettingsReadStatus ReadKey(std::u16string_view path,
                                       std::vector<platform::RegistryValue>* values,
                                       int* error) override {
    ++reads;
    if (read_error != 0) {
      *error = read_error;
      return platform::SettingsReadStatus::Error;
    }
    const auto key = keys.find(std::u16string(path));
    if (key == keys.end()) return platform::SettingsReadStatus::Missing;
    *values = key->second;
    return platform::SettingsReadStatus::Ok;
  }
  bool WriteKey(std::u16string_view path, const std::vector<platform::RegistryValue>& values,
                int* error) override {
    written.push_back(values);
    if (write_error != 0) {
      *error = write_error;
      return false;
    }
    std::vector<platform::RegistryValue>& key = keys[std::u16string(path)];
    for (const platform::RegistryValue& value : values) {
      auto old =
          std::find_if(key.begin(), key.end(), [&](const auto& v) { return v.name == value.name; });
      if (old != key.end()) {
        *old = value;
      } else {
        key.push_back(value);
      }
    }
    return true;
  }
  std::unique_ptr<platform::SettingsLock> Lock(std::u16string_view, int*) override {
    ++locks;
    return std::make_unique<struct Lock>(&held);
  }
  void ReleaseHandedOnLock(std::u16string_view) override { ++releases; }

  std::map<std::u16string, std::vector<platform::RegistryValue>> keys;
  std::vector<std::vector<platform::RegistryValue>> written;
  int read_error = 0;
  int write_error = 0;
  int reads = 0;
  int locks = 0;
  int held = 0;
  int releases = 0;
};

// Settings files of a platform whose registry mode uses its registry.
class RegistryFiles : public platform::SettingsFiles {
 public:
  std::string ConfigFolder() override { return {}; }
  platform::SettingsReadStatus ReadFile(const std::string&, std::string*, int*) override {
    return platform::SettingsReadStatus::Missing;
  }
  bool CanRead(const std::string&) override { return false; }
  bool CreateNew(const std::string&, std::string_view) override { return false; }
  std::unique_ptr<platform::LockedSettingsFile> Lock(const std::string&, bool, int*) override {
    return nullptr;
  }
  void ReleaseHandedOnLock(const std::string&) override {}
  platform::SystemRegistry* Registry() override { return &registry; }
  std::u16string ErrorText(UiLanguage, int error) override {
    return u"error " + std::u16string(1, static_cast<char16_t>(u'0' + error));
  }
  bool DecodeAnsi(std::string_view, std::u16string*) override { return false; }
  MemoryRegistry registry;
};

ControlStore Dialog() {
  ControlStore dialog;
  for (int id : {ids::kCharEncode, ids::kWriteEncode}) {
    for (int i = 0; i < kCodePageEntries; ++i) dialog.AddItem(id, u"entry");
  }
  for (int i = 0; i < 3; ++i) dialog.AddItem(ids::kCrlfTransWay, u"entry");
  return dialog;
}

TEST(SystemRegistryStoreTest, OneReadAndOneWriteOfWhatChangedPerTransaction) {
  RegistryFiles files;
  MemoryRegistry& registry = files.registry;
  SettingsStore store(&files, false, RegistryStorePath(&files), UiLanguage::English, nullptr,
                      nullptr);
  EXPECT_EQ(store.path(), "HKEY_CURRENT_USER\\Software\\FenwrightAns\\sorrel\\CurrentVersion");
  registry.keys[kSettingsKeyPath] = {{u"Other", 1, std::string("x\0\0\0", 4)}};

  ControlStore dialog = Dialog();
  EXPECT_EQ(store.Load(&dialog), StoreState::Ok);
  EXPECT_EQ(registry.reads, 1);
  EXPECT_EQ(registry.releases, 1);
  EXPECT_EQ(registry.locks, 0);  // a load takes no lock
  EXPECT_EQ(dialog.Check(ids::kSearchSubFolders), kChecked);

  dialog.SetText(ids::kTargetPath, u"C:\\data\\*.txt");
  ASSERT_TRUE(store.Save(dialog));
  EXPECT_EQ(registry.locks, 1);
  EXPECT_EQ(registry.held, 0);
  ASSERT_EQ(registry.written.size(), 1u);
  EXPECT_EQ(registry.written[0].size(), std::size(kSettingKeys));  // every key once, not Other
  ControlStore back = Dialog();
  store.Load(&back);
  EXPECT_EQ(back.Text(ids::kTargetPath), u"C:\\data\\*.txt");
  EXPECT_EQ(registry.keys[kSettingsKeyPath].front().name, u"Other");

  // Only what differs from the key as read is written again.
  StoreState state;
  int error = 0;
  auto transaction = store.Begin(&state, &error);
  ASSERT_NE(transaction, nullptr);
  EXPECT_EQ(registry.held, 1);
  WriteSettingInt(transaction->context(), u"CharEncode", 1);  // as it is
  WriteSettingInt(transaction->context(), u"Tab2SpaceClm", 8);
  ASSERT_TRUE(transaction->Commit(&error));
  ASSERT_EQ(registry.written.size(), 2u);
  ASSERT_EQ(registry.written[1].size(), 1u);
  EXPECT_EQ(registry.written[1][0].name, u"Tab2SpaceClm");
}

TEST(SystemRegistryStoreTest, AKeyThatCannotBeReadOrWrittenStoresNothing) {
  RegistryFiles files;
  SettingsStore store(&files, false, RegistryStorePath(&files), UiLanguage::English, nullptr,
                      nullptr);
  files.registry.write_error = 5;
  EXPECT_FALSE(store.Save(Dialog()));
  files.registry.write_error = 0;
  files.registry.read_error = 5;
  ControlStore dialog = Dialog();
  EXPECT_EQ(store.Load(&dialog), StoreState::Unreadable);
  StoreState state;
  int error = 0;
  EXPECT_EQ(store.Begin(&state, &error), nullptr);
  EXPECT_EQ(error, 5);
  EXPECT_EQ(files.registry.held, 0);
  EXPECT_TRUE(files.registry.keys.empty());
}

}  // namespace
}  // namespace sorrel::settings
