// The registry over a hive file.
#include "settings/hive_file_registry.h"

#include "platform/text_format.h"
#include "platform/utf.h"
#include "settings/messages.h"

namespace sorrel::settings {
namespace {

std::u16string FullPath(std::u16string_view path) {
  return std::u16string(kHiveRoot) + u"\\" + std::u16string(path);
}

// Names and paths the export text cannot hold on one line.
bool FitsOnALine(std::u16string_view s) {
  return s.find_first_of(std::u16string_view(u"\r\n\0", 3)) == std::u16string_view::npos;
}

class HiveFileKey : public RegistryKey {
 public:
  HiveFileKey(HiveFileRegistry* registry, std::u16string path, bool writable)
      : registry_(registry), path_(std::move(path)), writable_(writable) {}

  bool QueryValue(std::u16string_view name, uint32_t* type, std::string* data) override {
    Hive hive;
    if (!registry_->Load(&hive)) return false;
    const HiveKey* key = FindHiveKey(hive, path_);
    const HiveValue* value = key == nullptr ? nullptr : FindHiveValue(*key, name);
    if (value == nullptr) return false;
    *type = value->type;
    *data = value->data;
    return true;
  }

  bool SetValue(std::u16string_view name, uint32_t type, std::string_view data) override {
    if (!writable_ || !FitsOnALine(name)) return false;
    return registry_->Update(
        [&](Hive* hive) { SetHiveValue(FindOrAddHiveKey(hive, path_), name, type, data); });
  }

  bool Close() override { return true; }

 private:
  HiveFileRegistry* registry_;
  std::u16string path_;
  bool writable_;
};

}  // namespace

std::string HiveFilePath(platform::SettingsFiles* files) {
  const std::string folder = files->ConfigFolder();
  return folder.empty() ? std::string() : folder + "/registry.reg";
}

HiveFileRegistry::HiveFileRegistry(platform::SettingsFiles* files, std::string path,
                                   UiLanguage lang, ReportLine report)
    : files_(files), path_(std::move(path)), lang_(lang), report_(std::move(report)) {}

std::unique_ptr<RegistryKey> HiveFileRegistry::OpenKey(std::u16string_view path, Access access) {
  Hive hive;
  if (!Load(&hive) || FindHiveKey(hive, FullPath(path)) == nullptr) return nullptr;
  return std::make_unique<HiveFileKey>(this, FullPath(path), access == Access::All);
}

std::unique_ptr<RegistryKey> HiveFileRegistry::CreateKey(std::u16string_view path) {
  if (!FitsOnALine(path)) return nullptr;
  const std::u16string full = FullPath(path);
  if (!Update([&](Hive* hive) { FindOrAddHiveKey(hive, full); })) return nullptr;
  return std::make_unique<HiveFileKey>(this, full, true);
}

bool HiveFileRegistry::Load(Hive* hive) {
  hive->keys.clear();
  if (path_.empty()) return false;
  std::string bytes;
  switch (files_->ReadFile(path_, &bytes)) {
    case platform::SettingsReadStatus::Missing:
      return true;
    case platform::SettingsReadStatus::Error:
      return false;
    case platform::SettingsReadStatus::Ok:
      break;
  }
  if (!ParseHive(bytes, hive)) hive->keys.clear();
  return true;
}

bool HiveFileRegistry::Update(const std::function<void(Hive*)>& edit) {
  if (path_.empty()) return false;
  const std::unique_ptr<platform::LockedSettingsFile> file = files_->Lock(path_, true);
  if (file == nullptr) return false;
  std::string bytes;
  Hive hive;
  switch (file->Read(&bytes)) {
    case platform::SettingsReadStatus::Error:
      return false;
    case platform::SettingsReadStatus::Missing:
      bytes.clear();
      break;
    case platform::SettingsReadStatus::Ok:
      if (!ParseForUpdate(file.get(), bytes, &hive)) return false;
      break;
  }
  edit(&hive);
  const std::string updated = SerializeHive(hive);
  return updated == bytes || file->Replace(updated);
}

bool HiveFileRegistry::ParseForUpdate(platform::LockedSettingsFile* file, std::string_view bytes,
                                      Hive* hive) {
  if (ParseHive(bytes, hive)) return true;
  hive->keys.clear();
  std::string aside;
  if (!file->SetAside(&aside)) return false;
  if (report_) {
    report_(FormatText(
        messages::kHiveKeptAside.In(lang_),
        {std::u16string_view(Utf8ToUtf16(path_)), std::u16string_view(Utf8ToUtf16(aside))}));
  }
  return true;
}

}  // namespace sorrel::settings
